// Generated documents: write -> read -> write is stable, in both file forms.
// With PT_JSON_SEED_DIR set, the test also leaves a small seed corpus for the
// fuzzer there (the generated documents plus hand-picked awkward inputs).
#include "doc/json_document.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "base/text.h"

namespace pt {
namespace {

class Generator {
public:
    explicit Generator(uint32_t seed) : random_(seed) {}

    // A random tree, as text that this module's reader accepts.
    void Fill(JsonDocument& doc, const std::string& path, int depth) {
        switch (Pick(depth > 4 ? 5 : 7)) {
            case 0: doc.SetNull(path); break;
            case 1: doc.SetInt64(path, static_cast<int64_t>(random_()) - (1u << 31)); break;
            case 2: doc.SetReal(path, static_cast<double>(random_()) / 977.0); break;
            case 3: doc.SetBool(path, Pick(2) == 1); break;
            case 4: doc.SetWideText(path, Text()); break;
            case 5: {
                doc.AppendCopy(path, JsonDocument());
                doc.Clear(path);
                const int n = Pick(5);
                for (int i = 0; i < n; ++i) Fill(doc, path + "[]", depth + 1);
                break;
            }
            default: {
                doc.Clear(path);
                doc.SetMemberCopy(path, "x", JsonDocument());
                doc.RemoveMember(path, "x");
                const int n = Pick(5);
                for (int i = 0; i < n; ++i) {
                    std::string key = WideToUtf8(Text());
                    // Path syntax characters are escaped, as callers must.
                    std::string escaped;
                    for (char c : key) {
                        if (c == '.' || c == '[' || c == ']' || c == '\\') escaped += '\\';
                        escaped += c;
                    }
                    if (escaped.empty()) continue;  // an empty name is no path step
                    Fill(doc, path.empty() ? escaped : path + "." + escaped, depth + 1);
                }
            }
        }
    }

private:
    int Pick(int n) { return static_cast<int>(random_() % static_cast<uint32_t>(n)); }

    std::u16string Text() {
        static const char16_t kAlphabet[] = u"ab .[]\\\"'/\t\r\n\b\f{}:,中文名称\x01\xD800\xDC00\xFFFF";
        std::u16string text;
        const int n = Pick(8);
        for (int i = 0; i < n; ++i) text += kAlphabet[Pick(sizeof kAlphabet / 2 - 1)];
        return text;
    }

    std::mt19937 random_;
};

void WriteSeed(const std::string& name, std::string_view bytes) {
    const char* dir = std::getenv("PT_JSON_SEED_DIR");
    if (dir == nullptr || *dir == 0) return;
    std::ofstream(std::string(dir) + "/" + name, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(JsonPropertyTest, WriteReadWriteIsStable) {
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        Generator generator(seed);
        JsonDocument doc;
        generator.Fill(doc, "", 0);
        const std::string first = doc.Serialize();
        JsonDocument back;
        ASSERT_TRUE(back.ParseBytes(first)) << "seed " << seed << " code " << back.LastError().code;
        const std::string second = back.Serialize();
        // A lone LF reads back as CR LF, so only the second writing must be a
        // fixed point; without LFs the first already is.
        JsonDocument again;
        ASSERT_TRUE(again.ParseBytes(second)) << "seed " << seed;
        EXPECT_EQ(again.Serialize(), second) << "seed " << seed;
        if (doc.SerializeWide().find(u"\\n") == std::u16string::npos) {
            EXPECT_EQ(second, first) << "seed " << seed;
        }
        // The UTF-8 form is lossless too.
        JsonDocument viaText;
        ASSERT_TRUE(viaText.ParseText(back.SerializeText())) << "seed " << seed;
        EXPECT_EQ(viaText.Serialize(), second) << "seed " << seed;
        if (seed % 30 == 0) WriteSeed("generated_" + std::to_string(seed), first);
    }
}

TEST(JsonPropertyTest, SeedCorpusOfAwkwardInputs) {
    const char* const awkward[] = {
        R"({"a":[1,"x\ty"],"b":{}})", "{'k':'v',k2:+1.5e-3}", R"({"a":1,"a":2})",
        R"({"a":"x})", R"({"a" "b":1})", "[[[[[[[[[[", R"({} {"b":[1,2,]}})", R"("\u4E2D\n")",
        "{\"中\":\"文\"}", "  true ", R"({"s":"\\\"\/\b\f\r\n\t"})", "{a b:c d}",
    };
    int i = 0;
    for (const char* text : awkward) {
        JsonDocument doc;
        doc.ParseText(text);  // some fail on purpose; none may crash
        WriteSeed("text_" + std::to_string(i), text);
        const std::u16string wide = Utf8ToWide(text);
        WriteSeed("bytes_" + std::to_string(i++),
                  std::string_view(reinterpret_cast<const char*>(wide.data()), wide.size() * 2));
    }
}

}  // namespace
}  // namespace pt
