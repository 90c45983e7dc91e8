// The plug-in list; see plugin_list.h.
#include "ext/plugin_list.h"

#include <utility>

namespace pt {

PluginList::PluginList() {
    Reset();
}

void PluginList::Reset() {
    descriptions_ = JsonDocument();
    descriptions_.ParseText("[]");
    fileNames_.clear();
}

bool PluginList::Add(std::string fileName, std::u16string_view text) {
    JsonDocument description;
    if (!description.ParseWide(text, true) || description.GetKind("") != JsonKind::kObject)
        return false;
    if (!descriptions_.AppendCopy("", description))
        return false;
    fileNames_.push_back(std::move(fileName));
    return true;
}

std::vector<std::string> PluginList::DisplayNames() const {
    std::vector<std::string> names;
    for (size_t i = 0; i < fileNames_.size(); ++i) {
        const std::string path = "[" + std::to_string(i) + "].name";
        std::string name;
        if (descriptions_.GetKind(path) == JsonKind::kString)
            name = descriptions_.GetText(path);
        names.push_back(name.empty() ? fileNames_[i] : std::move(name));
    }
    return names;
}

}  // namespace pt
