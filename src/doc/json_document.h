// JsonDocument: the one document type behind every persistent file of the
// program (data\Settings, data\Data) and the in-memory hand-overs (an item
// record passed to a dialog or the clipboard).
//
// A document owns a tree of values whose objects keep their members in
// insertion order and find them by hash. The reader is lenient (single
// quotes, bare keys, loose numbers, a bare scalar as the whole document) and
// iterative, so no input can exhaust the stack; the writer is strict and
// compact. A document written here reads back unchanged, except that a line
// feed in a string that is not preceded by a carriage return reads back as
// CR LF.
//
// Text at this interface is UTF-8 (WTF-8, see base/text.h), held as UTF-16
// inside; the file form is UTF-16LE bytes without a byte-order mark, ending in
// two zero bytes. Number literals are kept exactly as read ("1.50" stays
// "1.50").
//
// Values are addressed by path texts: names separated by '.', indices in
// brackets ("class[2].group[0].name"); "[]" is index -1 (append when
// writing); a backslash before '.', '[', ']' or '\' makes it part of a name
// ("a\.b" is the single name "a.b"); the empty path is the root. Reading never
// creates anything. Writing creates what is missing and converts what stands
// in the way: a name step turns a non-object into an empty object, an index
// step turns a non-array into an empty array, and an index past the end is
// reached by appending nulls.
//
// Views (GetView, GetMemberView) share nodes with their source: a change made
// through a view is a change of the source, and the shared nodes stay alive
// as long as any holder does. Copies (GetCopy, the *Copy operations) are deep.
// A tree lives in one pool of memory that its views share, so a view also
// keeps the memory of the tree it was taken from until it goes.
//
// Nothing here throws: parsing returns false with an error code and position,
// reads give empty results, writes give false only on a bad index, a missing
// member and exhausted memory. Not thread-safe: a document and its views are
// used from one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace pt {

// The kind of a value; the numbers are part of the program's vocabulary.
enum class JsonKind : int32_t {
    kNone = -1,  // GetKind: the path names nothing
    kNull = 0,
    kReal = 1,
    kInteger = 2,
    kBoolean = 3,
    kString = 4,
    kArray = 5,
    kObject = 6,
};

// Parse error codes (JsonParseError::code).
inline constexpr int kJsonOk = 0;
inline constexpr int kJsonEmptyText = -2;      // the text is empty
inline constexpr int kJsonOutOfMemory = -3;    // a value could not be attached
inline constexpr int kJsonObjectSyntax = -4;   // bad key or colon inside an object
inline constexpr int kJsonUnclosed = -5;       // the text ended inside an object or array
inline constexpr int kJsonBadValue = -6;       // not a value, or a key without a value
inline constexpr int kJsonUnclosedQuote = -7;  // a quote was opened and never closed

struct JsonParseError {
    int code = kJsonOk;
    // 0-based index in UTF-16 code units of the parsed text (for ParseText,
    // of the text after conversion to UTF-16); 0 when there is no error.
    size_t position = 0;
};

struct JsonNode;
namespace json {
class Pool;
}

// A read-only handle to one value inside a document, handed to Sort's
// comparison. It is valid only while the document is not changed. The
// getters take a path relative to this value and behave like the
// document's getters of the same names.
class JsonValue {
  public:
    JsonKind Kind() const;
    // The member name under which this value is held; empty for elements.
    std::string Key() const;
    std::string GetText(std::string_view path = {}) const;
    int32_t GetInt(std::string_view path = {}) const;
    int64_t GetInt64(std::string_view path = {}) const;
    bool GetBool(std::string_view path = {}) const;
    double GetReal(std::string_view path = {}) const;
    JsonKind GetKind(std::string_view path = {}) const;
    int GetCount(std::string_view path = {}) const;

  private:
    friend class JsonDocument;
    friend struct JsonAccess;
    explicit JsonValue(const JsonNode* node) : node_(node) {}
    const JsonNode* node_;
};

// Sort's comparison: greater than 0 when `a` must come after `b`. Any user
// value the comparison needs is captured by the function object.
using JsonCompare = std::function<int(const JsonValue& a, const JsonValue& b)>;

