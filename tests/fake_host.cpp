// The recording fake of the engine's host used by every engine test.
#include "fake_host.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "estimation_state.h"
#include "host.h"

FakeHost fakeHost;

void hostSetFieldText(int id, const char* text) { fakeHost.events.push_back({HostEvent::fieldText, id, text, ""}); }

void hostShowError(const char* text, const char* caption)
{
    fakeHost.events.push_back({HostEvent::error, 0, text, caption});
}

void hostRunEnded() { fakeHost.events.push_back({HostEvent::runEnded, 0, "", ""}); }

std::uint32_t hostTickCount()
{
    const std::uint32_t now = fakeHost.tick;
    fakeHost.tick += fakeHost.tickStep;
    if (fakeHost.ticksUntilStop >= 0 && fakeHost.ticksUntilStop-- == 0)
        state.stopRequested.store(1);
    return now;
}

void resetHostAndState()
{
    fakeHost = FakeHost{};
    releaseSamples();
    std::memset(state.RFile, 0, sizeof state.RFile);
    std::memset(state.reportFile, 0, sizeof state.reportFile);
    state.Fi = 0;
    state.rankFunction = nullptr;
    state.autoGamma = 0;
    state.gamma = state.initialM = 0;
    state.n = 0;
    state.samples = nullptr;
    state.m = state.t0 = state.mu = state.xi = state.tm = state.sigma2 = 0;
    state.iterationEnding = IterationEnding::none;
    state.stopRequested.store(0);
}

std::vector<std::string> fieldTexts(int id)
{
    std::vector<std::string> texts;
    for (const HostEvent& event : fakeHost.events) {
        if (event.kind == HostEvent::fieldText && event.id == id)
            texts.push_back(event.text);
    }
    return texts;
}

std::string writeTempFile(const std::string& name, const std::string& bytes)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "varnel_tests";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / name).string();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}
