/* A test plug-in that imports plugin_dep.dll: it loads only where that DLL
   is found, and then names itself "needs dep". */
#include "../../../sdk/pinatrove_plugin.h"

__declspec(dllimport) int PluginDepValue(void);

PINATROVE_PLUGIN_EXPORT const wchar_t* PINATROVE_PLUGIN_CALL GetAppInfo(void) {
    return PluginDepValue() == 42 ? L"{\"name\":\"needs dep\"}" : 0;
}
