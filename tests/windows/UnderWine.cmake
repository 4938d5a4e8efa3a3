# The Windows build of the monitor access and of varnoctl, with the Windows
# tests and the simulated dxva2, built as a part of this build with a Qt for
# mingw that is built once per machine; its tests run here under Wine. Where
# scripts/setup-mingw-qt-quick.sh has built Qt Gui and Quick, that Qt builds
# the window and the download too, and their tests run; else Qt Core alone
# from scripts/setup-mingw-qt.sh does the rest. Without a Qt for mingw, or
# without Wine, the tests are skipped and say why.
set(windows_build ${CMAKE_CURRENT_BINARY_DIR}/windows)
# Every program beside the DLL that it loads.
set(windows_programs ${windows_build}/bin)

# varno_mingw_qt(script out_var): the prefix of the Qt that `script` builds,
# or nothing where it is not built.
function(varno_mingw_qt script out_var)
    execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/${script} --print-prefix
                    OUTPUT_VARIABLE prefix OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
                    RESULT_VARIABLE missing)
    if(missing)
        set(prefix "")
    endif()
    set(${out_var} "${prefix}" PARENT_SCOPE)
endfunction()

varno_mingw_qt(setup-mingw-qt-quick.sh mingw_qt)
set(windows_window ON)
if(NOT mingw_qt)
    varno_mingw_qt(setup-mingw-qt.sh mingw_qt)
    set(windows_window OFF)
endif()

if(mingw_qt)
    # A build made with another Qt keeps that Qt's paths in its cache: it
    # starts anew. So does one that does not say which Qt made it.
    set(built_with ${windows_build}/mingw-qt)
    set(previous_qt "")
    if(EXISTS ${built_with})
        file(READ ${built_with} previous_qt)
    endif()
    if(NOT previous_qt STREQUAL mingw_qt)
        file(REMOVE_RECURSE ${windows_build})
    endif()
    file(WRITE ${built_with} ${mingw_qt})

    set(windows_targets all)
    if(windows_window)
        list(APPEND windows_targets windows_package)
    endif()
    include(ExternalProject)
    ExternalProject_Add(windows_build
        SOURCE_DIR ${PROJECT_SOURCE_DIR}
        BINARY_DIR ${windows_build}
        CMAKE_ARGS
            -DCMAKE_TOOLCHAIN_FILE=${mingw_qt}/lib/cmake/Qt6/qt.toolchain.cmake
            -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
            -DCMAKE_RUNTIME_OUTPUT_DIRECTORY=${windows_programs}
            -DVARNO_WINDOW=${windows_window}
        BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target ${windows_targets}
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

set(window_tests tst_windows_window tst_windows_installer)
if(windows_window)
    set(run_under_wine ${CMAKE_CURRENT_LIST_DIR}/run-under-wine.sh --driver)
    add_test(NAME tst_windows_window
             COMMAND ${run_under_wine} ${CMAKE_CURRENT_LIST_DIR}/window-under-wine.sh
                     ${windows_programs}/varno.exe $<TARGET_FILE:x11window>
                     ${CMAKE_BINARY_DIR}/screenshots)
    add_test(NAME tst_windows_installer
             COMMAND ${run_under_wine} ${CMAKE_CURRENT_LIST_DIR}/installer-under-wine.sh
                     ${windows_build}/package/varno-${PROJECT_VERSION}-setup.exe
                     ${windows_programs}/dxva2.dll ${PROJECT_VERSION} ${VARNO_PUBLISHER}
                     $<TARGET_FILE:x11window> ${CMAKE_BINARY_DIR}/screenshots/installed)
    # Not beside their programs, as the others' is: all share one.
    set_tests_properties(${window_tests} PROPERTIES
                         ENVIRONMENT VARNO_WINE_CACHE=${windows_programs}/wine)
else()
    foreach(test IN LISTS window_tests)
        add_test(NAME ${test} COMMAND sh -c "echo 'Skipped: Qt Gui and Quick for mingw are \
not built (scripts/setup-mingw-qt-quick.sh builds them, in about an hour)' >&2; exit 77")
    endforeach()
endif()

# The first run makes the Wine prefix, which takes half a minute.
set_tests_properties(tst_windows_access tst_windows_varnoctl tst_windows_console
                     tst_windows_registry_edid tst_windows_monitor_back ${window_tests} PROPERTIES
    SKIP_RETURN_CODE 77 TIMEOUT 300 RESOURCE_LOCK wine_prefix)
