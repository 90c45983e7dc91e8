// Shortcut files written and read back for real, the link-name rule, and the
// autostart shortcut in the (private test prefix's) Startup folder.
#include "base/shortcut.h"
#include "settings/autostart.h"

#include "base/text.h"
#include "base/win_handles.h"
#include "support/temp_folder.h"

#include <shlobj.h>

#include <gtest/gtest.h>

namespace pt {
namespace {

using test::FileExists;
using test::StoredName;
using test::TempFolder;

int32_t StoredShowCommand(const std::string& linkFile) {
    UniqueKernelHandle file(::CreateFileW(ToWide(linkFile).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
    unsigned char header[64] = {};
    DWORD got = 0;
    if (!file || !::ReadFile(file.Get(), header, sizeof(header), &got, nullptr) || got != 64) {
        return -1;
    }
    return static_cast<int32_t>(header[60] | header[61] << 8 | header[62] << 16 |
                                static_cast<uint32_t>(header[63]) << 24);
}

class ShortcutTest : public testing::Test {
  protected:
    // A real file to point at: some shell link code resolves targets.
    std::string Target(const std::string& name) {
        std::string path = folder_.File(name);
        UniqueKernelHandle file(::CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, 0, nullptr));
        return path;
    }
    TempFolder folder_;
};

TEST_F(ShortcutTest, WritesEveryPropertyAndReadsItBack) {
    ShortcutRecord record;
    record.linkFile = folder_.File("full.lnk");
    record.targetPath = Target("app.exe");
    record.arguments = "--flag \"quoted arg\"";
    record.description = kAutostartDescription;
    record.hotkey = "Ctrl + Alt + A";
    record.iconLocation = folder_.File("icons.dll") + ",3";
    record.windowStyle = 3;  // SW_SHOWMAXIMIZED
    record.workingDirectory = folder_.Path();
    ASSERT_TRUE(WriteShortcut(record));

    ShortcutRecord back;
    ASSERT_TRUE(ReadShortcut(record.linkFile, &back));
    EXPECT_EQ(back.linkFile, record.linkFile);
    EXPECT_EQ(back.targetPath, record.targetPath);
    EXPECT_EQ(back.arguments, record.arguments);
    EXPECT_EQ(back.description, record.description);
    EXPECT_EQ(back.hotkey, record.hotkey);
    EXPECT_EQ(back.iconLocation, record.iconLocation);
    // Wine's loader ignores the stored show command, so check the field of
    // the file header itself (ShowCommand, offset 60 of the link header).
    EXPECT_EQ(StoredShowCommand(record.linkFile), 3);
    EXPECT_EQ(back.workingDirectory, record.workingDirectory);

    // Index 0 carries no ",0"; the empty properties stay empty.
    record.iconLocation = folder_.File("icons.dll");
    record.arguments.clear();
    record.hotkey.clear();
    record.windowStyle = 1;
    ASSERT_TRUE(WriteShortcut(record));
    ASSERT_TRUE(ReadShortcut(record.linkFile, &back));
    EXPECT_EQ(back.iconLocation, folder_.File("icons.dll"));
    EXPECT_EQ(back.arguments, "");
    EXPECT_EQ(back.hotkey, "");
}

TEST_F(ShortcutTest, LinkNameGetsLnkUnlessItEndsInExactlyLnk) {
    ShortcutRecord record;
    record.targetPath = Target("t.exe");
    record.linkFile = folder_.File("name");
    ASSERT_TRUE(WriteShortcut(record));
    EXPECT_EQ(StoredName(folder_.File("name.lnk")), "name.lnk");
    EXPECT_FALSE(FileExists(folder_.File("name")));

    record.linkFile = folder_.File("upper.LNK");
    ASSERT_TRUE(WriteShortcut(record));
    EXPECT_EQ(StoredName(folder_.File("upper.LNK.lnk")), "upper.LNK.lnk");

    record.linkFile = folder_.File("exact.lnk");
    ASSERT_TRUE(WriteShortcut(record));
    EXPECT_EQ(StoredName(folder_.File("exact.lnk")), "exact.lnk");
    EXPECT_FALSE(FileExists(folder_.File("exact.lnk.lnk")));
}

TEST_F(ShortcutTest, ReaderFailsOnMissingFilesAndEmptyTargets) {
    ShortcutRecord back;
    EXPECT_FALSE(ReadShortcut(folder_.File("missing.lnk"), &back));
    EXPECT_FALSE(ReadShortcut(Target("not-a-link.lnk"), &back));

    // A shortcut to a shell object without a file path reads as unusable.
    ComPtr<IShellLinkW> link;
    {
        ScopedCom com;
        ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                                 IID_IShellLinkW, link.PutVoid())));
        link->SetDescription(L"no target");
        ComPtr<IPersistFile> file = link.As<IPersistFile>(IID_IPersistFile);
        ASSERT_TRUE(file);
        ASSERT_TRUE(SUCCEEDED(file->Save(ToWide(folder_.File("empty.lnk")).c_str(), TRUE)));
        file.Reset();
        link.Reset();
    }
    EXPECT_FALSE(ReadShortcut(folder_.File("empty.lnk"), &back));
}

