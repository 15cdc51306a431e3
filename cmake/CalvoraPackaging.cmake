# Packages of the installed tree: a .deb on Linux, a zip for Windows. `cpack -G DEB` or
# `cpack -G ZIP` in the build directory.
set(CPACK_PACKAGE_NAME calvora)
set(CPACK_PACKAGE_VENDOR "Calvora developers")
set(CPACK_PACKAGE_CONTACT "Calvora developers <calvora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Safe time periods module with its demo host and the SDK for hosts and sync libraries")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES OFF)
set(CPACK_GENERATOR "")

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_SYSTEM_NAME win32)
    set(CPACK_PACKAGE_FILE_NAME calvora-${PROJECT_VERSION}-win32)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION misc)
    # The libraries the binaries link come from dpkg-shlibdeps; what they load at run time is
    # named here: Qt's X11 platform plugin, the Ming face that stands in for the dialogs' own,
    # and a sans-serif face with their Chinese texts.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "qt6-qpa-plugins, fonts-arphic-uming, fonts-wqy-zenhei | fonts-noto-cjk")
endif()
include(CPack)
