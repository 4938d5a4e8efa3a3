# varno_use_qml_module(target)
# Links the window's classes and the QML module Varno into the executable
# `target`, type registration included.
function(varno_use_qml_module target)
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:varno_window_registration>)
    target_link_libraries(${target} PRIVATE varno_window)
endfunction()

# varno_add_program(target [PLATFORM library])
# The program over the given platform library, which answers its Windows
# calls on systems without Windows.
function(varno_add_program target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "PLATFORM" "")
    qt_add_executable(${target} WIN32)
    target_link_libraries(${target} PRIVATE varno_main ${arg_PLATFORM})
    varno_use_qml_module(${target})
    # The QML modules that the window imports are found from its own module
    # (see src/CMakeLists.txt), not by scanning the program's folder, which
    # holds every other QML file and the builds.
    set_target_properties(${target} PROPERTIES QT_QML_MODULE_NO_IMPORT_SCAN ON)
endfunction()

# varno_add_ctl(target [PLATFORM library])
# varnoctl over the given platform library: a console program on Qt Core
# alone, which needs no display.
function(varno_add_ctl target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "PLATFORM" "")
    qt_add_executable(${target})
    target_link_libraries(${target} PRIVATE varno_ctl_main ${arg_PLATFORM})
endfunction()
