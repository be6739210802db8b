# win32_tests: the platform contract suite instantiated for Win32Platform, plus the tests of
# what only the real API can get wrong (code page conversion, the registry's UTF-16, shell
# links). It links the whole core, so install runs on the real platform can be tested here too.
enable_testing()

add_executable(win32_tests)
setup_add_sources(win32_tests tests/win32 tests/support/win32)
# The standard library throws and zlib checks gzip streams here as in setup.exe and uninst.exe.
target_sources(win32_tests PRIVATE ${SETUP_RUNTIME_REPLACEMENTS})
foreach(contract IN ITEMS PlatformContractTest UserFoldersContractTest)
  if(EXISTS ${PROJECT_SOURCE_DIR}/tests/system/${contract}.cpp)
    target_sources(win32_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/system/${contract}.cpp)
  endif()
endforeach()
# Portable tests that need no sandbox run here too, on the Windows C runtime and the static zlib
# (number formatting and compression are where msvcrt and glibc could part ways). A file in this
# list must keep to the core's own headers.
foreach(portable IN ITEMS system/GbkTest system/SizeToTextTest system/ProfileFileTest package/CompressionTest
                          engine/DestinationRulesTest engine/FileTimesTest engine/RegistryTextTest)
  if(EXISTS ${PROJECT_SOURCE_DIR}/tests/${portable}.cpp)
    target_sources(win32_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/${portable}.cpp)
  endif()
