# What every Windows target of the project shares, whichever compiler builds
# it (mingw-w64 when cross-compiling, MSVC on Windows).

# Wide-character APIs everywhere, and the declarations of Windows 7, the
# oldest system the programs run on: a call of a newer function does not
# compile, and is looked up at run time instead (ui/win32/library.h). The
# test and benchmark helpers, which run only under Wine, may ask for
# WINDOWS10's declarations.
function(mervalin_windows_target target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "WINDOWS10" "" "")
    if(arg_WINDOWS10)
        set(version 0x0A00)
    else()
        set(version 0x0601)
    endif()
    target_compile_definitions(${target} PRIVATE
        UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=${version} WINVER=${version})
endfunction()

# A program whose entry point takes UTF-16 arguments: wWinMain with GUI, a
# window and the application manifest that its .rc embeds; wmain without.
function(mervalin_windows_program target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "GUI;WINDOWS10" "" "")
    if(arg_WINDOWS10)
        mervalin_windows_target(${target} WINDOWS10)
    else()
        mervalin_windows_target(${target})
    endif()
    if(MINGW)
        # MinGW's startup code calls wmain or wWinMain only when asked to.
        target_link_options(${target} PRIVATE -municode)
    endif()
    if(arg_GUI)
        set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
        if(MSVC)
            # The .rc embeds the manifest; the linker's own would clash with it.
            target_link_options(${target} PRIVATE /MANIFEST:NO)
        endif()
    endif()
endfunction()
