# Included by the cross-compiling toolchains (mingw-w64.cmake, emscripten.cmake).
#
# nlohmann_json is header-only and the same for every target, so the host's
# package serves, which the toolchain's root path would hide. Its imported
# target names the package's prefix as include directory, and the host's
# /usr/include must not come before the target's own headers: a prefix of
# links to just this package stands in.
if(EXISTS /usr/share/cmake/nlohmann_json AND EXISTS /usr/include/nlohmann)
    set(host_packages ${CMAKE_BINARY_DIR}/host-packages)
    file(MAKE_DIRECTORY ${host_packages}/include ${host_packages}/share/cmake)
    file(CREATE_LINK /usr/include/nlohmann ${host_packages}/include/nlohmann SYMBOLIC)
    file(CREATE_LINK /usr/share/cmake/nlohmann_json ${host_packages}/share/cmake/nlohmann_json
         SYMBOLIC)
    set(nlohmann_json_DIR ${host_packages}/share/cmake/nlohmann_json)
endif()
