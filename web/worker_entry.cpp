// How the page's worker starts the program: main itself, then a call back to the worker with the
// exit status. The worker cannot use emscripten's callMain for this: when the shape iteration yields
// to the event loop, callMain returns (and reports an exit) long before main has finished.
#include <emscripten.h>

#include <cstdio>

// The program's main, under another name: C++ lets no one call main itself.
int programMain(int argc, char** argv) __asm__("main");

EM_JS(void, tellWorkerEnded, (int status), { Module["varnelEnded"](status); });

extern "C" EMSCRIPTEN_KEEPALIVE void varnelRun(int argc, char** argv)
{
    const int status = programMain(argc, argv);
    // What exit would do for a process: nothing written may stay in a buffer.
    std::fflush(nullptr);
    tellWorkerEnded(status);
}
