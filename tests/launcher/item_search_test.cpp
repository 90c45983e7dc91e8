// Matching and ranking of the item search: pinyin initials, whole and partly
// typed syllables, polyphonic characters, width and case folding, the file
// name, enciphered items, and the order of the hits.
#include "launcher/item_search.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace pt {
namespace {

struct Item {
    std::string name;
    std::string path = "C:\\x.exe";
    std::string type = ".exe";
};

ItemSearchIndex IndexOf(std::initializer_list<Item> items) {
    ItemSearchIndex index;
    int i = 0;
    for (const Item& item : items)
        index.Add(SearchPlace{0, 0, i++}, item.name, item.path, item.type);
    return index;
}

// The names of the hits, in their order.
std::vector<int> Entries(const std::vector<SearchHit>& hits) {
    std::vector<int> out;
    for (const SearchHit& h : hits)
        out.push_back(h.entry);
    return out;
}

SearchRank RankOf(const ItemSearchIndex& index, const std::string& query) {
    const auto hits = index.Find(query);
    EXPECT_EQ(hits.size(), 1u) << query;
    return hits.empty() ? SearchRank::kSubstring : hits[0].rank;
}

TEST(ItemSearch, PinyinInitialsWholeAndPartlyTypedSyllables) {
    const auto index = IndexOf({{"记事本"}, {"计算器"}, {"Visual Studio Code"}});
    EXPECT_EQ(Entries(index.Find("jsb")), std::vector<int>{0});
    EXPECT_EQ(RankOf(index, "jsb"), SearchRank::kInitials);
    EXPECT_EQ(Entries(index.Find("jishiben")), std::vector<int>{0});
    EXPECT_EQ(RankOf(index, "jishiben"), SearchRank::kPinyin);
    // Syllables cut short anywhere, and a match from a later character.
    for (const char* query : {"jishib", "jshib", "jisb", "shiben", "sb"})
        EXPECT_EQ(Entries(index.Find(query)), std::vector<int>{0}) << query;
    EXPECT_EQ(Entries(index.Find("j")), (std::vector<int>{0, 1}));
    // Pieces must follow the characters in order, without gaps.
    EXPECT_TRUE(index.Find("jb").empty());
    EXPECT_TRUE(index.Find("jishibenx").empty());
    // ASCII words act as one token each.
    EXPECT_EQ(RankOf(index, "vsc"), SearchRank::kInitials);
    EXPECT_EQ(RankOf(index, "vscode"), SearchRank::kPinyin);
}

TEST(ItemSearch, PolyphonicCharactersMatchEveryReading) {
    const auto index = IndexOf({{"银行"}, {"重庆"}, {"长城"}});
    EXPECT_EQ(Entries(index.Find("yinhang")), std::vector<int>{0});
    EXPECT_EQ(Entries(index.Find("yinxing")), std::vector<int>{0});
    EXPECT_EQ(Entries(index.Find("yh")), std::vector<int>{0});
    EXPECT_EQ(Entries(index.Find("yx")), std::vector<int>{0});
    EXPECT_EQ(Entries(index.Find("chongqing")), std::vector<int>{1});
    EXPECT_EQ(Entries(index.Find("zhongq")), std::vector<int>{1});
    EXPECT_EQ(Entries(index.Find("changc")), std::vector<int>{2});
    EXPECT_EQ(Entries(index.Find("zhangc")), std::vector<int>{2});
}

TEST(ItemSearch, CaseAndWidthFolding) {
    const auto index = IndexOf({{"Notepad++"}, {"ＱＱ音乐"}});
    EXPECT_EQ(Entries(index.Find("NOTE")), std::vector<int>{0});
    EXPECT_EQ(Entries(index.Find("ｎｏｔｅ")), std::vector<int>{0});
    EXPECT_EQ(Entries(index.Find("qq")), std::vector<int>{1});
    EXPECT_EQ(Entries(index.Find("QQyy")), std::vector<int>{1});
    EXPECT_EQ(Entries(index.Find("ｑｑ音")), std::vector<int>{1});
    EXPECT_TRUE(index.Find("   ").empty());
}

TEST(ItemSearch, FileNameOfTheTargetButNeverOfEncipheredOrShellItems) {
    const auto index = IndexOf({{"记事本", "C:\\Windows\\notepad.exe"},
                                {"秘密", "encrypt:notepadAAAA", "encrypt"},
                                {"此电脑", "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "shell"},
                                {"Docs", "D:\\work\\docs\\", "folder"}});
    EXPECT_EQ(Entries(index.Find("notepad")), std::vector<int>{0});
    EXPECT_EQ(RankOf(index, "notepad.e"), SearchRank::kSubstring);
    EXPECT_TRUE(index.Find("encrypt").empty());
    EXPECT_TRUE(index.Find("20d04").empty());
    EXPECT_TRUE(index.Find("work").empty());
    // An enciphered item is still found by its name.
    EXPECT_EQ(Entries(index.Find("mimi")), std::vector<int>{1});
}

TEST(ItemSearch, RanksExactPrefixInitialsPinyinSubstringThenDataOrder) {
    const auto index = IndexOf({
        {"ajsbz"},                // 0: substring of the name
        {"加速包"},               // 1: initials
        {"jsb"},                  // 2: exact
        {"就是不"},               // 3: initials, later in the data
        {"jsbox"},                // 4: prefix
        {"tool", "C:\\jsb.exe"},  // 5: file name
    });
    const auto hits = index.Find("JSB");
    EXPECT_EQ(Entries(hits), (std::vector<int>{2, 4, 1, 3, 0, 5}));
    EXPECT_EQ(hits[2].rank, SearchRank::kInitials);
    EXPECT_EQ(hits[4].rank, SearchRank::kSubstring);
    EXPECT_EQ(hits[5].rank, SearchRank::kSubstring);
    // A word that begins with the query spells it as pinyin.
    EXPECT_EQ(RankOf(IndexOf({{"my jsbox"}}), "jsb"), SearchRank::kPinyin);
    // Narrowing the previous hits gives what a full search gives.
    EXPECT_EQ(index.Refine("jsbo", hits), index.Find("jsbo"));
    EXPECT_EQ(RankOf(IndexOf({{"记事本"}}), "jis"), SearchRank::kPinyin);
}

}  // namespace
}  // namespace pt
