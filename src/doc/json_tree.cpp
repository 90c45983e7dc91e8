// Node lifetime, deep copies and the member map of objects: insertion order
// in one list, lookup through a chained hash table that is only built once an
// object has more members than a short scan of stored hashes handles well.
#include "doc/json_node.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace pt::json {
namespace {

// Up to this many members an object is searched by comparing stored hashes.
constexpr size_t kLinearMembers = 8;
constexpr size_t kFirstBuckets = 11;

size_t BucketOf(uint32_t hash, size_t bucketCount) {
    return static_cast<size_t>(hash & 0x7FFFFFFFu) % bucketCount;
}

void Link(JsonNode* object, JsonNode* member) {
    JsonNode*& head = object->buckets[BucketOf(member->keyHash, object->buckets.size())];
    member->nextInBucket = head;
    head = member;
}

void Unlink(JsonNode* object, JsonNode* member) {
    if (object->buckets.empty()) return;
    JsonNode** link = &object->buckets[BucketOf(member->keyHash, object->buckets.size())];
    while (*link != nullptr) {
        if (*link == member) {
            *link = member->nextInBucket;
            break;
        }
        link = &(*link)->nextInBucket;
    }
    member->nextInBucket = nullptr;
}

// Grows (or first builds) the table so the member count stays below three
// quarters of the bucket count.
void GrowIndex(JsonNode* object) {
    const size_t count = object->items.size();
    if (count <= kLinearMembers) return;
    size_t buckets = object->buckets.empty() ? kFirstBuckets : object->buckets.size();
    if (!object->buckets.empty() && count * 4 < buckets * 3) return;
    while (count * 4 >= buckets * 3) buckets = buckets * 2 + 1;
    object->buckets.assign(buckets, nullptr);
    for (JsonNode* member : object->items) Link(object, member);
}

// A child leaves its container but lives on in a view: it is held by no one
// under a name any more.
void Detach(JsonNode* child) {
    child->nextInBucket = nullptr;
    child->key.clear();
    child->keyHash = 0;
}

}  // namespace

uint32_t HashKey(std::u16string_view key) {
    uint32_t h = 0;
    for (size_t i = key.size(); i-- > 0;) {
        h = h * 31 + static_cast<uint32_t>(key[i] >> 8);
        h = h * 31 + static_cast<uint32_t>(key[i] & 0xFF);
    }
    return h;
}

JsonNode* NewNode(JsonKind kind) {
    auto* node = new JsonNode;
    node->kind = kind;
    return node;
}

void Retain(JsonNode* node) {
    if (node != nullptr) ++node->refs;
}

void Release(JsonNode* node) {
    if (node == nullptr || --node->refs > 0) return;
    if (node->items.empty()) {
        delete node;
        return;
    }
    std::vector<JsonNode*> dying{node};
    while (!dying.empty()) {
        JsonNode* n = dying.back();
        dying.pop_back();
        for (JsonNode* child : n->items) {
            if (--child->refs == 0) {
                if (child->items.empty()) {
                    delete child;
                } else {
                    dying.push_back(child);
                }
            } else {
                Detach(child);
            }
        }
        delete n;
    }
}

void ClearChildren(JsonNode* node) {
    std::vector<JsonNode*> items;
    items.swap(node->items);
    node->buckets.clear();
    node->buckets.shrink_to_fit();
    for (JsonNode* child : items) {
        if (child->refs > 1) Detach(child);
        Release(child);
    }
}

void Reset(JsonNode* node, JsonKind kind) {
    ClearChildren(node);
    node->text.clear();
    node->boolValue = false;
    node->kind = kind;
}

JsonNode* Copy(const JsonNode* source) {
    auto copyScalar = [](const JsonNode* from) {
        JsonNode* to = NewNode(from->kind);
        to->text = from->text;
        to->boolValue = from->boolValue;
        return to;
    };
    JsonNode* top = copyScalar(source);
    if (source->items.empty()) return top;
    struct Pending {
        const JsonNode* from;
        JsonNode* to;
    };
    std::vector<Pending> pending{{source, top}};
    try {
        while (!pending.empty()) {
            Pending p = pending.back();
            pending.pop_back();
            p.to->items.reserve(p.from->items.size());
            for (const JsonNode* child : p.from->items) {
                JsonNode* copy = copyScalar(child);
                copy->key = child->key;
                copy->keyHash = child->keyHash;
                p.to->items.push_back(copy);
                if (!child->items.empty()) pending.push_back({child, copy});
            }
            if (p.to->kind == JsonKind::kObject) RebuildIndex(p.to);
        }
    } catch (...) {
        Release(top);
        throw;
    }
    return top;
}

