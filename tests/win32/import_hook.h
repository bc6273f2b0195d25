// Swapping a function that the test executable imports from a system DLL, so that a test can watch
// the calls that the program's own code (linked into the executable) makes, or make one fail.
// Calls made from inside the system's DLLs keep going to the real function.
#pragma once

#include <vector>

class ImportHook {
public:
    // Points the executable's imports of `function` from `dll` at `replacement` until destroyed.
    ImportHook(const char* dll, const char* function, void* replacement);
    ~ImportHook();
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    // How many import slots now lead to the replacement: 0 means that the executable does not
    // import the function, and the hook sees nothing.
    int slotsReplaced() const;

    // The real function, for the replacement to pass calls on.
    template <typename Function>
    Function original() const
    {
        return reinterpret_cast<Function>(real);
    }

private:
    void* real;
    std::vector<void**> slots;
};
