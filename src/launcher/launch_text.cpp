// The shell's error texts and the .url file format; see launch.h.
#include "launcher/launch.h"

#include "launcher/cp936_text.h"
#include "base/text.h"
#include "launcher/target.h"

namespace pt {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[i]) != AsciiLower(prefix[i]))
            return false;
    }
    return true;
}

// The value of "key=" at the start of a line (so "BASEURL=" of another section
// is not taken for "URL="), up to the line end; the text between the first two
// double quotes when it has a pair of them.
std::optional<std::string_view> LineValue(std::string_view text, std::string_view key) {
    size_t lineStart = 0;
    while (lineStart < text.size()) {
        size_t lineEnd = text.find_first_of("\r\n", lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = text.size();
        std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        if (StartsWithNoCase(line, key)) {
            std::string_view value = line.substr(key.size());
            size_t open = value.find('"');
            if (open != std::string_view::npos) {
                size_t close = value.find('"', open + 1);
                if (close != std::string_view::npos)
                    value = value.substr(open + 1, close - open - 1);
            }
            return value;
        }
        lineStart = lineEnd + 1;
    }
    return std::nullopt;
}

bool ContainsLineNoCase(std::string_view text, std::string_view wanted) {
    size_t lineStart = 0;
    while (lineStart < text.size()) {
        size_t lineEnd = text.find_first_of("\r\n", lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = text.size();
        if (StartsWithNoCase(TrimSpaces(text.substr(lineStart, lineEnd - lineStart)), wanted)) {
            return true;
        }
        lineStart = lineEnd + 1;
    }
    return false;
}

}  // namespace

std::string ShellExecuteErrorText(int64_t code) {
    switch (code) {
        case 0:
            return "内存不足";
        case 2:
            return "找不到指定的文件";
        case 3:
            return "找不到指定的路径";
        case 5:
            return "操作系统拒绝对指定文件的访问";
        case 8:
            return "内存不足，无法完成操作";
        case 11:
            return "EXE文件无效(非Win32.exe或.exe中的映像错误)";
        case 26:
            return "发生共享错误";
        case 27:
            return "文件名关联不完整或无效";
        case 28:
            return "请求超时，无法完成DDE事务";
        case 29:
            return "DDE事务失败";
        case 30:
            return "正在处理其他DDE事务，因此不能完成该DDE事务";
        case 31:
            return "没有相关联的应用程序";
        case 32:
            return "找不到指定的DLL";
        default:
            return std::to_string(code);
    }
}

std::string LaunchErrorText(int64_t result) {
    return result < 0 ? std::to_string(-result) : ShellExecuteErrorText(result);
}

std::string HresultErrorText(int32_t hr) {
    switch (static_cast<uint32_t>(hr)) {
        case 0x8000FFFFu:
            return "意外的失败";
        case 0x80004001u:
            return "找不到指定的路径";
        case 0x8007000Eu:
            return "未能分配所需的内存";
        case 0x80070057u:
            return "一个或多个参数无效";
        case 0x80004002u:
            return "不支持此接口";
        case 0x80004003u:
            return "无效指针";
        case 0x80070006u:
            return "无效句柄";
        case 0x80004004u:
            return "操作已中止";
        case 0x80004005u:
            return "未指定的失败";
        case 0x80070005u:
            return "一般的访问被拒绝错误";
        default:
            return std::to_string(hr);
    }
}

std::string BuildInternetShortcut(std::string_view url, std::string_view iconLocation) {
    std::string text = "[InternetShortcut]\r\nURL=";
    text.append(url);
    text.append("\r\n");
    if (!iconLocation.empty()) {
        IconLocation icon = SplitIconLocation(iconLocation);
        text.append("IconIndex=" + std::to_string(icon.index) + "\r\n");
        text.append("IconFile=" + icon.file + "\r\n");
    }
    return text;
}

std::optional<InternetShortcut> ParseInternetShortcut(std::string_view text) {
    if (!ContainsLineNoCase(text, "[InternetShortcut]"))
        return std::nullopt;
    std::optional<std::string_view> url = LineValue(text, "URL=");
    if (!url || url->empty() || IsLocalPath(*url))
        return std::nullopt;

    InternetShortcut result;
    result.url = std::string(*url);
    std::string iconFile(LineValue(text, "IconFile=").value_or(std::string_view()));
    int index = 0;
    if (auto indexText = LineValue(text, "IconIndex=")) {
        index = SplitIconLocation("," + std::string(*indexText)).index;
    }
    if (!TrimSpaces(iconFile).empty()) {
        result.iconLocation =
            TrimSpaces(index == 0 ? iconFile : iconFile + "," + std::to_string(index));
    }
    return result;
}

std::string EncodeInternetShortcutFile(std::string_view url, std::string_view iconLocation) {
    std::string text = BuildInternetShortcut(url, iconLocation);
    std::string bytes;
    if (cp936::FromUtf8(text, &bytes))
        return bytes;
    return std::string(kUtf8Mark) + text;
}

std::optional<InternetShortcut> DecodeInternetShortcutFile(std::string_view bytes) {
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
        return ParseInternetShortcut(bytes.substr(kUtf8Mark.size()));
    }
    if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF &&
        static_cast<uint8_t>(bytes[1]) == 0xFE) {
        std::u16string wide((bytes.size() - 2) / 2, u'\0');
        for (size_t i = 0; i < wide.size(); ++i) {
            wide[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 + 2 * i]) |
                                            static_cast<uint8_t>(bytes[3 + 2 * i]) << 8);
        }
        return ParseInternetShortcut(WideToUtf8(wide));
    }
    return ParseInternetShortcut(cp936::ToUtf8(bytes));
}

}  // namespace pt
