# setup-tool.exe, for vendors who build their setup programs on Windows: the same commands as the
# Linux tool (tools/CMakeLists.txt) except simulate and uninstall, which need the sandbox. The
# code is the tool's own; only tools/host/win32 (files by UTF-16 name, the console, the clock) and
# the GBK conversion differ. nlohmann-json is header-only, so the host's copy serves (through a
# folder of its own: the host's /usr/include must not be searched by the cross compiler).
set(SETUP_TOOL_VERSION 1.0.0)
set(host_headers ${PROJECT_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${host_headers})
file(CREATE_LINK /usr/include/nlohmann ${host_headers}/nlohmann SYMBOLIC)

add_library(setup_tool_host STATIC)
setup_add_sources(setup_tool_host tools/host/win32)
target_link_libraries(setup_tool_host PUBLIC setup_win32)
add_library(setup_packager STATIC)
setup_add_sources(setup_packager tools/packager)
target_link_libraries(setup_packager PUBLIC setup_package setup_tool_host)

# tools/simulation/ needs the sandbox, and so do the two commands that use it; tools/win32/ has
# the command table without them.
file(GLOB tool_sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/tools/commands/*.cpp"
     "${PROJECT_SOURCE_DIR}/tools/project/*.cpp" "${PROJECT_SOURCE_DIR}/tools/reading/*.cpp"
     "${PROJECT_SOURCE_DIR}/tools/host/*.cpp")
foreach(sandbox_only IN ITEMS Commands SimulateCommand UninstallCommand)
  list(REMOVE_ITEM tool_sources "${PROJECT_SOURCE_DIR}/tools/commands/${sandbox_only}.cpp")
endforeach()
add_executable(setup-tool ${tool_sources} ${PROJECT_SOURCE_DIR}/tools/win32/Commands.cpp
               ${PROJECT_SOURCE_DIR}/tools/win32/Main.cpp)
target_include_directories(setup-tool SYSTEM PRIVATE ${host_headers})
target_compile_definitions(setup-tool PRIVATE SETUP_TOOL_VERSION="${SETUP_TOOL_VERSION}")
target_link_options(setup-tool PRIVATE -municode)
target_link_libraries(setup-tool PRIVATE setup_packager setup_core setup_win32)
# <chrono> holds a UCN literal that has no GBK form; this file has no text of ours.
set_source_files_properties(${PROJECT_SOURCE_DIR}/tools/host/win32/HostSystem.cpp PROPERTIES
                            COMPILE_OPTIONS -fexec-charset=UTF-8)

# Under Wine against the Linux tool (the host build's, skipped without one): the same demo bytes.
add_test(NAME setup_tool_exe
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/SetupTool/check-setup-tool.sh
                 ${SETUP_HOST_TOOL} $<TARGET_FILE:setup-tool> ${CMAKE_CURRENT_BINARY_DIR}/setup-tool-check)
set_tests_properties(setup_tool_exe PROPERTIES SKIP_RETURN_CODE 77 RESOURCE_LOCK wineprefix
                     TIMEOUT 120)