endforeach()
target_include_directories(win32_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(win32_tests PRIVATE ${SETUP_WINDOWS_DEFINES})
target_link_libraries(win32_tests PRIVATE setup_win32 setup_core gtest gtest_main)
# Copied under system programs' names beside the test program: it must never be started.
# A windows program, not a console one: as a component's program in the attack check, a console
# window Wine shows after the program has ended would take the front from the wizard.
add_executable(planted-program WIN32 ${PROJECT_SOURCE_DIR}/tests/win32/PlantedProgram/PlantedProgramMain.cpp)
target_compile_definitions(planted-program PRIVATE ${SETUP_WINDOWS_DEFINES})
add_dependencies(win32_tests planted-program)
# A DLL that marks itself when loaded, planted beside dll-probe.exe under the names of the DLLs
# system code loads by name; the probe does what the programs do (DllPlantingTest.cpp).
add_library(planted-dll SHARED ${PROJECT_SOURCE_DIR}/tests/win32/DllPlanting/PlantedDllMain.cpp)
set_target_properties(planted-dll PROPERTIES PREFIX "")
target_compile_definitions(planted-dll PRIVATE ${SETUP_WINDOWS_DEFINES})
add_executable(dll-probe ${PROJECT_SOURCE_DIR}/tests/win32/DllPlanting/DllProbeMain.cpp)
target_compile_definitions(dll-probe PRIVATE ${SETUP_WINDOWS_DEFINES})
target_include_directories(dll-probe PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(dll-probe PRIVATE setup_win32 shell32)
add_dependencies(win32_tests planted-dll dll-probe)

# add_wine_check_in_both_code_pages(NAME [ENVIRONMENT VAR=VALUE...] [PROPERTIES ...] COMMAND ...)
# Declares the check twice: NAME under the Chinese code page (936) and NAME_codepage_1252 as on
# a non-Chinese Windows, where the GBK texts must read the same. C.UTF-8 rather than C, which
# would leave Wine unable to name files in anything but ASCII. "@NAME@" in the command becomes
# each run's name (for its own work or picture folder).
function(add_wine_check_in_both_code_pages name)
  cmake_parse_arguments(PARSE_ARGV 1 check "" "" "ENVIRONMENT;PROPERTIES;COMMAND")
  foreach(run IN ITEMS "${name};zh_CN.UTF-8" "${name}_codepage_1252;C.UTF-8")
    list(GET run 0 run_name)
    list(GET run 1 locale)
    string(REPLACE "@NAME@" "${run_name}" command "${check_COMMAND}")
    add_test(NAME ${run_name} COMMAND ${command})
    set(environment "SETUP_WINE_LOCALE=${locale}" ${check_ENVIRONMENT})
    set_tests_properties(${run_name} PROPERTIES ${check_PROPERTIES} ENVIRONMENT "${environment}")
  endforeach()
endfunction()

# Each entry runs the binary once under Wine (the emulator is added by CMake); they share the
# project's Wine prefix, hence the lock.
add_test(NAME win32_tests COMMAND win32_tests --gtest_filter=-OwnerWindow*:UninstHandoff*)
# ANSI code page 1252, as on a non-Chinese Windows: the GBK conversion must not depend on it.
# C.UTF-8 rather than C, which would also leave Wine unable to name files in anything but ASCII.
add_test(NAME win32_tests_codepage_1252 COMMAND win32_tests --gtest_filter=CodePage*:Gbk*:Foreign*)
set_tests_properties(win32_tests_codepage_1252 PROPERTIES ENVIRONMENT SETUP_WINE_LOCALE=C.UTF-8)
# The tests that need real windows, on a virtual display.
add_test(NAME win32_tests_windows
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/Ui/run-with-display.sh
                 bash ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:win32_tests>
                 --gtest_filter=OwnerWindow*:UninstHandoff*)
# The hand-off tests start the built uninst.exe in its copy role.
add_dependencies(win32_tests uninst)
set_tests_properties(win32_tests_windows PROPERTIES ENVIRONMENT SETUP_UNINST_EXE=$<TARGET_FILE:uninst>)
set_tests_properties(win32_tests win32_tests_codepage_1252 win32_tests_windows PROPERTIES
                     RESOURCE_LOCK wineprefix TIMEOUT 600)

# setup.exe and uninst.exe import only DLLs that Windows always takes from its system folder.
add_test(NAME setup_exe_imports
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/Imports/check-imports.sh $<TARGET_FILE:setup>)
add_test(NAME uninst_exe_imports
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/Imports/check-imports.sh $<TARGET_FILE:uninst>)

# Neither links libstdc++'s standard exception classes (about 55 KB each).
foreach(program IN ITEMS setup uninst)
  add_test(NAME ${program}_exe_link_map
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/LinkMap/check-link-map.sh
                   ${PROJECT_BINARY_DIR}/${program}.map)
endforeach()

# The program itself starts and ends cleanly under Wine: without a package it installs nothing,
# and its exit code says so (1602, the install never completed).
add_test(NAME setup_exe_runs
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/ExitCode/check-exit-code.sh 1602
                 $<TARGET_FILE:setup>)
set_tests_properties(setup_exe_runs PROPERTIES RESOURCE_LOCK wineprefix TIMEOUT 120)

# A whole setup run of the demo on the real platform, checked from outside the prefix by the
# script (the installed files, times, registry, shell links, Ins.log). The host setup-tool
# builds the demo; without a host build the test is skipped.
add_executable(install-run ${PROJECT_SOURCE_DIR}/tests/win32/InstallRun/InstallRunMain.cpp)
target_compile_definitions(install-run PRIVATE ${SETUP_WINDOWS_DEFINES})
target_link_libraries(install-run PRIVATE setup_win32 setup_core)
set(SETUP_HOST_TOOL ${PROJECT_SOURCE_DIR}/build/host/setup-tool CACHE FILEPATH
    "The host build's setup-tool, which builds the demo for the install run")
add_test(NAME install_run_demo
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/InstallRun/check-install-run.sh
                 ${SETUP_HOST_TOOL} $<TARGET_FILE:setup> $<TARGET_FILE:install-run>
                 ${CMAKE_CURRENT_BINARY_DIR}/install-run $<TARGET_FILE:uninst>)
# It copies the shared prefix while holding that prefix's lock, and runs in its own copy.
set_tests_properties(install_run_demo PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)

# The demo installed by a user named outside GBK from that user's downloads folder, with planted
# system programs beside it; under code pages 936 and 1252. Each runs in its own prefix copy.
add_wine_check_in_both_code_pages(install_run_foreign_user
  PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120
  COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/InstallRun/check-foreign-user.sh
          ${SETUP_HOST_TOOL} $<TARGET_FILE:setup> $<TARGET_FILE:install-run>
          $<TARGET_FILE:planted-program> ${CMAKE_CURRENT_BINARY_DIR}/@NAME@)

# The question and information boxes on a virtual display, answered with keys from outside.
add_executable(message-box ${PROJECT_SOURCE_DIR}/tests/win32/MessageBox/MessageBoxMain.cpp)
target_compile_definitions(message-box PRIVATE ${SETUP_WINDOWS_DEFINES})
target_link_libraries(message-box PRIVATE setup_win32 setup_core)
add_wine_check_in_both_code_pages(message_boxes
  PROPERTIES RESOURCE_LOCK wineprefix TIMEOUT 300
  COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/Ui/run-with-display.sh
          bash ${PROJECT_SOURCE_DIR}/tests/win32/MessageBox/check-message-box.sh
          $<TARGET_FILE:message-box>)

# The widget layer's windows, read back through the real HWNDs on a virtual display; once
# under the Chinese code page and once under 1252, where the captions must read the same.
# The widget contract suite (tests/ui) runs here too, on the real windows.
add_executable(ui_win32_tests ${PROJECT_SOURCE_DIR}/tests/win32/Ui/UiWin32Test.cpp
               ${PROJECT_SOURCE_DIR}/tests/win32/Ui/WidgetContractWin32.cpp
               ${PROJECT_SOURCE_DIR}/tests/support/win32/ScratchFolder.cpp
               ${PROJECT_SOURCE_DIR}/tests/ui/ControlRulesTest.cpp
               ${PROJECT_SOURCE_DIR}/tests/ui/ChoiceWidgetsTest.cpp)
target_compile_definitions(ui_win32_tests PRIVATE ${SETUP_WINDOWS_DEFINES})
target_include_directories(ui_win32_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(ui_win32_tests PRIVATE setup_ui_headless setup_ui_win32 setup_win32 gtest gtest_main)
add_wine_check_in_both_code_pages(ui_win32
  PROPERTIES RESOURCE_LOCK wineprefix TIMEOUT 300
  COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/Ui/run-with-display.sh
          ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:ui_win32_tests>)

# The check-list box, the document view and the folder tree through their real windows, under
# the Chinese code page and under 1252 (where the GBK licence must read the same).
add_executable(choice_win32_tests ${PROJECT_SOURCE_DIR}/tests/win32/Ui/ChoiceWin32Test.cpp)
target_compile_definitions(choice_win32_tests PRIVATE ${SETUP_WINDOWS_DEFINES})
target_link_libraries(choice_win32_tests PRIVATE setup_ui_win32 setup_win32 gtest gtest_main)
add_wine_check_in_both_code_pages(choice_win32
  PROPERTIES RESOURCE_LOCK wineprefix TIMEOUT 300
  COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/Ui/run-with-display.sh
          ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:choice_win32_tests>)

# A wizard-like form on a virtual display: screenshot (not blank) under build/screenshots, and
# keys from outside: Enter and Esc do nothing, Alt+D ticks off the box, Alt+N presses Next.
add_executable(ui-check ${PROJECT_SOURCE_DIR}/tests/win32/UiCheck/UiCheckMain.cpp)
target_compile_definitions(ui-check PRIVATE ${SETUP_WINDOWS_DEFINES})
target_link_libraries(ui-check PRIVATE setup_ui_win32 setup_win32)
add_wine_check_in_both_code_pages(ui_check
  PROPERTIES RESOURCE_LOCK wineprefix TIMEOUT 300
  COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/Ui/run-with-display.sh
          bash ${PROJECT_SOURCE_DIR}/tests/win32/UiCheck/check-ui.sh
          $<TARGET_FILE:ui-check> ${PROJECT_SOURCE_DIR}/build/screenshots)

# A person's setup run of the demo with the real setup.exe: started with no parameter from a
# downloads folder, the wizard driven with keys and clicks on a virtual display, every page
# read back and photographed, the result checked from outside the prefix; then a no-wizard
# package through the progress window. Under both code pages at 96 DPI and again at 144 DPI
# (the frame's size, every page photographed). Each run copies the shared prefix while holding
# its lock and works in its own copy.
add_executable(window-reader ${PROJECT_SOURCE_DIR}/tests/win32/Wizard/WindowReaderMain.cpp)
target_compile_definitions(window-reader PRIVATE ${SETUP_WINDOWS_DEFINES})
target_link_libraries(window-reader PRIVATE shell32 user32)
foreach(dpi IN ITEMS 96 144)
  set(name wizard_run)
  if(NOT dpi EQUAL 96)
    set(name wizard_run_${dpi}_dpi)
  endif()
  add_wine_check_in_both_code_pages(${name}
    ENVIRONMENT SETUP_WIZARD_DPI=${dpi}
    PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/Wizard/check-wizard.sh
            ${SETUP_HOST_TOOL} $<TARGET_FILE:setup> $<TARGET_FILE:window-reader>
            ${CMAKE_CURRENT_BINARY_DIR}/@NAME@)
endforeach()

# The demo's wizard under Wine on a virtual display, walked as a person would (the licence's
# Alt+T, a start-menu folder picked in the browse dialog with the keys, a component unticked,
# an install folder typed), each page read back before it is photographed: every picture the
# same as its reference in docs/wizard (the README's pictures; scripts/wizard-screenshots.sh
# makes them again), and the product where typed with its shortcuts in the folder picked. Needs
# the host setup-tool (skipped without it); under the Chinese code page and under 1252.
add_wine_check_in_both_code_pages(wizard_walk_demo
  PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300
  COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/Ui/run-with-display.sh
          bash ${PROJECT_SOURCE_DIR}/tests/win32/Wizard/check-wizard-walk.sh ${SETUP_HOST_TOOL}
          $<TARGET_FILE:setup> $<TARGET_FILE:window-reader>
          ${PROJECT_SOURCE_DIR}/build/screenshots/@NAME@ ${CMAKE_CURRENT_BINARY_DIR}/@NAME@)

# The walk's picture comparison fails a page without its icon, its line or a label, and passes
# one whose glyph edges moved a little (ImageMagick only, on the committed references).
add_test(NAME wizard_pictures_compare
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/Wizard/check-picture-compare.sh)

# The demo installed, then uninstalled by the built uninst.exe answered through its windows on
# a virtual display; the prefix must be as before the install but for the demo's own leftovers.
add_test(NAME uninstall_demo
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/Uninstall/check-uninstall.sh
                 ${SETUP_HOST_TOOL} $<TARGET_FILE:setup> $<TARGET_FILE:install-run>
                 $<TARGET_FILE:uninst> ${CMAKE_CURRENT_BINARY_DIR}/uninstall-demo)
set_tests_properties(uninstall_demo PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)

# The demo installed twice into one folder (the second run mends what the person broke and
# keeps what the person made), then removed; with /S, no display. The check to copy for a new
# one (tests/win32/Reinstall/check-reinstall.sh says why each step is there).
add_test(NAME reinstall_demo
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/Reinstall/check-reinstall.sh
                 ${SETUP_HOST_TOOL} $<TARGET_FILE:setup> $<TARGET_FILE:uninst>
                 ${CMAKE_CURRENT_BINARY_DIR}/reinstall-demo)
set_tests_properties(reinstall_demo PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)

# The demo deployed as an administrator would, with no display at all: /S with /D=, /ANSWERS=
# and /LOG= against what setup-tool simulate printed for the same switches, the exit codes of a
# cancel, a failure, a restart request and a second run (hold-run.exe holds the product's run as
# a running setup program would), then uninst.exe /S leaving the machine as before.
add_executable(hold-run ${PROJECT_SOURCE_DIR}/tests/win32/Silent/HoldRunMain.cpp)
target_compile_definitions(hold-run PRIVATE ${SETUP_WINDOWS_DEFINES})
target_link_libraries(hold-run PRIVATE setup_win32)
add_test(NAME install_silent
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/Silent/check-silent.sh
                 ${SETUP_HOST_TOOL} $<TARGET_FILE:setup> $<TARGET_FILE:hold-run>
                 ${CMAKE_CURRENT_BINARY_DIR}/install-silent $<TARGET_FILE:uninst>)
set_tests_properties(install_silent PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)

# A program of the same user plays the attacker beside the elevated setup run while its wizard
# waits: the setup program renamed and replaced, the unpacked registry script, component
# settings and program rewritten, links where the old fixed temporary folders were. Nothing it
# does may reach the install. Runs in its own prefix copy on a virtual display.
add_executable(attacker ${PROJECT_SOURCE_DIR}/tests/win32/Attack/AttackerMain.cpp)
target_compile_definitions(attacker PRIVATE ${SETUP_WINDOWS_DEFINES})
target_link_libraries(attacker PRIVATE shell32)
# Needs the host setup-tool (skipped without it).
add_test(NAME attack_elevated_run
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/Ui/run-with-display.sh
                 bash ${PROJECT_SOURCE_DIR}/tests/win32/Attack/check-attack.sh ${SETUP_HOST_TOOL}
                 $<TARGET_FILE:setup> $<TARGET_FILE:attacker> $<TARGET_FILE:planted-program>
                 $<TARGET_FILE:planted-dll> ${CMAKE_CURRENT_BINARY_DIR}/attack)
set_tests_properties(attack_elevated_run PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