JsonNode* FindMember(const JsonNode* object, std::u16string_view key, uint32_t hash) {
    if (object->buckets.empty()) {
        for (JsonNode* member : object->items) {
            if (member->keyHash == hash && member->key == key) return member;
        }
        return nullptr;
    }
    for (JsonNode* m = object->buckets[BucketOf(hash, object->buckets.size())]; m != nullptr;
         m = m->nextInBucket) {
        if (m->keyHash == hash && m->key == key) return m;
    }
    return nullptr;
}

size_t MemberIndex(const JsonNode* object, const JsonNode* member) {
    for (size_t i = 0; i < object->items.size(); ++i) {
        if (object->items[i] == member) return i;
    }
    return SIZE_MAX;
}

void PutMember(JsonNode* object, JsonNode* member, size_t position) {
    if (JsonNode* old = FindMember(object, member->key, member->keyHash)) {
        JsonNode* released = SwapMember(object, MemberIndex(object, old), member);
        if (released->refs > 1) Detach(released);
        Release(released);
        return;
    }
    try {
        if (position >= object->items.size()) {
            object->items.push_back(member);
        } else {
            object->items.insert(object->items.begin() + static_cast<ptrdiff_t>(position), member);
        }
    } catch (...) {
        Release(member);
        throw;
    }
    if (!object->buckets.empty()) Link(object, member);
    GrowIndex(object);
}

JsonNode* TakeMember(JsonNode* object, size_t index) {
    JsonNode* member = object->items[index];
    Unlink(object, member);
    object->items.erase(object->items.begin() + static_cast<ptrdiff_t>(index));
    return member;
}

JsonNode* SwapMember(JsonNode* object, size_t index, JsonNode* member) {
    JsonNode* old = object->items[index];
    Unlink(object, old);
    object->items[index] = member;
    if (!object->buckets.empty()) Link(object, member);
    return old;
}

void RebuildIndex(JsonNode* object) {
    object->buckets.clear();
    for (JsonNode* member : object->items) member->nextInBucket = nullptr;
    GrowIndex(object);
}

int64_t LeadingInt64(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    uint64_t value = 0;
    const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const unsigned digit = text[i] - u'0';
        if (value > (limit - digit) / 10) {
            value = limit;  // saturate, as the runtime does on overflow
            break;
        }
        value = value * 10 + digit;
    }
    if (negative) return value == uint64_t{1} << 63 ? std::numeric_limits<int64_t>::min()
                                                    : -static_cast<int64_t>(value);
    return static_cast<int64_t>(value);
}

namespace {

// from_chars with strtod's answer out of range: an overflow gives an infinity,
// an underflow zero, both with the mantissa's sign.
double FromChars(std::string_view digits) {
    double value = 0;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (r.ec == std::errc()) return value;
    if (r.ec != std::errc::result_out_of_range) return 0;
    const bool negative = !digits.empty() && digits[0] == '-';
    const size_t e = digits.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < digits.size() && digits[e + 1] == '-';
    const double magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    return negative ? -magnitude : magnitude;
}

}  // namespace

double LeadingReal(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
    // from_chars knows no leading '+'; it also never depends on the locale.
    if (i < text.size() && text[i] == u'+') {
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) return 0;
    }
    char buffer[64];
    size_t n = 0;
    for (; i < text.size() && n < sizeof buffer; ++i) {
        const char16_t c = text[i];
        if (!((c >= u'0' && c <= u'9') || c == u'.' || c == u'e' || c == u'E' || c == u'+' ||
              c == u'-')) {
            break;
        }
        buffer[n++] = static_cast<char>(c);
    }
    if (n == sizeof buffer) {
        // A longer literal: rare enough to take the allocating road.
        std::string longer;
        for (size_t k = i - n; k < text.size(); ++k) {
            const char16_t c = text[k];
            if (!((c >= u'0' && c <= u'9') || c == u'.' || c == u'e' || c == u'E' || c == u'+' ||
                  c == u'-')) {
                break;
            }
            longer += static_cast<char>(c);
        }
        return FromChars(longer);
    }
    return FromChars(std::string_view(buffer, n));
}

}  // namespace pt::json
