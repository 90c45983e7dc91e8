/* A DLL another test plug-in depends on. It has no GetAppInfo, so in the
   plugin folder it also stands for a DLL that is not a plug-in. */
#include <windows.h>

__declspec(dllexport) int PluginDepValue(void) {
    return 42;
}
