// The lenient reader. One pass over the text with an explicit stack of open
// containers, so nesting is limited by memory only. Each open container is in
// one of three states: expecting a key (objects), expecting a value, or just
// after a nested container closed (a comma may follow, or may be missing).
// Value tokens run to the next ',' or closing bracket outside quotes;
// whitespace outside quotes is not part of them.
//
// The reader works on the text in the form it is handed: UTF-16 units, or
// UTF-8 bytes. Every character that steers it is ASCII, so it scans bytes
// alike; only skips counted in characters (the backslash escapes) and
// positions step by whole sequences, and text becomes UTF-16 when it is
// stored. Children of an open container wait on one shared stack and become
// the container's list, in one block of the pool, when it closes.
//
// Most tokens are a quoted string or a bare number followed by ',' or the
// closing bracket; those are read in one go. Anything else (whitespace inside
// a token, a quote in the middle, text after a closing quote) goes through
// the general token rules.
#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <type_traits>
#include <vector>

#include "base/text.h"
#include "doc/json_node.h"

namespace pt::json {
namespace {

#if defined(__GNUC__)
// UTF-16LE bytes of a file are read in place when they are aligned; the
// attribute tells the compiler they may alias the std::string's chars.
using Unit16 = char16_t __attribute__((__may_alias__));
#else
using Unit16 = char16_t;
#endif

// Word-at-a-time scanning over lanes of 8 or 16 bits (little-endian hosts;
// others take the plain loops).
template <size_t kLaneBytes>
struct Lanes {
    static constexpr size_t kCount = 8 / kLaneBytes;
    static constexpr uint64_t kOnes = kLaneBytes == 1 ? 0x0101010101010101u : 0x0001000100010001u;
    static constexpr uint64_t kHigh = kOnes << (kLaneBytes * 8 - 1);
    static constexpr bool kUsable = std::endian::native == std::endian::little;
    // Marks the lanes that are zero (the lowest mark is exact; the ones
    // above it may be false).
    static uint64_t Zero(uint64_t x) { return (x - kOnes) & ~x & kHigh; }
    static uint64_t Load(const void* p) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        return w;
    }
    // The first index from j on whose unit is a or b, or n. `seen` collects
    // the bits of the units passed (and of a few after the one found).
    template <typename U>
    static size_t FindEither(const U* s, size_t j, size_t n, U a, U b, uint64_t& seen) {
        if constexpr (kUsable) {
            const uint64_t wa = kOnes * a, wb = kOnes * b;
            for (; n - j >= kCount; j += kCount) {
                const uint64_t w = Load(s + j);
                seen |= w;
                const uint64_t hit = Zero(w ^ wa) | Zero(w ^ wb);
                if (hit != 0) {
                    return j + static_cast<size_t>(std::countr_zero(hit)) / (kLaneBytes * 8);
                }
            }
        }
        for (; j < n && s[j] != a && s[j] != b; ++j) {
            seen |= s[j];
        }
        return j;
    }
    // Past a run of spaces (indentation) from j on, whole words at a time.
    template <typename U>
    static size_t SkipSpaces(const U* s, size_t j, size_t n) {
        if constexpr (kUsable) {
            while (n - j >= kCount && Load(s + j) == kOnes * u' ') {
                j += kCount;
            }
        }
        return j;
    }
};

// UTF-16 text: a unit is a character (or half of one).
struct Utf16Form {
    using Unit = Unit16;
    using Scan = Lanes<2>;
    static size_t Skip(const Unit*, size_t n, size_t j, size_t units) {
        return n - j < units ? n : j + units;
    }
    // The UTF-16 length of s[0, count).
    static size_t Units(const Unit*, size_t count) { return count; }
    // Converts s[0, count) into out, which has room for count units.
    static size_t Decode(const Unit* s, size_t count, char16_t* out) {
        // Mostly a few units: a plain loop beats the call to memcpy.
        for (size_t i = 0; i < count; ++i)
            out[i] = s[i];
        return count;
    }
    static size_t Decode(const Unit* s, size_t count, char16_t* out, uint64_t) {
        return Decode(s, count, out);
    }
};

// WTF-8 text, the same as its conversion by Utf8ToWide. Every position the
// reader stops at is an ASCII character or the end, where a conversion in
// pieces and a conversion of the whole agree.
struct Utf8Form {
    using Unit = unsigned char;
    using Scan = Lanes<1>;
    static std::string_view View(const Unit* s, size_t n) {
        return {reinterpret_cast<const char*>(s), n};
    }
    static size_t Skip(const Unit* s, size_t n, size_t j, size_t units) {
        while (units > 0 && j < n) {
            if (s[j] < 0x80) {
                ++j;
                --units;
                continue;
            }
            // A skip that ends inside a surrogate pair takes the whole
            // sequence: the low half that the text in UTF-16 would look at
            // next is an ordinary character there.
            size_t u;
            j += Utf8SequenceAt(View(s, n), j, u);
            units -= std::min(u, units);
        }
        return j;
    }
    static size_t Units(const Unit* s, size_t count) {
        size_t units = 0;
        for (size_t j = 0; j < count;) {
            if (s[j] < 0x80) {
                ++j;
                ++units;
                continue;
            }
            size_t u;
            j += Utf8SequenceAt(View(s, count), j, u);
            units += u;
        }
        return units;
    }
    static size_t Decode(const Unit* s, size_t count, char16_t* out) {
        return Utf8ToWideInto(View(s, count), out);
    }
    // `seen`: the bits of the units (at least), from the scan that found them.
    static size_t Decode(const Unit* s, size_t count, char16_t* out, uint64_t seen) {
        if ((seen & 0x8080808080808080u) != 0) {
            return Decode(s, count, out);
        }
        for (size_t i = 0; i < count; ++i) {
            out[i] = s[i];
        }
        return count;
    }
};

enum class State : uint8_t { kKey, kValue, kAfterChild };

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

template <typename U>
bool IsSpace(U c) {
    return c == u' ' || c == u'\t' || c == kCr || c == kLf;
}

// The ASCII characters that end a bare value token: bit 1 inside an array,
// bit 2 inside an object (']' is an ordinary character there, and '}' in an
// array). At any of them but ',' and the closing bracket the general rules
// take over.
struct StopTable {
    uint8_t bits[256];  // zero from 128 on: bytes of UTF-8 sequences
    constexpr StopTable() : bits() {
        for (char c : {' ', '\t', '\r', '\n', ',', '"', '\'', '\\', '{', '['}) {
            bits[static_cast<int>(c)] = 3;
        }
        bits[static_cast<int>(']')] = 1;
        bits[static_cast<int>('}')] = 2;
    }
};
constexpr StopTable kStops;

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Resolves the escapes of a string or key body, in place (the result is
// never longer); returns the new length.
size_t Unescape(char16_t* s, size_t n, bool decode) {
    size_t k = 0;
    while (k < n && s[k] != u'\\')
        ++k;
    size_t w = k;
    for (; k < n; ++k) {
        const char16_t c = s[k];
        if (c != u'\\' || k + 1 >= n) {
            s[w++] = c;
            continue;
        }
        const char16_t e = s[k + 1];
        switch (e) {
            case u'"':
            case u'\\':
            case u'/':
                s[w++] = e;
                ++k;
                break;
            case u'b':
                s[w++] = u'\b';
                ++k;
                break;
            case u't':
                s[w++] = u'\t';
                ++k;
                break;
            case u'r':
                s[w++] = kCr;
                ++k;
                break;
            case u'f':
                s[w++] = u'\f';
                ++k;
                break;
            case u'n':
                // Files written by older versions hold "\n" for CR LF; a
                // "\r\n" pair and a leading "\n" stay what they say.
                if (w > 0 && s[w - 1] != kCr)
                    s[w++] = kCr;
                s[w++] = kLf;
                ++k;
                break;
            case u'u': {
                int code = -1;
                if (decode && k + 5 < n) {
                    code = 0;
                    for (size_t d = k + 2; d <= k + 5 && code >= 0; ++d) {
                        const int h = HexDigit(s[d]);
                        code = h < 0 ? -1 : code * 16 + h;
                    }
                }
                if (code < 0) {
                    s[w++] = c;  // kept as written; the 'u' follows as itself
                } else {
                    if (code != 0)
                        s[w++] = static_cast<char16_t>(code);
                    k += 5;
                }
                break;
            }
            default:
                s[w++] = c;  // unknown escape: backslash and character stay
                break;
        }
    }
    return w;
}

// Loose number check: a sign, digit or '.' first, then digits with at most
// one '.', one exponent letter and one further sign in any order. Characters
// of code 32 and below do not count. Sets `real` for '.', exponent or second
// sign.
template <typename U>
bool LooseNumber(const U* token, size_t n, bool& real) {
    size_t i = 0;
    while (i < n && token[i] <= 32)
        ++i;
    if (i == n)
        return false;
    const U first = token[i];
    int dots = 0, exponents = 0, signs = 0;
    if (first == u'.') {
        dots = 1;
    } else if (!(first == u'+' || first == u'-' || (first >= u'0' && first <= u'9'))) {
        return false;
    }
    for (++i; i < n; ++i) {
        const U c = token[i];
        if ((c >= u'0' && c <= u'9') || c <= 32)
            continue;
        if (c == u'.') {
            if (++dots > 1)
                return false;
        } else if (c == u'e' || c == u'E') {
            if (++exponents > 1)
                return false;
        } else if (c == u'+' || c == u'-') {
            if (++signs > 1)
                return false;
        } else {
            return false;
        }
    }
    real = dots + exponents + signs > 0;
    return true;
}

template <typename U>
bool Equals(const U* token, size_t n, const char* word) {
    const size_t length = std::strlen(word);
    if (n != length)
        return false;
    for (size_t i = 0; i < n; ++i) {
        if (token[i] != static_cast<unsigned char>(word[i]))
            return false;
    }
    return true;
}

// A token found by the scan: [start, end) without the whitespace around it,
// `stop` at the ',' or bracket that ended it.
struct Token {
    size_t start = 0;
    size_t end = 0;
    size_t stop = 0;
    bool gaps = false;       // whitespace stood between token characters
    bool backslash = false;  // a quoted token that holds a backslash
    bool quoted = false;     // known to be exactly one quoted string
    uint64_t seen = 0;       // see Lanes::FindEither
};

template <typename Form>
class Reader {
  public:
    using Unit = typename Form::Unit;

    Reader(const Unit* text, size_t n, bool decode, bool ignoreScalar, Pool& pool, JsonNode*& root)
        : s_(text), n_(n), decode_(decode), ignoreScalar_(ignoreScalar), pool_(pool), root_(root) {}

    JsonParseError Run() {
        try {
            Scan();
        } catch (const std::bad_alloc&) {
            Fail(kJsonOutOfMemory, tokenStart_);
        }
        if (error_.code != kJsonOk) {
            error_.position = Form::Units(s_, error_.position);
        } else {
            pool_.writtenUnits = writtenUnits_;
            pool_.writtenBytes = writtenBytes_;
        }
        return error_;
    }

  private:
    struct Frame {
        JsonNode* node;
        State state;
        size_t firstChild;  // in pending_
    };

    void Fail(int code, size_t position) {
        if (error_.code == kJsonOk)
            error_ = {code, position};
    }

    void SkipSpace() {
        while (i_ < n_ && IsSpace(s_[i_])) {
            i_ = Form::Scan::SkipSpaces(s_, i_ + 1, n_);
        }
    }

    void Scan() {
        if (n_ == 0)
            return Fail(kJsonEmptyText, 0);
        stack_.reserve(64);
        pending_.reserve(256);
        bool containerSeen = false;
        while (error_.code == kJsonOk) {
            if (stack_.empty()) {
                while (i_ < n_ && (IsSpace(s_[i_]) || s_[i_] == 0))
                    ++i_;
                if (i_ == n_)
                    return;
                const Unit c = s_[i_];
                if (c == u'{' || c == u'[') {
                    OpenRoot(c == u'{' ? JsonKind::kObject : JsonKind::kArray);
                    containerSeen = true;
                    ++i_;
                } else if (ignoreScalar_) {
                    ++i_;
                } else if (containerSeen) {
                    // A second document after the first: only another
                    // object (merged) or array is taken.
                    return Fail(kJsonBadValue, i_);
                } else {
                    return TopLevelScalar();
                }
                continue;
            }
            Frame& top = stack_.back();
            if (top.state == State::kAfterChild) {
                SkipSpace();
                if (i_ == n_)
                    break;
                if (s_[i_] == u',')
                    ++i_;
                top.state = top.node->kind == JsonKind::kObject ? State::kKey : State::kValue;
            } else if (top.state == State::kKey) {
                ReadKey();
            } else {
                ReadValue();
            }
        }
        if (error_.code == kJsonOk && !stack_.empty())
            Fail(kJsonUnclosed, n_);
    }

    void OpenRoot(JsonKind kind) {
        if (root_->kind != kind)
            Reset(root_, kind, pool_);
        stack_.push_back(
            {root_, kind == JsonKind::kObject ? State::kKey : State::kValue, pending_.size()});
    }

    void Open(JsonKind kind) {
        JsonNode* child = Fresh(kind);
        Attach(child);
        stack_.push_back(
            {child, kind == JsonKind::kObject ? State::kKey : State::kValue, pending_.size()});
    }

    void Close() {
        Finish(stack_.back());
        stack_.pop_back();
        if (!stack_.empty())
            stack_.back().state = State::kAfterChild;
    }

    // The children gathered for the frame become its list. A repeated key
    // replaces the earlier member in its position.
    void Finish(const Frame& frame) {
        JsonNode* node = frame.node;
        JsonNode** kids = pending_.data() + frame.firstChild;
        const size_t count = pending_.size() - frame.firstChild;
        if (node->size > 0) {
            // The root read again after a first top-level container: merged.
            for (size_t k = 0; k < count; ++k) {
                if (node->kind == JsonKind::kObject) {
                    PutMember(node, kids[k], SIZE_MAX, pool_);
                } else {
                    InsertChild(node, SIZE_MAX, kids[k], pool_);
                }
                kids[k] = nullptr;
            }
        } else if (count > 0) {
            size_t kept = count;
            if (node->kind == JsonKind::kObject)
                kept = Deduplicate(kids, count);
            if (kept >= UINT32_MAX)
                throw std::bad_alloc();
            node->items = static_cast<JsonNode**>(pool_.Take(kept * sizeof(JsonNode*)));
            std::memcpy(node->items, kids, kept * sizeof(JsonNode*));
            node->size = node->capacity = static_cast<uint32_t>(kept);
            if (node->kind == JsonKind::kObject && kept > kLinearMembers) {
                RebuildIndex(node, pool_);
            }
        }
        pending_.resize(frame.firstChild);
    }

    // Keeps the first position of each key with the last value given for it;
    // returns the number of members left at the front of `kids`.
    size_t Deduplicate(JsonNode** kids, size_t count) {
        size_t kept = 0;
        if (count <= kLinearMembers) {
            for (size_t k = 0; k < count; ++k) {
                JsonNode* m = kids[k];
                size_t j = 0;
                while (j < kept &&
                       !(kids[j]->keyHash == m->keyHash && kids[j]->Key() == m->Key())) {
                    ++j;
                }
                if (j < kept) {
                    Release(kids[j], pool_);
                    kids[j] = m;
                } else {
                    kids[kept++] = m;
                }
            }
            return kept;
        }
        // Larger objects: a scratch table of positions, filled as we go.
        unsigned bits = 4;
        while ((size_t{1} << bits) < count * 2)
            ++bits;
        if (bits > 31)
            throw std::bad_alloc();
        const size_t mask = (size_t{1} << bits) - 1;
        seen_.assign(mask + 1, SIZE_MAX);
        for (size_t k = 0; k < count; ++k) {
            JsonNode* m = kids[k];
            size_t slot = static_cast<uint32_t>(m->keyHash * 2654435769u) >> (32 - bits);
            for (;; slot = (slot + 1) & mask) {
                const size_t at = seen_[slot];
                if (at == SIZE_MAX) {
                    seen_[slot] = kept;
                    kids[kept++] = m;
                    break;
                }
                if (kids[at]->keyHash == m->keyHash && kids[at]->Key() == m->Key()) {
                    Release(kids[at], pool_);
                    kids[at] = m;
                    break;
                }
            }
        }
        return kept;
    }

    // A node in the pool's current block (a fresh pool has no free blocks).
    JsonNode* Fresh(JsonKind kind) {
        auto* node = new (pool_.Take(sizeof(JsonNode))) JsonNode;
        node->kind = kind;
        return node;
    }

    // Hands the node to the open container; a member takes the key just read.
    void Attach(JsonNode* child) {
        // Quotes, colon and comma, or brackets and comma; null and booleans.
        writtenUnits_ += 4;
        writtenBytes_ += 4;
        if (stack_.back().node->kind == JsonKind::kObject) {
            child->key = key_;
            child->keyLength = keyLength_;
            child->keyHash = keyHash_;
            child->sharedKey = keyShared_;
            key_ = nullptr;
            keyLength_ = 0;
        }
        pending_.push_back(child);
    }

    // Text of the input, converted to UTF-16 into a block of the pool and
    // unescaped there. `seen` as from Lanes::FindEither (all bits: unknown).
    template <typename F>
    char16_t* Store(const typename F::Unit* p, size_t count, bool escapes, uint32_t& length,
                    uint64_t seen = ~uint64_t{0}) {
        length = 0;
        if (count == 0)
            return nullptr;
        if (count >= UINT32_MAX)
            throw std::bad_alloc();
        auto* block = static_cast<char16_t*>(pool_.Take(count * sizeof(char16_t)));
        size_t units = F::Decode(p, count, block, seen);
        if (escapes)
            units = Unescape(block, units, decode_);
        pool_.Shrink(block, count * sizeof(char16_t), units * sizeof(char16_t));
        writtenUnits_ += units;
        writtenBytes_ += std::is_same_v<F, Utf8Form> ? count : units;
        length = static_cast<uint32_t>(units);
        return units == 0 ? nullptr : block;
    }

    // Fast token scan; false when the token needs the general rules.
    bool QuickToken(Unit closer, Token& t) {
        const Unit quote = s_[i_];
        size_t j = i_ + 1;
        t.start = i_;
        if (quote == u'"' || quote == u'\'') {
            for (;;) {
                j = Form::Scan::FindEither(s_, j, n_, quote, Unit{u'\\'}, t.seen);
                if (j >= n_)
                    return false;
                if (s_[j] == quote)
                    break;
                // The units an escape skips are not looked at: no fast decoding.
                t.backslash = true;
                t.seen = ~uint64_t{0};
                j = Form::Skip(s_, n_, j, j + 1 < n_ && s_[j + 1] == u'u' ? 6 : 2);
            }
            t.end = ++j;
            t.quoted = true;
        } else {
            const uint8_t stopBits = closer == u']' ? 1 : 2;
            j = i_;
            if constexpr (sizeof(Unit) == 1) {
                while (j < n_ && (kStops.bits[s_[j]] & stopBits) == 0)
                    ++j;
            } else {
                while (j < n_ && (s_[j] >= 128 || (kStops.bits[s_[j]] & stopBits) == 0))
                    ++j;
            }
            t.end = j;
        }
        while (j < n_ && IsSpace(s_[j]))
            ++j;
        if (j == n_ || (s_[j] != u',' && s_[j] != closer))
            return false;
        t.stop = j;
        return true;
    }

    // The general rules: the token runs to the first ',' (when commaEnds) or
    // `closer` outside quotes (closer 0: the end of the text); an escape
    // travels with its backslash. False after an error.
    bool FindTokenEnd(Unit closer, bool commaEnds, Token& t) {
        size_t j = i_;
        Unit quote = 0;
        bool sawSpace = false;
        t = Token{};
        t.start = i_;
        t.end = i_;
        while (j < n_) {
            const Unit c = s_[j];
            if (c == u'\\') {
                // An escaped quote neither opens nor closes a string.
                j = Form::Skip(s_, n_, j, j + 1 < n_ && s_[j + 1] == u'u' ? 6 : 2);
                if (quote == 0 && sawSpace)
                    t.gaps = true;
                t.end = j;
                continue;
            }
            if (quote != 0) {
                if (c == quote)
                    quote = 0;
                t.end = ++j;
                continue;
            }
            if ((c == u',' && commaEnds) || (c == closer && closer != 0))
                break;
            if (IsSpace(c)) {
                sawSpace = t.end > i_;
                ++j;
                continue;
            }
            if (sawSpace)
                t.gaps = true;
            if (c == u'{' || c == u'[') {
                Fail(kJsonBadValue, i_);
                return false;
            }
            if (c == u'"' || c == u'\'')
                quote = c;
            t.end = ++j;
        }
        if (quote != 0) {
            Fail(kJsonUnclosedQuote, i_);
            return false;
        }
        t.stop = j;
        return true;
    }

    // Classifies a token: string, null, boolean or number; nullptr for none.
    template <typename F>
    JsonNode* Classify(const typename F::Unit* token, size_t n, bool backslash,
                       uint64_t seen = ~uint64_t{0}) {
        const auto first = token[0];
        if (first == u'"' || first == u'\'') {
            if (n < 2 || token[n - 1] != first)
                return nullptr;
            JsonNode* node = Fresh(JsonKind::kString);
            node->text = Store<F>(token + 1, n - 2, backslash, node->size, seen);
            node->capacity = node->size;
            return node;
        }
        if (Equals(token, n, "null"))
            return Fresh(JsonKind::kNull);
        if (Equals(token, n, "true") || Equals(token, n, "false")) {
            JsonNode* node = Fresh(JsonKind::kBoolean);
            node->boolValue = first == u't';
            return node;
        }
        bool real = false;
        if (!LooseNumber(token, n, real))
            return nullptr;
        JsonNode* node = Fresh(real ? JsonKind::kReal : JsonKind::kInteger);
        node->text = Store<F>(token, n, false, node->size, 0);  // a number is ASCII
        node->capacity = node->size;
        return node;
    }

    // A token of the general rules: with gaps, its characters without the
    // whitespace outside quotes, worked out on its UTF-16 form (squeezing
    // bytes could join the pieces of two broken sequences into one).
    JsonNode* ClassifyToken(const Token& t) {
        const size_t count = t.end - t.start;
        if (!t.gaps)
            return Classify<Form>(s_ + t.start, count, true);
        wide_.resize(count);
        const size_t units = Form::Decode(s_ + t.start, count, wide_.data());
        squeezed_.clear();
        char16_t quote = 0;
        for (size_t j = 0; j < units; ++j) {
            const char16_t c = wide_[j];
            if (c == u'\\') {
                const size_t take = (j + 1 < units && wide_[j + 1] == u'u') ? 6 : 2;
                for (size_t k = 0; k < take && j < units; ++k)
                    squeezed_ += wide_[j++];
                --j;
                continue;
            }
            if (quote != 0) {
                if (c == quote)
                    quote = 0;
            } else if (IsSpace(c)) {
                continue;
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            }
            squeezed_ += c;
        }
        return Classify<Utf16Form>(reinterpret_cast<const Unit16*>(squeezed_.data()),
                                   squeezed_.size(), true);
    }

    void TopLevelScalar() {
        tokenStart_ = i_;
        Token t;
        if (!FindTokenEnd(0, false, t))
            return;
        JsonNode* node = ClassifyToken(t);
        if (node == nullptr)
            return Fail(kJsonBadValue, i_);
        root_ = node;  // the empty object it replaces is the pool's to forget
        i_ = n_;
    }

    void ReadKey() {
        SkipSpace();
        if (i_ == n_)
            return Fail(kJsonUnclosed, n_);
        const size_t start = i_;
        tokenStart_ = start;
        const Unit c = s_[i_];
        if (c == u'}') {
            ++i_;
            return Close();
        }
        if (c == u'{' || c == u'[' || c == u',' || c == u':')
            return Fail(kJsonObjectSyntax, i_);
        if (c == u'"' || c == u'\'') {
            size_t j = i_ + 1;
            bool backslash = false;
            uint64_t seen = 0;
            for (;;) {
                j = Form::Scan::FindEither(s_, j, n_, c, Unit{u'\\'}, seen);
                if (j >= n_ || s_[j] == c)
                    break;
                backslash = true;
                seen = ~uint64_t{0};
                j = Form::Skip(s_, n_, j, 2);
            }
            if (j >= n_)
                return Fail(kJsonUnclosedQuote, start);
            i_ = j + 1;
            SkipSpace();
            if (i_ == n_)
                return Fail(kJsonUnclosed, n_);
            const Unit after = s_[i_];
            if (after == u'}' || after == u',')
                return Fail(kJsonBadValue, start);
            if (after != u':')
                return Fail(kJsonObjectSyntax, i_);
            // An empty quoted key is accepted: the writer emits one for a
            // member named "", and the file must read back.
            ReadQuotedKey(s_ + start + 1, j - start - 1, backslash, seen);
        } else {
            while (i_ < n_ && s_[i_] != u':') {
                const Unit k = s_[i_];
                if (k == u'}' || k == u',')
                    return Fail(kJsonBadValue, start);
                if (k == u'{' || k == u'[')
                    return Fail(kJsonObjectSyntax, i_);
                ++i_;
            }
            if (i_ == n_)
                return Fail(kJsonUnclosed, n_);
            // Whitespace inside a bare key does not count.
            wide_.resize(i_ - start);
            const size_t units = Form::Decode(s_ + start, i_ - start, wide_.data());
            squeezed_.clear();
            for (size_t j = 0; j < units; ++j) {
                if (!IsSpace(wide_[j]))
                    squeezed_ += wide_[j];
            }
            key_ = Store<Utf16Form>(reinterpret_cast<const Unit16*>(squeezed_.data()),
                                    squeezed_.size(), true, keyLength_);
            keyHash_ = HashKey({key_, keyLength_});
            keyShared_ = false;
        }
        ++i_;  // the colon
        stack_.back().state = State::kValue;
    }

    // Most documents repeat a few member names over and over: a name seen
    // recently is taken from a small cache (compared by its bytes in the
    // text) and shared by the members, instead of being converted, hashed
    // and stored again.
    void ReadQuotedKey(const Unit* raw, size_t count, bool backslash, uint64_t seen) {
        if (backslash || count == 0 || count > kCachedKeyUnits) {
            key_ = Store<Form>(raw, count, backslash, keyLength_, seen);
            keyHash_ = HashKey({key_, keyLength_});
            keyShared_ = false;
            return;
        }
        CachedKey& entry = keyCache_[(count * 131 + raw[0] * 31 + raw[count - 1]) % kKeyCacheSize];
        if (entry.count != count || std::memcmp(entry.raw, raw, count * sizeof(Unit)) != 0) {
            entry.raw = raw;
            entry.count = count;
            entry.key = Store<Form>(raw, count, false, entry.length, seen);
            entry.hash = HashKey({entry.key, entry.length});
        } else {
            writtenUnits_ += entry.length;
            writtenBytes_ += std::is_same_v<Form, Utf8Form> ? count : entry.length;
        }
        key_ = entry.key;
        keyLength_ = entry.length;
        keyHash_ = entry.hash;
        keyShared_ = true;
    }

    void ReadValue() {
        SkipSpace();
        if (i_ == n_)
            return Fail(kJsonUnclosed, n_);
        const bool inObject = stack_.back().node->kind == JsonKind::kObject;
        const Unit c = s_[i_];
        tokenStart_ = i_;
        if (c == u'{' || c == u'[') {
            ++i_;
            return Open(c == u'{' ? JsonKind::kObject : JsonKind::kArray);
        }
        const Unit closer = inObject ? u'}' : u']';
        Token t;
        if (!QuickToken(closer, t)) {
            if (!FindTokenEnd(closer, true, t))
                return;
            if (t.stop == n_)
                return Fail(kJsonUnclosed, n_);
        }
        if (t.end == t.start) {
            // Nothing before the ',' or bracket: "[]" and a trailing comma in
            // an array are fine, a key without a value is not.
            if (inObject || s_[t.stop] == u',')
                return Fail(kJsonBadValue, i_);
        } else {
            JsonNode* node =
                t.quoted ? Classify<Form>(s_ + t.start, t.end - t.start, t.backslash, t.seen)
                         : ClassifyToken(t);
            if (node == nullptr)
                return Fail(kJsonBadValue, i_);
            Attach(node);
        }
        i_ = t.stop + 1;
        if (s_[t.stop] == u',') {
            if (inObject)
                stack_.back().state = State::kKey;
        } else {
            Close();
        }
    }

    const Unit* s_;
    size_t n_;
    bool decode_;
    bool ignoreScalar_;
    Pool& pool_;
    JsonNode*& root_;
    size_t i_ = 0;
    size_t tokenStart_ = 0;
    std::vector<Frame> stack_;
    std::vector<JsonNode*> pending_;
    std::vector<size_t> seen_;
    char16_t* key_ = nullptr;
    uint32_t keyLength_ = 0;
    uint32_t keyHash_ = 0;
    bool keyShared_ = false;
    struct CachedKey {
        const Unit* raw = nullptr;  // the name's text in the input
        size_t count = 0;
        char16_t* key = nullptr;
        uint32_t length = 0;
        uint32_t hash = 0;
    };
    static constexpr size_t kCachedKeyUnits = 64;
    static constexpr size_t kKeyCacheSize = 61;
    CachedKey keyCache_[kKeyCacheSize];
    std::u16string wide_;
    std::u16string squeezed_;
    JsonParseError error_;
    // The size of the compact text of what was read (see Pool::writtenUnits).
    size_t writtenUnits_ = 0;
    size_t writtenBytes_ = 0;
};

// The length up to the first U+0000, four units at a time.
size_t LengthToNul(const Unit16* s, size_t n) {
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        uint64_t word;
        std::memcpy(&word, s + i, 8);
        if (((word - 0x0001000100010001u) & ~word & 0x8000800080008000u) != 0)
            break;
    }
    while (i < n && s[i] != 0)
        ++i;
    return i;
}

}  // namespace

