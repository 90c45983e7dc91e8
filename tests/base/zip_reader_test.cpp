// ZipReader against archives built by the test writer: reading stored,
// deflated and encrypted entries by either separator, and every kind of bad
// input (missing entry, wrong password, damaged data, truncation, hostile
// sizes and offsets) reading as "no entry" without leaving the buffer. The
// archive the build packs is read here too, with the build's password.
#include "base/zip_reader.h"

#include "base/zip_test_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace pt {
namespace {

using test::ZipBytes;
using test::ZipTestEntry;
using test::ZipTestLayout;
using test::ZipTestWriter;

constexpr char kPassword[] = "Tq7mVx2Lp";

std::vector<uint8_t> Pattern(size_t size) {
    std::vector<uint8_t> out(size);
    for (size_t i = 0; i < size; ++i)
        out[i] = static_cast<uint8_t>((i * 31) ^ (i >> 7));
    return out;
}

void PutLe32(std::vector<uint8_t>& zip, size_t pos, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        zip[pos + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Three entries of every kind; the last one is encrypted and deflated, as the
// packer writes them.
std::vector<uint8_t> SampleArchive(ZipTestLayout* layout = nullptr) {
    ZipTestWriter w;
    w.Add({"plain.txt", ZipBytes("hello, stored"), false, "", false});
    w.Add({"layout/wd.main.xml", ZipBytes("<window width=\"810\"/>"), true, "", false});
    w.Add({"res/appframework/SysButton/close.svg", Pattern(5000), true, kPassword, false});
    return w.Finish(layout);
}

TEST(ZipReaderTest, ReadsStoredDeflatedAndEncryptedEntriesByEitherSeparator) {
    ZipReader zip;
    ASSERT_TRUE(zip.Open(SampleArchive()));
    EXPECT_EQ(zip.EntryCount(), 3u);
    EXPECT_EQ(zip.EntryNames(), (std::vector<std::string>{"layout/wd.main.xml", "plain.txt",
                                                          "res/appframework/SysButton/close.svg"}));
    EXPECT_EQ(zip.Read("plain.txt"), ZipBytes("hello, stored"));
    EXPECT_EQ(zip.Read("layout\\wd.main.xml"), ZipBytes("<window width=\"810\"/>"));
    EXPECT_EQ(zip.Read("res\\appframework\\SysButton\\close.svg", kPassword), Pattern(5000));
    EXPECT_EQ(zip.Read("res/appframework\\SysButton/close.svg", kPassword), Pattern(5000));
    EXPECT_TRUE(zip.Contains("res\\appframework\\SysButton\\close.svg"));
}

TEST(ZipReaderTest, MissingEntriesAndNamesDifferingInCase) {
    ZipReader zip;
    ASSERT_TRUE(zip.Open(SampleArchive()));
    EXPECT_FALSE(zip.Read("missing.xml"));
    EXPECT_FALSE(zip.Read(""));
    EXPECT_FALSE(zip.Read("layout/WD.MAIN.XML"));
    EXPECT_FALSE(zip.Read("layout/wd.main.xml/"));
    EXPECT_FALSE(ZipReader().Read("plain.txt"));
}

TEST(ZipReaderTest, WrongOrMissingPasswordGivesNothing) {
    ZipReader zip;
    ASSERT_TRUE(zip.Open(SampleArchive()));
    const char* name = "res/appframework/SysButton/close.svg";
    EXPECT_FALSE(zip.Read(name));
    EXPECT_FALSE(zip.Read(name, "Tq7mVx2Lq"));
    EXPECT_FALSE(zip.Read(name, "tq7mVx2Lp"));
    // About one wrong password in 256 passes the check byte; the data then
    // fails to inflate or to match its CRC. Try enough of them to hit some.
    for (int i = 0; i < 2000; ++i)
        EXPECT_FALSE(zip.Read(name, "k" + std::to_string(i)));
}

TEST(ZipReaderTest, DataDescriptorEntriesAndEmptyEntries) {
    ZipTestWriter w;
    w.Add({"dd.bin", Pattern(300), true, kPassword, true});
    w.Add({"empty-deflated", {}, true, kPassword, false});
    w.Add({"empty-stored", {}, false, "", false});
    w.SetComment("a trailing comment with PK\x05\x06 inside");
    ZipReader zip;
    ASSERT_TRUE(zip.Open(w.Finish()));
    EXPECT_EQ(zip.Read("dd.bin", kPassword), Pattern(300));
    EXPECT_EQ(zip.Read("empty-deflated", kPassword), std::vector<uint8_t>());
    EXPECT_EQ(zip.Read("empty-stored"), std::vector<uint8_t>());
}

TEST(ZipReaderTest, CorruptDataFailsOnlyThatEntry) {
    ZipTestLayout at;
    std::vector<uint8_t> bytes = SampleArchive(&at);
    bytes[at.dataOffsets[0] + 3] ^= 0x01;   // stored: CRC mismatch
    bytes[at.dataOffsets[2] + 40] ^= 0x5A;  // encrypted deflate: body damaged
    ZipReader zip;
    ASSERT_TRUE(zip.Open(bytes));
    EXPECT_FALSE(zip.Read("plain.txt"));
    EXPECT_FALSE(zip.Read("res/appframework/SysButton/close.svg", kPassword));
    EXPECT_EQ(zip.Read("layout/wd.main.xml"), ZipBytes("<window width=\"810\"/>"));
}

TEST(ZipReaderTest, LyingSizesAndOffsetsAreRefused) {
    ZipTestLayout at;
    const std::vector<uint8_t> good = SampleArchive(&at);
    const size_t dir = at.centralOffsets[1];  // layout/wd.main.xml, deflated
    auto withField = [&](size_t field, uint32_t value) {
        std::vector<uint8_t> bytes = good;
        PutLe32(bytes, dir + field, value);
        ZipReader zip;
        EXPECT_TRUE(zip.Open(bytes));
        return zip.Read("layout/wd.main.xml");
    };
    EXPECT_FALSE(withField(24, 20));                            // declared size one short
    EXPECT_FALSE(withField(24, 22));                            // one long
    EXPECT_FALSE(withField(24, ZipReader::kMaxEntrySize + 1));  // a bomb's claim
    EXPECT_FALSE(withField(24, 0xFFFFFFFFu));
    EXPECT_FALSE(withField(20, 0xFFFFFFF0u));  // compressed size past the end
    EXPECT_FALSE(withField(42, static_cast<uint32_t>(good.size() - 10)));  // local header
    EXPECT_FALSE(withField(42, 0xFFFFFFFFu));
    EXPECT_FALSE(withField(42, static_cast<uint32_t>(at.localOffsets[0])));  // another entry's
    EXPECT_FALSE(withField(16, 0x12345678u));                                // CRC
}

TEST(ZipReaderTest, DecompressionBombIsCappedBeforeInflating) {
    // 80 MB of zeros deflates to ~80 KB; its honest size is over the cap.
    ZipTestWriter w;
    w.Add({"bomb", std::vector<uint8_t>(ZipReader::kMaxEntrySize + 1024, 0), true, "", false});
    ZipReader zip;
    ASSERT_TRUE(zip.Open(w.Finish()));
    EXPECT_TRUE(zip.Contains("bomb"));
    EXPECT_FALSE(zip.Read("bomb"));
}

TEST(ZipReaderTest, TruncatedOrBrokenArchivesNeverOverRead) {
    const std::vector<uint8_t> good = SampleArchive();
    // Every prefix: either no end record (refused) or entries that fail.
    for (size_t n = 0; n < good.size(); ++n) {
        ZipReader zip;
        if (zip.Open(std::vector<uint8_t>(good.begin(), good.begin() + n))) {
            for (const std::string& name : zip.EntryNames())
                zip.Read(name, kPassword);
        }
    }
    ZipReader zip;
    EXPECT_FALSE(zip.Open({}));
    EXPECT_FALSE(zip.Open(ZipBytes("PK\x05\x06")));
    EXPECT_FALSE(zip.Open(std::vector<uint8_t>(100, 0)));
    EXPECT_FALSE(zip.IsOpen());

    // Directory offset and size that point outside the buffer.
    ZipTestLayout at;
    std::vector<uint8_t> bytes = SampleArchive(&at);
    PutLe32(bytes, at.endOffset + 16, 0xFFFFFF00u);
    EXPECT_FALSE(zip.Open(bytes));
    bytes = SampleArchive();
    PutLe32(bytes, at.endOffset + 12, 0x7FFFFFFFu);
    EXPECT_FALSE(zip.Open(bytes));

    // A damaged second directory record ends the index after the first.
    bytes = SampleArchive();
    bytes[at.centralOffsets[1]] = 'X';
    ASSERT_TRUE(zip.Open(bytes));
    EXPECT_EQ(zip.EntryNames(), std::vector<std::string>{"plain.txt"});
    EXPECT_EQ(zip.Read("plain.txt"), ZipBytes("hello, stored"));
}

TEST(ZipReaderTest, UnsupportedMethodsAndStrongEncryptionAreRefused) {
    ZipTestLayout at;
    std::vector<uint8_t> bytes = SampleArchive(&at);
    bytes[at.centralOffsets[1] + 10] = 12;    // bzip2
    bytes[at.centralOffsets[0] + 8] |= 0x40;  // strong encryption flag
    ZipReader zip;
    ASSERT_TRUE(zip.Open(bytes));
    EXPECT_FALSE(zip.Read("layout/wd.main.xml"));
    EXPECT_FALSE(zip.Read("plain.txt"));
    EXPECT_EQ(zip.Read("res/appframework/SysButton/close.svg", kPassword), Pattern(5000));
}

TEST(ZipReaderTest, BuildsPackedArchiveReadsWithItsPasswordOnly) {
#if defined(PT_RESOURCES_ZIP_PATH) && defined(PT_RES_PASSWORD)
    std::string path = PT_RESOURCES_ZIP_PATH;
#ifdef _WIN32
    // Under Wine a Unix path names a file on the Z: drive.
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
#endif
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    ZipReader zip;
    ASSERT_TRUE(zip.Open(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {})));
    EXPECT_EQ(zip.EntryCount(), 37u);
    std::string wrong = PT_RES_PASSWORD;
    wrong.back() ^= 1;
    for (const std::string& name : zip.EntryNames()) {
        SCOPED_TRACE(name);
        const auto content = zip.Read(name, PT_RES_PASSWORD);
        ASSERT_TRUE(content);
        EXPECT_FALSE(content->empty());
        EXPECT_FALSE(zip.Read(name, wrong));
        EXPECT_FALSE(zip.Read(name));
    }
    const auto res = zip.Read("res\\resource.res", PT_RES_PASSWORD);
    ASSERT_TRUE(res);
    EXPECT_NE(std::string(res->begin(), res->end()).find("bkInfo_line"), std::string::npos);
    EXPECT_TRUE(zip.Read("res\\appframework\\SysButton\\close.svg", PT_RES_PASSWORD));
    EXPECT_TRUE(zip.Read("layout\\item\\listview.main.xml", PT_RES_PASSWORD));
#else
    GTEST_SKIP() << "this build packs no archive";
#endif
}

}  // namespace
}  // namespace pt
