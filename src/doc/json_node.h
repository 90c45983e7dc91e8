// The tree behind JsonDocument, shared by the reader, the writer and the
// path operations. Not part of the public interface: callers go through
// json_document.h.
//
// Every node is reference counted: a container holds one reference to each
// child, a document one to its root, a view one to the node it shows. Nodes
// are never shared between two containers (everything inserted is a copy),
// so the tree stays a tree and releasing it cannot loop.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "doc/json_document.h"

namespace pt {

struct JsonNode {
    JsonKind kind = JsonKind::kNull;
    uint32_t refs = 1;
    uint32_t keyHash = 0;
    bool boolValue = false;
    JsonNode* nextInBucket = nullptr;  // chain of the object's hash bucket
    std::u16string key;                // member name when held by an object
    std::u16string text;               // a string's text, or a number's literal
    std::vector<JsonNode*> items;      // elements, or members in insertion order
    std::vector<JsonNode*> buckets;    // hash table of a larger object
};

namespace json {

// The hash of a member name: over its UTF-16 text as little-endian bytes,
// taken from the last byte to the first, h = h * 31 + byte.
uint32_t HashKey(std::u16string_view key);

JsonNode* NewNode(JsonKind kind);
void Retain(JsonNode* node);
// Drops one reference; the last one frees the whole subtree (iteratively:
// a subtree nested a million deep is fine). Children still referenced
// elsewhere survive, detached.
void Release(JsonNode* node);
// Deep copy, iterative.
JsonNode* Copy(const JsonNode* node);

// Discards the node's content (children released) and gives it `kind`.
void Reset(JsonNode* node, JsonKind kind);
// Removes all children of an object or array.
void ClearChildren(JsonNode* node);

// Object members. The node passed to the insert functions carries its key and
// hash already and hands its reference over to the object.
JsonNode* FindMember(const JsonNode* object, std::u16string_view key, uint32_t hash);
size_t MemberIndex(const JsonNode* object, const JsonNode* member);
// Inserts member at position (clamped to the count) or, when the key exists,
// puts it in place of the old member, which is released.
void PutMember(JsonNode* object, JsonNode* member, size_t position);
inline void AppendMember(JsonNode* object, JsonNode* member) {
    PutMember(object, member, SIZE_MAX);
}
// Removes the member at index (the reference goes to the caller).
JsonNode* TakeMember(JsonNode* object, size_t index);
// Replaces the member at index by another with the same key... or a new key;
// the old node's reference goes to the caller.
JsonNode* SwapMember(JsonNode* object, size_t index, JsonNode* member);
// Rebuilds the hash table after the member list was filled directly.
void RebuildIndex(JsonNode* object);

// Reader: fills `root` (replaced when the text needs another kind of root).
JsonParseError Parse(std::u16string_view text, bool decodeEscapes, bool ignoreTopLevelScalar,
                     JsonNode*& root);

// Writer: appends the node's text to out.
void Write(const JsonNode* node, bool pretty, bool escape, std::u16string& out);

// Number helpers with the semantics of the old C runtime functions:
// the leading decimal integer (whitespace, sign, digits; saturating), and the
// leading floating-point number of a text.
int64_t LeadingInt64(std::u16string_view text);
double LeadingReal(std::u16string_view text);

}  // namespace json

// Reaches the private parts of the public classes.
struct JsonAccess {
    static JsonNode*& Root(JsonDocument& doc) { return doc.root_; }
    static JsonDocument Adopt(JsonNode* node) { return JsonDocument(node); }
    static JsonValue Value(const JsonNode* node) { return JsonValue(node); }
    static const JsonNode* Node(const JsonValue& value) { return value.node_; }
};

}  // namespace pt
