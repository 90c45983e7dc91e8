// The default names of dropped paths, the shell-object check, and the
// bounds of the dropped ID list array and file list blocks (hostile blocks
// are refused whole).
#include "launcher/drop_blocks.h"
#include "launcher/drop_import.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace pt {
namespace {

std::string U32(uint32_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

// An ID list of one item holding `payload`, with its terminator.
std::string IdList(std::string_view payload) {
    const size_t cb = payload.size() + 2;
    return std::string{static_cast<char>(cb & 0xFF), static_cast<char>(cb >> 8)} +
           std::string(payload) + std::string(2, '\0');
}

TEST(DisplayNameFromPath, EachKindOfPath) {
    EXPECT_EQ(DisplayNameFromPathAs("https://example.com/a/b", true, false), "example.com");
    EXPECT_EQ(DisplayNameFromPathAs("file:///C:/x.txt", true, false), "/C:/x.txt");
    EXPECT_EQ(DisplayNameFromPathAs("\\\\server\\share\\dir.v2\\", false, true), "dir.v2");
    EXPECT_EQ(DisplayNameFromPathAs("C:\\tools\\app.exe", false, false), "app");
    EXPECT_EQ(DisplayNameFromPathAs("C:\\Games\\v1.2\\", false, false), "v1");
    EXPECT_EQ(DisplayNameFromPathAs("C:\\docs\\报告.2024.docx", false, false), "报告.2024");
    EXPECT_EQ(DisplayNameFromPathAs("C:\\a b\\read me", false, false), "read me");
    EXPECT_EQ(DisplayNameFromPathAs("C:\\.config", false, false), ".config");
    EXPECT_EQ(DisplayNameFromPathAs("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", false, false),
              "{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
}

TEST(DisplayNameFromPath, ShellObjectsPassOnlyAsOneClsid) {
    EXPECT_TRUE(ShellObjectNameAccepted("C:\\Windows"));
    EXPECT_TRUE(ShellObjectNameAccepted("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"));
    EXPECT_FALSE(ShellObjectNameAccepted(
        "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{21EC2020-3AEA-1069-A2DD-08002B30309D}"));
    EXPECT_FALSE(ShellObjectNameAccepted("::"));
}

TEST(IdListArray, SoundBlockGivesEveryList) {
    const std::string block = BuildIdListArray(std::string(2, '\0'), {IdList("ab"), IdList("xyz")});
    const auto array = ParseIdListArray(block);
    ASSERT_TRUE(array);
    EXPECT_EQ(array->parent, (IdListSpan{16, 2}));
    ASSERT_EQ(array->children.size(), 2u);
    EXPECT_EQ(block.substr(array->children[1].offset, array->children[1].size), IdList("xyz"));
}

TEST(IdListArray, HostileBlocksAreRefused) {
    const std::string parent(2, '\0');
    const std::string good = BuildIdListArray(parent, {IdList("ab")});
    ASSERT_TRUE(ParseIdListArray(good));
    EXPECT_FALSE(ParseIdListArray(""));
    EXPECT_FALSE(ParseIdListArray(U32(0) + U32(8) + parent));  // no object
    // A count far larger than the block, one that wraps the offset table.
    EXPECT_FALSE(ParseIdListArray(U32(1000) + good.substr(4)));
    EXPECT_FALSE(ParseIdListArray(U32(0xFFFFFFFF) + good.substr(4)));
    // An offset past the end, and one pointing at the block's last byte.
    EXPECT_FALSE(ParseIdListArray(good.substr(0, 8) + U32(0xFFFFFFF0) + good.substr(12)));
    EXPECT_FALSE(ParseIdListArray(good.substr(0, 8) + U32(good.size() - 1) + good.substr(12)));
    // An item longer than what is left, an item length of 1, no terminator.
    std::string longItem = good;
    longItem[14] = 'x';
    EXPECT_FALSE(ParseIdListArray(longItem));
    std::string oneByte = good;
    oneByte[14] = 1;
    oneByte[15] = 0;
    EXPECT_FALSE(ParseIdListArray(oneByte));
    EXPECT_FALSE(ParseIdListArray(good.substr(0, good.size() - 2)));
}

TEST(DropFilesBlock, ListMustCloseInsideTheBlock) {
    const std::string header = U32(20) + U32(0) + U32(0) + U32(0) + U32(1);
    const std::string name = std::string("a\0:\0\\\0", 6);
    EXPECT_TRUE(CheckDropFiles(header + name + std::string(4, '\0')));
    EXPECT_FALSE(CheckDropFiles(header + name + std::string(2, '\0')));  // no closing name
    EXPECT_FALSE(CheckDropFiles(header.substr(0, 16)));
    EXPECT_FALSE(CheckDropFiles(U32(4) + header.substr(4) + std::string(4, '\0')));
    EXPECT_FALSE(CheckDropFiles(U32(0x7FFFFFFF) + header.substr(4) + std::string(4, '\0')));
    const std::string ansi = U32(20) + U32(0) + U32(0) + U32(0) + U32(0);
    EXPECT_TRUE(CheckDropFiles(ansi + std::string("C:\\a\0\0", 6)));
}

}  // namespace
}  // namespace pt
