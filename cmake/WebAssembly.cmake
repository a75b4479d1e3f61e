# What the WebAssembly targets share (the web preset, emscripten).

# A program that runs under node from the command line: it reads files
# through node's own file system calls, ends with its exit status, and
# catches C++ exceptions (emscripten leaves them out unless asked, which
# keeps the page's code small).
function(mervalin_node_program target)
    target_compile_options(${target} PRIVATE -fexceptions)
    target_link_options(${target} PRIVATE
        -fexceptions -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1
        -sALLOW_MEMORY_GROWTH=1
        # Compiled at once from the .wasm beside it; emscripten's streaming
        # compilation takes node's fetch for a browser's and fails.
        -sWASM_ASYNC_COMPILATION=0)
endfunction()

# A library whose code runs inside mervalin_node_program targets and throws
# or catches exceptions itself.
function(mervalin_with_exceptions target)
    target_compile_options(${target} PRIVATE -fexceptions)
endfunction()
