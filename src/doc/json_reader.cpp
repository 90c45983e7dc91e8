// The lenient reader. One pass over the UTF-16 text with an explicit stack of
// open containers, so nesting is limited by memory only. Each open container
// is in one of three states: expecting a key (objects), expecting a value, or
// just after a nested container closed (a comma may follow, or may be
// missing). Value tokens run to the next ',' or closing bracket outside
// quotes; whitespace outside quotes is not part of them.
#include <new>

#include "doc/json_node.h"

namespace pt::json {
namespace {

enum class State { kKey, kValue, kAfterChild };

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == kCr || c == kLf; }

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Resolves the escapes of a string or key body into out.
void Unescape(std::u16string_view body, bool decode, std::u16string& out) {
    const size_t first = body.find(u'\\');
    if (first == std::u16string_view::npos) {
        out.assign(body);
        return;
    }
    out.clear();
    out.reserve(body.size());
    out.append(body.substr(0, first));
    for (size_t k = first; k < body.size(); ++k) {
        const char16_t c = body[k];
        if (c != u'\\' || k + 1 >= body.size()) {
            out += c;
            continue;
        }
        const char16_t e = body[k + 1];
        switch (e) {
            case u'"':
            case u'\\':
            case u'/':
                out += e;
                ++k;
                break;
            case u'b':
                out += u'\b';
                ++k;
                break;
            case u't':
                out += u'\t';
                ++k;
                break;
            case u'r':
                out += kCr;
                ++k;
                break;
            case u'f':
                out += u'\f';
                ++k;
                break;
            case u'n':
                // Files written by older versions hold "\n" for CR LF; a
                // "\r\n" pair and a leading "\n" stay what they say.
                if (!out.empty() && out.back() != kCr) out += kCr;
                out += kLf;
                ++k;
                break;
            case u'u': {
                int code = -1;
                if (decode && k + 5 < body.size()) {
                    code = 0;
                    for (size_t d = k + 2; d <= k + 5 && code >= 0; ++d) {
                        const int h = HexDigit(body[d]);
                        code = h < 0 ? -1 : code * 16 + h;
                    }
                }
                if (code < 0) {
                    out += c;  // kept as written; the 'u' follows as itself
                } else {
                    if (code != 0) out += static_cast<char16_t>(code);
                    k += 5;
                }
                break;
            }
            default:
                out += c;  // unknown escape: backslash and character stay
                break;
        }
    }
}

// Loose number check: a sign, digit or '.' first, then digits with at most
// one '.', one exponent letter and one further sign in any order. Characters
// of code 32 and below do not count. Sets `real` for '.', exponent or second
// sign.
bool LooseNumber(std::u16string_view token, bool& real) {
    size_t i = 0;
    while (i < token.size() && token[i] <= 32) ++i;
    if (i == token.size()) return false;
    const char16_t first = token[i];
    int dots = 0, exponents = 0, signs = 0;
    if (first == u'.') {
        dots = 1;
    } else if (!(first == u'+' || first == u'-' || (first >= u'0' && first <= u'9'))) {
        return false;
    }
    for (++i; i < token.size(); ++i) {
        const char16_t c = token[i];
        if ((c >= u'0' && c <= u'9') || c <= 32) continue;
        if (c == u'.') {
            if (++dots > 1) return false;
        } else if (c == u'e' || c == u'E') {
            if (++exponents > 1) return false;
        } else if (c == u'+' || c == u'-') {
            if (++signs > 1) return false;
        } else {
            return false;
        }
    }
    real = dots + exponents + signs > 0;
    return true;
}

class Reader {
public:
    Reader(std::u16string_view text, bool decode, bool ignoreScalar, JsonNode*& root)
        : s_(text.data()), n_(text.size()), decode_(decode), ignoreScalar_(ignoreScalar),
          root_(root) {}

    JsonParseError Run() {
        try {
            Scan();
        } catch (const std::bad_alloc&) {
            Fail(kJsonOutOfMemory, tokenStart_);
        }
        if (error_.code != kJsonOk) {
            if (root_->kind == JsonKind::kObject || root_->kind == JsonKind::kArray) {
                ClearChildren(root_);
            } else {
                Reset(root_, JsonKind::kObject);
            }
        }
        return error_;
    }

private:
    struct Frame {
        JsonNode* node;
        State state;
    };

    void Fail(int code, size_t position) {
        if (error_.code == kJsonOk) error_ = {code, position};
    }

    void SkipSpace() {
        while (i_ < n_ && IsSpace(s_[i_])) ++i_;
    }