class JsonDocument {
  public:
    // A fresh document: the root is an empty object.
    JsonDocument();
    ~JsonDocument();
    JsonDocument(JsonDocument&& other) noexcept;
    JsonDocument& operator=(JsonDocument&& other) noexcept;
    // Copying would blur shared against deep: ask for GetCopy("") or a view.
    JsonDocument(const JsonDocument&) = delete;
    JsonDocument& operator=(const JsonDocument&) = delete;

    // ---- Reading and writing text ------------------------------------------
    // Both parse operations first replace the root by a fresh empty object
    // (the old tree is released whatever the outcome), then read the text up
    // to its end or its first U+0000. On failure the root is left empty (an
    // object root an empty object, an array root an empty array) and
    // LastError() tells why and where.
    //
    // decodeUnicodeEscapes: "\uXXXX" in strings and keys becomes that code
    // unit ("\u0000" is dropped); when off the six characters stay as they are.
    // ignoreTopLevelScalar: text outside any object or array is skipped instead
    // of being read as a bare scalar document.
    bool ParseText(std::string_view utf8, bool decodeUnicodeEscapes = false,
                   bool ignoreTopLevelScalar = false);
    // UTF-16LE bytes, the file form (no byte-order mark is expected or
    // skipped; an odd last byte is ignored).
    bool ParseBytes(std::string_view bytes, bool decodeUnicodeEscapes = false,
                    bool ignoreTopLevelScalar = false);
    bool ParseWide(std::u16string_view text, bool decodeUnicodeEscapes = false,
                   bool ignoreTopLevelScalar = false);
    // The outcome of the last parse (code kJsonOk after a success).
    JsonParseError LastError() const { return lastError_; }

    // The node at path (read resolution) as UTF-16LE bytes followed by two
    // zero bytes: the file form. Only the two zero bytes when the path names
    // nothing. pretty: objects get CR LF and a tab per level of depth
    // (arrays never do), up to 64 tabs, so that the text of a deeply nested
    // document stays linear in its size. escape: backslash, '"', backspace,
    // tab, LF, CR and form feed are written as \\ \" \b \t \n \r \f,
    // nothing else is ever escaped; when off all text is written raw.
    // firstBufferBytes is a sizing hint (<= 0: 1024).
    std::string Serialize(std::string_view path = {}, bool pretty = false, bool escape = true,
                          int firstBufferBytes = 1024) const;
    // The same text as UTF-8 (no terminating zero); empty when the path names
    // nothing.
    std::string SerializeText(std::string_view path = {}, bool pretty = false, bool escape = true,
                              int firstBufferBytes = 1024) const;
    std::u16string SerializeWide(std::string_view path = {}, bool pretty = false,
                                 bool escape = true, int firstBufferBytes = 1024) const;

    // ---- Reading values (read resolution: never changes the document) ------
    // String: its text; real, integer, boolean: the literal ("true", "1.50");
    // null, array, object, nothing: empty.
    std::string GetText(std::string_view path) const;
    std::u16string GetWideText(std::string_view path) const;
    // Integer or boolean: the low 32 bits; real: truncated toward zero and
    // saturated; string: its leading decimal number ("12abc" gives 12);
    // otherwise 0.
    int32_t GetInt(std::string_view path) const;
    // Integer: the value; real: truncated and saturated; boolean: 0 or 1;
    // string: its leading decimal number; otherwise 0.
    int64_t GetInt64(std::string_view path) const;
    // Real: |value| > 1e-7; integer or boolean: not 0; anything else false.
    bool GetBool(std::string_view path) const;
    // Real: the value; integer or boolean: converted; string: the text read
    // as a number; otherwise 0.
    double GetReal(std::string_view path) const;
    // kNone when the path names nothing.
    JsonKind GetKind(std::string_view path) const;
    // Members of an object, elements of an array, otherwise 0.
    int GetCount(std::string_view path) const;
    // The member name under which the node at path is held ("Shortcutkey[0]"
    // gives the name of the first member of Shortcutkey); empty when none.
    std::string GetKey(std::string_view path) const;

