// Loading the plug-ins: every "*.dll" of the plugin folder beside the exe,
// in the order the folder lists them, each asked once for its description
// through its export GetAppInfo (see sdk/pinatrove_plugin.h). A DLL stays
// loaded for the rest of the run whatever it answers; one that does not
// load, lacks the export, answers 0 or a text that is not a JSON object is
// left out of the list silently. Windows-only.
#pragma once

#include <string>
#include <vector>

#include "ext/plugin_list.h"

namespace pt {

// Resets `list` and fills it from the DLLs of `folder` (UTF-8, no trailing
// backslash). A DLL is loaded by its full path with the search for its own
// dependencies limited to its folder and the system folder: nothing is taken from
// the working directory. A file already loaded is not loaded again.
void LoadPlugins(const std::string& folder, PluginList& list);

// The process-wide list the panel fills at start (LoadPlugins on
// ExeDirectory() + "\\plugin").
PluginList& ProcessPlugins();
// The names the About page lists: ProcessPlugins().DisplayNames().
std::vector<std::string> LoadedPluginNames();

}  // namespace pt
