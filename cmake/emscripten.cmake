# Builds for browsers and Node with Debian's emscripten: WebAssembly and its
# JavaScript glue.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# emcc runs its JavaScript optimiser with the node first on the PATH, which
# finds Debian's acorn only through NODE_PATH unless it is Debian's own node.
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
set(CMAKE_C_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)

# Tests run the programs under node; Debian's, when there is one.
if(EXISTS /usr/bin/node)
    set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/node CACHE FILEPATH "" FORCE)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/HostHeaders.cmake)
