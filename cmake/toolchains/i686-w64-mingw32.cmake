# Cross build of Tavu.exe and its Windows tests for i686 (the release build).
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
