# Checks with objdump that a DLL exports exactly the functions of the export list, each by its
# name and under its ordinal. Run as: cmake -DOBJDUMP=... -DDLL=... -DEXPORTS=... -P this file
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "objdump could not read ${DLL}")
endif()

string(REGEX MATCH "Ordinal Base ([0-9]+)" ignored "${dump}")
set(base ${CMAKE_MATCH_1})
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)*" table "${dump}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [A-Za-z_0-9@]+" rows "${table}")
string(REGEX MATCHALL "\\+base\\[ *[0-9]+\\]" addresses "${dump}")

set(found "")
foreach(row IN LISTS rows)
    string(REGEX REPLACE "\\[ *([0-9]+)\\] .*" "\\1" index "${row}")
    string(REGEX REPLACE "\\[ *[0-9]+\\] " "" name "${row}")
    math(EXPR ordinal "${index} + ${base}")
    list(APPEND found "${ordinal} ${name}")
endforeach()
list(SORT found COMPARE NATURAL)

file(STRINGS ${EXPORTS} expected REGEX "^[0-9]")
list(SORT expected COMPARE NATURAL)
list(LENGTH addresses address_count)
list(LENGTH expected expected_count)

if(NOT found STREQUAL expected OR NOT address_count EQUAL expected_count)
    message(FATAL_ERROR "exports of ${DLL}:\n  ${found}\n(${address_count} addresses)\n"
                        "expected:\n  ${expected}")
endif()
message(STATUS "${DLL}: ${found}")
