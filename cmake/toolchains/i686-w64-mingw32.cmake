# Cross build of the release Tavu.exe and its Windows tests for i686.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR X86)
set(BRINDLE_TRIPLE i686-w64-mingw32)
# The release needs no threads of its own, so the plain (win32 thread model) compilers do and keep
# winpthread out of the executable.
set(CMAKE_C_COMPILER ${BRINDLE_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${BRINDLE_TRIPLE}-g++)
set(CMAKE_RC_COMPILER ${BRINDLE_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${BRINDLE_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Windows programs of the build (the end-to-end tests) run under Wine 10's WoW64.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../tools/wine10 wine)
