// JsonDocument's interface: the text conversions at its edges, path texts,
// the two ways a path is resolved (reading never creates, writing creates and
// converts), and the operations built on them.
#include "doc/json_document.h"

#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "base/text.h"
#include "doc/json_node.h"

namespace pt {
namespace {

using json::Pool;

// Pool sizes: a document built in code starts small; one read from text
// gets room for its tree, which takes about this many bytes per character of
// the text (nodes, texts and lists, measured on the data files).
constexpr size_t kFreshPoolBytes = 512;
constexpr size_t kPoolBytesPerUnit = 3;

// An index may reach past the end of an array by this many new elements at
// most: a path like "a[2000000000]" must not try to fill memory with nulls.
constexpr int64_t kMaxPadding = 1 << 20;

// Stand-in for a document without a root (one that was moved from); never
// changed.
const JsonNode& EmptyObject() {
    static const JsonNode node = [] {
        JsonNode n;
        n.kind = JsonKind::kObject;
        return n;
    }();
    return node;
}

struct Segment {
    bool isIndex = false;
    int index = 0;  // -1 for "[]"
    std::u16string name;
    uint32_t hash = 0;
};

// StrToIntW: an optional sign and decimal digits, stopping at anything else;
// no digits give 0. Saturates instead of wrapping.
int ParseIndex(std::string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            value = int64_t{INT_MAX} + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

std::vector<Segment> SplitPath(std::string_view path) {
    std::vector<Segment> segments;
    std::string name;
    auto endName = [&] {
        if (name.empty())
            return;
        Segment s;
        s.name = Utf8ToWide(name);
        s.hash = json::HashKey(s.name);
        segments.push_back(std::move(s));
        name.clear();
    };
    for (size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (c == '\\' && i + 1 < path.size() &&
            (path[i + 1] == '.' || path[i + 1] == '[' || path[i + 1] == ']' ||
             path[i + 1] == '\\')) {
            name += path[++i];
        } else if (c == '.') {
            endName();
        } else if (c == '[') {
            endName();
            const size_t close = path.find(']', i + 1);
            const std::string_view inside =
                path.substr(i + 1, (close == std::string_view::npos ? path.size() : close) - i - 1);
            Segment s;
            s.isIndex = true;
            s.index = inside.empty() ? -1 : ParseIndex(inside);
            segments.push_back(std::move(s));
            if (close == std::string_view::npos)
                break;  // unclosed: the rest is the index
            i = close;
        } else {
            name += c;
        }
    }
    endName();
    return segments;
}

// Read resolution: nothing is created; nullptr when a step finds nothing.
const JsonNode* Find(const JsonNode* node, std::string_view path) {
    if (path.empty())
        return node;
    for (const Segment& s : SplitPath(path)) {
        if (!s.isIndex) {
            if (node->kind != JsonKind::kObject)
                return nullptr;
            node = json::FindMember(node, s.name, s.hash);
        } else {
            if (!node->IsContainer())
                return nullptr;
            if (s.index < 0 || static_cast<size_t>(s.index) >= node->size)
                return nullptr;
            node = node->items[static_cast<size_t>(s.index)];
        }
        if (node == nullptr)
            return nullptr;
    }
    return node;
}

// Write resolution: every step yields a node, converting what is in the way.
// nullptr only for an index too far past the end.
JsonNode* Make(JsonNode* node, std::string_view path, Pool& pool) {
    if (path.empty())
        return node;
    for (Segment& s : SplitPath(path)) {
        if (!s.isIndex) {
            if (node->kind != JsonKind::kObject)
                json::Reset(node, JsonKind::kObject, pool);
            JsonNode* member = json::FindMember(node, s.name, s.hash);
            if (member == nullptr) {
                member = json::NewNode(pool, JsonKind::kNull);
                try {
                    json::SetNodeKey(member, s.name, s.hash, pool);
                } catch (...) {
                    json::Release(member, pool);
                    throw;
                }
                json::PutMember(node, member, SIZE_MAX, pool);
            }
            node = member;
        } else {
            if (node->kind != JsonKind::kArray)
                json::Reset(node, JsonKind::kArray, pool);
            const size_t count = node->size;
            const size_t index = s.index < 0 ? count : static_cast<size_t>(s.index);
            if (index >= count) {
                if (static_cast<int64_t>(index - count) >= kMaxPadding)
                    return nullptr;
                while (node->size <= index) {
                    json::InsertChild(node, SIZE_MAX, json::NewNode(pool, JsonKind::kNull), pool);
                }
            }
            node = node->items[index];
        }
    }
    return node;
}

JsonKind KindOf(const JsonNode* node) {
    return node ? node->kind : JsonKind::kNone;
}

std::u16string_view TextOf(const JsonNode* node) {
    if (node == nullptr)
        return {};
    if (node->kind == JsonKind::kBoolean)
        return node->boolValue ? u"true" : u"false";
    return node->Text();
}

int64_t RealToInt64(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= 9223372036854775807.0)
        return INT64_MAX;
    if (value <= -9223372036854775808.0)
        return INT64_MIN;
    return static_cast<int64_t>(value);
}

int64_t Int64Of(const JsonNode* node) {
    if (node == nullptr)
        return 0;
    switch (node->kind) {
        case JsonKind::kInteger:
        case JsonKind::kString:
            return json::LeadingInt64(node->Text());
        case JsonKind::kReal:
            return RealToInt64(json::LeadingReal(node->Text()));
        case JsonKind::kBoolean:
            return node->boolValue ? 1 : 0;
        default:
            return 0;
    }
}

int32_t IntOf(const JsonNode* node) {
    if (node == nullptr)
        return 0;
    switch (node->kind) {
        case JsonKind::kInteger:
        case JsonKind::kBoolean:
            return static_cast<int32_t>(static_cast<uint32_t>(Int64Of(node)));  // low 32 bits
        case JsonKind::kReal:
        case JsonKind::kString: {
            const int64_t v = Int64Of(node);
            return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
        }
        default:
            return 0;
    }
}

bool BoolOf(const JsonNode* node) {
    if (node == nullptr)
        return false;
    switch (node->kind) {
        case JsonKind::kReal:
            return std::fabs(json::LeadingReal(node->Text())) > 1e-7;
        case JsonKind::kInteger:
            return json::LeadingInt64(node->Text()) != 0;
        case JsonKind::kBoolean:
            return node->boolValue;
        default:
            return false;
    }
}

double RealOf(const JsonNode* node) {
    if (node == nullptr)
        return 0;
    switch (node->kind) {
        case JsonKind::kReal:
        case JsonKind::kString:
            return json::LeadingReal(node->Text());
        case JsonKind::kInteger:
            return static_cast<double>(json::LeadingInt64(node->Text()));
        case JsonKind::kBoolean:
            return node->boolValue ? 1 : 0;
        default:
            return 0;
    }
}

int CountOf(const JsonNode* node) {
    if (node == nullptr || !node->IsContainer())
        return 0;
    return static_cast<int>(std::min<size_t>(node->size, INT_MAX));
}

// Stops at the first U+0000: the file form ends there.
std::u16string_view UpToNul(std::u16string_view text) {
    return text.substr(0, std::min(text.find(u'\0'), text.size()));
}

std::u16string ToKey(std::string_view utf8) {
    return std::u16string(UpToNul(Utf8ToWide(utf8)));
}

// A stable merge sort that stays within bounds whatever the comparison
// answers (the library sorts may not when it is inconsistent).
void MergeSort(JsonNode** list, size_t n, const JsonCompare& compare) {
    std::vector<JsonNode*> items(list, list + n);
    std::vector<JsonNode*> buffer(n);
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            const size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
            size_t a = lo, b = mid, out = lo;
            while (a < mid && b < hi) {
                // Take from the right only when the left must come after it.
                const bool right =
                    compare(JsonAccess::Value(items[a]), JsonAccess::Value(items[b])) > 0;
                buffer[out++] = right ? items[b++] : items[a++];
            }
            while (a < mid)
                buffer[out++] = items[a++];
            while (b < hi)
                buffer[out++] = items[b++];
        }
        items.swap(buffer);
    }
    std::copy(items.begin(), items.end(), list);
}

