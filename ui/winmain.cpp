// Entry point of varnel.exe. The runtime hands over the command line without the program name and
// the blanks after it, and the show command the starting process asked for (SW_SHOWDEFAULT if none).
#include "program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int showCommand)
{
    return runProgram(instance, commandTail, showCommand);
}
