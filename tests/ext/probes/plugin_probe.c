/* A test plug-in whose answer depends on the name it is copied under:
     *zero*     returns NULL
     *broken*   returns a text that is not JSON
     *scalar*   returns JSON that is not an object
     *endless*  returns a text without a terminator within 1 MiB
     *badptr*   returns a pointer to no memory at all
     *unnamed*  returns an object without "name"
   anything else returns {"name":"probe"}. */
#include <windows.h>
#include <wchar.h>

#include "../../../sdk/pinatrove_plugin.h"

static wchar_t endless[600 * 1024];
static wchar_t fileName[MAX_PATH];

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        GetModuleFileNameW(instance, fileName, MAX_PATH);
        CharLowerW(fileName);
    }
    return TRUE;
}

PINATROVE_PLUGIN_EXPORT const wchar_t* PINATROVE_PLUGIN_CALL GetAppInfo(void) {
    const wchar_t* base = wcsrchr(fileName, L'\\');
    base = base ? base + 1 : fileName;
    if (wcsstr(base, L"zero"))
        return 0;
    if (wcsstr(base, L"broken"))
        return L"{\"name\":";
    if (wcsstr(base, L"scalar"))
        return L"\"just text\"";
    if (wcsstr(base, L"endless")) {
        for (size_t i = 0; i < sizeof endless / sizeof endless[0]; ++i)
            endless[i] = L'x';
        return endless;
    }
    if (wcsstr(base, L"badptr"))
        return (const wchar_t*)(ULONG_PTR)0x10;
    if (wcsstr(base, L"unnamed"))
        return L"{\"version\":\"2\"}";
    return L"{\"name\":\"probe\"}";
}
