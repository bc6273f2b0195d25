// A silent host for the benchmarks: the monitor and the results go nowhere.
#include <chrono>

#include "host.h"

void hostSetFieldText(int, const char*) {}

void hostShowError(const char*, const char*) {}

void hostRunEnded() {}

std::uint32_t hostTickCount()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}
