# The Windows zip of the installed tree: `cpack -G ZIP` in the build directory. The Debian
# packages come from debian/ (scripts/package.sh deb).
set(CPACK_PACKAGE_NAME calvora)
set(CPACK_PACKAGE_VENDOR "The Calvora authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Module that keeps and evaluates safe time periods")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR "")
if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_SYSTEM_NAME win32)
    set(CPACK_PACKAGE_FILE_NAME calvora-${PROJECT_VERSION}-win32)
endif()
include(CPack)
