# How the project's targets are built: the compile settings every target of ours takes, and
# the headers each library lets its users include.

# Warnings and sanitizers for every target of ours, as usage requirements rather than global
# options, so that code built from other projects' sources keeps its own settings.
add_library(calvora_warnings INTERFACE)
target_compile_options(calvora_warnings INTERFACE -Wall -Wextra -Wshadow)
if(CALVORA_WERROR)
    target_compile_options(calvora_warnings INTERFACE -Werror)
endif()

add_library(calvora_sanitizers INTERFACE)
if(CALVORA_FUZZ)
    target_compile_options(calvora_sanitizers INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                           -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(calvora_sanitizers INTERFACE -fsanitize=address,undefined)
elseif(CALVORA_SANITIZE)
    target_compile_options(calvora_sanitizers INTERFACE -fsanitize=address,undefined
                           -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(calvora_sanitizers INTERFACE -fsanitize=address,undefined)
endif()

# Narrow literals are the code page 936 bytes the module stores and shows. Qt's headers bring
# <chrono>, one of whose literals has no GBK form; GB18030 encodes every character that has one
# exactly as GBK does, so code that includes Qt keeps the same bytes. clang (the fuzzing build)
# has no such option; its targets need no Chinese text.
add_library(calvora_charset INTERFACE)
add_library(calvora_charset_qt INTERFACE)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(calvora_charset INTERFACE -fexec-charset=GBK)
    target_compile_options(calvora_charset_qt INTERFACE -fexec-charset=GB18030)
endif()

# The settings of a target of ours; QT for one that includes Qt's headers. Linked privately:
# the execution character set is the target's own, and each binary takes the sanitizers itself.
# Only in the build tree: an installed static library's users keep their own settings.
function(calvora_settings target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "QT" "" "")
    if(arg_QT)
        set(charset calvora_charset_qt)
    else()
        set(charset calvora_charset)
    endif()
    target_link_libraries(${target} PRIVATE $<BUILD_INTERFACE:calvora_warnings>
                          $<BUILD_INTERFACE:calvora_sanitizers> $<BUILD_INTERFACE:${charset}>)
endfunction()

# Exposes headers to a target and whoever links it, under their paths in the repository: each
# argument is a folder (its *.h files, not its subfolders) or one header. The headers are linked
# into an include tree of the target's own, so a file can include a header only through a target
# it links.
function(calvora_expose_headers target)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        set(scope INTERFACE)
    else()
        set(scope PUBLIC)
    endif()
    set(tree ${PROJECT_BINARY_DIR}/include/${target})
    foreach(item IN LISTS ARGN)
        if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${item})
            file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}
                 ${PROJECT_SOURCE_DIR}/${item}/*.h)
        else()
            set(headers ${item})
        endif()
        foreach(header IN LISTS headers)
            get_filename_component(folder ${tree}/${header} DIRECTORY)
            file(MAKE_DIRECTORY ${folder})
            file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${header} ${tree}/${header} SYMBOLIC)
        endforeach()
        set_property(TARGET ${target} APPEND PROPERTY CALVORA_HEADERS ${headers})
    endforeach()
    target_include_directories(${target} ${scope} $<BUILD_INTERFACE:${tree}>)
endfunction()

# A static library of ours from the sources of the given folders and of their platform
# subfolders, exposing the headers of the same folders.
function(calvora_library name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "QT" "" "FOLDERS;LINKS")
    set(sources "")
    set(headers "")
    foreach(folder IN LISTS arg_FOLDERS)
        file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp
             ${PROJECT_SOURCE_DIR}/${folder}/${CALVORA_PLATFORM}/*.cpp)
        list(APPEND sources ${found})
        list(APPEND headers ${folder})
        if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${folder}/${CALVORA_PLATFORM})
            list(APPEND headers ${folder}/${CALVORA_PLATFORM})
        endif()
    endforeach()
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC ${arg_LINKS})
    if(arg_QT)
        calvora_settings(${name} QT)
    else()
        calvora_settings(${name})
    endif()
    calvora_expose_headers(${name} ${headers})
endfunction()

# The targets of ours that the given target links, directly or through others, from their own
# link lists: the layers below it.
function(calvora_layers_below target ours out)
    set(below "")
    set(pending ${target})
    while(pending)
        list(POP_FRONT pending current)
        get_target_property(type ${current} TYPE)
        set(links "")
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
            get_target_property(links ${current} LINK_LIBRARIES)
        endif()
        get_target_property(interface_links ${current} INTERFACE_LINK_LIBRARIES)
        foreach(link IN LISTS links interface_links)
            string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
            if(link IN_LIST ours AND NOT link IN_LIST below)
                list(APPEND below ${link})
                list(APPEND pending ${link})
            endif()
        endforeach()
    endwhile()
    set(${out} ${below} PARENT_SCOPE)
endfunction()

# Writes, for the checks of the layers, what the link lists make of the project's own targets:
# every target's type, the targets below it, the headers it exposes, its archive or objects and
# the include path its sources compile with.
function(calvora_write_layer_table file)
    get_property(targets DIRECTORY ${PROJECT_SOURCE_DIR} PROPERTY BUILDSYSTEM_TARGETS)
    set(ours "")
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        get_target_property(headers ${target} CALVORA_HEADERS)
        if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|EXECUTABLE)$" OR headers)
            list(APPEND ours ${target})
        endif()
    endforeach()
    set(text "set(layer_targets ${ours})\n")
    foreach(target IN LISTS ours)
        calvora_layers_below(${target} "${ours}" below)
        get_target_property(type ${target} TYPE)
        get_target_property(headers ${target} CALVORA_HEADERS)
        if(NOT headers)
            set(headers "")
        endif()
        string(APPEND text "set(${target}_type ${type})\n"
                           "set(${target}_below ${below})\n"
                           "set(${target}_headers ${headers})\n")
        if(type STREQUAL "STATIC_LIBRARY")
            string(APPEND text "set(${target}_binaries \"$<TARGET_FILE:${target}>\")\n")
        elseif(NOT type STREQUAL "INTERFACE_LIBRARY")
            string(APPEND text "set(${target}_binaries \"$<TARGET_OBJECTS:${target}>\")\n")
        endif()
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
            string(APPEND text
                   "set(${target}_includes \"$<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>\")\n")
        endif()
    endforeach()
    file(GENERATE OUTPUT ${file} CONTENT "${text}")
endfunction()