    void Scan() {
        if (n_ == 0) return Fail(kJsonEmptyText, 0);
        stack_.reserve(64);
        bool containerSeen = false;
        while (error_.code == kJsonOk) {
            if (stack_.empty()) {
                while (i_ < n_ && (IsSpace(s_[i_]) || s_[i_] == 0)) ++i_;
                if (i_ == n_) return;
                const char16_t c = s_[i_];
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
                if (i_ == n_) break;
                if (s_[i_] == u',') ++i_;
                top.state = top.node->kind == JsonKind::kObject ? State::kKey : State::kValue;
            } else if (top.state == State::kKey) {
                ReadKey();
            } else {
                ReadValue();
            }
        }
        if (error_.code == kJsonOk && !stack_.empty()) Fail(kJsonUnclosed, n_);
    }

    void OpenRoot(JsonKind kind) {
        if (root_->kind != kind) {
            if (root_->refs == 1) {
                Reset(root_, kind);
            } else {
                // The old root is shown by a view: leave it alone.
                JsonNode* fresh = NewNode(kind);
                Release(root_);
                root_ = fresh;
            }
        }
        stack_.push_back({root_, kind == JsonKind::kObject ? State::kKey : State::kValue});
    }

    void Open(JsonKind kind) {
        JsonNode* child = NewNode(kind);
        Attach(child);
        stack_.push_back({child, kind == JsonKind::kObject ? State::kKey : State::kValue});
    }

    void Close() {
        stack_.pop_back();
        if (!stack_.empty()) stack_.back().state = State::kAfterChild;
    }

    // Hands the node (and its reference) to the open container.
    void Attach(JsonNode* child) {
        JsonNode* parent = stack_.back().node;
        if (parent->kind == JsonKind::kArray) {
            try {
                parent->items.push_back(child);
            } catch (...) {
                Release(child);
                throw;
            }
        } else {
            child->key.swap(key_);
            child->keyHash = keyHash_;
            AppendMember(parent, child);
        }
    }

    // Finds the end of a token that starts at i_: the first ',' or `closer`
    // outside quotes (closer 0: the end of the text). Returns false after an
    // error. `end` is past the last character that is not whitespace;
    // `gaps` tells whether whitespace stood between token characters.
    bool FindTokenEnd(char16_t closer, bool commaEnds, size_t& stop, size_t& end, bool& gaps) {
        size_t j = i_;
        char16_t quote = 0;
        bool sawSpace = false;
        end = i_;
        gaps = false;
        while (j < n_) {
            const char16_t c = s_[j];
            if (c == u'\\') {
                // An escape travels with its backslash, so an escaped quote
                // neither opens nor closes a string.
                j += (j + 1 < n_ && s_[j + 1] == u'u') ? 6 : 2;
                if (j > n_) j = n_;
                if (quote == 0 && sawSpace) gaps = true;
                end = j;
                continue;
            }
            if (quote != 0) {
                if (c == quote) quote = 0;
                end = ++j;
                continue;
            }
            if ((c == u',' && commaEnds) || (c == closer && closer != 0)) break;
            if (IsSpace(c)) {
                sawSpace = end > i_;
                ++j;
                continue;
            }
            if (sawSpace) gaps = true;
            if (c == u'{' || c == u'[') {
                Fail(kJsonBadValue, i_);
                return false;
            }
            if (c == u'"' || c == u'\'') quote = c;
            end = ++j;
        }
        if (quote != 0) {
            Fail(kJsonUnclosedQuote, i_);
            return false;
        }
        stop = j;
        return true;
    }

    // The token's characters without the whitespace outside quotes.
    std::u16string_view Squeeze(size_t end) {
        squeezed_.clear();
        char16_t quote = 0;
        for (size_t j = i_; j < end; ++j) {
            const char16_t c = s_[j];
            if (c == u'\\') {
                const size_t take = (j + 1 < end && s_[j + 1] == u'u') ? 6 : 2;
                for (size_t k = 0; k < take && j < end; ++k) squeezed_ += s_[j++];
                --j;
                continue;
            }
            if (quote != 0) {
                if (c == quote) quote = 0;
            } else if (IsSpace(c)) {
                continue;
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            }
            squeezed_ += c;
        }
        return squeezed_;
    }

    // Classifies a token: string, null, boolean or number; nullptr for none.
    JsonNode* Classify(std::u16string_view token) {
        const char16_t first = token[0];
        if (first == u'"' || first == u'\'') {
            if (token.size() < 2 || token.back() != first) return nullptr;
            JsonNode* node = NewNode(JsonKind::kString);
            try {
                Unescape(token.substr(1, token.size() - 2), decode_, node->text);
            } catch (...) {
                Release(node);
                throw;
            }
            return node;
        }
        if (token == u"null") return NewNode(JsonKind::kNull);
        if (token == u"true" || token == u"false") {
            JsonNode* node = NewNode(JsonKind::kBoolean);
            node->boolValue = first == u't';
            return node;
        }
        bool real = false;
        if (!LooseNumber(token, real)) return nullptr;
        JsonNode* node = NewNode(real ? JsonKind::kReal : JsonKind::kInteger);
        try {
            node->text.assign(token);
        } catch (...) {
            Release(node);
            throw;
        }
        return node;
    }

