# Windows' download: target windows_package makes varno-<version>-windows-x64.zip
# and the installer varno-<version>-setup.exe in package/ of the build, from
# the programs as installed, without their symbols, and a read-me.

configure_file(${PROJECT_SOURCE_DIR}/data/windows/README.txt README.txt @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt DESTINATION ${CMAKE_INSTALL_BINDIR})

# makensis and the icon come from Linux; a build on Windows goes without.
find_program(VARNO_MAKENSIS makensis)
if(NOT VARNO_MAKENSIS OR NOT VARNO_ICON_RESOURCE)
    message(STATUS "No Windows download: making it needs makensis and the icon")
    return()
endif()
set(package_dir ${CMAKE_BINARY_DIR}/package)
set(staging ${package_dir}/staging/${CMAKE_INSTALL_BINDIR})
set(package_name varno-${PROJECT_VERSION})
set(zip ${package_dir}/${package_name}-windows-x64.zip)
set(installer ${package_dir}/${package_name}-setup.exe)
set(installer_script ${PROJECT_SOURCE_DIR}/data/windows/varno.nsi)
add_custom_command(OUTPUT ${zip} ${installer}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${package_dir}/staging
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${package_dir}/staging --strip
    COMMAND ${CMAKE_COMMAND} -E chdir ${staging}
            ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip varno.exe varnoctl.exe README.txt
    COMMAND ${VARNO_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} "-DPUBLISHER=${VARNO_PUBLISHER}"
            -DFILES=${staging} -DICON=${VARNO_ICON} -DOUTFILE=${installer} ${installer_script}
    DEPENDS ${VARNO_PROGRAMS} ${VARNO_ICON} ${CMAKE_CURRENT_BINARY_DIR}/README.txt
            ${installer_script}
    COMMENT "Making ${package_name}-windows-x64.zip and ${package_name}-setup.exe"
    VERBATIM)
add_custom_target(windows_package DEPENDS ${zip} ${installer})
