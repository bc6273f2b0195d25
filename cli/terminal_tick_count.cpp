// The millisecond tick of the command-line program's host, which paces the progress monitor.
// Apart from terminal_host.cpp because the browser page links the same program with a tick of its
// own, one that also lets its worker hear the Stop button.
#include <chrono>
#include <cstdint>

#include "host.h"

std::uint32_t hostTickCount()
{
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
