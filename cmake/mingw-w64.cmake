# Cross-compiles the Windows build (64-bit) on Linux with Debian's mingw-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw_triple x86_64-w64-mingw32)

# The posix thread model: GoogleTest needs std::mutex, which the win32
# model's libstdc++ (GCC 12) lacks. Its winpthread library is linked in
# statically like the rest (below). GoogleTest's project also enables C.
if(EXISTS /usr/bin/${mingw_triple}-g++-posix)
    set(CMAKE_C_COMPILER /usr/bin/${mingw_triple}-gcc-posix)
    set(CMAKE_CXX_COMPILER /usr/bin/${mingw_triple}-g++-posix)
else()
    set(CMAKE_C_COMPILER ${mingw_triple}-gcc)
    set(CMAKE_CXX_COMPILER ${mingw_triple}-g++)
endif()
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program is one self-contained .exe: the GCC runtime, the C++ library
# and winpthread are linked in, so only system DLLs are imported.
# Hardening, as MSVC gives it by default: address-space layout randomisation
# with 64-bit entropy, no execution from data pages, and stack canaries
# (GCC's libssp, linked in statically like the rest).
set(CMAKE_C_FLAGS_INIT "-fstack-protector-strong")
set(CMAKE_CXX_FLAGS_INIT "-fstack-protector-strong")
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -Wl,--dynamicbase,--nxcompat,--high-entropy-va")
# GCC's symbols mean nothing to Windows' debuggers; a release .exe leaves
# them out.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

include(${CMAKE_CURRENT_LIST_DIR}/HostHeaders.cmake)

# Tests run the programs under Wine through this wrapper, which
# tests/win32/CMakeLists.txt writes into the build directory.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
