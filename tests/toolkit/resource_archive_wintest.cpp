// The resource archive: the build's real archive (read from the build folder,
// since a test exe carries none) opens with the program's password and holds
// every entry the UI loads, in forms the toolkit can use; damaged entries,
// foreign passwords and missing archives read as empty.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/zip_test_writer.h"
#include "toolkit/back_buffer.h"
#include "toolkit/graphics.h"
#include "toolkit/resource_archive.h"
#include "toolkit/svg_document.h"
#include "toolkit/toolkit.h"

namespace pt {
namespace {

const char* const kEntries[] = {
    "layout\\item\\listview.main.xml",
    "layout\\item\\listview.plugin.xml",
    "layout\\item\\listview.skin.xml",
    "layout\\wd.attrib.xml",
    "layout\\wd.config.xml",
    "layout\\wd.hotkey.xml",
    "layout\\wd.main.xml",
    "layout\\wd.message.xml",
    "layout\\wd.modify.xml",
    "layout\\wd.plugin.xml",
    "layout\\wd.private.xml",
    "layout\\wd.skin.xml",
    "layout\\wd.tips.xml",
    "res\\images\\Shadow2.png",
    "res\\resource.res",
    "res\\appframework\\app.svg",
    "res\\appframework\\CheckButton\\check.svg",
    "res\\appframework\\CheckButton\\normal.svg",
    "res\\appframework\\CheckButton\\switch.svg",
    "res\\appframework\\eye\\check.svg",
    "res\\appframework\\eye\\normal.svg",
    "res\\appframework\\failed.svg",
    "res\\appframework\\MessageBox\\error.svg",
    "res\\appframework\\MessageBox\\infor.svg",
    "res\\appframework\\MessageBox\\ok.svg",
    "res\\appframework\\MessageBox\\question.svg",
    "res\\appframework\\MessageBox\\warning.svg",
    "res\\appframework\\more.svg",
    "res\\appframework\\plugin.svg",
    "res\\appframework\\SliderBar\\hover.svg",
    "res\\appframework\\SliderBar\\normal.svg",
    "res\\appframework\\SysButton\\close.svg",
    "res\\appframework\\SysButton\\menu.svg",
    "res\\appframework\\SysButton\\mini.svg",
    "res\\appframework\\SysButton\\skin.svg",
    "res\\appframework\\tag.svg",
    "res\\Pinatrove.ttf",
};

std::vector<uint8_t> BuiltArchive() {
#ifdef PT_RESOURCES_ZIP_PATH
    std::string path = PT_RESOURCES_ZIP_PATH;
    // Under Wine a Unix path names a file on the Z: drive.
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
#else
    return {};
#endif
}

bool StartsWith(const std::vector<uint8_t>& bytes, std::string_view prefix) {
    return bytes.size() >= prefix.size() &&
           std::memcmp(bytes.data(), prefix.data(), prefix.size()) == 0;
}

TEST(ResourceArchiveTest, BuiltArchiveHoldsEveryEntryInUsableForm) {
    std::vector<uint8_t> bytes = BuiltArchive();
    if (bytes.empty())
        GTEST_SKIP() << "no packed archive in this build";
    ResourceArchive archive;
    ASSERT_TRUE(archive.LoadFromBytes(bytes));
    EXPECT_EQ(archive.EntryNames().size(), std::size(kEntries));
    for (const char* name : kEntries) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> content = archive.Read(name);
        ASSERT_FALSE(content.empty());
        const std::string_view n(name);
        if (n.ends_with(".svg")) {
            SvgDocument doc;
            ASSERT_TRUE(ParseSvg(archive.ReadText(name), doc));
            const double side = n.ends_with("app.svg") ? 100 : 20;
            EXPECT_EQ(doc.viewWidth, side);
            EXPECT_EQ(doc.viewHeight, side);
            // Drawn at the size the program uses it, something shows.
            ASSERT_TRUE(InitToolkit());
            auto image = SvgImage::FromBytes(archive.ReadText(name));
            ASSERT_TRUE(image);
            PixelBuffer px(20, 20);
            {
                Gdiplus::Bitmap bmp(20, 20, 80, PixelFormat32bppPARGB,
                                    reinterpret_cast<BYTE*>(px.Data()));
                Gdiplus::Graphics g(&bmp);
                image->Draw(g, Rect{0, 0, 20, 20});
            }
            int drawn = 0;
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 20; ++x)
                    drawn += PixelAlpha(px.At(x, y)) > 128;
            EXPECT_GT(drawn, 10);
        } else if (n.ends_with(".xml") || n.ends_with(".res")) {
            EXPECT_TRUE(StartsWith(content, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
        } else if (n.ends_with(".png")) {
            EXPECT_TRUE(StartsWith(content, "\x89PNG\r\n\x1a\n"));
        }
    }
    // Forward slashes name the same entries.
    EXPECT_EQ(archive.Read("res/appframework/SysButton/close.svg"),
              archive.Read("res\\appframework\\SysButton\\close.svg"));

    // The product font loads from memory as the About page does.
    ASSERT_TRUE(InitToolkit());
    const std::vector<uint8_t> ttf = archive.Read("res\\Pinatrove.ttf");
    EXPECT_TRUE(Font::FromMemory(ttf.data(), ttf.size(), 18));
}

TEST(ResourceArchiveTest, DamagedEntryReadsEmptyAndOthersStillRead) {
    std::vector<uint8_t> bytes = BuiltArchive();
    if (bytes.empty())
        GTEST_SKIP() << "no packed archive in this build";
    // Flip a byte a little way into the first entry's data (the archive is
    // sorted, so that is layout/item/listview.main.xml).
    const size_t nameLength = bytes[26] | (bytes[27] << 8);
    bytes[30 + nameLength + 20] ^= 0x40;
    ResourceArchive archive;
    ASSERT_TRUE(archive.LoadFromBytes(bytes));
    EXPECT_TRUE(archive.Read("layout\\item\\listview.main.xml").empty());
    EXPECT_FALSE(archive.Read("layout\\wd.main.xml").empty());
    EXPECT_TRUE(archive.Read("layout\\wd.nothing.xml").empty());
}

TEST(ResourceArchiveTest, ForeignPasswordMissingArchiveAndGarbage) {
    test::ZipTestWriter w;
    w.Add({"res/resource.res", test::ZipBytes("<resources/>"), true, "NotOurs99", false});
    w.Add({"plain.txt", test::ZipBytes("unencrypted"), true, "", false});
    ResourceArchive archive;
    ASSERT_TRUE(archive.LoadFromBytes(w.Finish()));
    EXPECT_TRUE(archive.Read("res\\resource.res").empty());
    EXPECT_EQ(archive.ReadText("plain.txt"), "unencrypted");

    // The test exe embeds no archive.
    EXPECT_FALSE(archive.LoadFromModule(GetModuleHandleW(nullptr)));
    EXPECT_FALSE(archive.Loaded());
    EXPECT_TRUE(archive.Read("plain.txt").empty());

    EXPECT_FALSE(archive.LoadFromBytes(std::vector<uint8_t>(4096, 0x50)));
    EXPECT_TRUE(archive.Read("res\\resource.res").empty());
}

}  // namespace
}  // namespace pt
