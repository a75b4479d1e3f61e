#include "tools/standard_streams.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace mervalin {

// The C runtime opens them in text mode, which writes LF as CR LF.
void useBinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace mervalin
