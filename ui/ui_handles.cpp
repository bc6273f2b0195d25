// Storage of the handles shared by the main window and the parameter dialog.
#include "ui_handles.h"

HINSTANCE appInstance;
HICON appIcon;
HWND mainWindow;
HWND paramDialog;
