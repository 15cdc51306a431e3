# Fails when a file could include a header of a layer above its own. Run as
#   cmake -DSOURCE_DIR=<repository> -DTABLE=<layer table> -DCXX=<compiler> -DWORK_DIR=<dir>
#         -P CheckLayers.cmake
# The layers are the targets' link lists (the table calvora_write_layer_table writes): a
# target's sources compile against the include trees of the targets it links and no others, so
# the preprocessor itself rejects an upward include however it is spelt. This proves that for
# every target and every target it does not link, and rejects the one spelling that
# goes round the trees, a path climbing out of the including file's folder. A header counts by
# the file it resolved to: an installed copy of it elsewhere on the search path is not the tree's.

cmake_minimum_required(VERSION 3.25)
include(${TABLE})
file(REAL_PATH "${SOURCE_DIR}" SOURCE_DIR)

set(violations "")

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
list(FILTER sources EXCLUDE REGEX "^(build|\\.git)/")
foreach(source IN LISTS sources)
    file(STRINGS ${SOURCE_DIR}/${source} climbing REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"][^\">]*\\.\\./")
    foreach(line IN LISTS climbing)
        list(APPEND violations "${source}: ${line}")
    endforeach()
endforeach()

# Preprocesses a file that includes header as the target's sources would include it; sets out
# to the compiler's complaint, empty when the header was found, and resolved_out to the real path
# of the file the header resolved to, empty when it was not found.
function(preprocess target directive header out resolved_out)
    string(MAKE_C_IDENTIFIER "${target}_${header}" name)
    set(probe ${WORK_DIR}/${name}.cpp)
    file(WRITE ${probe} "${directive}\n")
    set(flags "")
    foreach(directory IN LISTS ${target}_includes)
        if(NOT directory STREQUAL "")
            list(APPEND flags -I${directory})
        endif()
    endforeach()
    execute_process(COMMAND ${CXX} -std=c++20 -E ${flags} ${probe} OUTPUT_VARIABLE output
                    ERROR_VARIABLE complaint RESULT_VARIABLE result)
    set(resolved "")
    if(result EQUAL 0)
        set(complaint "")
        # The first line marker that names the header gives the file it resolved to.
        string(REPLACE "." "\\." pattern "${header}")
        if(output MATCHES "# [0-9]+ \"([^\"]*/${pattern})\"")
            file(REAL_PATH "${CMAKE_MATCH_1}" resolved)
        endif()
    elseif(complaint STREQUAL "")
        set(complaint "failed")
    endif()
    set(${out} "${complaint}" PARENT_SCOPE)
    set(${resolved_out} "${resolved}" PARENT_SCOPE)
endfunction()

# Each way of writing an include, in turn, so that no spelling escapes.
set(spellings "#include \"@header@\"" "#include <@header@>" "#  include \"@header@\""
              "  # include <@header@>")
list(LENGTH spellings spelling_count)
set(probe_count 0)
file(MAKE_DIRECTORY ${WORK_DIR})
foreach(target IN LISTS layer_targets)
    if(${target}_type STREQUAL "INTERFACE_LIBRARY")
        continue()  # compiles nothing
    endif()
    # The lowest header every target reaches: a failure must be the header's, not the command's.
    set(lowest calvora/framework/afxtypes.h)
    preprocess(${target} "#include \"${lowest}\"" ${lowest} complaint resolved)
    if(NOT resolved STREQUAL "${SOURCE_DIR}/${lowest}")
        list(APPEND violations "${target} cannot include the tree's ${lowest}: ${complaint}${resolved}")
        continue()
    endif()
    foreach(other IN LISTS layer_targets)
        if(other STREQUAL target OR other IN_LIST ${target}_below OR NOT ${other}_headers)
            continue()
        endif()
        # A target's headers share one include tree: one of them stands for all.
        list(GET ${other}_headers 0 header)
        math(EXPR index "${probe_count} % ${spelling_count}")
        list(GET spellings ${index} directive)
        string(CONFIGURE "${directive}" directive @ONLY)
        math(EXPR probe_count "${probe_count} + 1")
        preprocess(${target} "${directive}" ${header} complaint resolved)
        # Found elsewhere, the header is an installed copy (an SDK on the compiler's default
        # path), not the tree's: only the tree's own file is a way up the layers.
        if(resolved STREQUAL "${SOURCE_DIR}/${header}")
            list(APPEND violations "${target} reaches ${header} of ${other}, which it does not link")
        elseif(resolved STREQUAL "" AND NOT complaint MATCHES "${header}.*(No such file|not found)")
            list(APPEND violations "${target}: probing ${header} failed: ${complaint}")
        endif()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "Includes that run up the layers:\n  ${text}")
endif()
message(STATUS "${probe_count} upward includes rejected")
