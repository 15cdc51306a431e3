# What `cmake --install` puts where, in the GNU layout: the module and its window system in a
# folder of their own, the demo host on the path, and the SDK for hosts and synchronisation
# libraries (headers, the framework and period code as static libraries, a CMake package and a
# pkg-config file). Windows keeps every binary in bin/, where the loader looks first.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

if(WIN32)
    set(CALVORA_INSTALL_MODULEDIR ${CMAKE_INSTALL_BINDIR})
else()
    set(CALVORA_INSTALL_MODULEDIR ${CMAKE_INSTALL_LIBDIR}/calvora)
endif()
# The include root of the SDK: a header's path in this tree is its path below it, and the one
# folder its users put on their include path.
set(CALVORA_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR})
set(CALVORA_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Calvora)

# The installed host finds the module from its own folder, relative to the prefix, so the same
# binary works wherever the tree is unpacked; a copy of it elsewhere, in the folder the prefix
# gives.
file(RELATIVE_PATH module_from_host /${CMAKE_INSTALL_BINDIR} /${CALVORA_INSTALL_MODULEDIR})
if(WIN32)
    set(system_module_dir "")
else()
    set(system_module_dir ${CMAKE_INSTALL_PREFIX}/${CALVORA_INSTALL_MODULEDIR})
endif()
# The translations of its messages, the same way.
file(RELATIVE_PATH locale_from_host /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LOCALEDIR})
# A packaged host also says, when it could not save, who can: to a user outside the group that
# may save (to everyone when no group is named).
set(CALVORA_SAVE_HINT "" CACHE STRING "The line the host adds when a received list was not saved")
set(CALVORA_SAVE_GROUP "" CACHE STRING "The group whose members the hint says can save")
target_compile_definitions(calvora-host PRIVATE CALVORA_INSTALLED_MODULE_DIR="${module_from_host}"
                           CALVORA_SYSTEM_MODULE_DIR="${system_module_dir}"
                           CALVORA_INSTALLED_LOCALE_DIR="${locale_from_host}"
                           CALVORA_SYSTEM_LOCALE_DIR="${CMAKE_INSTALL_FULL_LOCALEDIR}"
                           CALVORA_SAVE_HINT="${CALVORA_SAVE_HINT}"
                           CALVORA_SAVE_GROUP="${CALVORA_SAVE_GROUP}")

# The version a host or a synchronisation library was built against.
set(version_header ${PROJECT_BINARY_DIR}/sdk/calvora_version.h)
configure_file(cmake/calvora_version.h.in ${version_header} @ONLY)

# The headers a host or a synchronisation library includes: the exports, the entry point of a
# synchronisation library, the types that cross the module boundary and what they include, and
# the conversion of the module's texts.
set(CALVORA_SDK_HEADERS
    calvora/api/calvora_api.h
    calvora/api/sync_library.h
    calvora/framework/afx.h
    calvora/framework/afxexcept.h
    calvora/framework/afxtypes.h
    calvora/framework/civil_date.h
    calvora/framework/carchive.h
    calvora/framework/cdwordarray.h
    calvora/framework/cfile.h
    calvora/framework/cobject.h
    calvora/framework/coblist.h
    calvora/framework/cstring.h
    calvora/framework/ctime.h
    calvora/framework/modulestate.h
    calvora/framework/wrapint.h
    calvora/framework/platform/file_path.h
    calvora/framework/platform/module_services.h
    calvora/framework/platform/platform_file.h
    calvora/framework/platform/text_encoding.h
    calvora/periods/period_records.h
    calvora/periods/period_rule.h
    calvora/periods/time_of_day.h
    calvora/changes/next_change.h)
foreach(header IN LISTS CALVORA_SDK_HEADERS)
    get_filename_component(folder ${header} DIRECTORY)
    install(FILES ${header} DESTINATION ${CALVORA_INSTALL_INCLUDEDIR}/${folder} COMPONENT sdk)
