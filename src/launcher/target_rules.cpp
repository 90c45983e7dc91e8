// The string rules of target classification and the path helpers. Nothing
// here touches the system; the shell tests come in through TargetProbe.
#include "launcher/target.h"

#include <climits>

namespace pt {
namespace {

constexpr std::string_view kFullWidthSpace = "\xE3\x80\x80";  // U+3000

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

size_t FindNoCase(std::string_view text, std::string_view part, size_t from) {
    if (part.empty())
        return from <= text.size() ? from : std::string_view::npos;
    if (text.size() < part.size())
        return std::string_view::npos;
    for (size_t i = from; i + part.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < part.size() && AsciiLower(text[i + k]) == AsciiLower(part[k]))
            ++k;
        if (k == part.size())
            return i;
    }
    return std::string_view::npos;
}

std::string KindText(TargetKindId id) {
    switch (id) {
        case TargetKindId::kFolder:
            return "folder";
        case TargetKindId::kShell:
            return "shell";
        case TargetKindId::kEncrypt:
            return "encrypt";
        case TargetKindId::kUnc:
            return "unc";
        case TargetKindId::kUrl:
            return "url";
        case TargetKindId::kFile:
            return "file";
        case TargetKindId::kUnknown:
        case TargetKindId::kExtension:
            break;
    }
    return "unknown";
}

TargetKind Kind(TargetKindId id) {
    return TargetKind{id, KindText(id)};
}

}  // namespace

TargetKind ClassifyTargetWith(std::string_view path, const TargetProbe& probe) {
    if (probe.isDirectory && probe.isDirectory(path))
        return Kind(TargetKindId::kFolder);
    if (StartsWith(path, "::"))
        return Kind(TargetKindId::kShell);
    if (StartsWith(path, kEncryptPrefix))
        return Kind(TargetKindId::kEncrypt);
    if (probe.isUnc && probe.isUnc(path))
        return Kind(TargetKindId::kUnc);
    if (probe.isUrl && probe.isUrl(path))
        return Kind(TargetKindId::kUrl);
    if (!IsLocalPath(path))
        return Kind(TargetKindId::kUnknown);
    std::string_view ext = FindExtension(path);
    if (ext.empty())
        return Kind(TargetKindId::kFile);
    return TargetKind{TargetKindId::kExtension, std::string(ext)};
}

