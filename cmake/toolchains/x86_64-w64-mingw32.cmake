# Cross build of Tavu.exe and its Windows tests for x86-64 (run under 64-bit Wine).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(BRINDLE_TRIPLE x86_64-w64-mingw32)
# The -posix compilers: GoogleTest needs std::mutex, which the win32 thread model lacks.
set(CMAKE_C_COMPILER ${BRINDLE_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRINDLE_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BRINDLE_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${BRINDLE_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../tests/e2e/wine-run)
