// A small XML reader for the layout files of the resource archive: one root
// element with nested elements, attributes in single or double quotes, the
// five named entities and numeric character references, comments, the XML
// declaration and a UTF-8 byte-order mark. Text between tags is kept
// (trimmed) but has no use in our layouts; DOCTYPE, CDATA and processing
// instructions other than the declaration are refused. Pure C++: malformed
// input gives false with a message, never a crash (it is fuzzed).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pt {

struct XmlNode {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;  // in document order
    std::vector<XmlNode> children;
    std::string text;

    // Null when the attribute is absent.
    const std::string* Attribute(std::string_view key) const;
};

// Parses a whole document into `root`. False on any error; `error` (when
// given) then says what and at which byte offset.
bool ParseXml(std::string_view text, XmlNode& root, std::string* error = nullptr);

}  // namespace pt
