// The import slots of the executable are found by walking its import directory for the address
// that the loader bound: the function's own address as GetProcAddress gives it.
#include "import_hook.h"

#include <windows.h>

namespace {

void writeSlot(void** slot, void* value)
{
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

}

ImportHook::ImportHook(const char* dll, const char* function, void* replacement)
    : real(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(dll), function)))
{
    if (real == nullptr) {
        return;
    }
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) {
        return;
    }
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name != 0; ++module) {
        for (auto** slot = reinterpret_cast<void**>(base + module->FirstThunk); *slot != nullptr; ++slot) {
            if (*slot == real) {
                slots.push_back(slot);
            }
        }
    }
    for (void** slot : slots) {
        writeSlot(slot, replacement);
    }
}

ImportHook::~ImportHook()
{
    for (void** slot : slots) {
        writeSlot(slot, real);
    }
}

int ImportHook::slotsReplaced() const
{
    return static_cast<int>(slots.size());
}
