# Cross build of the x86_64 twin of Tavu.exe and its Windows tests, from the same sources: what the
# end-to-end tests run on where Wine cannot start 32-bit programs. It is never released.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(BRINDLE_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
