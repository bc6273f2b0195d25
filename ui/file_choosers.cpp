// The file choosers. Both offer data files first and all files second and add ".dat" to a name typed
// without an extension; the open chooser accepts only an existing file, the save chooser asks before
// replacing one.
#include "file_choosers.h"

#include <commdlg.h>

namespace {

constexpr int chooserCapacity = 260;
const char chooserFilter[] = "Data Files(*.dat)\0*.dat\0All Files(*.*)\0*.*\0";

enum class Chooser { open, save };

int askPath(Chooser chooser, HWND owner, const char* initialName, char* destination, int capacity)
{
    char fileName[chooserCapacity];
    char fileTitle[chooserCapacity] = "";
    lstrcpynA(fileName, initialName, chooserCapacity);

    OPENFILENAMEA request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = chooserFilter;
    request.nFilterIndex = 1;
    request.lpstrFile = fileName;
    request.nMaxFile = chooserCapacity;
    request.lpstrFileTitle = fileTitle;
    request.nMaxFileTitle = chooserCapacity;
    request.lpstrDefExt = "dat";
    BOOL chosen;
    if (chooser == Chooser::open) {
        request.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
        chosen = GetOpenFileNameA(&request);
    } else {
        request.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
        chosen = GetSaveFileNameA(&request);
    }
    if (!chosen || lstrlenA(fileName) >= capacity) {
        return 2;
    }
    lstrcpyA(destination, fileName);
    return 1;
}

}

int askOpenPath(HWND owner, const char* initialName, char* destination, int capacity)
{
    return askPath(Chooser::open, owner, initialName, destination, capacity);
}

int askSavePath(HWND owner, const char* initialName, char* destination, int capacity)
{
    return askPath(Chooser::save, owner, initialName, destination, capacity);
}
