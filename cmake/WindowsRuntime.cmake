# Every module of the Windows build shares one C++ runtime from DLLs. An exception thrown in one
# module and caught in another needs a single unwinder that knows the frames of both (the DWARF
# unwinder of 32-bit mingw keeps them in a table of its own copy), and a single exception
# runtime; a statically linked runtime gives each module its own copy, and an exception that
# leaves the module it was thrown in ends the process.
#
# All executables and DLLs go to one directory, beside a copy of the runtime DLLs, so that the
# loader finds them there without any search path being set.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The GCC runtime is named after its unwinder: DWARF tables for 32-bit, SEH for 64-bit.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CALVORA_GCC_RUNTIME_DLL libgcc_s_seh-1.dll)
else()
    set(CALVORA_GCC_RUNTIME_DLL libgcc_s_dw2-1.dll)
endif()
set(CALVORA_RUNTIME_DLLS libstdc++-6.dll ${CALVORA_GCC_RUNTIME_DLL} libwinpthread-1.dll)
set(CALVORA_RUNTIME_LIBRARY_PATHS "")
foreach(dll IN LISTS CALVORA_RUNTIME_DLLS)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    if(NOT IS_ABSOLUTE "${dll_path}" OR NOT EXISTS "${dll_path}")
        message(FATAL_ERROR "The compiler does not ship ${dll}")
    endif()
    file(COPY ${dll_path} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
    list(APPEND CALVORA_RUNTIME_LIBRARY_PATHS ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${dll})
endforeach()
