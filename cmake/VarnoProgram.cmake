# varno_add_qml_module(target MAIN_QML file)
# Compiles the QML module Varno into `target`: its documents ahead of time,
# its type registration and its resources under /qt/qml/Varno/. MAIN_QML names
# the document that becomes Main.qml.
function(varno_add_qml_module target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "MAIN_QML" "")
    set(components
        ${PROJECT_SOURCE_DIR}/qml/RGBControls.qml
        ${PROJECT_SOURCE_DIR}/qml/DialControl.qml
        ${PROJECT_SOURCE_DIR}/qml/SliderControl.qml)
    set_source_files_properties(${arg_MAIN_QML} PROPERTIES QT_RESOURCE_ALIAS Main.qml)
    foreach(component IN LISTS components)
        get_filename_component(name ${component} NAME)
        set_source_files_properties(${component} PROPERTIES QT_RESOURCE_ALIAS ${name})
    endforeach()
    qt_add_qml_module(${target}
        URI Varno
        VERSION 1.0
        RESOURCE_PREFIX /qt/qml
        TYPEINFO Varno.qmltypes
        # Away from the executable, so that the module is found only in the
        # resources.
        OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/qml/${target}/Varno
        QML_FILES ${arg_MAIN_QML} ${components}
    )
endfunction()

# varno_add_program(target MAIN_QML file [PLATFORM library])
# The program: main, the classes, the QML module, and on systems without
# Windows the platform library that answers its Windows calls.
function(varno_add_program target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "MAIN_QML;PLATFORM" "")
    qt_add_executable(${target} WIN32 ${PROJECT_SOURCE_DIR}/src/main.cpp)
    target_link_libraries(${target} PRIVATE varno_core Qt6::Quick ${arg_PLATFORM})
    # QML debugging opens a debug service: only for debug builds.
    target_compile_definitions(${target} PRIVATE $<$<CONFIG:Debug>:QT_QML_DEBUG>)
    varno_add_qml_module(${target} MAIN_QML ${arg_MAIN_QML})
endfunction()

# varno_add_ctl(target [PLATFORM library])
# varnoctl over the given platform library: a console program on Qt Core
# alone, which needs no display.
function(varno_add_ctl target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "PLATFORM" "")
    qt_add_executable(${target} ${PROJECT_SOURCE_DIR}/src/varnoctl.cpp)
    target_link_libraries(${target} PRIVATE varno_ctl ${arg_PLATFORM})
    target_compile_definitions(${target} PRIVATE VARNO_VERSION="${PROJECT_VERSION}")
endfunction()
