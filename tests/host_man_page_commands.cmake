# The commands of the manual page are those of --help, each an item of its own, in its order.
# -D HOST=<calvora-host> -D PAGE=<calvora-host.1>
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C LANGUAGE= ${HOST} --help
                OUTPUT_VARIABLE help COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCH "\ncommands:\n(.*)\noptions:\n" ignored "${help}")
string(REGEX MATCHALL "(^|\n)  [a-z][-a-z]*" help_commands "${CMAKE_MATCH_1}")
string(REGEX REPLACE "(^|\n)  " "" help_commands "${help_commands}")

file(READ ${PAGE} page)
string(REGEX MATCH "\n\\.SH COMMANDS\n(.*)\n\\.SH OPTIONS\n" ignored "${page}")
string(REGEX MATCHALL "\\.TP\n\\.B [a-z][-a-z\\\\]*" page_commands "${CMAKE_MATCH_1}")
string(REGEX REPLACE "\\.TP\n\\.B " "" page_commands "${page_commands}")
string(REPLACE "\\-" "-" page_commands "${page_commands}")

if(help_commands STREQUAL "" OR NOT help_commands STREQUAL page_commands)
    message(FATAL_ERROR "--help lists '${help_commands}', the manual page '${page_commands}'")
endif()
