// Reading the benchmarked process's own memory figures on Linux.
#pragma once

#include <fstream>
#include <string>
#include <string_view>

namespace mervalin::bench {

// A field of /proc/self/status in KiB, such as "VmRSS", "VmHWM" or
// "RssAnon"; -1 when the kernel does not report it.
inline long statusKilobytes(std::string_view field) {
    std::ifstream status("/proc/self/status");
    const std::string prefix = std::string(field) + ":";
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) return std::stol(line.substr(prefix.size()));
    }
    return -1;
}

}  // namespace mervalin::bench
