// The writer: depth-first over the tree with an explicit stack, straight into
// the buffer of the form asked for (UTF-16, UTF-16LE bytes, UTF-8), which is
// sized once from a hint and doubled when full. Room is asked for per piece,
// so the characters themselves go in without checks, and text is copied in
// runs between the few characters that need an escape: only backslash, '"'
// and five control characters are ever escaped; everything else, Chinese
// text included, is written as it is, which is what keeps the files readable
// by earlier versions.
#include <bit>
#include <cstring>
#include <vector>

#include "base/text.h"
#include "doc/json_document.h"
#include "doc/json_node.h"

namespace pt::json {
namespace {

// Pretty output indents by depth, so its size grows with the square of the
// nesting; beyond this depth lines are indented no further, which keeps a
// deeply nested document's pretty form linear in its size.
constexpr size_t kMaxIndent = 64;

// The letter after the backslash for the characters that are escaped.
constexpr char EscapeLetter(char16_t c) {
    switch (c) {
        case u'\\':
            return '\\';
        case u'"':
            return '"';
        case u'\b':
            return 'b';
        case u'\t':
            return 't';
        case u'\n':
            return 'n';
        case u'\r':
            return 'r';
        case u'\f':
            return 'f';
        default:
            return 0;
    }
}

struct EscapeTable {
    char letter[128];
    constexpr EscapeTable() : letter() {
        for (int c = 0; c < 128; ++c)
            letter[c] = EscapeLetter(static_cast<char16_t>(c));
    }
};
constexpr EscapeTable kEscapes;

// The first unit from i on that is below 0x20, '"' or a backslash (n when
// none): four units at a time on little-endian hosts.
size_t MayNeedEscape(const char16_t* s, size_t i, size_t n) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr uint64_t kOnes = 0x0001000100010001u, kHigh = 0x8000800080008000u;
        constexpr uint64_t kQuotes = kOnes * u'"', kBackslashes = kOnes * u'\\';
        for (; n - i >= 4; i += 4) {
            uint64_t w;
            std::memcpy(&w, s + i, 8);
            // The lowest lane marked is exact; a borrow may mark lanes above.
            const uint64_t q = w ^ kQuotes, b = w ^ kBackslashes;
            const uint64_t hit =
                ((w - kOnes * 0x20) & ~w) | ((q - kOnes) & ~q) | ((b - kOnes) & ~b);
            if ((hit & kHigh) != 0)
                return i + static_cast<size_t>(std::countr_zero(hit & kHigh)) / 16;
        }
    }
    while (i < n && s[i] >= 0x20 && s[i] != u'"' && s[i] != u'\\')
        ++i;
    return i;
}

// Output buffers. Room(n) makes space for n characters of the form (bytes
// for UTF-8, units for the UTF-16 forms); kPerUnit is the most one text unit
// can take, escaped or converted.
template <typename String>
class Buffer {
  public:
    using Char = typename String::value_type;
    Buffer(String& out, size_t first) : out_(out) {
        out_.resize(first < 64 ? 64 : first);
        p_ = out_.data();
        end_ = p_ + out_.size();
    }
    void Room(size_t n) {
        if (static_cast<size_t>(end_ - p_) < n) [[unlikely]]
            Grow(n);
    }
    void Finish() { out_.resize(static_cast<size_t>(p_ - out_.data())); }

  protected:
    [[gnu::noinline]] void Grow(size_t n) {
        const size_t used = static_cast<size_t>(p_ - out_.data());
        size_t size = out_.size() * 2;
        if (size < used + n)
            size = used + n;
        out_.resize(size);
        p_ = out_.data() + used;
        end_ = out_.data() + size;
    }

    String& out_;
    Char* p_;
    Char* end_;
};

class Utf16Sink : public Buffer<std::u16string> {
  public:
    static constexpr size_t kPerUnit = 2;
    using Buffer::Buffer;
    void Ascii(char c) { *p_++ = static_cast<char16_t>(c); }
    void Text(const char16_t* s, size_t n) {
        if (n == 0)
            return;  // s may be null then
        std::memcpy(p_, s, n * sizeof(char16_t));
        p_ += n;
    }
};

// Appends to what the string already holds.
class Utf16AppendSink {
  public:
    static constexpr size_t kPerUnit = 1;
    explicit Utf16AppendSink(std::u16string& out) : out_(out) {}
    void Room(size_t n) { out_.reserve(out_.size() + n); }
    void Ascii(char c) { out_ += static_cast<char16_t>(c); }
    void Text(const char16_t* s, size_t n) { out_.append(s, n); }

  private:
    std::u16string& out_;
};

// UTF-16LE bytes in a std::string; Room and the hint count units.
class Utf16BytesSink : public Buffer<std::string> {
  public:
    static constexpr size_t kPerUnit = 2;
    Utf16BytesSink(std::string& out, size_t firstUnits) : Buffer(out, firstUnits * 2) {}
    void Room(size_t units) { Buffer::Room(units * 2); }
    void Ascii(char c) {
        p_[0] = c;
        p_[1] = 0;
        p_ += 2;
    }
    void Text(const char16_t* s, size_t n) {
        if (n == 0)
            return;  // s may be null then
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(p_, s, n * 2);
            p_ += n * 2;
        } else {
            for (size_t i = 0; i < n; ++i) {
                *p_++ = static_cast<char>(s[i] & 0xFF);
                *p_++ = static_cast<char>(s[i] >> 8);
            }
        }
    }
};

