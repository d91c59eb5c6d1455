# Cross-building for 64-bit Windows from Debian with mingw-w64. The -posix
# compilers are the ones whose C++ library has std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DRAYVANE_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DRAYVANE_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DRAYVANE_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${DRAYVANE_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DRAYVANE_MINGW})
# Build tools (ninja, wine) are the host's; libraries and headers the target's.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program runs alone: no runtime DLL of the compiler beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs, and the tools that make the font and paint the art during
# the build, run under Wine, in the project's own Wine prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine.sh)
# Wine shows the Unix root as drive Z:, and the tests name the build's
# folders from any drive (their scratch folders are on C:).
set(DRAYVANE_TEST_PATH_PREFIX Z:)
