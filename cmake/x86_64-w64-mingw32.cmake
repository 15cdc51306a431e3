# Cross-compiles a 64-bit Windows build with mingw-w64, for testing the Windows platform code
# under the 64-bit Wine on machines that cannot run 32-bit programs. The product stays 32-bit.
# Debian's wine command starts the 32-bit loader whenever it is installed, so the 64-bit one is
# named directly.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CALVORA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CALVORA_WINE_LOADER wine64)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