    // A document sharing the element at `index` of the array at path, or the
    // member at position `index` (insertion order) of the object at path.
    // Changes through the view change this document. When there is no such
    // node the result is a fresh, unshared document (an empty object).
    JsonDocument GetView(std::string_view path, int index) const;
    // A document sharing the member `key` of the object at path; a fresh
    // empty document when there is none.
    JsonDocument GetMemberView(std::string_view path, std::string_view key) const;
    // A deep copy of the node at path. Write resolution: a missing path is
    // created (as null) first.
    JsonDocument GetCopy(std::string_view path);

    // Reorders the elements of the array at path, or the member order of the
    // object at path, by `compare`. The order of entries that compare equal is
    // kept. False when the node is neither.
    bool Sort(std::string_view path, const JsonCompare& compare);

    // ---- Changing values (write resolution: creates and converts) ----------
    // Text stops at its first U+0000: the file form cannot carry one.
    bool SetText(std::string_view path, std::string_view text);
    bool SetWideText(std::string_view path, std::u16string_view text);
    // Integer with the decimal text of the value as its literal.
    bool SetInt(std::string_view path, int32_t value);
    bool SetInt64(std::string_view path, int64_t value);
    // Real with the shortest text that reads back as the same double; a value
    // that is not finite has no JSON form and is stored as null.
    bool SetReal(std::string_view path, double value);
    bool SetBool(std::string_view path, bool value);
    bool SetNull(std::string_view path);
    // An object loses its members, an array its elements (both keep their
    // kind); a string becomes empty; a number or boolean becomes 0 or false.
    bool Clear(std::string_view path);
    // Removes member `key` of the object at path; false when there is none.
    bool RemoveMember(std::string_view path, std::string_view key);
    // Removes element `index` of the array at path, later ones move down;
    // false when there is none.
    bool RemoveElement(std::string_view path, int index);
    // Renames member oldKey of the object at path, keeping its position (a
    // member already named newKey is replaced). False when oldKey is missing.
    bool RenameMember(std::string_view path, std::string_view oldKey, std::string_view newKey);
    // The node at path becomes an array if it is not one, and a deep copy of
    // other's root is appended.
    bool AppendCopy(std::string_view path, const JsonDocument& other);
    // As AppendCopy, inserted at index 0..count (count appends); any other
    // index gives false and changes nothing.
    bool InsertCopy(std::string_view path, int index, const JsonDocument& other);
    // The node at path becomes an object if it is not one, and a deep copy of
    // other's root is stored under key (replacing a member of that name in its
    // position, otherwise appended).
    bool SetMemberCopy(std::string_view path, std::string_view key, const JsonDocument& other);
    // As SetMemberCopy, but a new key goes to position 0..count; an existing
    // key is replaced in its own position and position is ignored. A position
    // out of range gives false and changes nothing.
    bool InsertMemberCopy(std::string_view path, int position, std::string_view key,
                          const JsonDocument& other);

    // The root as a read-only handle (valid until the document changes).
    JsonValue Root() const { return JsonValue(root_); }

  private:
    // A view: shares `node` (already retained) and holds its pool.
    JsonDocument(JsonNode* node, json::Pool* pool);
    // Releases the tree and the pool; both become null.
    void DropTree();
    // A root of its own for a document that has none (moved from).
    void EnsureRoot();
    // Replaces the tree by a fresh empty object for a text of about
    // `textSize` units, and runs `parse` into it.
    template <typename Parse>
    bool ParseWith(size_t textSize, Parse&& parse);
    // Write resolution of path, then `fill(node, pool)` on a node of `kind`.
    template <typename Fill>
    bool SetScalar(std::string_view path, JsonKind kind, Fill&& fill);
    // AppendCopy and InsertCopy; `at` SIZE_MAX appends.
    bool InsertCopyAt(std::string_view path, size_t at, const JsonNode* source);

    // Both null, or the root and the pool that holds its tree.
    JsonNode* root_ = nullptr;
    json::Pool* pool_ = nullptr;
    JsonParseError lastError_;
};

// Appends `text` as a quoted JSON string in the writer's form (only the
// backslash, the quote and five control characters escaped), for code that
// writes a document's text itself.
void AppendJsonString(std::u16string& out, std::u16string_view text);

}  // namespace pt
