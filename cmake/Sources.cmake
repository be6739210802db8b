# setup_add_sources(target dir...): adds the .cpp files directly inside each folder. Folders own
# their file lists this way, so adding a source file needs no edit of a shared list.
function(setup_add_sources target)
  foreach(dir IN LISTS ARGN)
    file(GLOB sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${dir}/*.cpp")
    target_sources(${target} PRIVATE ${sources})
  endforeach()
endfunction()

# True in out_var when any of the folders holds a .cpp file.
function(setup_has_sources out_var)
  set(found FALSE)
  foreach(dir IN LISTS ARGN)
    file(GLOB sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${dir}/*.cpp")
    if(sources)
      set(found TRUE)
    endif()
  endforeach()
  set(${out_var} ${found} PARENT_SCOPE)
endfunction()

# setup_embed_file(target file symbol): compiles the bytes of file into target as
# `extern const unsigned char symbol[]` and `extern const unsigned int symbolSize`, for pictures
# that come with the program. Made again whenever the file changes.
function(setup_embed_file target file symbol)
  file(READ "${file}" hex HEX)
  file(SIZE "${file}" size)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  set(generated "${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp")
  file(CONFIGURE OUTPUT "${generated}" CONTENT
       "extern const unsigned char ${symbol}[] = {${bytes}};\nextern const unsigned int ${symbol}Size = ${size};\n")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${file}")
  target_sources(${target} PRIVATE "${generated}")
endfunction()