template <typename F>
bool Guard(F&& f) {
    try {
        return f();
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

// ---- JsonValue ---------------------------------------------------------------

JsonKind JsonValue::Kind() const {
    return KindOf(node_);
}
std::string JsonValue::Key() const {
    return node_ ? WideToUtf8(node_->Key()) : std::string();
}
std::string JsonValue::GetText(std::string_view path) const {
    return node_ ? WideToUtf8(TextOf(Find(node_, path))) : std::string();
}
int32_t JsonValue::GetInt(std::string_view path) const {
    return node_ ? IntOf(Find(node_, path)) : 0;
}
int64_t JsonValue::GetInt64(std::string_view path) const {
    return node_ ? Int64Of(Find(node_, path)) : 0;
}
bool JsonValue::GetBool(std::string_view path) const {
    return node_ ? BoolOf(Find(node_, path)) : false;
}
double JsonValue::GetReal(std::string_view path) const {
    return node_ ? RealOf(Find(node_, path)) : 0;
}
JsonKind JsonValue::GetKind(std::string_view path) const {
    return node_ ? KindOf(Find(node_, path)) : JsonKind::kNone;
}
int JsonValue::GetCount(std::string_view path) const {
    return node_ ? CountOf(Find(node_, path)) : 0;
}

// ---- JsonDocument: lifetime ----------------------------------------------------

JsonDocument::JsonDocument() : pool_(Pool::Create(kFreshPoolBytes)) {
    try {
        root_ = json::NewNode(*pool_, JsonKind::kObject);
    } catch (...) {
        Pool::Release(pool_);
        throw;
    }
}

JsonDocument::JsonDocument(JsonNode* node, Pool* pool) : root_(node), pool_(pool) {
    pool_->Retain();
}

JsonDocument::~JsonDocument() {
    DropTree();
}

JsonDocument::JsonDocument(JsonDocument&& other) noexcept
    : root_(other.root_), pool_(other.pool_), lastError_(other.lastError_) {
    other.root_ = nullptr;
    other.pool_ = nullptr;
}

JsonDocument& JsonDocument::operator=(JsonDocument&& other) noexcept {
    if (this != &other) {
        DropTree();
        root_ = other.root_;
        pool_ = other.pool_;
        lastError_ = other.lastError_;
        other.root_ = nullptr;
        other.pool_ = nullptr;
    }
    return *this;
}

void JsonDocument::DropTree() {
    if (pool_ == nullptr)
        return;
    // Alone in its pool, the tree goes with the pool's blocks; a pool that
    // views share needs the walk, so that what they show survives.
    if (pool_->Shared())
        json::Release(root_, *pool_);
    Pool::Release(pool_);
    root_ = nullptr;
    pool_ = nullptr;
}

void JsonDocument::EnsureRoot() {
    if (root_ != nullptr)
        return;
    JsonDocument fresh;
    std::swap(root_, fresh.root_);
    std::swap(pool_, fresh.pool_);
}

// A moved-from document reads as an empty object and gets a root of its own
// on its first change.
#define PT_READ_ROOT (root_ ? root_ : &EmptyObject())

// ---- Text ----------------------------------------------------------------------

template <typename Parse>
bool JsonDocument::ParseWith(size_t textSize, Parse&& parse) {
    try {
        const size_t expect = textSize * kPoolBytesPerUnit + kFreshPoolBytes;
        if (pool_ != nullptr && !pool_->Shared()) {
            // Nothing outside holds a node of the old tree: its blocks are
            // simply reused.
            root_ = nullptr;
            pool_->Reset(expect);
        } else {
            DropTree();
            pool_ = Pool::Create(expect);
        }
        root_ = json::NewNode(*pool_, JsonKind::kObject);
        lastError_ = parse(*pool_, root_);
        if (lastError_.code != kJsonOk) {
            const JsonKind kind =
                root_->kind == JsonKind::kArray ? JsonKind::kArray : JsonKind::kObject;
            root_ = nullptr;
            pool_->Reset(0);
            root_ = json::NewNode(*pool_, kind);
        }
    } catch (const std::bad_alloc&) {
        lastError_ = {kJsonOutOfMemory, 0};
        if (root_ == nullptr && pool_ != nullptr) {
            Pool::Release(pool_);
            pool_ = nullptr;
        }
    }
    return lastError_.code == kJsonOk;
}

bool JsonDocument::ParseWide(std::u16string_view text, bool decodeUnicodeEscapes,
                             bool ignoreTopLevelScalar) {
    return ParseWith(text.size(), [&](Pool& pool, JsonNode*& root) {
        return json::ParseUtf16(text, decodeUnicodeEscapes, ignoreTopLevelScalar, pool, root);
    });
}

bool JsonDocument::ParseText(std::string_view utf8, bool decodeUnicodeEscapes,
                             bool ignoreTopLevelScalar) {
    return ParseWith(utf8.size(), [&](Pool& pool, JsonNode*& root) {
        return json::ParseUtf8(utf8, decodeUnicodeEscapes, ignoreTopLevelScalar, pool, root);
    });
}

bool JsonDocument::ParseBytes(std::string_view bytes, bool decodeUnicodeEscapes,
                              bool ignoreTopLevelScalar) {
    return ParseWith(bytes.size() / 2, [&](Pool& pool, JsonNode*& root) {
        return json::ParseUtf16Bytes(bytes, decodeUnicodeEscapes, ignoreTopLevelScalar, pool, root);
    });
}

namespace {

// The first size of an output buffer, in its own units (UTF-16 units or
// UTF-8 bytes): the caller's hint, or for the whole tree what its reader
// counted, with room for a few escapes.
size_t OutputHint(int firstBufferBytes, bool utf16, const JsonNode* node, const JsonNode* root,
                  const Pool* pool) {
    size_t hint = static_cast<size_t>(firstBufferBytes <= 0 ? 1024 : firstBufferBytes);
    if (utf16)
        hint /= 2;
    if (node == root && pool != nullptr) {
        const size_t counted = utf16 ? pool->writtenUnits : pool->writtenBytes;
        if (counted > hint)
            hint = counted + counted / 32 + 64;
    }
    return hint;
}

}  // namespace

std::u16string JsonDocument::SerializeWide(std::string_view path, bool pretty, bool escape,
                                           int firstBufferBytes) const {
    try {
        const JsonNode* node = Find(PT_READ_ROOT, path);
        if (node == nullptr)
            return {};
        std::u16string out;
        json::WriteUtf16(node, pretty, escape,
                         OutputHint(firstBufferBytes, true, node, root_, pool_), out);
        return out;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::string JsonDocument::Serialize(std::string_view path, bool pretty, bool escape,
                                    int firstBufferBytes) const {
    try {
        const JsonNode* node = Find(PT_READ_ROOT, path);
        if (node == nullptr)
            return std::string(2, '\0');
        std::string out;
        json::WriteUtf16Bytes(node, pretty, escape,
                              2 * OutputHint(firstBufferBytes, true, node, root_, pool_), out);
        return out;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::string JsonDocument::SerializeText(std::string_view path, bool pretty, bool escape,
                                        int firstBufferBytes) const {
    try {
        const JsonNode* node = Find(PT_READ_ROOT, path);
        if (node == nullptr)
            return {};
        std::string out;
        json::WriteUtf8(node, pretty, escape,
                        OutputHint(firstBufferBytes, false, node, root_, pool_), out);
        return out;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

// ---- Reading -------------------------------------------------------------------

std::string JsonDocument::GetText(std::string_view path) const {
    try {
        return WideToUtf8(TextOf(Find(PT_READ_ROOT, path)));
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::u16string JsonDocument::GetWideText(std::string_view path) const {
    try {
        return std::u16string(TextOf(Find(PT_READ_ROOT, path)));
    } catch (const std::bad_alloc&) {
        return {};
    }
}

int32_t JsonDocument::GetInt(std::string_view path) const {
    return JsonValue(PT_READ_ROOT).GetInt(path);
}
int64_t JsonDocument::GetInt64(std::string_view path) const {
    return JsonValue(PT_READ_ROOT).GetInt64(path);
}
bool JsonDocument::GetBool(std::string_view path) const {
    return JsonValue(PT_READ_ROOT).GetBool(path);
}
double JsonDocument::GetReal(std::string_view path) const {
    return JsonValue(PT_READ_ROOT).GetReal(path);
}
JsonKind JsonDocument::GetKind(std::string_view path) const {
    return JsonValue(PT_READ_ROOT).GetKind(path);
}
int JsonDocument::GetCount(std::string_view path) const {
    return JsonValue(PT_READ_ROOT).GetCount(path);
}

std::string JsonDocument::GetKey(std::string_view path) const {
    const JsonNode* node = Find(PT_READ_ROOT, path);
    return node ? WideToUtf8(node->Key()) : std::string();
}

JsonDocument JsonDocument::GetView(std::string_view path, int index) const {
    const JsonNode* node = Find(PT_READ_ROOT, path);
    if (node != nullptr && node->IsContainer() && index >= 0 &&
        static_cast<size_t>(index) < node->size) {
        JsonNode* shared = node->items[static_cast<size_t>(index)];
        json::Retain(shared);
        return JsonDocument(shared, pool_);
    }
    return JsonDocument();
}

JsonDocument JsonDocument::GetMemberView(std::string_view path, std::string_view key) const {
    const JsonNode* node = Find(PT_READ_ROOT, path);
    if (node != nullptr && node->kind == JsonKind::kObject) {
        const std::u16string wideKey = ToKey(key);
        if (JsonNode* shared = json::FindMember(node, wideKey, json::HashKey(wideKey))) {
            json::Retain(shared);
            return JsonDocument(shared, pool_);
        }
    }
    return JsonDocument();
}

JsonDocument JsonDocument::GetCopy(std::string_view path) {
    try {
        EnsureRoot();
        if (const JsonNode* node = Make(root_, path, *pool_)) {
            JsonDocument copy;
            JsonNode* tree = json::Copy(node, *copy.pool_);
            json::Release(copy.root_, *copy.pool_);
            copy.root_ = tree;
            return copy;
        }
    } catch (const std::bad_alloc&) {
    }
    return JsonDocument();
}

bool JsonDocument::Sort(std::string_view path, const JsonCompare& compare) {
    return Guard([&] {
        JsonNode* node = const_cast<JsonNode*>(Find(PT_READ_ROOT, path));
        if (node == nullptr || !compare || !node->IsContainer())
            return false;
        // The member table holds nodes, not positions: it stays valid.
        MergeSort(node->items, node->size, compare);
        return true;
    });
}

// ---- Writing -------------------------------------------------------------------

namespace {

std::u16string DecimalText(int64_t value) {
    char buffer[24];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::u16string(buffer, r.ptr);
}

}  // namespace

// Write resolution, then the setter turns the target into a scalar.
template <typename F>
bool JsonDocument::SetScalar(std::string_view path, JsonKind kind, F&& fill) {
    return Guard([&] {
        EnsureRoot();
        JsonNode* node = Make(root_, path, *pool_);
        if (node == nullptr)
            return false;
        json::Reset(node, kind, *pool_);
        fill(node, *pool_);
        return true;
    });
}

bool JsonDocument::SetText(std::string_view path, std::string_view text) {
    return Guard([&] { return SetWideText(path, Utf8ToWide(text)); });
}

bool JsonDocument::SetWideText(std::string_view path, std::u16string_view text) {
    return SetScalar(path, JsonKind::kString, [&](JsonNode* node, Pool& pool) {
        json::SetNodeText(node, UpToNul(text), pool);
    });
}

bool JsonDocument::SetInt(std::string_view path, int32_t value) {
    return SetInt64(path, value);
}

bool JsonDocument::SetInt64(std::string_view path, int64_t value) {
    return SetScalar(path, JsonKind::kInteger, [&](JsonNode* node, Pool& pool) {
        json::SetNodeText(node, DecimalText(value), pool);
    });
}

bool JsonDocument::SetReal(std::string_view path, double value) {
    if (!std::isfinite(value))
        return SetNull(path);
    return SetScalar(path, JsonKind::kReal, [&](JsonNode* node, Pool& pool) {
        char buffer[32];
        auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
        json::SetNodeText(node, std::u16string(buffer, r.ptr), pool);
    });
}

bool JsonDocument::SetBool(std::string_view path, bool value) {
    return SetScalar(path, JsonKind::kBoolean,
                     [&](JsonNode* node, Pool&) { node->boolValue = value; });
}

bool JsonDocument::SetNull(std::string_view path) {
    return SetScalar(path, JsonKind::kNull, [](JsonNode*, Pool&) {});
}

bool JsonDocument::Clear(std::string_view path) {
    return Guard([&] {
        EnsureRoot();
        JsonNode* node = Make(root_, path, *pool_);
        if (node == nullptr)
            return false;
        switch (node->kind) {
            case JsonKind::kObject:
            case JsonKind::kArray:
                json::ClearChildren(node, *pool_);
                break;
            case JsonKind::kString:
                node->size = 0;
                break;
            case JsonKind::kInteger:
                json::SetNodeText(node, u"0", *pool_);
                break;
            case JsonKind::kReal:
                json::SetNodeText(node, u"0.0", *pool_);
                break;
            case JsonKind::kBoolean:
                node->boolValue = false;
                break;
            default:
                break;
        }
        return true;
    });
}

// The removals and the rename look their target up without creating it: a
// removal that finds nothing must leave the document as it was, not turn a
// value standing in the way into an empty container.
bool JsonDocument::RemoveMember(std::string_view path, std::string_view key) {
    return Guard([&] {
        JsonNode* object = const_cast<JsonNode*>(Find(PT_READ_ROOT, path));
        if (object == nullptr || object->kind != JsonKind::kObject)
            return false;
        const std::u16string wideKey = ToKey(key);
        JsonNode* member = json::FindMember(object, wideKey, json::HashKey(wideKey));
        if (member == nullptr)
            return false;
        JsonNode* taken = json::TakeChild(object, json::MemberIndex(object, member), *pool_);
        if (taken->refs > 1)
            json::Detach(taken, *pool_);  // lives on in a view, held by no one
        json::Release(taken, *pool_);
        return true;
    });
}

bool JsonDocument::RemoveElement(std::string_view path, int index) {
    return Guard([&] {
        JsonNode* array = const_cast<JsonNode*>(Find(PT_READ_ROOT, path));
        if (array == nullptr || array->kind != JsonKind::kArray || index < 0 ||
            static_cast<size_t>(index) >= array->size) {
            return false;
        }
        json::Release(json::TakeChild(array, static_cast<size_t>(index), *pool_), *pool_);
        return true;
    });
}

bool JsonDocument::RenameMember(std::string_view path, std::string_view oldKey,
                                std::string_view newKey) {
    return Guard([&] {
        JsonNode* object = const_cast<JsonNode*>(Find(PT_READ_ROOT, path));
        if (object == nullptr || object->kind != JsonKind::kObject)
            return false;
        const std::u16string from = ToKey(oldKey);
        const std::u16string to = ToKey(newKey);
        JsonNode* member = json::FindMember(object, from, json::HashKey(from));
        if (member == nullptr)
            return false;
        // Renaming a member to its own name must not lose it.
        if (from == to)
            return true;
        const uint32_t toHash = json::HashKey(to);
        // The node itself keeps its place (and a view of it stays attached).
        if (JsonNode* existing = json::FindMember(object, to, toHash)) {
            // Taking the name of another member replaces that member where it
            // stands, as an insert of an existing key does.
            json::SetNodeKey(member, to, toHash, *pool_);
            json::TakeChild(object, json::MemberIndex(object, member), *pool_);
            JsonNode* old =
                json::SwapMember(object, json::MemberIndex(object, existing), member, *pool_);
            if (old->refs > 1)
                json::Detach(old, *pool_);
            json::Release(old, *pool_);
        } else {
            json::SetNodeKey(member, to, toHash, *pool_);
            if (object->table != nullptr)
                json::RebuildIndex(object, *pool_);
        }
        return true;
    });
}

// The body of AppendCopy and InsertCopy; `at` SIZE_MAX appends.
bool JsonDocument::InsertCopyAt(std::string_view path, size_t at, const JsonNode* source) {
    EnsureRoot();
    // The range is checked before write resolution converts anything, so a
    // refused insert leaves the document as it was. A node that is not an
    // array yet will be an empty one.
    if (at != SIZE_MAX) {
        const JsonNode* existing = Find(root_, path);
        const size_t count =
            existing != nullptr && existing->kind == JsonKind::kArray ? existing->size : 0;
        if (at > count)
            return false;
    }
    // Copy first: the source may be this document or a view into it.
    JsonNode* copy = json::Copy(source, *pool_);
    JsonNode* array;
    try {
        array = Make(root_, path, *pool_);
    } catch (...) {
        json::Release(copy, *pool_);
        throw;
    }
    if (array == nullptr) {
        json::Release(copy, *pool_);
        return false;
    }
    if (array->kind != JsonKind::kArray)
        json::Reset(array, JsonKind::kArray, *pool_);
    const size_t count = array->size;
    if (at == SIZE_MAX)
        at = count;
    if (at > count) {
        json::Release(copy, *pool_);
        return false;
    }
    json::InsertChild(array, at, copy, *pool_);
    return true;
}

bool JsonDocument::AppendCopy(std::string_view path, const JsonDocument& other) {
    return Guard(
        [&] { return InsertCopyAt(path, SIZE_MAX, other.root_ ? other.root_ : &EmptyObject()); });
}

bool JsonDocument::InsertCopy(std::string_view path, int index, const JsonDocument& other) {
    if (index < 0)
        return false;
    return Guard([&] {
        return InsertCopyAt(path, static_cast<size_t>(index),
                            other.root_ ? other.root_ : &EmptyObject());
    });
}

bool JsonDocument::SetMemberCopy(std::string_view path, std::string_view key,
                                 const JsonDocument& other) {
    return InsertMemberCopy(path, INT_MAX, key, other);
}

bool JsonDocument::InsertMemberCopy(std::string_view path, int position, std::string_view key,
                                    const JsonDocument& other) {
    return Guard([&] {
        EnsureRoot();
        const std::u16string wideKey = ToKey(key);
        const uint32_t hash = json::HashKey(wideKey);
        if (position != INT_MAX) {
            // Checked before write resolution converts anything (see
            // InsertCopyAt); a node that is not an object yet will be empty.
            const JsonNode* existing = Find(root_, path);
            const bool isObject = existing != nullptr && existing->kind == JsonKind::kObject;
            const size_t count = isObject ? existing->size : 0;
            const bool replaces = isObject && json::FindMember(existing, wideKey, hash) != nullptr;
            if (!replaces && (position < 0 || static_cast<size_t>(position) > count))
                return false;
        }
        JsonNode* copy = json::Copy(other.root_ ? other.root_ : &EmptyObject(), *pool_);
        JsonNode* object;
        try {
            json::SetNodeKey(copy, wideKey, hash, *pool_);
            object = Make(root_, path, *pool_);
        } catch (...) {
            json::Release(copy, *pool_);
            throw;
        }
        if (object == nullptr) {
            json::Release(copy, *pool_);
            return false;
        }
        if (object->kind != JsonKind::kObject)
            json::Reset(object, JsonKind::kObject, *pool_);
        const bool exists = json::FindMember(object, copy->Key(), copy->keyHash) != nullptr;
        // INT_MAX is SetMemberCopy's "at the end".
        const size_t at = position == INT_MAX ? object->size : static_cast<size_t>(position);
        if (!exists && (position < 0 || at > object->size)) {
            json::Release(copy, *pool_);
            return false;
        }
        json::PutMember(object, copy, at, *pool_);
        return true;
    });
}

#undef PT_READ_ROOT

}  // namespace pt
