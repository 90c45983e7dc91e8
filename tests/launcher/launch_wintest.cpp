// .url files on disk and launching through the shell, with the error text
// reaching the sink instead of a message box.
#include "launcher/launch.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "launcher/target.h"
#include "support/temp_folder.h"

namespace pt {
namespace {

using test::TempFolder;

TEST(InternetShortcutWin, WriteReadRoundTripOnDisk) {
    TempFolder temp;
    std::string file = temp.Path() + "\\link.url";
    ASSERT_TRUE(WriteInternetShortcut(file, "https://例子.测试/页面?q=\xF0\x9F\x98\x80",
                                      "%SystemRoot%\\system32\\url.dll,0"));
    auto read = ReadInternetShortcut(file);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->url, "https://例子.测试/页面?q=\xF0\x9F\x98\x80");
    EXPECT_EQ(read->iconLocation, "%SystemRoot%\\system32\\url.dll");  // index 0: the file alone
    // Replaced, not appended to.
    ASSERT_TRUE(WriteInternetShortcut(file, "https://b.example/", ""));
    read = ReadInternetShortcut(file);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->url, "https://b.example/");
    EXPECT_EQ(read->iconLocation, "");

    std::string local = temp.Path() + "\\local.url";
    ASSERT_TRUE(WriteInternetShortcut(local, "C:\\Windows\\notepad.exe", ""));
    EXPECT_FALSE(ReadInternetShortcut(local));
    EXPECT_FALSE(ReadInternetShortcut(temp.Path() + "\\absent.url"));
    // The shell's own URL classification agrees with what was written.
    EXPECT_EQ(ClassifyTarget("https://b.example/").text, "url");
}

TEST(LaunchTargetWin, FailureTextGoesToTheSink) {
    std::string text;
    int calls = 0;
    LaunchErrorSink sink = [&](const std::string& message) {
        text = message;
        ++calls;
    };
    EXPECT_FALSE(LaunchTarget("C:\\no\\such\\program.exe", "", "", "open", sink));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(text == "找不到指定的文件" || text == "找不到指定的路径") << text;
    // No sink: still false, nothing else happens.
    EXPECT_FALSE(LaunchTarget("C:\\no\\such\\program.exe", "", "", "", nullptr));

    calls = 0;
    std::string program = ExpandPathVariables("%SystemRoot%\\system32\\rundll32.exe");
    EXPECT_TRUE(LaunchTarget(program, "", ExpandPathVariables("%SystemRoot%"), "open", sink));
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace pt
