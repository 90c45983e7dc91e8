// Binds a function the system does not have: the first argument picks a
// missing DLL ("dll") or a missing function of a present DLL ("function").
#include <windows.h>

#include "toolkit/dll_binding.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    pt::RestrictDllSearchPath();
    if (lstrcmpiW(commandLine, L"function") == 0) {
        static pt::DllFunction<int(WINAPI*)(int)> missing{"user32.dll", "PtNoSuchFunction"};
        return missing(1) == 0 ? 2 : 3;
    }
    static pt::DllFunction<int(WINAPI*)(int)> missing{"pt_no_such_library.dll", "PtAnything"};
    return missing(1) == 0 ? 2 : 3;
}
