// The layout XML reader: a recursive descent over the bytes with a depth
// limit, so a hostile file cannot exhaust the stack.
#include "toolkit/xml_tree.h"

#include <cstdint>

namespace pt {
namespace {

constexpr int kMaxDepth = 64;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsNameStart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || u >= 0x80;
}

bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string_view TrimSpace(std::string_view s) {
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

class Parser {
  public:
    explicit Parser(std::string_view text) : s_(text) {}

    bool Document(XmlNode& root) {
        if (s_.substr(0, 3) == "\xEF\xBB\xBF")
            pos_ = 3;
        if (!Misc(true))
            return false;
        if (!Peek("<"))
            return Fail("no root element");
        if (!Element(root, 0))
            return false;
        if (!Misc(false))
            return false;
        if (pos_ != s_.size())
            return Fail("content after the root element");
        return true;
    }

    const std::string& Error() const { return error_; }

  private:
    bool Fail(const char* what) {
        if (error_.empty())
            error_ = std::string(what) + " at byte " + std::to_string(pos_);
        return false;
    }

    bool Peek(std::string_view what) const { return s_.substr(pos_, what.size()) == what; }

    void SkipSpace() {
        while (pos_ < s_.size() && IsSpace(s_[pos_]))
            ++pos_;
    }

    bool Comment() {
        const size_t end = s_.find("-->", pos_ + 4);
        if (end == std::string_view::npos)
            return Fail("unterminated comment");
        pos_ = end + 3;
        return true;
    }

    // Spaces and comments around the root; the declaration only before it.
    bool Misc(bool prolog) {
        for (;;) {
            SkipSpace();
            if (Peek("<!--")) {
                if (!Comment())
                    return false;
            } else if (prolog && Peek("<?xml") && pos_ + 5 < s_.size() &&
                       (IsSpace(s_[pos_ + 5]) || s_[pos_ + 5] == '?')) {
                const size_t end = s_.find("?>", pos_);
                if (end == std::string_view::npos)
                    return Fail("unterminated declaration");
                pos_ = end + 2;
            } else if (Peek("<!") || Peek("<?")) {
                return Fail("unsupported markup");
            } else {
                return true;
            }
        }
    }

    bool Name(std::string& out) {
        if (pos_ >= s_.size() || !IsNameStart(s_[pos_]))
            return Fail("name expected");
        const size_t start = pos_;
        while (pos_ < s_.size() && IsNameChar(s_[pos_]))
            ++pos_;
        out.assign(s_.substr(start, pos_ - start));
        return true;
    }

    // Appends `raw` with its references replaced.
    bool Decode(std::string_view raw, std::string& out) {
        for (size_t i = 0; i < raw.size();) {
            if (raw[i] != '&') {
                out.push_back(raw[i++]);
                continue;
            }
            const size_t semi = raw.find(';', i);
            if (semi == std::string_view::npos || semi - i > 12)
                return Fail("bad reference");
            const std::string_view ref = raw.substr(i + 1, semi - i - 1);
            if (ref == "lt") {
                out.push_back('<');
            } else if (ref == "gt") {
                out.push_back('>');
            } else if (ref == "amp") {
                out.push_back('&');
            } else if (ref == "quot") {
                out.push_back('"');
            } else if (ref == "apos") {
                out.push_back('\'');
            } else if (ref.size() >= 2 && ref[0] == '#') {
                const bool hex = ref[1] == 'x';
                const std::string_view digits = ref.substr(hex ? 2 : 1);
                if (digits.empty())
                    return Fail("bad character reference");
                uint32_t c = 0;
                for (char d : digits) {
                    int v;
                    if (d >= '0' && d <= '9')
                        v = d - '0';
                    else if (hex && d >= 'a' && d <= 'f')
                        v = d - 'a' + 10;
                    else if (hex && d >= 'A' && d <= 'F')
                        v = d - 'A' + 10;
                    else
                        return Fail("bad character reference");
                    c = c * (hex ? 16 : 10) + static_cast<uint32_t>(v);
                    if (c > 0x10FFFF)
                        return Fail("character reference out of range");
                }
                if (c == 0 || (c >= 0xD800 && c <= 0xDFFF))
                    return Fail("character reference out of range");
                AppendUtf8(out, c);
            } else {
                return Fail("unknown entity");
            }
            i = semi + 1;
        }
        return true;
    }

    bool Attributes(XmlNode& node) {
        for (;;) {
            const size_t before = pos_;
            SkipSpace();
            if (pos_ >= s_.size())
                return Fail("unterminated tag");
            if (s_[pos_] == '/' || s_[pos_] == '>')
                return true;
            if (pos_ == before)
                return Fail("space expected between attributes");
            std::string key;
            if (!Name(key))
                return false;
            SkipSpace();
            if (!Peek("="))
                return Fail("'=' expected");
            ++pos_;
            SkipSpace();
            if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\''))
                return Fail("quoted value expected");
            const char quote = s_[pos_++];
            const size_t end = s_.find(quote, pos_);
            if (end == std::string_view::npos)
                return Fail("unterminated value");
            const std::string_view raw = s_.substr(pos_, end - pos_);
            if (raw.find('<') != std::string_view::npos)
                return Fail("'<' in a value");
            if (node.Attribute(key))
                return Fail("repeated attribute");
            std::string value;
            if (!Decode(raw, value))
                return false;
            node.attributes.emplace_back(std::move(key), std::move(value));
            pos_ = end + 1;
        }
    }

    bool Element(XmlNode& node, int depth) {
        if (depth >= kMaxDepth)
            return Fail("nested too deeply");
        ++pos_;  // '<'
        if (!Name(node.name) || !Attributes(node))
            return false;
        if (Peek("/>")) {
            pos_ += 2;
            return true;
        }
        if (!Peek(">"))
            return Fail("'>' expected");
        ++pos_;
        std::string text;
        for (;;) {
            const size_t lt = s_.find('<', pos_);
            if (lt == std::string_view::npos)
                return Fail("unterminated element");
            if (!Decode(s_.substr(pos_, lt - pos_), text))
                return false;
            pos_ = lt;
            if (Peek("</")) {
                pos_ += 2;
                std::string closing;
                if (!Name(closing))
                    return false;
                if (closing != node.name)
                    return Fail("mismatched closing tag");
                SkipSpace();
                if (!Peek(">"))
                    return Fail("'>' expected");
                ++pos_;
                node.text.assign(TrimSpace(text));
                return true;
            }
            if (Peek("<!--")) {
                if (!Comment())
                    return false;
                continue;
            }
            if (Peek("<!") || Peek("<?"))
                return Fail("unsupported markup");
            node.children.emplace_back();
            if (!Element(node.children.back(), depth + 1))
                return false;
        }
    }

    std::string_view s_;
    size_t pos_ = 0;
    std::string error_;
};

}  // namespace

const std::string* XmlNode::Attribute(std::string_view key) const {
    for (const auto& [k, v] : attributes) {
        if (k == key)
            return &v;
    }
    return nullptr;
}

bool ParseXml(std::string_view text, XmlNode& root, std::string* error) {
    root = XmlNode{};
    Parser p(text);
    if (p.Document(root)) {
        if (error)
            error->clear();
        return true;
    }
    root = XmlNode{};
    if (error)
        *error = p.Error();
    return false;
}

}  // namespace pt
