#include "tools/standard_streams.h"

namespace mervalin {

// POSIX streams carry bytes as they are.
void useBinaryStandardStreams() {}

}  // namespace mervalin
