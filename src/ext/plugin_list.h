// The plug-in list: the descriptions that the DLLs in the plugin folder gave
// at start-up, one document of the document module whose root is an array
// of their copies, kept for the whole run. The descriptions are JSON objects
// (see sdk/pinatrove_plugin.h); the only member this program reads is
// "name", the name the About page shows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "doc/json_document.h"

namespace pt {

// A description text longer than this (in bytes, the terminator included) is
// not read to its end and the plug-in is left out.
inline constexpr size_t kMaxPluginDescriptionBytes = 1u << 20;

class PluginList {
  public:
    PluginList();
    void Reset();
    // Adds a copy of the description `text` gave by the DLL file `fileName`.
    // False, and nothing added, when the text is not a JSON object.
    bool Add(std::string fileName, std::u16string_view text);
    size_t Size() const { return fileNames_.size(); }
    // For each plug-in in load order: its "name" when that is a non-empty
    // string, else its file name.
    std::vector<std::string> DisplayNames() const;
    const JsonDocument& Descriptions() const { return descriptions_; }

  private:
    JsonDocument descriptions_;
    std::vector<std::string> fileNames_;
};

}  // namespace pt
