// Whole item records enciphered and deciphered: what each key holds on the
// way, that the way back restores the record exactly, and that a wrong key
// or damaged text leaves nothing to write.
#include "launcher/item_cipher.h"

#include <gtest/gtest.h>

#include "launcher/cipher.h"
#include "launcher/target.h"

namespace pt {
namespace {

std::string KindText(std::string_view path) {
    return path.find("\\tools\\") != std::string_view::npos ? "folder" : ".exe";
}

std::string Plain(std::string_view value, std::string_view key) {
    return CipherDecode(AfterEncryptPrefix(value), key);
}

TEST(ItemCipherTest, RoundTripRestoresTheRecordWithAndWithoutOptionalKeys) {
    const ItemRecord full{".exe", "编辑器", "C:\\编辑\\ed.exe",   "-n \"a b\"", "D:\\work",
                          "备注", true,     "C:\\icons\\ed.ico,2"};
    const ItemRecord bare{"folder", "工具", "C:\\tools\\", "", "", "", false, ""};
    for (const ItemRecord& plain : {full, bare}) {
        SCOPED_TRACE(plain.name);
        const ItemRecord enc = EncipherItem(plain, "Key123");
        EXPECT_EQ(enc.type, "encrypt");
        EXPECT_EQ(enc.name, plain.name);
        EXPECT_EQ(enc.remarks, plain.remarks);
        EXPECT_EQ(enc.isAdministrator, plain.isAdministrator);
        EXPECT_EQ(enc.path.rfind("encrypt:", 0), 0u);
        EXPECT_EQ(Plain(enc.path, "Key123"), plain.path);
        EXPECT_EQ(Plain(enc.param, "Key123"), plain.param);
        EXPECT_EQ(Plain(enc.workDir, "Key123"), plain.workDir);
        EXPECT_EQ(enc.param.empty(), plain.param.empty()) << "absent keys stay absent";
        EXPECT_EQ(enc.workDir.empty(), plain.workDir.empty());
        // The icon is readable without the user's key; an item without one
        // keeps its target there.
        EXPECT_EQ(Plain(enc.icon, kIconCipherKey), plain.icon.empty() ? plain.path : plain.icon);
        const std::optional<ItemRecord> back = DecipherItem(enc, "Key123", KindText);
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, plain);
    }
}

TEST(ItemCipherTest, WrongKeyOrDamagedTargetGivesNothingAndPlainValuesSurvive) {
    const ItemRecord plain{".exe", "n", "C:\\a.exe", "-x", "C:\\w", "", false, ""};
    const ItemRecord enc = EncipherItem(plain, "abcd");
    EXPECT_FALSE(DecipherItem(enc, "abce", KindText));
    ItemRecord damaged = enc;
    damaged.path[30] = damaged.path[30] == 'A' ? 'B' : 'A';
    EXPECT_FALSE(DecipherItem(damaged, "abcd", KindText));
    damaged.path = "encrypt:";
    EXPECT_FALSE(DecipherItem(damaged, "abcd", KindText));
    // A parameter stored plain in an enciphered record is no cipher text to lose.
    ItemRecord mixed = enc;
    mixed.param = "--plain";
    EXPECT_EQ(DecipherItem(mixed, "abcd", KindText)->param, "--plain");
    EXPECT_EQ(EncipheredNotice("abcd"), "加密成功，设置密钥为（abcd），请妥善保存！");
}

}  // namespace
}  // namespace pt
