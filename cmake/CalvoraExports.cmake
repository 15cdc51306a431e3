# The module's export list (calvora/plugin/exports.txt: an ordinal and a name per line) turned into what
# each platform's linker takes: a .def file with the ordinals for Windows, a version script
# elsewhere. Either way the linker is made to take the exports out of the static libraries.

# Sets <out_names> to the export names and <out_def_lines> to their .def lines, in list order.
function(calvora_read_exports list_file out_names out_def_lines)
    file(STRINGS ${list_file} lines REGEX "^[0-9]")
    set(names "")
    set(def_lines "")
    foreach(line IN LISTS lines)
        string(REGEX MATCH "^[0-9]+" ordinal "${line}")
        string(REGEX REPLACE "^[0-9]+ +" "" name "${line}")
        list(APPEND names ${name})
        string(APPEND def_lines "    ${name} @${ordinal}\n")
    endforeach()
    set(${out_names} ${names} PARENT_SCOPE)
    set(${out_def_lines} "${def_lines}" PARENT_SCOPE)
endfunction()

# Makes <target> export exactly the names of <list_file>, and nothing else.
function(calvora_module_exports target list_file)
    calvora_read_exports(${list_file} names def_lines)
    get_target_property(file_name ${target} OUTPUT_NAME)
    if(NOT file_name)
        set(file_name ${target})
    endif()
    if(WIN32)
        set(def_file ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
        file(CONFIGURE OUTPUT ${def_file}
             CONTENT "LIBRARY ${file_name}.dll\nEXPORTS\n${def_lines}")
        target_sources(${target} PRIVATE ${def_file})
        # C names carry a leading underscore in 32-bit objects, none in 64-bit ones.
        if(CMAKE_SIZEOF_VOID_P EQUAL 4)
            set(symbol_prefix "_")
        else()
            set(symbol_prefix "")
        endif()
    else()
        set(map_file ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
        list(JOIN names "; " globals)
        file(CONFIGURE OUTPUT ${map_file} CONTENT "{\n  global: ${globals};\n  local: *;\n};\n")
        target_link_options(${target} PRIVATE -Wl,--version-script=${map_file} -Wl,--no-undefined)
        set_target_properties(${target} PROPERTIES LINK_DEPENDS ${map_file})
        set(symbol_prefix "")
    endif()
    foreach(name IN LISTS names)
        target_link_options(${target} PRIVATE -Wl,--undefined=${symbol_prefix}${name})
    endforeach()
endfunction()
