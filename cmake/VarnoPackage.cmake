# The Debian package: `cpack -G DEB` in a Release build without tests.

set(CPACK_PACKAGE_NAME varno)
set(CPACK_PACKAGE_VENDOR "${VARNO_PUBLISHER}")
set(CPACK_PACKAGE_CONTACT "${VARNO_PUBLISHER} <maintainers@varno.org>")
# Read here rather than named as the description file, which cpack would
# escape for XML.
set(description_file ${PROJECT_SOURCE_DIR}/data/description.txt)
file(READ ${description_file} CPACK_PACKAGE_DESCRIPTION)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${description_file})
# Debian ships programs without their symbols.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The libraries are found from the program, and with Qt's GUI library comes its
# X11 platform plugin; the QML modules that the window imports are not found,
# nor the SVG plugins that draw the window's icon.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qml6-module-qtquick, qml6-module-qtquick-controls, qml6-module-qtquick-layouts, \
qml6-module-qtquick-window, qml6-module-qtquick-templates, qml6-module-qtqml-workerscript, \
libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/data/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
