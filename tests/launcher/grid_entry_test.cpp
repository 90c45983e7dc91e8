// Tooltip lines and name colours of grid entries for each kind of target.
#include "launcher/grid_entry.h"

#include <gtest/gtest.h>

namespace pt {
namespace {

TEST(GridEntryTooltip, LinesByKind) {
    EXPECT_EQ(
        GridEntryTooltip("记事本", "C:\\Windows\\notepad.exe", "", "", TargetKindId::kExtension),
        "文件名：记事本\r\n位置：C:\\Windows\\notepad.exe");
    EXPECT_EQ(
        GridEntryTooltip("PC", "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "-x", "note",
                         TargetKindId::kShell),
        "文件名：PC\r\n位置：{20D04FE0-3AEA-1069-A2D8-08002B30309D}\r\n参数：-x\r\n备注：note");
    EXPECT_EQ(GridEntryTooltip("s", "encrypt:abcd", "encrypt:efgh", "", TargetKindId::kEncrypt),
              "文件名：s\r\n位置：数据已加密\r\n参数：encrypt:efgh");
    EXPECT_EQ(GridEntryTooltip("n", "https://a/", "", "r", TargetKindId::kUrl),
              "文件名：n\r\n位置：https://a/\r\n备注：r");
}

TEST(GridEntryTextColor, MissingDrivePathsAndEncipheredTargets) {
    EXPECT_EQ(GridEntryTextColorFor("C:\\gone.exe", TargetKindId::kExtension, false),
              GridTextColor::kMissing);
    EXPECT_EQ(GridEntryTextColorFor("C:\\here.exe", TargetKindId::kExtension, true),
              GridTextColor::kNormal);
    EXPECT_EQ(GridEntryTextColorFor("encrypt:x", TargetKindId::kEncrypt, false),
              GridTextColor::kEnciphered);
    EXPECT_EQ(GridEntryTextColorFor("\\\\srv\\share", TargetKindId::kUnc, false),
              GridTextColor::kNormal);
}

}  // namespace
}  // namespace pt
