// The tree behind JsonDocument, shared by the reader, the writer and the
// path operations. Not part of the public interface: callers go through
// json_document.h.
//
// Every node lives in the pool of its document (json_pool.h) and is reference
// counted: a container holds one reference to each child, a document one to
// its root, a view one to the node it shows. Nodes are never shared between
// two containers (everything inserted is a copy), so the tree stays a tree
// and releasing it cannot loop.
//
// A node is 48 bytes: texts and child lists are blocks of the pool that the
// node points to, and objects keep a hash table of their members only once
// they are too large for a scan of the stored key hashes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "doc/json_document.h"
#include "doc/json_pool.h"

namespace pt {

struct JsonNode;

namespace json {

// Open addressing over the members of a large object (linear probing,
// Fibonacci hashing: the slot is the top bits of hash * 2654435769).
struct MemberTable {
    uint32_t shift;  // 32 - log2(slot count)
    uint32_t slotCount;
    JsonNode* slots[1];  // slotCount entries
};

}  // namespace json

struct JsonNode {
    JsonKind kind = JsonKind::kNull;
    uint32_t refs : 31 = 1;
    // The key is a name the reader shares among the members that carry it:
    // it belongs to the pool, not to this node, and is never freed alone.
    uint32_t sharedKey : 1 = 0;
    uint32_t keyHash = 0;
    uint32_t keyLength = 0;
    const char16_t* key = nullptr;  // member name when held by an object
    union {
        char16_t* text = nullptr;  // a string's text, or a number's literal
        JsonNode** items;          // elements, or members in insertion order
    };
    uint32_t size = 0;      // text length in units, or number of children
    uint32_t capacity = 0;  // units or child slots of the block
    union {
        json::MemberTable* table = nullptr;  // objects with many members
        bool boolValue;
    };

    bool IsContainer() const { return kind == JsonKind::kArray || kind == JsonKind::kObject; }
    std::u16string_view Key() const { return {key, keyLength}; }
    // Strings and numbers.
    std::u16string_view Text() const {
        return kind == JsonKind::kString || kind == JsonKind::kReal || kind == JsonKind::kInteger
                   ? std::u16string_view(text, size)
                   : std::u16string_view();
    }
    // Empty for anything but arrays and objects.
    std::span<JsonNode* const> Children() const {
        return IsContainer() ? std::span<JsonNode* const>(items, size)
                             : std::span<JsonNode* const>();
    }
};

namespace json {

// Up to this many members an object is searched by comparing stored hashes.
inline constexpr size_t kLinearMembers = 8;

// The hash of a member name: over its UTF-16 text as little-endian bytes,
// taken from the last byte to the first, h = h * 31 + byte.
inline uint32_t HashKey(std::u16string_view key) {
    uint32_t h = 0;
    // Both bytes of a unit at once: h * 31 * 31 + high * 31 + low.
    for (size_t i = key.size(); i-- > 0;) {
        const uint32_t c = key[i];
        h = h * 961 + (c >> 8) * 31 + (c & 0xFF);
    }
    return h;
}

JsonNode* NewNode(Pool& pool, JsonKind kind);
inline void Retain(JsonNode* node) {
    if (node != nullptr)
        ++node->refs;
}
// Drops one reference; the last one gives the whole subtree back to the pool
// (iteratively: a subtree nested a million deep is fine). Children still
// referenced elsewhere survive, detached.
void Release(JsonNode* node, Pool& pool);
// Deep copy into `pool`, iterative.
JsonNode* Copy(const JsonNode* node, Pool& pool);

// Discards the node's content (children released) and gives it `kind`.
void Reset(JsonNode* node, JsonKind kind, Pool& pool);
// Removes all children of an object or array.
void ClearChildren(JsonNode* node, Pool& pool);
// The node's text becomes `text` (the node must be a string or a number).
void SetNodeText(JsonNode* node, std::u16string_view text, Pool& pool);
// The node's key becomes `key` (copied into the pool) with its hash.
void SetNodeKey(JsonNode* node, std::u16string_view key, uint32_t hash, Pool& pool);
// A node held by no container any more: it loses its key.
void Detach(JsonNode* node, Pool& pool);

// Child lists. InsertChild takes over the child's reference.
void InsertChild(JsonNode* container, size_t position, JsonNode* child, Pool& pool);
// Removes the child at index; its reference goes to the caller.
JsonNode* TakeChild(JsonNode* container, size_t index, Pool& pool);

// Object members. The node passed to PutMember carries its key and hash
// already and hands its reference over to the object.
JsonNode* FindMember(const JsonNode* object, std::u16string_view key, uint32_t hash);
size_t MemberIndex(const JsonNode* object, const JsonNode* member);
// Inserts member at position (clamped to the count) or, when the key exists,
// puts it in place of the old member, which is released.
void PutMember(JsonNode* object, JsonNode* member, size_t position, Pool& pool);
// Replaces the member at index by another (same key or a new one); the old
// node's reference goes to the caller.
JsonNode* SwapMember(JsonNode* object, size_t index, JsonNode* member, Pool& pool);
// Builds the hash table of an object whose member list was filled directly
// (or drops it when the object is small).
void RebuildIndex(JsonNode* object, Pool& pool);

// Reader: fills `root`, a fresh empty object of `pool`, which it may replace
// by another node of the pool. The position of an error is in UTF-16 units.
JsonParseError ParseUtf16(std::u16string_view text, bool decodeEscapes, bool ignoreTopLevelScalar,
                          Pool& pool, JsonNode*& root);
// The same for UTF-16LE bytes (any alignment) and for WTF-8 text.
JsonParseError ParseUtf16Bytes(std::string_view bytes, bool decodeEscapes,
                               bool ignoreTopLevelScalar, Pool& pool, JsonNode*& root);
JsonParseError ParseUtf8(std::string_view text, bool decodeEscapes, bool ignoreTopLevelScalar,
                         Pool& pool, JsonNode*& root);

// Writer, in the three forms the document hands out. `sizeHint` is the
// expected length in units of the form (bytes, for the byte forms).
void WriteUtf16(const JsonNode* node, bool pretty, bool escape, size_t sizeHint,
                std::u16string& out);
// UTF-16LE bytes followed by two zero bytes.
void WriteUtf16Bytes(const JsonNode* node, bool pretty, bool escape, size_t sizeHint,
                     std::string& out);
void WriteUtf8(const JsonNode* node, bool pretty, bool escape, size_t sizeHint, std::string& out);

// Number helpers with the semantics of the old C runtime functions:
// the leading decimal integer (whitespace, sign, digits; saturating), and the
// leading floating-point number of a text.
int64_t LeadingInt64(std::u16string_view text);
double LeadingReal(std::u16string_view text);

}  // namespace json

// Reaches the private parts of the public classes.
struct JsonAccess {
    static JsonValue Value(const JsonNode* node) { return JsonValue(node); }
    static const JsonNode* Node(const JsonValue& value) { return value.node_; }
};

}  // namespace pt
