// The item search index and its matching; see item_search.h.
#include "launcher/item_search.h"

#include <algorithm>
#include <array>

#include "launcher/pinyin.h"

namespace pt {
namespace {

constexpr size_t kMaxReadings = 8;
// Longer queries are matched as substrings only: the pinyin match keeps its
// failures in one word per query position and token.
constexpr size_t kMaxPinyinQuery = 64;
constexpr uint32_t kMaxPinyinTokens = 64;

bool IsAsciiAlnum(char32_t cp) {
    return (cp >= 'a' && cp <= 'z') || (cp >= '0' && cp <= '9');
}

uint64_t LetterBit(char ch) {
    if (ch >= 'a' && ch <= 'z')
        return uint64_t{1} << (ch - 'a');
    if (ch >= '0' && ch <= '9')
        return uint64_t{1} << (26 + (ch - '0'));
    return 0;
}

// The file name of a target: its last path component, trailing separators
// left off.
std::string_view FileNameOf(std::string_view path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        path.remove_suffix(1);
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

struct ItemSearchIndex::Query {
    std::string text;    // folded
    std::string pinyin;  // folded, spaces left out
    uint64_t letters = 0;
    bool spellable = false;  // pinyin holds only ASCII letters and digits
};

void ItemSearchIndex::Clear() {
    entries_.clear();
    tokens_.clear();
    readings_.clear();
    pool_.clear();
}

void ItemSearchIndex::Add(SearchPlace place, std::string_view name, std::string_view path,
                          std::string_view type) {
    Entry e;
    e.place = place;
    e.name = static_cast<uint32_t>(pool_.size());
    AppendFolded(pool_, name);
    e.nameLength = static_cast<uint32_t>(pool_.size()) - e.name;
    if (type != "encrypt" && type != "shell") {
        e.file = static_cast<uint32_t>(pool_.size());
        AppendFolded(pool_, FileNameOf(path));
        e.fileLength = static_cast<uint32_t>(pool_.size()) - e.file;
    }

    // The name's tokens: each Chinese character with its readings, each run
    // of ASCII letters and digits as one word; everything else separates.
    e.firstToken = static_cast<uint32_t>(tokens_.size());
    std::array<std::string_view, kMaxReadings> found;
    // The folded name lives in pool_, which grows as readings are added:
    // it is read through offsets, never through a view kept across appends.
    const auto folded = [this, &e] { return std::string_view(pool_).substr(e.name, e.nameLength); };
    for (size_t i = 0; i < e.nameLength;) {
        const size_t start = i;
        const char32_t cp = NextCodePoint(folded(), &i);
        Token token;
        token.firstReading = static_cast<uint32_t>(readings_.size());
        if (IsAsciiAlnum(cp)) {
            const std::string_view text = folded();
            while (i < text.size() && IsAsciiAlnum(static_cast<unsigned char>(text[i])))
                ++i;
            readings_.push_back(
                Reading{e.name + static_cast<uint32_t>(start), static_cast<uint16_t>(i - start)});
            token.readingCount = 1;
            token.initials = LetterBit(text[start]);
            for (size_t k = start; k < i; ++k)
                e.letters |= LetterBit(text[k]);
        } else {
            const size_t n = PinyinReadingsOf(cp, found.data(), found.size());
            if (n == 0)
                continue;
            for (size_t r = 0; r < n; ++r) {
                readings_.push_back(Reading{static_cast<uint32_t>(pool_.size()),
                                            static_cast<uint16_t>(found[r].size())});
                pool_ += found[r];
                token.initials |= LetterBit(found[r][0]);
                for (char ch : found[r])
                    e.letters |= LetterBit(ch);
            }
            token.readingCount = static_cast<uint16_t>(n);
        }
        tokens_.push_back(token);
    }
    e.tokenCount = static_cast<uint32_t>(tokens_.size()) - e.firstToken;
    entries_.push_back(e);
}

bool ItemSearchIndex::MatchInitials(const Entry& e, const Query& q) const {
    const size_t n = q.pinyin.size();
    if (n > e.tokenCount)
        return false;
    const Token* tokens = tokens_.data() + e.firstToken;
    for (size_t s = 0; s + n <= e.tokenCount; ++s) {
        size_t k = 0;
        while (k < n && (tokens[s + k].initials & LetterBit(q.pinyin[k])))
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

bool ItemSearchIndex::MatchFrom(const Entry& e, const Query& q, size_t at, uint32_t token,
                                std::vector<uint64_t>& failed) const {
    if (at == q.pinyin.size())
        return true;
    if (token >= e.tokenCount || token >= kMaxPinyinTokens)
        return false;
    const uint64_t bit = uint64_t{1} << token;
    if (failed[at] & bit)
        return false;
    const Token& t = tokens_[e.firstToken + token];
    const std::string_view rest = std::string_view(q.pinyin).substr(at);
    for (uint32_t r = 0; r < t.readingCount; ++r) {
        const Reading& reading = readings_[t.firstReading + r];
        const std::string_view text = Text(reading.offset, reading.length);
        size_t common = 0;
        while (common < text.size() && common < rest.size() && text[common] == rest[common])
            ++common;
        // The longest piece first: whole syllables are the usual case.
        for (size_t length = common; length >= 1; --length) {
            if (MatchFrom(e, q, at + length, token + 1, failed))
                return true;
        }
    }
    failed[at] |= bit;
    return false;
}

bool ItemSearchIndex::MatchPinyin(const Entry& e, const Query& q) const {
    thread_local std::vector<uint64_t> failed;
    failed.assign(q.pinyin.size() + 1, 0);
    const char first = q.pinyin[0];
    for (uint32_t s = 0; s < e.tokenCount && s < kMaxPinyinTokens; ++s) {
        if ((tokens_[e.firstToken + s].initials & LetterBit(first)) &&
            MatchFrom(e, q, 0, s, failed))
            return true;
    }
    return false;
}

ItemSearchIndex::Query ItemSearchIndex::MakeQuery(std::string folded) {
    Query q;
    q.text = std::move(folded);
    for (char ch : q.text) {
        if (ch != ' ')
            q.pinyin.push_back(ch);
    }
    q.spellable = !q.pinyin.empty() && q.pinyin.size() <= kMaxPinyinQuery;
    for (char ch : q.pinyin) {
        const uint64_t bit = LetterBit(ch);
        q.spellable = q.spellable && bit != 0;
        q.letters |= bit;
    }
    return q;
}

bool ItemSearchIndex::Match(int entry, std::string_view foldedQuery, SearchRank* rank) const {
    if (entry < 0 || static_cast<size_t>(entry) >= entries_.size())
        return false;
    return MatchQuery(entries_[static_cast<size_t>(entry)], MakeQuery(std::string(foldedQuery)),
                      rank);
}

bool ItemSearchIndex::MatchQuery(const Entry& e, const Query& q, SearchRank* rank) const {
    const std::string_view name = Text(e.name, e.nameLength);
    if (name == q.text) {
        *rank = SearchRank::kExactName;
        return true;
    }
    if (name.starts_with(q.text)) {
        *rank = SearchRank::kNamePrefix;
        return true;
    }
    if (q.spellable && (q.letters & ~e.letters) == 0 && e.tokenCount > 0) {
        if (MatchInitials(e, q)) {
            *rank = SearchRank::kInitials;
            return true;
        }
        if (MatchPinyin(e, q)) {
            *rank = SearchRank::kPinyin;
            return true;
        }
    }
    if (name.find(q.text) != std::string_view::npos ||
        Text(e.file, e.fileLength).find(q.text) != std::string_view::npos) {
        *rank = SearchRank::kSubstring;
        return true;
    }
    return false;
}

template <typename ForEachCandidate>
std::vector<SearchHit> ItemSearchIndex::Collect(std::string_view query,
                                                ForEachCandidate forEachCandidate) const {
    const std::string folded = FoldForSearch(query);
    if (folded.find_first_not_of(' ') == std::string::npos)
        return {};
    const Query q = MakeQuery(folded);
    std::vector<SearchHit> hits;
    SearchRank rank{};
    forEachCandidate([&](size_t n) {
        if (MatchQuery(entries_[n], q, &rank))
            hits.push_back(SearchHit{static_cast<int>(n), rank});
    });
    std::sort(hits.begin(), hits.end(), [](const SearchHit& a, const SearchHit& b) {
        return a.rank != b.rank ? a.rank < b.rank : a.entry < b.entry;
    });
    return hits;
}

std::vector<SearchHit> ItemSearchIndex::Find(std::string_view query) const {
    return Collect(query, [this](const auto& visit) {
        for (size_t n = 0; n < entries_.size(); ++n)
            visit(n);
    });
}

std::vector<SearchHit> ItemSearchIndex::Refine(std::string_view query,
                                               const std::vector<SearchHit>& within) const {
    return Collect(query, [this, &within](const auto& visit) {
        for (const SearchHit& hit : within) {
            if (hit.entry >= 0 && static_cast<size_t>(hit.entry) < entries_.size())
                visit(static_cast<size_t>(hit.entry));
        }
    });
}

}  // namespace pt
