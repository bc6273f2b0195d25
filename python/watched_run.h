// Long native work that Python can still interrupt. Python handles signals on its main thread, and
// only while that thread runs Python code; so the work runs on a worker thread while the calling
// thread, without the interpreter lock, looks for signals and tells the work to stop.
#pragma once

#include <atomic>
#include <functional>

// Runs `work` on a worker thread and returns when it has finished, rethrowing what it threw. Until
// then the calling thread, which must not hold the interpreter lock, wakes every 20 ms and calls
// `watch` with the lock held: there it can check Python's signals and ask the work to stop.
void runWatched(const std::function<void()>& work, const std::function<void()>& watch);

// Runs `work(cancel)` as runWatched does, with the interpreter lock released: a signal whose handler
// raises (Ctrl-C's KeyboardInterrupt) sets `cancel`, and that exception is raised here once the work
// has stopped, before whatever the work threw because of it. Called with the lock held.
void runCancellable(const std::function<void(const std::atomic<bool>& cancel)>& work);
