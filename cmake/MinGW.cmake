# What both Windows toolchain files share: the mingw-w64 cross compiler of CALVORA_MINGW_TRIPLE
# and the Wine loader in CALVORA_WINE_LOADER that ctest runs the .exe files through. The
# posix-threads variant of the compiler is the one whose C++ library has std::thread and
# std::mutex.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${CALVORA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CALVORA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CALVORA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${CALVORA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(CALVORA_WINE NAMES ${CALVORA_WINE_LOADER} PATHS /usr/lib/wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CALVORA_WINE})