    void TopLevelScalar() {
        tokenStart_ = i_;
        size_t stop, end;
        bool gaps;
        if (!FindTokenEnd(0, false, stop, end, gaps)) return;
        std::u16string_view token = gaps ? Squeeze(end) : std::u16string_view(s_ + i_, end - i_);
        JsonNode* node = Classify(token);
        if (node == nullptr) return Fail(kJsonBadValue, i_);
        Release(root_);
        root_ = node;
        i_ = n_;
    }

    void ReadKey() {
        SkipSpace();
        if (i_ == n_) return Fail(kJsonUnclosed, n_);
        const size_t start = i_;
        tokenStart_ = start;
        const char16_t c = s_[i_];
        if (c == u'}') {
            ++i_;
            return Close();
        }
        if (c == u'{' || c == u'[' || c == u',' || c == u':') return Fail(kJsonObjectSyntax, i_);
        if (c == u'"' || c == u'\'') {
            size_t j = i_ + 1;
            while (j < n_ && s_[j] != c) j += s_[j] == u'\\' ? 2 : 1;
            if (j >= n_) return Fail(kJsonUnclosedQuote, start);
            Unescape(std::u16string_view(s_ + start + 1, j - start - 1), decode_, key_);
            i_ = j + 1;
            SkipSpace();
            if (i_ == n_) return Fail(kJsonUnclosed, n_);
            const char16_t after = s_[i_];
            if (after == u'}' || after == u',') return Fail(kJsonBadValue, start);
            if (after != u':') return Fail(kJsonObjectSyntax, i_);
            // An empty quoted key is accepted: the writer emits one for a
            // member named "", and the file must read back.
        } else {
            rawKey_.clear();
            while (i_ < n_ && s_[i_] != u':') {
                const char16_t k = s_[i_];
                if (k == u'}' || k == u',') return Fail(kJsonBadValue, start);
                if (k == u'{' || k == u'[') return Fail(kJsonObjectSyntax, i_);
                if (!IsSpace(k)) rawKey_ += k;
                ++i_;
            }
            if (i_ == n_) return Fail(kJsonUnclosed, n_);
            Unescape(rawKey_, decode_, key_);
        }
        ++i_;  // the colon
        keyHash_ = HashKey(key_);
        stack_.back().state = State::kValue;
    }

    void ReadValue() {
        SkipSpace();
        if (i_ == n_) return Fail(kJsonUnclosed, n_);
        Frame& top = stack_.back();
        const bool inObject = top.node->kind == JsonKind::kObject;
        const char16_t c = s_[i_];
        tokenStart_ = i_;
        if (c == u'{' || c == u'[') {
            ++i_;
            return Open(c == u'{' ? JsonKind::kObject : JsonKind::kArray);
        }
        const char16_t closer = inObject ? u'}' : u']';
        size_t stop, end;
        bool gaps;
        if (!FindTokenEnd(closer, true, stop, end, gaps)) return;
        if (stop == n_) return Fail(kJsonUnclosed, n_);
        if (end == i_) {
            // Nothing before the ',' or bracket: "[]" and a trailing comma in
            // an array are fine, a key without a value is not.
            if (inObject || s_[stop] == u',') return Fail(kJsonBadValue, i_);
        } else {
            std::u16string_view token =
                gaps ? Squeeze(end) : std::u16string_view(s_ + i_, end - i_);
            JsonNode* node = Classify(token);
            if (node == nullptr) return Fail(kJsonBadValue, i_);
            Attach(node);
        }
        i_ = stop + 1;
        if (s_[stop] == u',') {
            if (inObject) stack_.back().state = State::kKey;
        } else {
            Close();
        }
    }

    const char16_t* s_;
    size_t n_;
    bool decode_;
    bool ignoreScalar_;
    JsonNode*& root_;
    size_t i_ = 0;
    size_t tokenStart_ = 0;
    std::vector<Frame> stack_;
    std::u16string key_;
    uint32_t keyHash_ = 0;
    std::u16string rawKey_;
    std::u16string squeezed_;
    JsonParseError error_;
};

}  // namespace

JsonParseError Parse(std::u16string_view text, bool decodeEscapes, bool ignoreTopLevelScalar,
                     JsonNode*& root) {
    const size_t nul = text.find(u'\0');
    if (nul != std::u16string_view::npos) text = text.substr(0, nul);
    return Reader(text, decodeEscapes, ignoreTopLevelScalar, root).Run();
}

}  // namespace pt::json
