// A recording host for the engine tests: every field text, error and end of run in order, and a
// tick count that the test drives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct HostEvent {
    enum Kind { fieldText, error, runEnded } kind;
    int id;              // field id for fieldText
    std::string text;    // field text or error text
    std::string caption; // error caption
};

struct FakeHost {
    std::vector<HostEvent> events;
    std::uint32_t tick = 0;
    std::uint32_t tickStep = 0;       // added to the tick after every read
    long ticksUntilStop = -1;         // when it reaches 0, the host requests Stop
};

extern FakeHost fakeHost;

// Clears the recorded events and the tick; zero-fills the estimation state, releasing its sample.
void resetHostAndState();

// The texts set into field `id`, in order.
std::vector<std::string> fieldTexts(int id);

// A file in the test's temporary folder with exactly these bytes; returns its path.
std::string writeTempFile(const std::string& name, const std::string& bytes);
