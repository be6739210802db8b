# Linux build: the core with zlib, the sandbox platform, the packager library, setup-tool, the
# unit tests and the benchmarks.
find_package(ZLIB REQUIRED)
find_package(nlohmann_json 3 REQUIRED)
find_package(GTest REQUIRED)
target_link_libraries(setup_package PUBLIC ZLIB::ZLIB)

add_library(setup_sandbox STATIC)
setup_add_sources(setup_sandbox system/sandbox)
target_link_libraries(setup_sandbox PUBLIC setup_system nlohmann_json::nlohmann_json)

# What setup-tool needs of Linux itself (files by path, terminals, clock, signals).
add_library(setup_tool_host STATIC)
setup_add_sources(setup_tool_host tools/host/posix)
target_include_directories(setup_tool_host PUBLIC ${PROJECT_SOURCE_DIR})

# Writes packages the way the packager does; used by setup-tool and by the tests' builders.
add_library(setup_packager STATIC)
setup_add_sources(setup_packager tools/packager)
target_link_libraries(setup_packager PUBLIC setup_package setup_tool_host)

# The in-memory widget backend, for the tests and setup-tool simulate.
add_library(setup_ui_headless STATIC)
setup_add_sources(setup_ui_headless ui/headless ui/headless/host)
# Its peer factory switches over every control kind with no default: a kind left out is an error.
target_compile_options(setup_ui_headless PRIVATE -Werror=switch)
# Renderings of UTF-8 documents turn them into GBK through the sandbox's conversion.
target_link_libraries(setup_ui_headless PUBLIC setup_ui setup_sandbox)
# The silent run of the setup program hosts its windows on the in-memory backend.
target_link_libraries(setup_app PUBLIC setup_ui_headless)

add_subdirectory(tools)
if(SETUP_FUZZ)
  add_subdirectory(tests/fuzz)
else()
  enable_testing()
  add_subdirectory(tests)
  add_subdirectory(bench)
endif()
