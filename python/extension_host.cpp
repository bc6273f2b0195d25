// The host functions of engine/host.h for the Python extension. They are called only from the
// worker of a classic run, and read after it under the same lock, so plain variables suffice.
#include "extension_host.h"

#include <chrono>

#include "host.h"

namespace {

RunFailure failure;

} // namespace

void clearRunFailure() { failure = RunFailure{}; }

const RunFailure& lastRunFailure() { return failure; }

void hostSetFieldText(int, const char*) {}

void hostShowError(const char* text, const char* caption)
{
    failure.caption = caption;
    failure.text = text;
}

void hostRunEnded() {}

std::uint32_t hostTickCount()
{
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
