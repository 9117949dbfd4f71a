# 64-bit Windows: the same code, for running the test suite under a Wine
# that cannot start 32-bit programs (a kernel without 32-bit support).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZELKO_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
