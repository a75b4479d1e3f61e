# What every Windows target of the project shares, whichever compiler builds
# it (mingw-w64 when cross-compiling, MSVC on Windows).

# Wide-character APIs everywhere, and the declarations of Windows 10 (the
# per-monitor DPI functions), the oldest system the programs run on.
function(mervalin_windows_target target)
    target_compile_definitions(${target} PRIVATE
        UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
endfunction()

# A program whose entry point takes UTF-16 arguments: wWinMain with GUI, a
# window and the application manifest that its .rc embeds; wmain without.
function(mervalin_windows_program target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "GUI" "" "")
    mervalin_windows_target(${target})
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
