// Text rules of shortcut files: link names, icon locations, the
// "%ProgramFiles%" replacement.
#include "base/shortcut.h"

#include <gtest/gtest.h>

namespace pt {
namespace {

TEST(ShortcutTextTest, LinkNameExtensionComparisonIsExact) {
    EXPECT_EQ(LinkFileWithExtension("C:\\x\\name"), "C:\\x\\name.lnk");
    EXPECT_EQ(LinkFileWithExtension("C:\\x\\name.LNK"), "C:\\x\\name.LNK.lnk");
    EXPECT_EQ(LinkFileWithExtension("C:\\x\\name.lnk"), "C:\\x\\name.lnk");
    EXPECT_EQ(LinkFileWithExtension("C:\\x.lnk\\name"), "C:\\x.lnk\\name.lnk");
    EXPECT_EQ(LinkFileWithExtension("C:\\x\\a.lnk.txt"), "C:\\x\\a.lnk.txt.lnk");
}

TEST(ShortcutTextTest, IconLocationsJoinAndSplit) {
    EXPECT_EQ(JoinIconLocation("C:\\a.dll", 0), "C:\\a.dll");
    EXPECT_EQ(JoinIconLocation("C:\\a.dll", -12), "C:\\a.dll,-12");
    struct Case {
        const char* text;
        const char* file;
        int index;
    } cases[] = {
        {"C:\\a.dll,3", "C:\\a.dll", 3},
        {"C:\\a.dll,-12", "C:\\a.dll", -12},
        {"C:\\a,b\\x.ico", "C:\\a,b\\x.ico", 0},  // comma inside the path
        {"C:\\a.dll,", "C:\\a.dll,", 0},
        {"C:\\a.dll,3x", "C:\\a.dll,3x", 0},
        {"", "", 0},
    };
    for (const Case& c : cases) {
        std::string file;
        int index = 99;
        SplitShortcutIconLocation(c.text, &file, &index);
        EXPECT_EQ(file, c.file) << c.text;
        EXPECT_EQ(index, c.index) << c.text;
    }
}

TEST(ShortcutTextTest, ProgramFilesVariableIsReplacedInAnyCase) {
    EXPECT_EQ(ReplaceProgramFilesVariable("%programFILES%\\a\\b.exe,2 %ProgramFiles%", "C:\\PF"),
              "C:\\PF\\a\\b.exe,2 C:\\PF");
    EXPECT_EQ(ReplaceProgramFilesVariable("%ProgramFiles", "X"), "%ProgramFiles");
    EXPECT_EQ(ReplaceProgramFilesVariable("%ProgramFiles(x86)%", "X"), "%ProgramFiles(x86)%");
    EXPECT_EQ(ReplaceProgramFilesVariable("中%PROGRAMFILES%文", "D:"), "中D:文");
}

}  // namespace
}  // namespace pt