JsonParseError ParseUtf16(std::u16string_view text, bool decodeEscapes, bool ignoreTopLevelScalar,
                          Pool& pool, JsonNode*& root) {
    const auto* s = reinterpret_cast<const Unit16*>(text.data());
    return Reader<Utf16Form>(s, LengthToNul(s, text.size()), decodeEscapes, ignoreTopLevelScalar,
                             pool, root)
        .Run();
}

JsonParseError ParseUtf16Bytes(std::string_view bytes, bool decodeEscapes,
                               bool ignoreTopLevelScalar, Pool& pool, JsonNode*& root) {
    // A stray odd byte at the end (a file some tool appended to) is dropped:
    // the text is its whole units. The settings and data loaders count on
    // this to keep such a file readable instead of discarding it.
    const size_t units = bytes.size() / 2;
    if (std::endian::native == std::endian::little &&
        reinterpret_cast<uintptr_t>(bytes.data()) % alignof(char16_t) == 0) {
        const auto* s = reinterpret_cast<const Unit16*>(bytes.data());
        return Reader<Utf16Form>(s, LengthToNul(s, units), decodeEscapes, ignoreTopLevelScalar,
                                 pool, root)
            .Run();
    }
    std::u16string text(units, u'\0');
    for (size_t i = 0; i < units; ++i) {
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return ParseUtf16(text, decodeEscapes, ignoreTopLevelScalar, pool, root);
}

JsonParseError ParseUtf8(std::string_view text, bool decodeEscapes, bool ignoreTopLevelScalar,
                         Pool& pool, JsonNode*& root) {
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    return Reader<Utf8Form>(reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                            decodeEscapes, ignoreTopLevelScalar, pool, root)
        .Run();
}

}  // namespace pt::json