endforeach()
install(FILES ${version_header} DESTINATION ${CALVORA_INSTALL_INCLUDEDIR}/calvora COMPONENT sdk)

# The static libraries keep their names in the build tree and take prefixed ones when
# installed beside other projects' libraries. Their users compile as C++20, as the headers do.
set_target_properties(framework PROPERTIES OUTPUT_NAME calvora_framework EXPORT_NAME Framework)
set_target_properties(periods PROPERTIES OUTPUT_NAME calvora_periods EXPORT_NAME Periods)
set_target_properties(changes PROPERTIES OUTPUT_NAME calvora_changes EXPORT_NAME Changes)
target_compile_features(framework PUBLIC cxx_std_20)
foreach(library framework periods changes)
    target_include_directories(${library} INTERFACE
                               $<INSTALL_INTERFACE:${CALVORA_INSTALL_INCLUDEDIR}>)
endforeach()
# A sanitized build's libraries need the sanitizer runtime at their user's link too.
if(CALVORA_SANITIZE)
    target_link_options(framework INTERFACE $<INSTALL_INTERFACE:-fsanitize=address,undefined>)
endif()

# What each kind of user links: a host loads the module and uses the records it lends; a
# synchronisation library implements the entry point and reads the same records. The
# header-only targets they take their declarations from stay in the build tree.
add_library(calvora_host_sdk INTERFACE)
target_link_libraries(calvora_host_sdk INTERFACE $<BUILD_INTERFACE:calvora_api> changes periods
                      framework)
set_target_properties(calvora_host_sdk PROPERTIES EXPORT_NAME Host)
add_library(calvora_sync_sdk INTERFACE)
target_link_libraries(calvora_sync_sdk INTERFACE $<BUILD_INTERFACE:calvora_sync_api> periods
                      framework)
set_target_properties(calvora_sync_sdk PROPERTIES EXPORT_NAME SyncLibrary)
# A sync library exports its entry point alone: nothing of the static libraries it takes in, not
# even the C++ runtime's template type information that their code instantiates. (A DLL exports
# only what is marked for export once anything is.)
if(NOT WIN32)
    target_link_options(calvora_sync_sdk INTERFACE LINKER:--exclude-libs,ALL)
endif()
# On Linux the module is a plug-in that hosts load by path: Calvora::Module names its file and
# links nothing. On Windows a host may link it through the import library, which carries the
# ordinals of the .def file.
set_target_properties(Calvora PROPERTIES EXPORT_NAME Module)

install(TARGETS calvora_host_sdk calvora_sync_sdk changes periods framework
        EXPORT CalvoraTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT sdk)
