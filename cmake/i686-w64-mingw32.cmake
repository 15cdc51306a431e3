# Cross-compiles the 32-bit Windows build, the product, with mingw-w64; its tests run under the
# 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CALVORA_MINGW_TRIPLE i686-w64-mingw32)
set(CALVORA_WINE_LOADER wine)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