TEST_F(ShortcutTest, UnknownHotkeyTextStillSavesButReportsFailure) {
    ShortcutRecord record;
    record.linkFile = folder_.File("bad-hotkey.lnk");
    record.targetPath = Target("t.exe");
    record.description = "kept";
    record.hotkey = "Hyper + Q";
    EXPECT_FALSE(WriteShortcut(record));
    ShortcutRecord back;
    ASSERT_TRUE(ReadShortcut(record.linkFile, &back));
    EXPECT_EQ(back.description, "kept");
    EXPECT_EQ(back.hotkey, "");
}

TEST_F(ShortcutTest, IconLocationProgramFilesVariableIsResolved) {
    ShortcutRecord record;
    record.linkFile = folder_.File("pf.lnk");
    record.targetPath = Target("t.exe");
    record.iconLocation = "%ProgramFiles%\\Vendor\\tool.exe,1";
    ASSERT_TRUE(WriteShortcut(record));
    ShortcutRecord back;
    ASSERT_TRUE(ReadShortcut(record.linkFile, &back));
    BOOL wow64 = FALSE;
    ::IsWow64Process(::GetCurrentProcess(), &wow64);
    wchar_t value[MAX_PATH];
    DWORD n = ::GetEnvironmentVariableW(wow64 ? L"ProgramW6432" : L"ProgramFiles", value, MAX_PATH);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(back.iconLocation, FromWide(std::wstring(value, n)) + "\\Vendor\\tool.exe,1");
}

TEST_F(ShortcutTest, NonAsciiPathsRoundTrip) {
    if (!test::HostTakesUnicodeNames(folder_.Path()))
        return;
    ShortcutRecord record;
    record.linkFile = folder_.File("快捷方式");
    record.targetPath = Target("程序.exe");
    ASSERT_TRUE(WriteShortcut(record));
    ShortcutRecord back;
    ASSERT_TRUE(ReadShortcut(folder_.File("快捷方式.lnk"), &back));
    EXPECT_EQ(back.targetPath, record.targetPath);
}

TEST_F(ShortcutTest, AutostartOnOffAndAfterTheExeMoved) {
    std::string startup;
    ASSERT_TRUE(GetStartupFolder(&startup));
    const std::string linkFile = startup + std::string(kAutostartLinkName);
    // The test prefix is private, but never destroy a shortcut we did not make.
    ASSERT_FALSE(FileExists(linkFile)) << "an autostart shortcut is already there";

    const std::string exe = RunningExePath();
    ASSERT_FALSE(exe.empty());
    const std::string moved = Target("Pinatrove.exe");

    EXPECT_FALSE(IsAutostartFor(exe));
    SetAutostartFor(false, exe);  // nothing there: nothing happens
    EXPECT_FALSE(FileExists(linkFile));

    SetAutostartFor(true, exe);
    EXPECT_TRUE(IsAutostartFor(exe));
    EXPECT_FALSE(IsAutostartFor(moved));
    ShortcutRecord link;
    ASSERT_TRUE(ReadShortcut(linkFile, &link));
    EXPECT_EQ(link.description, kAutostartDescription);
    EXPECT_EQ(link.workingDirectory, exe.substr(0, exe.rfind('\\')));
    EXPECT_EQ(link.arguments, "");

    SetAutostartFor(true, moved);  // switching on again overwrites it
    EXPECT_TRUE(IsAutostartFor(moved));
    EXPECT_FALSE(IsAutostartFor(exe));
    EXPECT_EQ(StoredName(linkFile), "Pinatrove.lnk");

    SetAutostartFor(false, moved);
    EXPECT_FALSE(FileExists(linkFile));
    EXPECT_FALSE(IsAutostartFor(moved));
}

}  // namespace
}  // namespace pt
