# Cross-compiles the 32-bit Windows build on Linux with Debian's mingw-w64
# (g++-mingw-w64-i686-posix), for 32-bit Windows 7 and later.
set(MERVALIN_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
