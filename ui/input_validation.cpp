// Validation of the dialog's inputs. Nothing is stored until every check has passed: a failed
// Calculate leaves the state of the last run whole, so a later Save never reports new inputs beside
// results computed from old ones.
#include "input_validation.h"

#include <windows.h>

#include <cstring>

#include "dialog_controls.h"
#include "estimation_state.h"
#include "file_search.h"
#include "number_syntax.h"
#include "resource_ids.h"

namespace {

constexpr int fieldCapacity = 512;

void clearOutputFields()
{
    for (int id = IDC_MONITOR_M; id <= IDC_RESULT_SIGMA2; ++id) {
        SetWindowTextA(dialogControl(id), "");
    }
}

// 1 to 4 for the ticked rank method, 0 when none is ticked.
int tickedRankMethod()
{
    for (int id = IDC_RANK_MEAN; id <= IDC_RANK_MID_POINT; ++id) {
        if (SendMessageA(dialogControl(id), BM_GETCHECK, 0, 0) == BST_CHECKED) {
            return id - IDC_RANK_MEAN + 1;
        }
    }
    return 0;
}

}

int hasWildcard(const char* path)
{
    for (const char* c = path; *c != '\0'; ++c) {
        if (*c == '?' || *c == '*') {
            return 1;
        }
    }
    return 0;
}

int validateInputs()
{
    clearOutputFields();

    char path[fieldCapacity];
    GetWindowTextA(dialogControl(IDC_DATA_FILE), path, fieldCapacity);
    if (hasWildcard(path) || !namesDiskFile(path)) {
        return IDC_DATA_FILE;
    }

    const bool autoGamma =
        SendMessageA(dialogControl(IDC_AUTO_GAMMA), BM_GETCHECK, 0, 0) == BST_CHECKED;
    double gamma = state.gamma;
    if (!autoGamma) {
        char text[fieldCapacity];
        if (GetWindowTextA(dialogControl(IDC_GAMMA), text, fieldCapacity) == 0) {
            return IDC_GAMMA;
        }
        gamma = readNumber(text, nullptr);
    }

    char text[fieldCapacity];
    if (GetWindowTextA(dialogControl(IDC_INITIAL_M), text, fieldCapacity) == 0) {
        return IDC_INITIAL_M;
    }
    const double initialM = readNumber(text, nullptr);
    if (!(initialM > 0.0)) {
        return IDC_INITIAL_M;
    }

    std::strcpy(state.RFile, path);
    state.autoGamma = autoGamma ? 1 : 0;
    state.gamma = gamma;
    state.initialM = initialM;
    if (const int method = tickedRankMethod(); method != 0) {
        state.Fi = method;
    }
    return 0;
}
