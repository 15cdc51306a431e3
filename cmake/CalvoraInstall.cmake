# What `cmake --install` puts where, in the GNU layout: the module and its window system in a
# folder of their own, the demo host on the path, and the SDK for hosts and synchronisation
# libraries (headers, the framework and period code as static libraries, a package
# configuration). Windows keeps every binary in bin/, where the loader looks first.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

if(WIN32)
    set(CALVORA_INSTALL_MODULEDIR ${CMAKE_INSTALL_BINDIR})
else()
    set(CALVORA_INSTALL_MODULEDIR ${CMAKE_INSTALL_LIBDIR}/calvora)
endif()
set(CALVORA_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/calvora)
set(CALVORA_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Calvora)

# The installed host finds the module from its own folder; both paths are relative to the
# prefix, so the same binary works wherever the tree is unpacked.
file(RELATIVE_PATH module_from_host /${CMAKE_INSTALL_BINDIR} /${CALVORA_INSTALL_MODULEDIR})
target_compile_definitions(calvora-host PRIVATE CALVORA_INSTALLED_MODULE_DIR="${module_from_host}")

# The headers a host or a synchronisation library includes: the exports, the entry point of a
# synchronisation library, the types that cross the module boundary and what they include.
set(CALVORA_SDK_HEADERS
    api/calvora_api.h
    api/sync_library.h
    framework/afx.h
    framework/afxexcept.h
    framework/afxtypes.h
    framework/carchive.h
    framework/cdwordarray.h
    framework/cfile.h
    framework/cobject.h
    framework/coblist.h
    framework/cstring.h
    framework/ctime.h
    framework/modulestate.h
    framework/wrapint.h
    framework/platform/module_services.h
    framework/platform/platform_file.h
    periods/period_records.h)
foreach(header IN LISTS CALVORA_SDK_HEADERS)
    get_filename_component(folder ${header} DIRECTORY)
    install(FILES ${header} DESTINATION ${CALVORA_INSTALL_INCLUDEDIR}/${folder} COMPONENT sdk)
endforeach()

# The static libraries keep their names in the build tree and take prefixed ones when
# installed beside other projects' libraries.
set_target_properties(framework PROPERTIES OUTPUT_NAME calvora_framework)
set_target_properties(periods PROPERTIES OUTPUT_NAME calvora_periods)
foreach(library framework periods calvora_api calvora_sync_api)
    target_include_directories(${library} INTERFACE
                               $<INSTALL_INTERFACE:${CALVORA_INSTALL_INCLUDEDIR}>)
endforeach()

# What each kind of user links: a host loads the module and uses the records it lends; a
# synchronisation library implements the entry point and reads the same records.
add_library(calvora_host_sdk INTERFACE)
target_link_libraries(calvora_host_sdk INTERFACE calvora_api periods framework)
set_target_properties(calvora_host_sdk PROPERTIES EXPORT_NAME Host)
add_library(calvora_sync_sdk INTERFACE)
target_link_libraries(calvora_sync_sdk INTERFACE calvora_sync_api periods framework)
set_target_properties(calvora_sync_sdk PROPERTIES EXPORT_NAME SyncLibrary)
set_target_properties(Calvora PROPERTIES EXPORT_NAME Module)
set_target_properties(periods PROPERTIES EXPORT_NAME Periods)
set_target_properties(framework PROPERTIES EXPORT_NAME Framework)

# The settings targets the static libraries link privately go along: a sanitized build's
# libraries still need the sanitizer runtime at the user's link.
install(TARGETS calvora_host_sdk calvora_sync_sdk calvora_api calvora_sync_api periods framework
                calvora_warnings calvora_sanitizers calvora_charset
        EXPORT CalvoraTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT sdk)
# On Windows the import library carries the ordinals of the .def file.
install(TARGETS Calvora
        EXPORT CalvoraTargets
        RUNTIME DESTINATION ${CALVORA_INSTALL_MODULEDIR} COMPONENT runtime
        LIBRARY DESTINATION ${CALVORA_INSTALL_MODULEDIR} COMPONENT runtime
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT sdk)
install(TARGETS calvora-host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
if(TARGET CalvoraQt)
    install(TARGETS CalvoraQt LIBRARY DESTINATION ${CALVORA_INSTALL_MODULEDIR} COMPONENT runtime)
endif()
if(WIN32)
    install(FILES ${CALVORA_RUNTIME_LIBRARY_PATHS} DESTINATION ${CMAKE_INSTALL_BINDIR}
            COMPONENT runtime)
    install(FILES ${PROJECT_BINARY_DIR}/Calvora.def DESTINATION ${CMAKE_INSTALL_LIBDIR}
            COMPONENT sdk)
endif()
install(FILES plugin/exports.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/calvora COMPONENT sdk)

install(EXPORT CalvoraTargets NAMESPACE Calvora:: DESTINATION ${CALVORA_INSTALL_CMAKEDIR}
        COMPONENT sdk)
configure_package_config_file(cmake/CalvoraConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/CalvoraConfig.cmake
                              INSTALL_DESTINATION ${CALVORA_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/CalvoraConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/CalvoraConfig.cmake
              ${PROJECT_BINARY_DIR}/CalvoraConfigVersion.cmake
        DESTINATION ${CALVORA_INSTALL_CMAKEDIR} COMPONENT sdk)

# The host's manual page, from the text its --help prints.
if(NOT CMAKE_CROSSCOMPILING)
    set(man_page ${PROJECT_BINARY_DIR}/calvora-host.1)
    add_custom_command(OUTPUT ${man_page}
                       COMMAND ${CMAKE_COMMAND} -D HOST=$<TARGET_FILE:calvora-host>
                               -D TEMPLATE=${PROJECT_SOURCE_DIR}/host/man/calvora-host.1.in
                               -D OUTPUT=${man_page} -D CALVORA_VERSION=${PROJECT_VERSION}
                               -D CALVORA_MODULE_DIR=${CALVORA_INSTALL_MODULEDIR}
                               -P ${PROJECT_SOURCE_DIR}/cmake/HostManPage.cmake
                       DEPENDS calvora-host ${PROJECT_SOURCE_DIR}/host/man/calvora-host.1.in
                               ${PROJECT_SOURCE_DIR}/cmake/HostManPage.cmake
                       COMMENT "Writing the manual page of calvora-host")
    add_custom_target(calvora_host_man ALL DEPENDS ${man_page})
    install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runtime)
endif()
