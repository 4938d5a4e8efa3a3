# What makes the programs Windows programs: the version information and icon
# that Explorer shows, and the download, a zip and an installer.

# Windows wants four numbers.
string(REPLACE "." ";" version_numbers "${PROJECT_VERSION}.0.0.0")
list(SUBLIST version_numbers 0 4 version_numbers)
list(JOIN version_numbers "," VARNO_FILE_VERSION)

# The icon, drawn from the scalable one at the sizes Windows picks from. On
# Windows, `convert` is a tool for file systems.
find_program(VARNO_SVG_RENDERER rsvg-convert)
if(CMAKE_HOST_WIN32)
    find_program(VARNO_IMAGEMAGICK magick)
else()
    find_program(VARNO_IMAGEMAGICK NAMES magick convert)
endif()
set(VARNO_ICON ${CMAKE_BINARY_DIR}/varno.ico)
if(VARNO_SVG_RENDERER AND VARNO_IMAGEMAGICK)
    set(icon_commands "")
    set(icon_pictures "")
    foreach(size 16 24 32 48 64 256)
        set(picture ${CMAKE_BINARY_DIR}/varno-icon/${size}.png)
        list(APPEND icon_commands COMMAND ${VARNO_SVG_RENDERER} --width ${size} --height ${size}
             --output ${picture} ${PROJECT_SOURCE_DIR}/data/org.varno.Varno.svg)
        list(APPEND icon_pictures ${picture})
    endforeach()
    add_custom_command(OUTPUT ${VARNO_ICON}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/varno-icon
        ${icon_commands}
        COMMAND ${VARNO_IMAGEMAGICK} ${icon_pictures} ${VARNO_ICON}
        DEPENDS ${PROJECT_SOURCE_DIR}/data/org.varno.Varno.svg
        VERBATIM)
    # Qt gives its windows the icon of this name.
    set(VARNO_ICON_RESOURCE "IDI_ICON1 ICON \"${VARNO_ICON}\"")
else()
    message(STATUS "The programs get no icon: drawing it needs rsvg-convert and ImageMagick")
    set(VARNO_ICON_RESOURCE "")
endif()

# varno_add_windows_resource(target description)
# Gives the program `target` its version information and the icon.
function(varno_add_windows_resource target description)
    set(VARNO_FILE_NAME ${target})
    set(VARNO_FILE_DESCRIPTION ${description})
    set(resource ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/data/windows/varno.rc.in ${resource} @ONLY)
    target_sources(${target} PRIVATE ${resource})
    if(VARNO_ICON_RESOURCE)
        target_sources(${target} PRIVATE ${VARNO_ICON})
        set_source_files_properties(${resource} PROPERTIES OBJECT_DEPENDS ${VARNO_ICON})
    endif()
endfunction()
