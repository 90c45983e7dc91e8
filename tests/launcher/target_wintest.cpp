// Classification of real files and folders, the shell's own path rules
// against ours, CLSID shell objects, the registry reader and variable
// expansion.
#include "launcher/target.h"
#include "launcher/grid_entry.h"

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "base/text.h"
#include "support/temp_folder.h"

namespace pt {
namespace {

using test::TempFolder;

TEST(ClassifyTargetWin, OneLookAtTheDiskAlsoTellsExistence) {
    TempFolder temp;
    struct Case {
        std::string path;
        bool exists;
    };
    const Case cases[] = {
        {temp.Folder("v1.2"), true},
        {temp.Folder("v1.2") + "\\", true},
        {temp.MakeFile("Notes.TXT"), true},
        {temp.MakeFile("README"), true},
        {temp.Path() + "\\missing.exe", false},
        {"C:\\", true},
        {"\\\\server\\share", false},
        {"\\\\server\\share\\a.exe", false},
        {"https://example.com/a.exe", false},
        {"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", false},
        {"encrypt:abcd", false},
        {"", false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.path);
        bool exists = !test.exists;
        TargetKind kind = ClassifyTarget(test.path, &exists);
        TargetKind plain = ClassifyTarget(test.path);
        EXPECT_EQ(kind.id, plain.id);
        EXPECT_EQ(kind.text, plain.text);
        EXPECT_EQ(exists, test.exists);
    }
}

TEST(ClassifyTargetWin, RealFilesAndFolders) {
    TempFolder temp;
    EXPECT_EQ(ClassifyTarget(temp.Folder("v1.2")).text, "folder");
    EXPECT_EQ(ClassifyTarget(temp.Folder("v1.2") + "\\").text, "folder");
    EXPECT_EQ(ClassifyTarget(temp.MakeFile("Notes.TXT")).text, ".TXT");
    EXPECT_EQ(ClassifyTarget(temp.MakeFile("README")).text, "file");
    EXPECT_EQ(ClassifyTarget(temp.Path() + "\\missing.exe").text, ".exe");
    EXPECT_EQ(ClassifyTarget("\\\\server\\share\\a.exe").text, "unc");
    EXPECT_EQ(ClassifyTarget("https://example.com/a.exe").text, "url");
    EXPECT_EQ(ClassifyTarget("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}").text, "shell");
    EXPECT_EQ(ClassifyTarget("encrypt:abcd").text, "encrypt");
    EXPECT_EQ(ClassifyTarget("C:\\a?b").text, "unknown");

    std::string file = temp.MakeFile("app.exe");
    EXPECT_EQ(DefaultWorkDir(file), temp.Path());
    EXPECT_EQ(DefaultWorkDir(temp.Folder("sub") + "\\"), temp.Path());
    EXPECT_EQ(DefaultWorkDir("C:\\boot.ini"), "C:\\");
    EXPECT_EQ(DefaultWorkDir("https://example.com/"), "");
    EXPECT_TRUE(PathExists(file));
    EXPECT_FALSE(PathExists(temp.Path() + "\\nothing"));

    EXPECT_EQ(GridEntryTextColor(file), GridTextColor::kNormal);
    EXPECT_EQ(GridEntryTextColor(temp.Path() + "\\gone.exe"), GridTextColor::kMissing);
    EXPECT_EQ(GridEntryTextColor("encrypt:abcd"), GridTextColor::kEnciphered);
}

TEST(PathRulesWin, AgreeWithTheShell) {
    for (const wchar_t* path :
         {L"C:\\a\\b.txt", L"C:\\a.b\\c", L"C:\\a\\b.c d", L"C:\\a\\b.", L"C:\\a\\.hidden",
          L"x.tar.gz", L"", L"C:\\中文.文档", L"\\\\srv\\share\\x.y"}) {
        EXPECT_EQ(FromWide(::PathFindExtensionW(path)), std::string(FindExtension(FromWide(path))))
            << FromWide(path);
    }
    for (const wchar_t* path : {L"C:\\a\\", L"C:\\", L"\\", L"\\\\srv\\", L"\\\\srv\\share\\",
                                L"\\\\srv\\share\\d\\", L"a\\", L"C:\\a"}) {
        wchar_t buffer[MAX_PATH];
        lstrcpynW(buffer, path, MAX_PATH);
        ::PathRemoveBackslashW(buffer);
        std::string ours = FromWide(path);
        RemoveTrailingBackslash(ours);
        EXPECT_EQ(FromWide(buffer), ours) << FromWide(path);
    }
}

TEST(ShellObjectInfoWin, ComputerFolderByClsid) {
    ShellObjectInfo info;
    ASSERT_TRUE(GetShellObjectInfo("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", &info));
    EXPECT_FALSE(info.displayName.empty());
    EXPECT_EQ(info.displayName.find('@'), std::string::npos);  // the indirect string was resolved
    info.displayName = "stale";
    EXPECT_FALSE(GetShellObjectInfo("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\x", &info));
    EXPECT_EQ(info.displayName, "");
    EXPECT_FALSE(GetShellObjectInfo("C:\\", &info));
}

TEST(RegistryWin, ReadsTextValuesAndFallsBack) {
    const wchar_t* keyPath = L"Software\\PinatroveLauncherTest";
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    std::wstring text = L"图标.dll,-3";
    ::RegSetValueExW(key, L"Icon", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * 2));
    ::RegSetValueExW(key, nullptr, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(L"%X%"), 8);
    // Written without its terminating zero.
    ::RegSetValueExW(key, L"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"ab"), 4);
    ::RegCloseKey(key);

    EXPECT_EQ(ReadRegistryText(3, "Software\\PinatroveLauncherTest\\Icon", "d"), "图标.dll,-3");
    EXPECT_EQ(ReadRegistryText(3, "Software\\PinatroveLauncherTest\\", "d"), "%X%");
    EXPECT_EQ(ReadRegistryText(3, "Software\\PinatroveLauncherTest\\Bare", "d"), "ab");
    EXPECT_EQ(ReadRegistryText(3, "Software\\PinatroveLauncherTest\\Missing", "d"), "d");
    EXPECT_EQ(ReadRegistryText(3, "Software\\NoSuchKeyHere\\Icon", "d"), "d");
    EXPECT_EQ(ReadRegistryText(9, "Software\\PinatroveLauncherTest\\Icon", "d"), "d");
    EXPECT_EQ(ReadRegistryText(1, "CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\Nope", ""), "");
    ::RegDeleteKeyW(HKEY_CURRENT_USER, keyPath);
}

TEST(ExpandPathVariablesWin, ExpandsAndKeepsUnicode) {
    ::SetEnvironmentVariableW(L"PT_LAUNCHER_TEST", L"中文目录");
    EXPECT_EQ(ExpandPathVariables("%PT_LAUNCHER_TEST%\\a.ico,1"), "中文目录\\a.ico,1");
    EXPECT_EQ(ExpandPathVariables("no variables"), "no variables");
    EXPECT_EQ(ExpandPathVariables("%PT_NOT_SET_ANYWHERE%"), "%PT_NOT_SET_ANYWHERE%");
    std::string system = ExpandPathVariables("%SystemRoot%\\system32\\shell32.dll");
    EXPECT_EQ(system.find('%'), std::string::npos);
    EXPECT_TRUE(PathExists(system));
    // Longer than the old 260-byte buffer: nothing is cut off.
    std::string longText = "%PT_LAUNCHER_TEST%\\" + std::string(400, 'a');
    EXPECT_EQ(ExpandPathVariables(longText).size(), std::string("中文目录\\").size() + 400);
    if (sizeof(void*) == 8) {
        EXPECT_FALSE(IsWow64());
    }
}

}  // namespace
}  // namespace pt
