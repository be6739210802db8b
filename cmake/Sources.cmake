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
