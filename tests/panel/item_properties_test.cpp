// The properties dialog's rules without its window, where the dialog's own
// tests do not reach: what targets of other kinds bring along, and the
// record "确定" writes from texts with spaces, emptied fields and icons that
// repeat the target. (tests/panel/item_actions_wintest.cpp drives the dialog.)
#include "panel/item_properties.h"

#include <gtest/gtest.h>

#include "launcher/cipher.h"
#include "launcher/item_cipher.h"

namespace pt {
namespace {

const TargetKind kExe{TargetKindId::kExtension, ".exe"};
const TargetKind kTxt{TargetKindId::kExtension, ".txt"};
const TargetKind kShell{TargetKindId::kShell, "shell"};
const TargetKind kEncrypt{TargetKindId::kEncrypt, "encrypt"};
const TargetKind kFolder{TargetKindId::kFolder, "folder"};

TEST(ItemPropertiesTest, TargetsOfEveryKindBringTheirNameStartFolderAndIcon) {
    TargetFollowers f =
        FollowTarget("D:\\新 工具\\run.EXE", {TargetKindId::kExtension, ".EXE"}, "");
    EXPECT_EQ(f.name, "run");
    EXPECT_EQ(f.startFolder, "D:\\新 工具");
    EXPECT_EQ(f.iconSource, "D:\\新 工具\\run.EXE");
    EXPECT_TRUE(f.elevationEnabled);
    f = FollowTarget("D:\\docs\\", kFolder, "D:\\docs\\f.ico,0");
    EXPECT_EQ(f.name, "docs");
    EXPECT_EQ(f.iconSource, "D:\\docs\\f.ico,0");
    EXPECT_FALSE(f.elevationEnabled);
    f = FollowTarget("https://example.com/a", {TargetKindId::kUrl, "url"}, "");
    EXPECT_EQ(f.name, "example.com");
    EXPECT_EQ(f.startFolder, "");
}

TEST(ItemPropertiesTest, TheRecordOkWrites) {
    const ItemRecord exe{".exe", "ed", "C:\\app\\ed.exe", "", "C:\\app", "", false, "C:\\i.ico"};
    PropertiesForm form = OpeningForm(exe, kExe);
    // Unchanged: the default start folder is dropped; an icon equal to the path too.
    std::optional<ItemRecord> out =
        PropertiesRecord(exe, kExe, form, kExe, "C:\\i.ico", "c:\\APP\\ED.exe");
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, (ItemRecord{".exe", "ed", "C:\\app\\ed.exe", "", "", "", false, ""}));
    // Name emptied: kept. Target emptied: refused.
    form.name.clear();
    form.startFolder = "D:\\other\\";
    form.target = "C:\\b.txt\\";
    out = PropertiesRecord(exe, kExe, form, kTxt, "", "C:\\i.ico");
    ASSERT_TRUE(out);
    EXPECT_EQ(out->name, "ed");
    EXPECT_EQ(out->type, ".txt");
    EXPECT_EQ(out->path, "C:\\b.txt");
    EXPECT_EQ(out->workDir, "D:\\other");
    form.target = " 　";
    EXPECT_FALSE(PropertiesRecord(exe, kExe, form, kTxt, "", "")) << "spaces are no target";

    // A shell object keeps its target and writes no start folder or parameters.
    const ItemRecord shell{
        "shell", "网络",          "::{F02C1A0D-BE21-4350-88B0-7367FC96EF3C}", "x", "", "",
        false,   "netshell.dll,0"};
    out = PropertiesRecord(shell, kShell, OpeningForm(shell, kShell), {}, "netshell.dll,0",
                           "netshell.dll,0");
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, (ItemRecord{"shell", "网络", shell.path, "", "", "", false, "netshell.dll,0"}));

    // An enciphered item keeps its cipher texts; a new icon goes under the icon key.
    const ItemRecord plain{".exe", "s", "C:\\s.exe", "-p", "C:\\w", "", false, ""};
    const ItemRecord enc = EncipherItem(plain, "abcd");
    form = OpeningForm(enc, kEncrypt);
    out = PropertiesRecord(enc, kEncrypt, form, {}, "C:\\s.exe", "C:\\S.EXE");
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, enc);
    out = PropertiesRecord(enc, kEncrypt, form, {}, "C:\\s.exe", "C:\\new.ico,1");
    EXPECT_EQ(CipherDecode(AfterEncryptPrefix(out->icon), kIconCipherKey), "C:\\new.ico,1");
    EXPECT_EQ(out->path, enc.path);
}

}  // namespace
}  // namespace pt
