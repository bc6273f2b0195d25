// Entry point of the Windows test programs. A crash ends the process at once instead of opening a
// crash dialog that would wait, unseen, for a click.
#include <windows.h>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
