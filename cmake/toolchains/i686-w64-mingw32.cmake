# Cross build of the release Tavu.exe and its Windows tests for i686; Wine runs them in WoW64 mode.
set(CMAKE_SYSTEM_PROCESSOR X86)
set(BRINDLE_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
