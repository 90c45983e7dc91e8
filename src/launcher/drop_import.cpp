// The text rules of the drop import; see drop_import.h.
#include "launcher/drop_import.h"

#include "launcher/target.h"

namespace pt {
namespace {

// The last component as the shell finds it: after the last backslash,
// slash or colon that is not the text's last character and not followed by
// another separator.
std::string_view LastComponent(std::string_view path) {
    size_t start = 0;
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        const char c = path[i];
        const char next = path[i + 1];
        if ((c == '\\' || c == '/' || c == ':') && next != '\\' && next != '/')
            start = i + 1;
    }
    return path.substr(start);
}

}  // namespace

std::string DisplayNameFromPathAs(std::string_view path, bool isUrl, bool isUnc) {
    std::string text(path);
    RemoveTrailingBackslash(text);
    if (isUrl) {
        const size_t scheme = text.find("://");
        if (scheme == std::string::npos)
            return text;
        const size_t start = scheme + 3;
        const size_t end = text.find('/', start);
        std::string host = text.substr(start, end == std::string::npos ? end : end - start);
        if (!host.empty())
            return host;
        return text.substr(text.rfind("://") + 3);
    }
    const std::string_view name = LastComponent(text);
    if (isUnc)
        return std::string(name);
    const std::string_view stem = name.substr(0, name.size() - FindExtension(name).size());
    return std::string(stem.empty() ? name : stem);
}

bool ShellObjectNameAccepted(std::string_view parsingName) {
    if (parsingName.substr(0, 2) != "::")
        return true;
    std::string_view clsid;
    return ShellObjectClsid(parsingName, &clsid);
}

}  // namespace pt
