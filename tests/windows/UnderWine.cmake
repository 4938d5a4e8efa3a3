# The Windows build of the monitor access and of varnoctl, with the Windows
# tests and the simulated dxva2, built as a part of this build with the Qt for
# mingw that scripts/setup-mingw-qt.sh builds once per machine; its tests run
# here under Wine. Without that Qt, or without Wine, they are skipped and say
# why.
set(windows_build ${CMAKE_CURRENT_BINARY_DIR}/windows)
# Every program beside the DLL that it loads.
set(windows_programs ${windows_build}/bin)

execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/setup-mingw-qt.sh --print-prefix
                OUTPUT_VARIABLE mingw_qt OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
                RESULT_VARIABLE mingw_qt_missing)
if(NOT mingw_qt_missing)
    include(ExternalProject)
    ExternalProject_Add(windows_build
        SOURCE_DIR ${PROJECT_SOURCE_DIR}
        BINARY_DIR ${windows_build}
        CMAKE_ARGS
            -DCMAKE_TOOLCHAIN_FILE=${mingw_qt}/lib/cmake/Qt6/qt.toolchain.cmake
            -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
            -DCMAKE_RUNTIME_OUTPUT_DIRECTORY=${windows_programs}
            -DVARNO_WINDOW=OFF
        # Its sources are this build's: it has to look at them on every build.
        BUILD_ALWAYS ON
        INSTALL_COMMAND "")
else()
    message(STATUS "The Windows tests will be skipped: Qt for mingw is not built "
                   "(scripts/setup-mingw-qt.sh builds it)")
endif()

foreach(test tst_windows_access tst_windows_varnoctl)
    add_test(NAME ${test}
             COMMAND ${CMAKE_CURRENT_LIST_DIR}/run-under-wine.sh ${windows_programs}/${test}.exe)
endforeach()

# varnoctl.exe in a console, as from a command prompt: a name outside ASCII
# shows as written, whatever the console's code page.
set(duplicated_display ${CMAKE_CURRENT_BINARY_DIR}/duplicated-display.settings)
file(WRITE ${duplicated_display} "display1 = 1 5\nmonitor5.description = Écran de présentation\n")
add_test(NAME tst_windows_console
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/run-in-console.sh ${windows_programs}/varnoctl.exe list)
set_tests_properties(tst_windows_console PROPERTIES
    ENVIRONMENT VARNO_DXVA2SIM=${duplicated_display}
    PASS_REGULAR_EXPRESSION "\n1[ \t]+Écran de présentation[ \t]")

# Who the monitor is, from the EDID that Windows keeps in the registry, which
# Wine copies from the X server's output.
add_test(NAME tst_windows_registry_edid
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/run-under-wine.sh --edid $<TARGET_FILE:x11window>
                 "Aster 27Q" AST-0001 ${windows_programs}/varnoctl.exe list)
set_tests_properties(tst_windows_registry_edid PROPERTIES
    PASS_REGULAR_EXPRESSION "^0\tDisplay1\t[^\t]*DISPLAY1\tVRN\tAST-0001[\r\n]*$")

# A monitor that goes and comes back while the program runs: Wine follows
# only the X server's outputs, of which Xvfb has one.
add_test(NAME tst_windows_monitor_back
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/run-under-wine.sh --edid $<TARGET_FILE:x11window>
                 "Aster 27Q" AST-0001 ${windows_programs}/tst_windows_access.exe
                 aMonitorThatCameBackIsListedAgain)

# The first run makes the Wine prefix, which takes half a minute.
set_tests_properties(tst_windows_access tst_windows_varnoctl tst_windows_console
                     tst_windows_registry_edid tst_windows_monitor_back PROPERTIES
    SKIP_RETURN_CODE 77 TIMEOUT 300 RESOURCE_LOCK wine_prefix)
