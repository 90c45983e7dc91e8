# Cross-compiles the 64-bit Windows build: it keeps the code pointer-size
# clean, and it is the build the tests run, under 64-bit Wine, where the
# kernel cannot run 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
