# Cross-compiles the Windows build on Linux with Debian's mingw-w64: 64-bit,
# or 32-bit when mingw-w64-x86.cmake includes this with
# MERVALIN_MINGW_PROCESSOR set to i686.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT DEFINED MERVALIN_MINGW_PROCESSOR)
    set(MERVALIN_MINGW_PROCESSOR x86_64)
endif()
set(CMAKE_SYSTEM_PROCESSOR ${MERVALIN_MINGW_PROCESSOR})
set(mingw_triple ${MERVALIN_MINGW_PROCESSOR}-w64-mingw32)

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
# (with 64-bit entropy in a 64-bit program), no execution from data pages,
# and stack canaries (GCC's libssp, linked in statically like the rest).
# A 32-bit program may use the whole 4 GiB on 64-bit Windows.
set(CMAKE_C_FLAGS_INIT "-fstack-protector-strong")
set(CMAKE_CXX_FLAGS_INIT "-fstack-protector-strong")
if(MERVALIN_MINGW_PROCESSOR STREQUAL x86_64)
    set(address_space --high-entropy-va)
else()
    set(address_space --large-address-aware)
    # Doubles in SSE2 registers, as in the 64-bit build: the x87 unit's
    # 80-bit intermediates round some decimal texts to another double than
    # the C library does. Every processor since the Pentium 4 and Athlon 64
    # has SSE2 (Windows 8 and later require it).
    string(APPEND CMAKE_C_FLAGS_INIT " -msse2 -mfpmath=sse")
    string(APPEND CMAKE_CXX_FLAGS_INIT " -msse2 -mfpmath=sse")
endif()
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -Wl,--dynamicbase,--nxcompat,${address_space}")
# GCC's symbols mean nothing to Windows' debuggers; a release .exe leaves
# them out.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

include(${CMAKE_CURRENT_LIST_DIR}/HostHeaders.cmake)

# Tests run the programs under Wine through this wrapper, which
# tests/win32/CMakeLists.txt writes into the build directory.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
