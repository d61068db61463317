# Cross build for Windows with Debian's MinGW-w64 toolchain; MINGW_TRIPLE is set
# by the file that includes this one.
set(CMAKE_SYSTEM_NAME Windows)

# The posix-threads runtime: the win32-threads one has no std::mutex, which the
# test framework needs. Everything is linked statically, winpthread included.
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Windows programs built here run under Wine, in the test prefix under build/.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/wine/wine-run.sh)
