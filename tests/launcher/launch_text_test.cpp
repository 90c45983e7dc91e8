// The shell's error texts and the .url format: what is written, what is read
// back, and which files are not taken as Internet shortcuts.
#include "launcher/launch.h"

#include <gtest/gtest.h>

namespace pt {
namespace {

TEST(ErrorTexts, KnownCodesAndTheRest) {
    EXPECT_EQ(ShellExecuteErrorText(0), "内存不足");
    EXPECT_EQ(ShellExecuteErrorText(2), "找不到指定的文件");
    EXPECT_EQ(ShellExecuteErrorText(31), "没有相关联的应用程序");
    EXPECT_EQ(ShellExecuteErrorText(32), "找不到指定的DLL");
    EXPECT_EQ(ShellExecuteErrorText(4), "4");
    EXPECT_EQ(ShellExecuteErrorText(42), "42");
    EXPECT_EQ(HresultErrorText(static_cast<int32_t>(0x80004005u)), "未指定的失败");
    EXPECT_EQ(HresultErrorText(static_cast<int32_t>(0x80070005u)), "一般的访问被拒绝错误");
    EXPECT_EQ(HresultErrorText(static_cast<int32_t>(0x80004001u)), "找不到指定的路径");
    EXPECT_EQ(HresultErrorText(static_cast<int32_t>(0x80070002u)), "-2147024894");
    EXPECT_EQ(HresultErrorText(1), "1");
}

TEST(InternetShortcut, WrittenLayout) {
    EXPECT_EQ(BuildInternetShortcut("https://a.example/", ""),
              "[InternetShortcut]\r\nURL=https://a.example/\r\n");
    EXPECT_EQ(BuildInternetShortcut("https://a.example/", "C:\\i.dll,-3"),
              "[InternetShortcut]\r\nURL=https://a.example/\r\nIconIndex=-3\r\n"
              "IconFile=C:\\i.dll\r\n");
    EXPECT_EQ(BuildInternetShortcut("u:x", "C:\\i.ico"),
              "[InternetShortcut]\r\nURL=u:x\r\nIconIndex=0\r\nIconFile=C:\\i.ico\r\n");
}

TEST(InternetShortcut, ReadsWhatOthersWrite) {
    auto read = ParseInternetShortcut(
        "[DEFAULT]\r\nBASEURL=https://other.example/\r\n[InternetShortcut]\r\nurl=\"https://"
        "a.example/x y\" trailing\r\nIconFile= C:\\i.dll\r\nIconIndex=5\r\n");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->url, "https://a.example/x y");
    EXPECT_EQ(read->iconLocation, "C:\\i.dll,5");
    // No trailing line end, LF-only lines, index 0 gives the file alone.
    read =
        ParseInternetShortcut("[internetshortcut]\nURL=ftp://h/\nIconFile=C:\\i.ico\nIconIndex=0");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->url, "ftp://h/");
    EXPECT_EQ(read->iconLocation, "C:\\i.ico");
    EXPECT_EQ(ParseInternetShortcut("[InternetShortcut]\r\nURL=https://h/\r\nIconIndex=3\r\n")
                  .value_or(InternetShortcut{"", "?"})
                  .iconLocation,
              "");
}

TEST(InternetShortcut, RefusesDrivePathsAndForeignFiles) {
    EXPECT_FALSE(ParseInternetShortcut("[InternetShortcut]\r\nURL=C:\\Windows\\x.exe\r\n"));
    EXPECT_FALSE(ParseInternetShortcut("[InternetShortcut]\r\nURL=\r\n"));
    EXPECT_FALSE(ParseInternetShortcut("[Other]\r\nURL=https://a/\r\n"));
    EXPECT_FALSE(ParseInternetShortcut("[InternetShortcut]\r\nIconFile=x\r\n"));
    EXPECT_FALSE(ParseInternetShortcut(""));
}

TEST(InternetShortcut, FileBytesRoundTripAnyText) {
    for (auto [url, icon] :
         {std::pair<std::string, std::string>{"https://a.example/", ""},
          {"https://例子.测试/路径", "C:\\图标\\a.dll,2"},
          {"https://example.com/\xF0\x9F\x98\x80?q=\xC3\xA9", "C:\\\xC3\xA9.ico"}}) {
        std::string bytes = EncodeInternetShortcutFile(url, icon);
        auto back = DecodeInternetShortcutFile(bytes);
        ASSERT_TRUE(back) << url;
        EXPECT_EQ(back->url, url);
        EXPECT_EQ(back->iconLocation, icon);
    }
    // Code page 936 bytes when every character has a form there, as before.
    std::string gbk = EncodeInternetShortcutFile("https://例子/", "");
    EXPECT_NE(gbk.find("\xC0\xFD\xD7\xD3"), std::string::npos);
    EXPECT_EQ(EncodeInternetShortcutFile("https://a/\xF0\x9F\x98\x80", "").substr(0, 3),
              "\xEF\xBB\xBF");
}

}  // namespace
}  // namespace pt
