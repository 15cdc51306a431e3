# Fails when a file includes a header of a layer above its own. Run as
#   cmake -DSOURCE_DIR=<repository> -P CheckLayers.cmake
# The layers, lowest first: the framework (value types, files, platform ports), its window layer,
# the period records, the store and the matcher, the dialogs and their templates, the plug-in.
# A folder may include its own headers and those of the folders listed after it. The exports'
# declarations (plugin/calvora_api.h) sit beside the framework: the store and the matcher define
# some of the exports. The data files' names (store/data_file.h) are inline, for hosts too.

cmake_minimum_required(VERSION 3.25)

set(layers
    "framework/ui/qt:framework/ui framework"
    "framework/ui/headless:framework/ui framework"
    "framework/ui:framework"
    "framework:"
    "periods:framework"
    "store:periods framework plugin/calvora_api.h"
    "matching:store periods framework plugin/calvora_api.h"
    "resources:framework/ui framework"
    "dialogs:resources store periods framework/ui framework"
    "plugin/module:plugin dialogs matching store periods resources framework/ui framework"
    "plugin:dialogs matching store periods resources framework/ui framework"
    "host:matching/next_change.h periods framework store/data_file.h plugin/calvora_api.h")

# The layer of a path: the longest folder of the table it lies in, or "" for none.
function(layer_of path out)
    set(found "")
    foreach(row IN LISTS layers)
        string(REGEX REPLACE ":.*" "" folder "${row}")
        string(LENGTH "${folder}" length)
        string(LENGTH "${found}" found_length)
        if(path MATCHES "^${folder}/" AND length GREATER found_length)
            set(found "${folder}")
        endif()
    endforeach()
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

function(allowed_below layer out)
    foreach(row IN LISTS layers)
        if(row MATCHES "^${layer}:(.*)$")
            string(REPLACE " " ";" below "${CMAKE_MATCH_1}")
            set(${out} ${below} PARENT_SCOPE)
            return()
        endif()
    endforeach()
endfunction()

set(violations "")
foreach(row IN LISTS layers)
    string(REGEX REPLACE ":.*" "" folder "${row}")
    file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h
         ${SOURCE_DIR}/${folder}/*.cpp)
    foreach(file IN LISTS files)
        layer_of(${file} own)
        if(NOT own STREQUAL folder)
            continue()  # checked under its own, more specific folder
        endif()
        allowed_below(${own} below)
        file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^#include \"")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^#include \"([^\"]*)\".*" "\\1" header "${line}")
            layer_of(${header} target)
            if(target STREQUAL "" OR target STREQUAL own OR header IN_LIST below)
                continue()
            endif()
            if(NOT target IN_LIST below)
                list(APPEND violations "${file} includes ${header}")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "Includes that run up the layers:\n  ${text}")
endif()
