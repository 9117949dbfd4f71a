# 32-bit Windows, the build for the tills (the register's control is a
# 32-bit in-process component).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ZELKO_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
