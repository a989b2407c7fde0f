# What both MinGW-w64 cross builds share; the toolchain file of each target sets BRINDLE_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)
# The launcher needs no threads of its own, so the plain (win32 thread model) compilers do and keep
# winpthread out of the executables.
set(CMAKE_C_COMPILER ${BRINDLE_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${BRINDLE_TRIPLE}-g++)
set(CMAKE_RC_COMPILER ${BRINDLE_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${BRINDLE_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Windows programs of the build (the end-to-end tests) run under Wine 10.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../tools/wine10 wine)
