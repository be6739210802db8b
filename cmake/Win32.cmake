# Windows build (MinGW-w64 i686): the core with a static zlib, the real platform, setup.exe and
# the win32 tests, which ctest runs under Wine through the cross-compiling emulator
# (scripts/wine-run.sh). Everything links statically, so the programs need no DLL beyond the
# system's own.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
target_link_libraries(setup_package PUBLIC ZLIB::ZLIB)

# Every file that includes <windows.h> gets the lean headers and no min/max macros.
set(SETUP_WINDOWS_DEFINES WIN32_LEAN_AND_MEAN NOMINMAX)

add_library(setup_win32 STATIC)
setup_add_sources(setup_win32 system/win32)
target_compile_definitions(setup_win32 PRIVATE ${SETUP_WINDOWS_DEFINES})
target_link_libraries(setup_win32 PUBLIC setup_system ole32 oleaut32 uuid shell32 advapi32 user32)

# The Windows widget backend. comctl32, gdiplus and winmm are loaded from the system folder at
# run time, so they are not linked here (a planted copy beside setup.exe must never load).
add_library(setup_ui_win32 STATIC)
setup_add_sources(setup_ui_win32 ui/win32)
target_compile_definitions(setup_ui_win32 PRIVATE ${SETUP_WINDOWS_DEFINES})
# Both peer factories switch over every control kind with no default: a kind left out is an error.
target_compile_options(setup_ui_win32 PRIVATE -Werror=switch)
target_link_libraries(setup_ui_win32 PUBLIC setup_ui setup_win32 gdi32 user32 ole32 uuid)

# The in-memory backend: the silent run (/S) hosts the setup program's windows there, so not
# one window is created. Its UTF-8 rendering comes from ui/win32.
add_library(setup_ui_headless STATIC)
setup_add_sources(setup_ui_headless ui/headless)
target_compile_options(setup_ui_headless PRIVATE -Werror=switch)
target_link_libraries(setup_ui_headless PUBLIC setup_ui setup_ui_win32)
target_link_libraries(setup_app PUBLIC setup_ui_headless)

# Library functions replaced by lighter ones of our own: libstdc++'s std::__throw_* helpers
# (system/win32/runtime/LibraryErrors.h says why and how) and zlib's crc32() with its tables
# (ZlibCrc32.cpp). Sources of each program, never library members, so that their definitions
# always come before the libraries'.
set(SETUP_RUNTIME_REPLACEMENTS ${PROJECT_SOURCE_DIR}/system/win32/runtime/LibraryErrors.cpp
    ${PROJECT_SOURCE_DIR}/system/win32/runtime/ZlibCrc32.cpp)

# The manifest asks for asInvoker (raised rights come only from the "runas" relaunch), common
# controls 6 and DPI awareness. It names no supportedOS on purpose: Windows then reports at most
# 6.2 to the program, the version answer its version checks were made for.
add_executable(setup WIN32)
target_sources(setup PRIVATE ${PROJECT_SOURCE_DIR}/app/main.cpp
               ${PROJECT_SOURCE_DIR}/app/TerminateHandler.cpp ${SETUP_RUNTIME_REPLACEMENTS}
               ${PROJECT_SOURCE_DIR}/app/setup.rc)
set_source_files_properties(${PROJECT_SOURCE_DIR}/app/setup.rc PROPERTIES
                            OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/app/setup.manifest)
target_link_libraries(setup PRIVATE setup_app setup_ui_win32 setup_win32)
# The link map tells what each part of the stub costs (bench/setup-size.sh reads it).
target_link_options(setup PRIVATE -Wl,-Map=${CMAKE_CURRENT_BINARY_DIR}/setup.map)
setup_link_whole_program(setup)

# uninst.exe, the uninstaller every package carries. Its manifest asks for administrator
# rights: it removes what a per-machine install wrote (the Uninstall key under HKLM, the
# program folder), and a named level also keeps Windows' installer detection from guessing.
add_executable(uninst WIN32)
setup_add_sources(uninst uninstaller/program)
target_sources(uninst PRIVATE ${PROJECT_SOURCE_DIR}/uninstaller/program/uninst.rc
               ${PROJECT_SOURCE_DIR}/app/TerminateHandler.cpp ${SETUP_RUNTIME_REPLACEMENTS})
set_source_files_properties(${PROJECT_SOURCE_DIR}/uninstaller/program/uninst.rc PROPERTIES
                            OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/uninstaller/program/uninst.manifest)
target_compile_definitions(uninst PRIVATE ${SETUP_WINDOWS_DEFINES})
target_link_libraries(uninst PRIVATE setup_uninstaller_window setup_ui_win32 setup_win32)
target_link_options(uninst PRIVATE -Wl,-Map=${CMAKE_CURRENT_BINARY_DIR}/uninst.map)
setup_link_whole_program(uninst)

# The size budget of the 32-bit programs (the product; the 64-bit build only runs the tests).
# The aim is 256 KB for setup.exe and 160 KB for uninst.exe; until the stub gets there the
# budget holds what it has reached with a little room (479,744 and 276,480 bytes with
# link-time optimisation, no printf, no standard exception classes and no zlib CRC tables),
# and from here it only comes down.
include(cmake/SizeBudget.cmake)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  setup_size_budget(setup 483328)
  setup_size_budget(uninst 280576)
endif()

# GoogleTest from the Debian source package, built with its own flags (our -Werror and GBK
# literals are not for it).
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_target_properties(gtest gtest_main PROPERTIES COMPILE_OPTIONS "")
# The win32 thread model has no std::mutex; see the header for the stand-in.
target_compile_options(gtest PUBLIC
                       -include ${PROJECT_SOURCE_DIR}/tests/support/win32/GTestNotification.h)

include(cmake/Win32Tests.cmake)
include(cmake/Win32Tool.cmake)

# The Windows programs of the speed benchmark (bench/wine-speed.sh); built, never run, in CI.
add_subdirectory(bench/win32 ${PROJECT_BINARY_DIR}/bench-win32)
