// The engine's host for the terminal. The monitor is one status line on standard error, rewritten
// in place and cleared when the run ends, so nothing of it reaches standard output or a pipe.
#include "terminal_host.h"

#include <cstdio>
#include <string>

#include "host.h"
#include "terminal_host.h"

namespace {

bool monitorEnabled = false;
bool monitorShown = false;
std::string monitorM;
std::string dataFileProblem;
RunFailure failure;

void clearMonitor()
{
    if (monitorShown) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        monitorShown = false;
    }
}

} // namespace

void enableMonitor() { monitorEnabled = true; }

void setDataFileProblem(const std::string& reason) { dataFileProblem = reason; }

void hostSetFieldText(int id, const char* text)
{
    if (!monitorEnabled)
        return;
    if (id == IDC_MONITOR_M) {
        monitorM = text;
    } else if (id == IDC_MONITOR_G) {
        const std::string line = "\rvarnel: iterating  m =" + monitorM + "  g(m) =" + text + "  (Ctrl-C stops)\033[K";
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
        monitorShown = true;
    }
}

const RunFailure& runFailure() { return failure; }

void hostShowError(const char* text, const char* caption)
{
    clearMonitor();
    failure.caption = caption;
    failure.text = text;
    if (failure.text == "Invalid data type")
        failure.reason = dataFileProblem;
    std::string message = std::string("varnel: ") + caption + ": " + text;
    if (!failure.reason.empty())
        message += " (" + failure.reason + ")";
    message += "\n";
    std::fputs(message.c_str(), stderr);
}

void hostRunEnded() { clearMonitor(); }
