// Process entry point.
#include <windows.h>

#include "app/startup.h"
#include "toolkit/dll_binding.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Before any DLL is loaded by name: system DLLs come from the system
    // folder only, never from beside the exe or the working directory.
    pt::RestrictDllSearchPath();
    return pt::RunApplication(instance);
}
