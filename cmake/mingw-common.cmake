# Shared part of the MinGW-w64 cross toolchains. The including file sets
# ZELKO_MINGW_TRIPLE (i686-w64-mingw32 or x86_64-w64-mingw32).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_CXX_COMPILER ${ZELKO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_C_COMPILER ${ZELKO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_RC_COMPILER ${ZELKO_MINGW_TRIPLE}-windres)
set(ZELKO_WINDRES ${ZELKO_MINGW_TRIPLE}-windres)
set(ZELKO_WIDL ${ZELKO_MINGW_TRIPLE}-widl)

# The MinGW runtime, and GoogleTest and the header-only libraries that
# cmake/windows-deps.sh prepares for this target.
get_filename_component(ZELKO_WINDOWS_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build/windows-deps/${ZELKO_MINGW_TRIPLE}" ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${ZELKO_MINGW_TRIPLE} ${ZELKO_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained programs: a till needs nothing but the system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_MODULE_LINKER_FLAGS_RELEASE_INIT "-s")

# Windows XP and later; GetVersionExA stays the plain version call.
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501)

# Tests run through Wine, which picks its 32- or 64-bit loader.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
