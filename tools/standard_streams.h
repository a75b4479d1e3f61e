// The scenario runner's standard streams, made alike on every platform.
#pragma once

namespace mervalin {

// Standard input, output and error carry bytes unchanged: no CR is added
// before LF on output, nor taken away on input. Each platform has its own
// definition (standard_streams_posix.cpp, standard_streams_windows.cpp).
void useBinaryStandardStreams();

}  // namespace mervalin