install(TARGETS Calvora
        EXPORT CalvoraTargets
        RUNTIME DESTINATION ${CALVORA_INSTALL_MODULEDIR} COMPONENT runtime
        LIBRARY DESTINATION ${CALVORA_INSTALL_MODULEDIR} COMPONENT runtime
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT sdk)
install(TARGETS calvora-host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
if(TARGET calvora-host-week)
    install(TARGETS calvora-host-week calvora-host-ics LIBRARY DESTINATION ${CALVORA_INSTALL_MODULEDIR}
            COMPONENT runtime)
endif()
if(TARGET CalvoraQt)
    install(TARGETS CalvoraQt LIBRARY DESTINATION ${CALVORA_INSTALL_MODULEDIR} COMPONENT runtime)
endif()
if(WIN32)
    install(FILES ${CALVORA_RUNTIME_LIBRARY_PATHS} DESTINATION ${CMAKE_INSTALL_BINDIR}
            COMPONENT runtime)
    install(FILES ${PROJECT_BINARY_DIR}/Calvora.def DESTINATION ${CMAKE_INSTALL_LIBDIR}
            COMPONENT sdk)
    # The zip's licences: ours, and those of the runtime DLLs it redistributes.
    install(FILES LICENSE DESTINATION . COMPONENT runtime)
    install(FILES cmake/zip-README.txt DESTINATION . RENAME README.txt COMPONENT runtime)
    # The Debian package takes them from the tree (debian/calvora-dev.examples); the zip has
    # no other way to carry them.
    install(DIRECTORY examples/ DESTINATION examples COMPONENT sdk)
    install(FILES licenses/GPL-3.txt licenses/GCC-RUNTIME-LIBRARY-EXCEPTION-3.1.txt
                  licenses/winpthreads.txt
            DESTINATION licenses COMPONENT runtime)
endif()
install(FILES calvora/plugin/exports.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/calvora COMPONENT sdk)
install(FILES host/demo/sample-periods.tm DESTINATION ${CMAKE_INSTALL_DATADIR}/calvora
        COMPONENT runtime)

install(EXPORT CalvoraTargets NAMESPACE Calvora:: DESTINATION ${CALVORA_INSTALL_CMAKEDIR}
        COMPONENT sdk)
configure_package_config_file(cmake/CalvoraConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/CalvoraConfig.cmake
                              INSTALL_DESTINATION ${CALVORA_INSTALL_CMAKEDIR})
# The headers' layouts must agree across the module boundary, which a new major version breaks.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/CalvoraConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/CalvoraConfig.cmake
              ${PROJECT_BINARY_DIR}/CalvoraConfigVersion.cmake
        DESTINATION ${CALVORA_INSTALL_CMAKEDIR} COMPONENT sdk)

# For builds without CMake: the same include root and libraries as Calvora::Host, and the
# module's folder (moduledir), relative to the file's own folder, so that an unpacked tree works
# where it lies.
set(pkgconfig_libs "-lcalvora_changes -lcalvora_periods -lcalvora_framework -pthread")
if(CMAKE_DL_LIBS)
    string(APPEND pkgconfig_libs " -l${CMAKE_DL_LIBS}")
endif()
file(RELATIVE_PATH pkgconfig_prefix /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" pkgconfig_prefix "${pkgconfig_prefix}")
configure_file(cmake/calvora.pc.in ${PROJECT_BINARY_DIR}/calvora.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/calvora.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT sdk)

# The host's messages in other languages: each po/LANGUAGE.po compiled by msgfmt, which also
# checks that every translation takes the arguments its message gives, into locale/ beside the
# host, where the host of the build tree finds it, and installed where gettext looks.
if(NOT WIN32)
    find_program(CALVORA_MSGFMT msgfmt REQUIRED)
    file(GLOB host_translations CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/po/*.po)
    set(host_catalogues "")
    foreach(po IN LISTS host_translations)
        get_filename_component(language ${po} NAME_WE)
        set(catalogue_dir ${PROJECT_BINARY_DIR}/locale/${language}/LC_MESSAGES)
        add_custom_command(OUTPUT ${catalogue_dir}/calvora-host.mo
                           COMMAND ${CMAKE_COMMAND} -E make_directory ${catalogue_dir}
                           COMMAND ${CALVORA_MSGFMT} --check -o ${catalogue_dir}/calvora-host.mo ${po}
                           DEPENDS ${po}
                           COMMENT "Compiling the ${language} messages of calvora-host")
        list(APPEND host_catalogues ${catalogue_dir}/calvora-host.mo)
        install(FILES ${catalogue_dir}/calvora-host.mo
                DESTINATION ${CMAKE_INSTALL_LOCALEDIR}/${language}/LC_MESSAGES COMPONENT runtime)
    endforeach()
    add_custom_target(calvora_host_translations ALL DEPENDS ${host_catalogues})
    add_dependencies(calvora-host calvora_host_translations)
endif()

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
    # Where bash-completion looks for a command's completion, loading it on first use.
    install(FILES host/completion/calvora-host
            DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT runtime)
endif()
