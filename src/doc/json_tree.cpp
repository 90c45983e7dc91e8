// Node lifetime, deep copies, child lists and the member map of objects:
// insertion order in the child list, lookup by a scan of stored hashes for
// small objects and through an open-addressing table for larger ones.
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "doc/json_node.h"

namespace pt::json {
namespace {

// A list grows to twice its capacity plus one, as the file format's own
// writer grew its arrays; the first block has room for 8.
constexpr uint32_t kFirstCapacity = 8;

uint32_t CheckedSize(size_t n) {
    if (n >= UINT32_MAX)
        throw std::bad_alloc();
    return static_cast<uint32_t>(n);
}

size_t TableBytes(uint32_t slots) {
    return offsetof(MemberTable, slots) + sizeof(JsonNode*) * slots;
}

uint32_t SlotOf(const MemberTable* table, uint32_t hash) {
    return static_cast<uint32_t>((hash * 2654435769u) >> table->shift);
}

void TableInsert(MemberTable* table, JsonNode* member) {
    const uint32_t mask = table->slotCount - 1;
    uint32_t slot = SlotOf(table, member->keyHash);
    while (table->slots[slot] != nullptr)
        slot = (slot + 1) & mask;
    table->slots[slot] = member;
}

void DropTable(JsonNode* object, Pool& pool) {
    if (object->table != nullptr) {
        pool.Free(object->table, TableBytes(object->table->slotCount));
        object->table = nullptr;
    }
}

// Sized for the members the object has, at most half full; rebuilt when it
// passes three quarters.
void BuildTable(JsonNode* object, size_t members, Pool& pool) {
    DropTable(object, pool);
    if (object->size <= kLinearMembers)
        return;
    uint32_t bits = 4;
    while ((size_t{1} << bits) < members * 2)
        ++bits;
    if (bits > 31)
        throw std::bad_alloc();
    const uint32_t slots = uint32_t{1} << bits;
    auto* table = static_cast<MemberTable*>(pool.Allocate(TableBytes(slots)));
    table->shift = 32 - bits;
    table->slotCount = slots;
    std::memset(table->slots, 0, sizeof(JsonNode*) * slots);
    object->table = table;
    for (JsonNode* member : object->Children())
        TableInsert(table, member);
}

void FreeKey(JsonNode* node, Pool& pool) {
    if (node->keyLength > 0 && !node->sharedKey)
        pool.Free(const_cast<char16_t*>(node->key), node->keyLength * 2);
}

// Releases the node's own blocks (not its children).
void FreeBlocks(JsonNode* node, Pool& pool) {
    FreeKey(node, pool);
    if (node->IsContainer()) {
        if (node->capacity > 0)
            pool.Free(node->items, node->capacity * sizeof(JsonNode*));
        if (node->kind == JsonKind::kObject)
            DropTable(node, pool);
    } else if (node->capacity > 0) {
        pool.Free(node->text, node->capacity * 2);
    }
}

void EnsureRoom(JsonNode* container, Pool& pool) {
    if (container->size < container->capacity)
        return;
    const size_t grown =
        container->capacity == 0 ? kFirstCapacity : size_t{container->capacity} * 2 + 1;
    const uint32_t capacity = CheckedSize(grown);
    auto** items = static_cast<JsonNode**>(pool.Allocate(capacity * sizeof(JsonNode*)));
    if (container->size > 0) {
        std::memcpy(items, container->items, container->size * sizeof(JsonNode*));
    }
    if (container->capacity > 0) {
        pool.Free(container->items, container->capacity * sizeof(JsonNode*));
    }
    container->items = items;
    container->capacity = capacity;
}

}  // namespace

JsonNode* NewNode(Pool& pool, JsonKind kind) {
    auto* node = new (pool.Allocate(sizeof(JsonNode))) JsonNode;
    node->kind = kind;
    return node;
}

void Release(JsonNode* node, Pool& pool) {
    if (node == nullptr || --node->refs > 0)
        return;
    std::vector<JsonNode*> dying{node};
    while (!dying.empty()) {
        JsonNode* n = dying.back();
        dying.pop_back();
        for (JsonNode* child : n->Children()) {
            if (--child->refs == 0) {
                dying.push_back(child);
            } else {
                Detach(child, pool);
            }
        }
        FreeBlocks(n, pool);
        n->~JsonNode();
        pool.Free(n, sizeof(JsonNode));
    }
}

void Detach(JsonNode* node, Pool& pool) {
    FreeKey(node, pool);
    node->key = nullptr;
    node->keyLength = 0;
    node->keyHash = 0;
    node->sharedKey = 0;
}

void ClearChildren(JsonNode* node, Pool& pool) {
    if (!node->IsContainer())
        return;
    JsonNode** const items = node->items;
    const uint32_t size = node->size, capacity = node->capacity;
    if (node->kind == JsonKind::kObject)
        DropTable(node, pool);
    node->items = nullptr;
    node->size = node->capacity = 0;
    for (uint32_t i = 0; i < size; ++i) {
        if (items[i]->refs > 1)
            Detach(items[i], pool);
        Release(items[i], pool);
    }
    if (capacity > 0)
        pool.Free(items, capacity * sizeof(JsonNode*));
}

void Reset(JsonNode* node, JsonKind kind, Pool& pool) {
    if (node->IsContainer()) {
        ClearChildren(node, pool);
    } else if (node->capacity > 0) {
        pool.Free(node->text, node->capacity * 2);
    }
    node->text = nullptr;
    node->size = node->capacity = 0;
    node->table = nullptr;
    node->kind = kind;
}

void SetNodeText(JsonNode* node, std::u16string_view text, Pool& pool) {
    const uint32_t length = CheckedSize(text.size());
    if (length > node->capacity) {
        auto* block = static_cast<char16_t*>(pool.Allocate(size_t{length} * 2));
        if (node->capacity > 0)
            pool.Free(node->text, node->capacity * 2);
        node->text = block;
        node->capacity = length;
    }
    if (length > 0)
        std::memcpy(node->text, text.data(), size_t{length} * 2);
    node->size = length;
}

void SetNodeKey(JsonNode* node, std::u16string_view key, uint32_t hash, Pool& pool) {
    const uint32_t length = CheckedSize(key.size());
    char16_t* block = nullptr;
    if (length > 0) {
        block = static_cast<char16_t*>(pool.Allocate(size_t{length} * 2));
        std::memcpy(block, key.data(), size_t{length} * 2);
    }
    Detach(node, pool);
    node->key = block;
    node->keyLength = length;
    node->keyHash = hash;
}

JsonNode* Copy(const JsonNode* source, Pool& pool) {
    auto copyScalar = [&pool](const JsonNode* from) {
        JsonNode* to = NewNode(pool, from->kind);
        if (from->kind == JsonKind::kBoolean) {
            to->boolValue = from->boolValue;
        } else if (!from->IsContainer() && from->size > 0) {
            try {
                SetNodeText(to, from->Text(), pool);
            } catch (...) {
                Release(to, pool);
                throw;
            }
        }
        return to;
    };
    JsonNode* top = copyScalar(source);
    if (!source->IsContainer() || source->size == 0)
        return top;
    struct Pending {
        const JsonNode* from;
        JsonNode* to;
    };
    std::vector<Pending> pending{{source, top}};
    try {
        while (!pending.empty()) {
            Pending p = pending.back();
            pending.pop_back();
            const uint32_t count = p.from->size;
            p.to->items = static_cast<JsonNode**>(pool.Allocate(count * sizeof(JsonNode*)));
            p.to->capacity = count;
            for (JsonNode* child : p.from->Children()) {
                JsonNode* copy = copyScalar(child);
                p.to->items[p.to->size++] = copy;
                if (child->keyLength > 0)
                    SetNodeKey(copy, child->Key(), child->keyHash, pool);
                if (child->IsContainer() && child->size > 0)
                    pending.push_back({child, copy});
            }
            if (p.to->kind == JsonKind::kObject)
                RebuildIndex(p.to, pool);
        }
    } catch (...) {
        Release(top, pool);
        throw;
    }
    return top;
}

void InsertChild(JsonNode* container, size_t position, JsonNode* child, Pool& pool) {
    try {
        EnsureRoom(container, pool);
    } catch (...) {
        Release(child, pool);
        throw;
    }
    JsonNode** items = container->items;
    if (position > container->size)
        position = container->size;
    std::memmove(items + position + 1, items + position,
                 (container->size - position) * sizeof(JsonNode*));
    items[position] = child;
    ++container->size;
}

JsonNode* TakeChild(JsonNode* container, size_t index, Pool& pool) {
    JsonNode** items = container->items;
    JsonNode* child = items[index];
    std::memmove(items + index, items + index + 1,
                 (container->size - index - 1) * sizeof(JsonNode*));
    --container->size;
    // Probing chains cannot lose a link: the table is built again.
    if (container->kind == JsonKind::kObject && container->table != nullptr) {
        RebuildIndex(container, pool);
    }
    return child;
}

JsonNode* FindMember(const JsonNode* object, std::u16string_view key, uint32_t hash) {
    const MemberTable* table = object->table;
    if (table == nullptr) {
        for (JsonNode* member : object->Children()) {
            if (member->keyHash == hash && member->Key() == key)
                return member;
        }
        return nullptr;
    }
    const uint32_t mask = table->slotCount - 1;
    for (uint32_t slot = SlotOf(table, hash);; slot = (slot + 1) & mask) {
        JsonNode* m = table->slots[slot];
        if (m == nullptr)
            return nullptr;
        if (m->keyHash == hash && m->Key() == key)
            return m;
    }
}

size_t MemberIndex(const JsonNode* object, const JsonNode* member) {
    const auto children = object->Children();
    for (size_t i = 0; i < children.size(); ++i) {
        if (children[i] == member)
            return i;
    }
    return SIZE_MAX;
}

void PutMember(JsonNode* object, JsonNode* member, size_t position, Pool& pool) {
    if (JsonNode* old = FindMember(object, member->Key(), member->keyHash)) {
        JsonNode* released = SwapMember(object, MemberIndex(object, old), member, pool);
        if (released->refs > 1)
            Detach(released, pool);
        Release(released, pool);
        return;
    }
    InsertChild(object, position, member, pool);
    MemberTable* table = object->table;
    if (table == nullptr) {
        if (object->size > kLinearMembers)
            BuildTable(object, object->size, pool);
    } else if (size_t{object->size} * 4 > size_t{table->slotCount} * 3) {
        BuildTable(object, size_t{object->size} * 2, pool);
    } else {
        TableInsert(table, member);
    }
}

JsonNode* SwapMember(JsonNode* object, size_t index, JsonNode* member, Pool& pool) {
    JsonNode* old = object->items[index];
    object->items[index] = member;
    if (object->table != nullptr) {
        if (old->keyHash == member->keyHash && old->Key() == member->Key()) {
            MemberTable* table = object->table;
            const uint32_t mask = table->slotCount - 1;
            uint32_t slot = SlotOf(table, old->keyHash);
            while (table->slots[slot] != old)
                slot = (slot + 1) & mask;
            table->slots[slot] = member;
        } else {
            RebuildIndex(object, pool);
        }
    }
    return old;
}

void RebuildIndex(JsonNode* object, Pool& pool) {
    BuildTable(object, object->size, pool);
}

int64_t LeadingInt64(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
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
    if (negative)
        return value == uint64_t{1} << 63 ? std::numeric_limits<int64_t>::min()
                                          : -static_cast<int64_t>(value);
    return static_cast<int64_t>(value);
}

namespace {

// from_chars with strtod's answer out of range: an overflow gives an infinity,
// an underflow zero, both with the mantissa's sign.
double FromChars(std::string_view digits) {
    double value = 0;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (r.ec == std::errc())
        return value;
    if (r.ec != std::errc::result_out_of_range)
        return 0;
    const bool negative = !digits.empty() && digits[0] == '-';
    const size_t e = digits.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < digits.size() && digits[e + 1] == '-';
    const double magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    return negative ? -magnitude : magnitude;
}

}  // namespace

double LeadingReal(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    // from_chars knows no leading '+'; it also never depends on the locale.
    if (i < text.size() && text[i] == u'+') {
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            return 0;
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
