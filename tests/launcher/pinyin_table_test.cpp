// The generated pinyin table against the Unihan source it was made from:
// for a sample of characters spread over every block, the readings read
// back equal those of kMandarin, then kHanyuPinyin, kXHC1983 and
// kTGHZ2013, usual reading first.
#include "launcher/pinyin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace pt {
namespace {

[[maybe_unused]] std::string Toneless(const std::string& reading) {
    // Tone marks are combining-free precomposed letters in Unihan: map each
    // accented vowel back to its plain letter.
    static const std::map<std::string, std::string> kPlain = {
        {"ā", "a"}, {"á", "a"}, {"ǎ", "a"}, {"à", "a"}, {"ē", "e"}, {"é", "e"}, {"ě", "e"},
        {"è", "e"}, {"ī", "i"}, {"í", "i"}, {"ǐ", "i"}, {"ì", "i"}, {"ō", "o"}, {"ó", "o"},
        {"ǒ", "o"}, {"ò", "o"}, {"ū", "u"}, {"ú", "u"}, {"ǔ", "u"}, {"ù", "u"}, {"ü", "v"},
        {"ǖ", "v"}, {"ǘ", "v"}, {"ǚ", "v"}, {"ǜ", "v"}, {"ń", "n"}, {"ň", "n"}, {"ǹ", "n"},
        {"ḿ", "m"}, {"ê", "e"}, {"ế", "e"}, {"ề", "e"}};
    std::string out;
    for (size_t i = 0; i < reading.size();) {
        const unsigned char b = static_cast<unsigned char>(reading[i]);
        const size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        const std::string ch = reading.substr(i, n);
        auto it = kPlain.find(ch);
        out += n == 1 ? ch : it != kPlain.end() ? it->second : "?";
        i += n;
    }
    return out;
}

TEST(PinyinTable, AgreesWithTheUnihanSource) {
#if defined(_WIN32) || !defined(PT_UNIHAN_READINGS)
    GTEST_SKIP() << "reads the Unihan source with the host's bzcat";
#else
    const std::string source = PT_UNIHAN_READINGS;
    const std::string command = (source.ends_with(".bz2") ? "bzcat '" : "cat '") + source + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::map<char32_t, std::vector<std::string> > mandarin, hanyu, xhc, tghz;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe)) {
        std::istringstream in(line);
        std::string code, field;
        if (!(in >> code >> field) || code.rfind("U+", 0) != 0)
            continue;
        const char32_t cp = static_cast<char32_t>(std::stoul(code.substr(2), nullptr, 16));
        std::string value;
        if (field == "kMandarin") {
            while (in >> value)
                mandarin[cp].push_back(Toneless(value));
        } else if (field == "kHanyuPinyin" || field == "kXHC1983" || field == "kTGHZ2013") {
            auto& into = field == "kHanyuPinyin" ? hanyu : field == "kXHC1983" ? xhc : tghz;
            while (in >> value) {
                std::istringstream list(value.substr(value.find(':') + 1));
                std::string reading;
                while (std::getline(list, reading, ','))
                    into[cp].push_back(Toneless(reading));
            }
        }
    }
    ::pclose(pipe);
    ASSERT_GT(mandarin.size(), 40000u);

    int checked = 0;
    int n = 0;
    for (const auto& [cp, readings] : mandarin) {
        if (n++ % 53 != 0 && cp != U'记' && cp != U'行' && cp != U'长')
            continue;
        std::vector<std::string> want;
        const std::vector<std::string>* lists[] = {&readings, &hanyu[cp], &xhc[cp], &tghz[cp]};
        for (const std::vector<std::string>* list : lists) {
            for (const std::string& r : *list) {
                if (std::find(want.begin(), want.end(), r) == want.end())
                    want.push_back(r);
            }
        }
        std::string_view got[16];
        const size_t count = PinyinReadingsOf(cp, got, 16);
        ASSERT_EQ(count, want.size()) << std::hex << static_cast<uint32_t>(cp);
        for (size_t k = 0; k < count; ++k)
            EXPECT_EQ(got[k], want[k]) << std::hex << static_cast<uint32_t>(cp);
        ++checked;
    }
    EXPECT_GT(checked, 700);
    std::string_view none[4];
    EXPECT_EQ(PinyinReadingsOf(U'A', none, 4), 0u);
    EXPECT_EQ(PinyinReadingsOf(U'あ', none, 4), 0u);
#endif
}

}  // namespace
}  // namespace pt
