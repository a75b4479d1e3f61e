# Two builds of one commit give the same bytes, wherever and whenever they
# are made: no path of the source or build folder in what the compiler
# writes (file names in assertions and debug information). The time stamps
# in the packages come from the commit (cmake/SourceDate.cmake), and the PE
# header of a Windows program has none. Set here rather than in the
# toolchain file, so that a build folder configured before holds them too.
if(NOT MSVC)
    add_compile_options(
        "-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=" "-ffile-prefix-map=${CMAKE_BINARY_DIR}/=")
endif()
if(MINGW)
    add_link_options(-Wl,--no-insert-timestamp)
endif()
