// Finding items by typing: the search index of every item of the launcher
// data and its ranked matching. A query matches an item when, after folding
// letter case and full-width forms (pinyin.h):
//   - it is a substring of the name;
//   - it spells the name's pinyin from some character on: each piece of the
//     query begins a reading of the next character (or of the next ASCII
//     word), so initials ("jsb" for 记事本), whole syllables ("jishiben") and
//     partly typed ones ("jishib") all match, with any reading of a
//     polyphonic character;
//   - it is a substring of the target's file name (never for an enciphered
//     item, whose path is not to be read, nor for a shell object).
// Hits are ranked exact name, name prefix, initials, full pinyin, substring;
// equal ranks keep the order in which the items were added.
//
// The index is built once per search and answers each keystroke by a scan
// of flat arrays; a query that extends the previous one narrows the
// previous hits instead.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pt {

enum class SearchRank : uint8_t {
    kExactName = 0,
    kNamePrefix = 1,
    kInitials = 2,
    kPinyin = 3,
    kSubstring = 4,
};

struct SearchHit {
    int entry = 0;  // index in the order the items were added
    SearchRank rank = SearchRank::kSubstring;
    bool operator==(const SearchHit&) const = default;
};

// Where an entry of the index comes from.
struct SearchPlace {
    int c = 0, g = 0, i = 0;
    bool operator==(const SearchPlace&) const = default;
};

class ItemSearchIndex {
  public:
    void Clear();
    // Appends the item; `type` is its record's type ("encrypt", "shell": no
    // file-name match).
    void Add(SearchPlace place, std::string_view name, std::string_view path,
             std::string_view type);
    size_t Size() const { return entries_.size(); }
    SearchPlace Place(int entry) const { return entries_[static_cast<size_t>(entry)].place; }

    // The ranked hits of the query; none for a query that folds to nothing
    // but spaces.
    std::vector<SearchHit> Find(std::string_view query) const;
    // The same, looking only at `within` (the hits of a query this one
    // extends: every match of the longer query is a match of the shorter).
    std::vector<SearchHit> Refine(std::string_view query,
                                  const std::vector<SearchHit>& within) const;
    // The rank of one entry, false when it does not match.
    bool Match(int entry, std::string_view foldedQuery, SearchRank* rank) const;

  private:
    struct Token {
        uint32_t firstReading = 0;  // in readings_
        uint16_t readingCount = 0;
        uint64_t initials = 0;  // letter bits (LetterBit) of the readings' first letters
    };
    struct Reading {
        uint32_t offset = 0;  // in pool_
        uint16_t length = 0;
    };
    struct Entry {
        SearchPlace place;
        uint32_t name = 0, nameLength = 0;  // folded, in pool_
        uint32_t file = 0, fileLength = 0;  // folded file name, in pool_
        uint32_t firstToken = 0, tokenCount = 0;
        uint64_t letters = 0;  // every letter of every reading
    };
    struct Query;
    static Query MakeQuery(std::string folded);
    bool MatchQuery(const Entry& e, const Query& q, SearchRank* rank) const;

    std::string_view Text(uint32_t offset, uint32_t length) const {
        return std::string_view(pool_).substr(offset, length);
    }
    bool MatchInitials(const Entry& e, const Query& q) const;
    bool MatchPinyin(const Entry& e, const Query& q) const;
    bool MatchFrom(const Entry& e, const Query& q, size_t at, uint32_t token,
                   std::vector<uint64_t>& failed) const;
    // The candidates `forEachCandidate(visit)` passes to visit(index) that
    // match `query`, best first; nothing for a blank query.
    template <typename ForEachCandidate>
    std::vector<SearchHit> Collect(std::string_view query, ForEachCandidate forEachCandidate) const;

    std::vector<Entry> entries_;
    std::vector<Token> tokens_;
    std::vector<Reading> readings_;
    std::string pool_;
};

}  // namespace pt