class Utf8Sink : public Buffer<std::string> {
  public:
    static constexpr size_t kPerUnit = 3;
    using Buffer::Buffer;
    void Ascii(char c) { *p_++ = c; }
    void Text(const char16_t* s, size_t n) { p_ += WideToUtf8Into({s, n}, p_); }
};

template <typename Sink>
void Ascii(Sink& out, const char* s, size_t n) {
    for (size_t i = 0; i < n; ++i)
        out.Ascii(s[i]);
}

template <typename Sink>
void WriteQuoted(std::u16string_view text, bool escape, Sink& out) {
    const char16_t* s = text.data();
    const size_t n = text.size();
    out.Room(n * Sink::kPerUnit + 2);
    out.Ascii('"');
    if (!escape) {
        out.Text(s, n);
    } else {
        size_t run = 0;
        for (size_t i = 0; (i = MayNeedEscape(s, i, n)) < n; ++i) {
            const char letter = kEscapes.letter[s[i]];
            if (letter == 0)
                continue;
            out.Text(s + run, i - run);
            out.Ascii('\\');
            out.Ascii(letter);
            run = i + 1;
        }
        out.Text(s + run, n - run);
    }
    out.Ascii('"');
}

template <typename Sink>
void WriteScalar(const JsonNode* node, bool escape, Sink& out) {
    switch (node->kind) {
        case JsonKind::kReal:
        case JsonKind::kInteger:
            // Literals are ASCII unless set through a path: convert them too.
            out.Room(node->size * Sink::kPerUnit);
            out.Text(node->text, node->size);
            break;
        case JsonKind::kBoolean:
            out.Room(5);
            if (node->boolValue) {
                Ascii(out, "true", 4);
            } else {
                Ascii(out, "false", 5);
            }
            break;
        case JsonKind::kString:
            WriteQuoted(node->Text(), escape, out);
            break;
        default:
            out.Room(4);
            Ascii(out, "null", 4);
            break;
    }
}

template <typename Sink>
void Indent(size_t depth, Sink& out) {
    if (depth > kMaxIndent)
        depth = kMaxIndent;
    out.Room(depth);
    for (size_t i = 0; i < depth; ++i)
        out.Ascii('\t');
}

template <typename Sink>
void WriteTree(const JsonNode* node, bool pretty, bool escape, Sink& out) {
    struct Frame {
        const JsonNode* node;
        size_t next;
    };
    auto open = [&](const JsonNode* n) {
        out.Room(3);
        if (n->kind == JsonKind::kArray) {
            out.Ascii('[');
        } else if (n->kind == JsonKind::kObject) {
            out.Ascii('{');
            if (pretty)
                Ascii(out, "\r\n", 2);
        } else {
            WriteScalar(n, escape, out);
            return false;
        }
        return true;
    };
    if (!open(node))
        return;
    std::vector<Frame> stack{{node, 0}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        const JsonNode* container = top.node;
        const bool object = container->kind == JsonKind::kObject;
        // The container's own depth: the root's is 0, its contents are at 1.
        const size_t depth = stack.size() - 1;
        if (top.next == container->size) {
            if (object) {
                if (pretty) {
                    out.Room(2);
                    if (container->size > 0)
                        Ascii(out, "\r\n", 2);
                    Indent(depth, out);
                }
                out.Room(1);
                out.Ascii('}');
            } else {
                out.Room(1);
                out.Ascii(']');
            }
            stack.pop_back();
            continue;
        }
        const JsonNode* child = container->items[top.next];
        if (top.next++ > 0) {
            out.Room(3);
            out.Ascii(',');
            if (object && pretty)
                Ascii(out, "\r\n", 2);
        }
        if (object) {
            if (pretty)
                Indent(depth + 1, out);
            WriteQuoted(child->Key(), escape, out);
            out.Room(1);
            out.Ascii(':');
        }
        if (open(child))
            stack.push_back({child, 0});  // `top` is stale from here
    }
}

}  // namespace

void WriteUtf16(const JsonNode* node, bool pretty, bool escape, size_t sizeHint,
                std::u16string& out) {
    Utf16Sink sink(out, sizeHint);
    WriteTree(node, pretty, escape, sink);
    sink.Finish();
}

void WriteUtf16Bytes(const JsonNode* node, bool pretty, bool escape, size_t sizeHint,
                     std::string& out) {
    Utf16BytesSink sink(out, sizeHint / 2 + 1);
    WriteTree(node, pretty, escape, sink);
    sink.Room(1);
    sink.Ascii('\0');
    sink.Finish();
}

void WriteUtf8(const JsonNode* node, bool pretty, bool escape, size_t sizeHint, std::string& out) {
    Utf8Sink sink(out, sizeHint);
    WriteTree(node, pretty, escape, sink);
    sink.Finish();
}

}  // namespace pt::json

namespace pt {

void AppendJsonString(std::u16string& out, std::u16string_view text) {
    json::Utf16AppendSink sink(out);
    json::WriteQuoted(text, true, sink);
}

}  // namespace pt
