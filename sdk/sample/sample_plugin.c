/* A sample Pinatrove plug-in: the smallest DLL that Pinatrove lists on its
   About page. Build it for the architecture of Pinatrove.exe and drop
   sample_plugin.dll into the "plugin" folder beside the exe. */
#include <windows.h>

#include "../pinatrove_plugin.h"

/* A static text: Pinatrove copies it and never frees it. */
static const wchar_t kInfo[] =
    L"{\"name\":\"示例插件\",\"version\":\"1.0\",\"author\":\"Pinatrove\","
    L"\"description\":\"A plug-in that only describes itself.\"}";

PINATROVE_PLUGIN_EXPORT const wchar_t* PINATROVE_PLUGIN_CALL GetAppInfo(void) {
    return kInfo;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
