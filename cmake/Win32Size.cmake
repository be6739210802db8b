# How the Windows programs are compiled for size: setup.exe is the stub every package rides on,
# so -Os (MinSizeRel), each function and datum in a section of its own that the linker drops when
# nothing uses it, static and stripped. Included before any target is made, so that the flags
# reach every library.
add_compile_options(-ffunction-sections -fdata-sections)
add_link_options(-static -Wl,--gc-sections -s)

# setup.exe and uninst.exe are compiled as one whole program at link time, so code nothing calls
# is never made: the PE linker keeps .eh_frame whole and with it every function the exception
# tables name, which --gc-sections alone cannot drop. The objects also hold machine code (fat),
# which every other program links as before, without a whole-program pass of its own. One
# partition, because GCC 12's partitioned LTO crashes for MinGW (in binds_to_current_def_p).
option(SETUP_LTO "Link setup.exe and uninst.exe with link-time optimisation" ON)
if(SETUP_LTO)
  add_compile_options(-flto -ffat-lto-objects)
  add_link_options(-fno-lto)
endif()
function(setup_link_whole_program target)
  if(SETUP_LTO)
    target_link_options(${target} PRIVATE -flto -flto-partition=one -ffunction-sections
                        -fdata-sections)
  endif()
endfunction()