bool IsLocalPath(std::string_view path) {
    // One pass by hand: a start tests every item's path (twice), and the
    // library's find_first_of calls memchr once per character, which in
    // some C runtimes is a slow call of its own.
    if (path.size() < 2 || path[1] != ':')
        return false;  // with a letter first, the first ':' must be the second character
    const char first = path[0];
    if (!((first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z')))
        return false;
    bool backslashSeen = false;
    for (size_t i = 2; i < path.size(); ++i) {
        switch (path[i]) {
            case '\\':
                if (!backslashSeen && i > 2)
                    return false;  // the first backslash comes after "X:"
                if (i + 1 < path.size() && path[i + 1] == '\\')
                    return false;
                backslashSeen = true;
                break;
            case '/':
            case ':':
            case '*':
            case '?':
            case '"':
            case '<':
            case '>':
            case '|':
                return false;
            default:
                break;
        }
    }
    return true;
}

std::string_view FindExtension(std::string_view path) {
    size_t dot = std::string_view::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '\\' || path[i] == ' ') {
            dot = std::string_view::npos;
        } else if (path[i] == '.') {
            dot = i;
        }
    }
    return dot == std::string_view::npos ? std::string_view() : path.substr(dot);
}

bool IsPathRoot(std::string_view path) {
    if (path.empty())
        return false;
    if (path[0] == '\\') {
        if (path.size() == 1)
            return true;
        if (path[1] != '\\')
            return false;
        // "\\server" and "\\server\share" are roots, anything deeper is not.
        size_t slashes = 0;
        for (size_t i = 2; i < path.size(); ++i) {
            if (path[i] == '\\')
                ++slashes;
        }
        return slashes <= 1;
    }
    return path.size() == 3 && path[1] == ':' && path[2] == '\\';
}

void RemoveTrailingBackslash(std::string& path) {
    if (!path.empty() && path.back() == '\\' && !IsPathRoot(path))
        path.pop_back();
}

std::string DefaultWorkDirFor(std::string_view path, TargetKindId kind) {
    if (kind != TargetKindId::kExtension && kind != TargetKindId::kFolder &&
        kind != TargetKindId::kFile) {
        return {};
    }
    std::string dir(path);
    if (!dir.empty() && dir.back() == '\\')
        dir.pop_back();
    size_t cut = dir.rfind('\\');
    if (cut != std::string::npos) {
        dir.resize(cut);
    } else if (dir.size() >= 2 && dir[1] == ':') {
        // "C:" or "C:name": the drive itself is the nearest folder we can name.
        dir.resize(2);
    } else {
        return {};
    }
    dir += '\\';
    RemoveTrailingBackslash(dir);
    return dir;
}

IconLocation SplitIconLocation(std::string_view location) {
    IconLocation result;
    size_t comma = location.rfind(',');
    if (comma == std::string_view::npos) {
        result.file = std::string(location);
        return result;
    }
    result.file = std::string(location.substr(0, comma));
    result.hasIndex = true;
    // atoi rules: leading white space, a sign, digits up to the first other
    // character; an out-of-range number is clamped instead of wrapping.
    std::string_view rest = location.substr(comma + 1);
    size_t i = 0;
    while (i < rest.size() && (rest[i] == ' ' || (rest[i] >= '\t' && rest[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < rest.size() && (rest[i] == '+' || rest[i] == '-'))
        negative = rest[i++] == '-';
    long long value = 0;
    for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) {
        value = value * 10 + (rest[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    result.index = static_cast<int>(value);
    return result;
}

std::string TrimSpaces(std::string_view text) {
    for (;;) {
        if (!text.empty() && text.front() == ' ') {
            text.remove_prefix(1);
        } else if (StartsWith(text, kFullWidthSpace)) {
            text.remove_prefix(kFullWidthSpace.size());
        } else {
            break;
        }
    }
    for (;;) {
        if (!text.empty() && text.back() == ' ') {
            text.remove_suffix(1);
        } else if (text.size() >= kFullWidthSpace.size() &&
                   text.substr(text.size() - kFullWidthSpace.size()) == kFullWidthSpace) {
            text.remove_suffix(kFullWidthSpace.size());
        } else {
            break;
        }
    }
    return std::string(text);
}

std::string ReplaceAllNoCase(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty())
        return std::string(text);
    std::string out;
    size_t pos = 0;
    for (;;) {
        size_t hit = FindNoCase(text, from, pos);
        if (hit == std::string_view::npos)
            break;
        out.append(text.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

bool ContainsNoCase(std::string_view text, std::string_view part) {
    return FindNoCase(text, part, 0) != std::string_view::npos;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && FindNoCase(a, b, 0) == 0;
}

bool ShellObjectClsid(std::string_view path, std::string_view* clsid) {
    if (path.size() != 40 || !StartsWith(path, "::{") || path.back() != '}')
        return false;
    if (clsid)
        *clsid = path.substr(2);
    return true;
}

std::string_view AfterEncryptPrefix(std::string_view value) {
    size_t at = value.rfind(kEncryptPrefix);
    return at == std::string_view::npos ? value : value.substr(at + kEncryptPrefix.size());
}

std::string DefaultIconSourceFor(std::string_view path, TargetKindId kind,
                                 std::string_view folderIcon) {
    switch (kind) {
        case TargetKindId::kFolder:
            return std::string(folderIcon.empty() ? path : folderIcon);
        case TargetKindId::kUnc:
            return std::string(kUncIconSource);
        case TargetKindId::kUrl:
            return std::string(kUrlIconSource);
        default:
            return std::string(path);
    }
}

}  // namespace pt
