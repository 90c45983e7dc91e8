// The file forms of the program's JSON documents; see json_file.h.
#include "doc/json_file.h"

#include <string>

#include "base/codepage.h"
#include "base/text.h"

namespace pt {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool Take(JsonDocument& document, const std::function<bool(JsonDocument&)>& accept) {
    return !accept || accept(document);
}

}  // namespace

JsonFileForm ParseJsonFile(JsonDocument* document, std::string_view bytes,
                           const std::function<bool(JsonDocument&)>& accept) {
    std::string_view wide = bytes;
    if (StartsWith(wide, "\xFF\xFE"))
        wide.remove_prefix(2);
    if (document->ParseBytes(wide) && Take(*document, accept))
        return JsonFileForm::kUtf16;
    // Text that is well-formed UTF-8 came from an editor: real Chinese text
    // in code page 936 practically never is.
    std::string_view narrow = bytes;
    bool utf8 = StartsWith(narrow, "\xEF\xBB\xBF");
    if (utf8)
        narrow.remove_prefix(3);
    utf8 = utf8 || IsValidUtf8(narrow);
    if (document->ParseText(utf8 ? std::string(narrow) : Cp936ToUtf8(narrow)) &&
        Take(*document, accept)) {
        return JsonFileForm::kNarrow;
    }
    return JsonFileForm::kNone;
}

}  // namespace pt
