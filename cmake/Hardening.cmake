# Hardening of the native Linux binaries: what a distribution would add when
# it packages the program, so that a memory fault in it is hard to turn into
# running someone else's code. scripts/check-hardening reads the result back
# from the binaries.
#
# Windows builds are left alone: MSVC and mingw-w64 take other switches for
# the same protections, and the Windows build sets its own. The sanitizer
# builds (asan, fuzz) get everything except _FORTIFY_SOURCE, whose checked
# copies of the C library functions would hide faults from AddressSanitizer
# and which needs an optimised build to do anything at all.
option(MERVALIN_HARDENING "Build with the hardening flags of cmake/Hardening.cmake" ON)

function(mervalin_hardening)
    if(NOT MERVALIN_HARDENING OR MSVC OR WIN32 OR CMAKE_CROSSCOMPILING
       OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux"
       OR NOT CMAKE_CXX_COMPILER_ID MATCHES "^(GNU|Clang)$")
        return()
    endif()

    include(CheckCXXCompilerFlag)
    include(CheckLinkerFlag)
    include(CheckPIESupported)

    # Position-independent executables, so that address-space layout
    # randomisation moves the program's own code too. check_pie_supported()
    # makes CMake pass -pie when it links an executable.
    check_pie_supported(OUTPUT_VARIABLE pie_error LANGUAGES CXX)
    if(NOT CMAKE_CXX_LINK_PIE_SUPPORTED)
        message(FATAL_ERROR "Hardening: the linker cannot make a PIE: ${pie_error}")
    endif()
    set(CMAKE_POSITION_INDEPENDENT_CODE ON PARENT_SCOPE)

    # Full RELRO: relocations are resolved at start and the GOT is then made
    # read-only, so it cannot be overwritten to redirect a call.
    add_link_options(LINKER:-z,relro,-z,now)
    # The stack is never executable, whatever an object file asks for.
    add_link_options(LINKER:-z,noexecstack)

    # A canary in every function with a local array or an address-taken local,
    # checked before it returns.
    add_compile_options(-fstack-protector-strong)

    # Indirect branch tracking and the shadow stack (Intel CET), on x86 only.
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i.86)$")
        check_cxx_compiler_flag(-fcf-protection=full MERVALIN_HAS_CF_PROTECTION)
        if(MERVALIN_HAS_CF_PROTECTION)
            add_compile_options(-fcf-protection=full)
        endif()
    endif()

    # Bounds checks in the standard library's containers and strings:
    # operator[] past the end aborts instead of reading past it.
    add_compile_definitions(_GLIBCXX_ASSERTIONS)

    # Checked memcpy, sprintf and friends where the size of the destination
    # is known. Level 3 also uses sizes known only at run time. Any level the
    # compiler or the environment already defines is undefined first, since
    # redefining it with another value is an error.
    if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize=")
        add_compile_options(
            "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=3>")
    endif()
endfunction()

mervalin_hardening()
