# Writes the host's manual page from its --help text, so that the two never disagree.
# -D HOST=<calvora-host> TEMPLATE=<page.in> OUTPUT=<page> CALVORA_VERSION=... CALVORA_MODULE_DIR=...
# In English whatever the build's locale.
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C LANGUAGE= ${HOST} --help
                OUTPUT_VARIABLE help COMMAND_ERROR_IS_FATAL ANY)

# troff takes a backslash and a leading dot or quote as markup, and '-' as a hyphen.
function(roff_text text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REGEX REPLACE "^([.'])" "\\\\&\\1" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

string(REGEX REPLACE "\n$" "" help "${help}")
# Semicolons would split the list of lines.
string(ASCII 1 semicolon)
string(REPLACE ";" "${semicolon}" help "${help}")
string(REPLACE "\n" ";" lines "${help}")
set(synopsis "")
set(sections "")
foreach(line IN LISTS lines)
    if(line MATCHES "^usage: ([^ ]+) (.*)$")
        roff_text("${CMAKE_MATCH_2}" args)
        set(synopsis ".B ${CMAKE_MATCH_1}\n${args}")
    elseif(line MATCHES "^([a-z ]+):$")
        string(TOUPPER "${CMAKE_MATCH_1}" heading)
        string(APPEND sections ".SH ${heading}\n")
    elseif(line MATCHES "^  ([^ ].*)$")
        # An item, indented by two spaces: its name and arguments, then after two spaces or
        # more its description, or on the lines that follow when the name is long.
        set(item "${CMAKE_MATCH_1}")
        set(text "")
        if(item MATCHES "^([^ ]+( [^ ]+)*)  +([^ ].*)$")
            set(item "${CMAKE_MATCH_1}")
            set(text "${CMAKE_MATCH_3}\n")
        endif()
        roff_text("${item}" item)
        roff_text("${text}" text)
        string(APPEND sections ".TP\n.B ${item}\n${text}")
    elseif(line MATCHES "^ +([^ ].*)$")
        roff_text("${CMAKE_MATCH_1}" text)
        string(APPEND sections "${text}\n")
    else()
        message(FATAL_ERROR "Unexpected --help line: ${line}")
    endif()
endforeach()
set(HELP_SYNOPSIS "${synopsis}")
string(REGEX REPLACE "\n$" "" HELP_SECTIONS "${sections}")
string(REPLACE "${semicolon}" ";" HELP_SECTIONS "${HELP_SECTIONS}")
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
