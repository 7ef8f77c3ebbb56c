#pragma once
// How much memory the system can still give, so that a very large allocation can be refused
// with a message: on Linux an allocation beyond it rarely fails outright, the process is killed
// later instead, taking every open window with it.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include <unistd.h>

namespace kelvora {

// MemAvailable of /proc/meminfo (memory obtainable without swapping, caches included); the
// total physical memory where that line is missing; SIZE_MAX where neither is known.
inline std::size_t AvailableMemoryBytes()
{
    std::ifstream meminfo("/proc/meminfo");
    const std::string key = "MemAvailable:";
    for (std::string line; std::getline(meminfo, line);) {
        if (line.compare(0, key.size(), key) != 0)
            continue;
        try {
            return static_cast<std::size_t>(std::stoull(line.substr(key.size())) * 1024);
        } catch (const std::exception&) {
            break;
        }
    }
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return static_cast<std::size_t>(-1);
    return static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize);
}

} // namespace kelvora
