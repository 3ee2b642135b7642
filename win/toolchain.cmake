# Cross-building for 64-bit Windows with Debian's mingw-w64. The posix
# compilers by their full names: the win32 ones lack std::mutex, and the plain
# names follow whichever package was installed last. Programs the build runs
# (the art generator, test discovery, CTest) run under Wine, through
# wine.sh and its prefix.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(WENHOD_WIN_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${WENHOD_WIN_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WENHOD_WIN_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${WENHOD_WIN_HOST}-windres)
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${WENHOD_WIN_HOST})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine.sh)
