# The part of the MinGW-w64 toolchain files that both architectures share. The posix-thread
# compiler is used because GoogleTest needs std::mutex, which the win32-thread variant lacks.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${VORLUND_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORLUND_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${VORLUND_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VORLUND_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# wine-run picks the Wine loader and prefix from the program's own PE header.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
