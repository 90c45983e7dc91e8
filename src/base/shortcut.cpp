// Text rules of shortcut files: the link name's extension, icon locations
// and the "%ProgramFiles%" replacement. Kept apart from the COM code so they
// are checked natively.
#include "base/shortcut.h"

#include <charconv>

namespace pt {
namespace {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string LinkFileWithExtension(std::string_view linkFile) {
    size_t dot = linkFile.rfind('.');
    if (dot != std::string_view::npos && linkFile.substr(dot) == ".lnk")
        return std::string(linkFile);
    return std::string(linkFile) + ".lnk";
}

std::string JoinIconLocation(std::string_view file, int index) {
    std::string text(file);
    if (index != 0)
        text += "," + std::to_string(index);
    return text;
}

void SplitShortcutIconLocation(std::string_view location, std::string* file, int* index) {
    *index = 0;
    size_t comma = location.rfind(',');
    if (comma != std::string_view::npos) {
        std::string_view digits = location.substr(comma + 1);
        while (!digits.empty() && digits.front() == ' ')
            digits.remove_prefix(1);
        int value = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (!digits.empty() && error == std::errc() && end == digits.data() + digits.size()) {
            *file = std::string(location.substr(0, comma));
            *index = value;
            return;
        }
    }
    *file = std::string(location);
}

std::string ReplaceProgramFilesVariable(std::string_view text, std::string_view value) {
    static constexpr std::string_view kVariable = "%programfiles%";
    std::string result;
    size_t i = 0;
    while (i < text.size()) {
        bool match = text.size() - i >= kVariable.size();
        for (size_t k = 0; match && k < kVariable.size(); ++k) {
            match = AsciiLower(text[i + k]) == kVariable[k];
        }
        if (match) {
            result += value;
            i += kVariable.size();
        } else {
            result += text[i++];
        }
    }
    return result;
}

}  // namespace pt
