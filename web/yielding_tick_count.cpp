// The millisecond tick of the browser page's host. The page runs the command-line program in a Web
// Worker without threads, so the Stop button's message can only be heard when the program gives
// the worker's event loop a turn. The shape iteration reads this tick after every trial; every
// yieldInterval milliseconds it sleeps for no time (Asyncify unwinds to the event loop and comes
// back), which lets the worker set the stop flag exactly as Ctrl-C does on the command line.
#include <emscripten.h>

#include <cstdint>

#include "estimation_state.h"
#include "host.h"

namespace {

// Short enough for Stop to feel immediate, long enough that the turns cost nothing measurable.
constexpr double yieldInterval = 50.0;

double lastYield = 0.0;

} // namespace

std::uint32_t hostTickCount()
{
    const double now = emscripten_get_now();
    if (now - lastYield >= yieldInterval) {
        emscripten_sleep(0);
        lastYield = emscripten_get_now();
    }
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now));
}

// Where the worker writes 1 when Stop is pressed: the flag that the iteration polls once per step.
extern "C" EMSCRIPTEN_KEEPALIVE std::int32_t* varnelStopFlag()
{
    return reinterpret_cast<std::int32_t*>(&state.stopRequested);
}
