# Fails when a library of ours needs a symbol that none of the libraries it links defines but a
# target above it does (a library, the module's start-up, a program): code that compiles
# against the layers below and still links only with one above. Run as
#   cmake -DTABLE=<layer table> -DNM=<nm> -P CheckLayerSymbols.cmake

cmake_minimum_required(VERSION 3.25)
include(${TABLE})

# Sets out to the external symbols of the binaries (an archive or objects) that nm lists with
# options.
function(symbols binaries options out)
    execute_process(COMMAND ${NM} -g -P ${options} ${binaries} OUTPUT_VARIABLE listing
                    RESULT_VARIABLE result ERROR_VARIABLE complaint)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${NM} failed on ${binaries}: ${complaint}")
    endif()
    # One "name type [value size]" line per symbol; the archive's members end in a colon.
    string(REGEX MATCHALL "(^|\n)[^ \n:]+ [A-Za-z]" lines "${listing}")
    set(names "")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "^\n?([^ ]+) ([A-Za-z])$" "\\1;\\2" fields "${line}")
        list(GET fields 0 name)
        list(GET fields 1 type)
        # Weak references (w, v) need no definition.
        if(NOT type MATCHES "^[wv]$")
            list(APPEND names ${name})
        endif()
    endforeach()
    list(REMOVE_DUPLICATES names)
    set(${out} ${names} PARENT_SCOPE)
endfunction()

set(libraries "")
set(definers "")
foreach(target IN LISTS layer_targets)
    if(NOT ${target}_binaries)
        continue()
    endif()
    list(APPEND definers ${target})
    symbols("${${target}_binaries}" --defined-only ${target}_defined)
    if(${target}_type STREQUAL "STATIC_LIBRARY")
        list(APPEND libraries ${target})
        symbols("${${target}_binaries}" --undefined-only ${target}_undefined)
    endif()
endforeach()

set(violations "")
foreach(target IN LISTS libraries)
    set(missing ${${target}_undefined})
    foreach(provider IN LISTS target ${target}_below)
        if(provider IN_LIST definers AND missing)
            list(REMOVE_ITEM missing ${${provider}_defined})
        endif()
    endforeach()
    foreach(other IN LISTS definers)
        if(other STREQUAL target OR other IN_LIST ${target}_below OR NOT missing)
            continue()
        endif()
        foreach(name IN LISTS missing)
            if(name IN_LIST ${other}_defined)
                list(APPEND violations "${target} needs ${name}, which only ${other} defines")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "Symbols that only a higher library defines:\n  ${text}")
endif()
list(LENGTH libraries count)
message(STATUS "${count} libraries need nothing from above")
