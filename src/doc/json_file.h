// The forms in which the program's JSON files are read back: what the
// program writes (UTF-16LE, no byte-order mark), what an editor such as
// Notepad saves (UTF-16LE with a mark, UTF-8 with or without one) and what
// older versions wrote (code page 936 text). The settings file and the
// launcher data file share these rules, so one of them never reads a file
// that the other would refuse.
#pragma once

#include <functional>
#include <string_view>

#include "doc/json_document.h"

namespace pt {

enum class JsonFileForm {
    kNone,    // no form gave a document the caller would take
    kUtf16,   // UTF-16LE, a byte-order mark skipped
    kNarrow,  // UTF-8 (a mark skipped, or well-formed throughout), else code page 936
};

// Parses bytes into *document, UTF-16LE first, then as narrow text. `accept`
// judges each parsed document (for example: the root must be an object);
// an empty function takes any. After kNone the document holds whatever the
// last attempt left.
JsonFileForm ParseJsonFile(JsonDocument* document, std::string_view bytes,
                           const std::function<bool(JsonDocument&)>& accept = {});

}  // namespace pt
