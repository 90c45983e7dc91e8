// Target classification order and the path string rules, with the shell's
// tests replaced by fixed answers.
#include "launcher/target.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <set>
#include <string>

namespace pt {
namespace {

// Directories and URLs the fake shell knows about.
const std::set<std::string, std::less<>>& FakeDirectories() {
    static const std::set<std::string, std::less<>> dirs = {"C:\\Games\\v1.2", "C:\\", "::odd",
                                                            "encrypt:dir"};
    return dirs;
}
bool FakeIsDirectory(std::string_view path) {
    return FakeDirectories().count(path) > 0;
}
bool FakeIsUnc(std::string_view path) {
    return path.substr(0, 2) == "\\\\";
}
bool FakeIsUrl(std::string_view path) {
    size_t colon = path.find(':');
    return colon != std::string_view::npos && colon > 1;  // a scheme of two or more characters
}
constexpr TargetProbe kFake{&FakeIsDirectory, &FakeIsUnc, &FakeIsUrl};

TargetKind Classify(std::string_view path) {
    return ClassifyTargetWith(path, kFake);
}

TEST(ClassifyTarget, RulesApplyInOrder) {
    // A folder wins over everything, even a name with a dot or a prefix.
    EXPECT_EQ(Classify("C:\\Games\\v1.2").text, "folder");
    EXPECT_EQ(Classify("::odd").id, TargetKindId::kFolder);
    EXPECT_EQ(Classify("encrypt:dir").id, TargetKindId::kFolder);

    EXPECT_EQ(Classify("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}").text, "shell");
    EXPECT_EQ(Classify("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\sub").text, "shell");
    // "encrypt:" is tested before the URL rule, which would also match it.
    EXPECT_EQ(Classify("encrypt:not a path at all").text, "encrypt");
    EXPECT_EQ(Classify("Encrypt:x").text, "url");
    EXPECT_EQ(Classify("\\\\server\\share\\a.txt").text, "unc");
    EXPECT_EQ(Classify("https://example.com/a.exe").text, "url");
    EXPECT_EQ(Classify("relative\\a.exe").text, "unknown");
    EXPECT_EQ(Classify("").text, "unknown");
}

TEST(ClassifyTarget, LocalPathsGiveExtensionOrFile) {
    TargetKind exe = Classify("c:\\Tools\\App.EXE");
    EXPECT_EQ(exe.id, TargetKindId::kExtension);
    EXPECT_EQ(exe.text, ".EXE");  // letter case kept
    EXPECT_EQ(Classify("D:\\data\\README").text, "file");
    EXPECT_EQ(Classify("D:\\v1.0\\README").text, "file");  // the dot is in a folder name
    EXPECT_EQ(Classify("D:\\a.b c").text, "file");         // a space cancels the dot
    EXPECT_EQ(Classify("D:\\archive.tar.gz").text, ".gz");
    EXPECT_EQ(Classify("D:\\中文\\说明.txt").text, ".txt");
}

TEST(IsLocalPath, WellFormedDrivePathsOnly) {
    EXPECT_TRUE(IsLocalPath("C:\\Windows\\notepad.exe"));
    EXPECT_TRUE(IsLocalPath("c:\\x"));
    EXPECT_TRUE(IsLocalPath("C:"));
    EXPECT_TRUE(IsLocalPath("C:file.txt"));
    EXPECT_TRUE(IsLocalPath("Z:\\深\\层.doc"));

    EXPECT_FALSE(IsLocalPath(""));
    EXPECT_FALSE(IsLocalPath("1:\\x"));
    EXPECT_FALSE(IsLocalPath("CD:\\x"));         // first ":" is not the second character
    EXPECT_FALSE(IsLocalPath("C:a\\b"));         // first backslash after the third character
    EXPECT_FALSE(IsLocalPath("C:\\a/b"));        // forward slash
    EXPECT_FALSE(IsLocalPath("C:\\a\\\\b"));     // doubled backslash
    EXPECT_FALSE(IsLocalPath("C:\\what?.txt"));  // question mark after the drive
    for (char bad : std::string(":*\"<>|")) {
        EXPECT_FALSE(IsLocalPath(std::string("C:\\a") + bad)) << bad;
    }
}

// The rules as written, one search each: the one-pass version must agree
// on every short text over the characters that matter.
bool IsLocalPathByRules(std::string_view path) {
    if (path.find("\\\\") != std::string_view::npos || path.find('/') != std::string_view::npos ||
        path.empty())
        return false;
    const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    if (first < 'A' || first > 'Z' || path.find(':') != 1)
        return false;
    const size_t backslash = path.find('\\');
    if (backslash != std::string_view::npos && backslash > 2)
        return false;
    return path.find_first_of(":*?\"<>|", 2) == std::string_view::npos;
}

TEST(IsLocalPath, AgreesWithTheRulesOnEveryShortText) {
    const std::string alphabet = "Cz1:\\/a?|.";
    std::string text;
    std::function<void(size_t)> each = [&](size_t length) {
        ASSERT_EQ(IsLocalPath(text), IsLocalPathByRules(text)) << text;
        if (length == 0)
            return;
        for (char c : alphabet) {
            text.push_back(c);
            each(length - 1);
            text.pop_back();
        }
    };
    each(6);
}

TEST(DefaultWorkDir, ParentFolderOfLocalTargets) {
    EXPECT_EQ(DefaultWorkDirFor("C:\\a.exe", TargetKindId::kExtension), "C:\\");
    EXPECT_EQ(DefaultWorkDirFor("C:\\Tools\\Sub\\a.exe", TargetKindId::kExtension),
              "C:\\Tools\\Sub");
    EXPECT_EQ(DefaultWorkDirFor("C:\\Tools\\Sub\\", TargetKindId::kFolder), "C:\\Tools");
    EXPECT_EQ(DefaultWorkDirFor("C:\\Tools", TargetKindId::kFolder), "C:\\");
    EXPECT_EQ(DefaultWorkDirFor("C:\\", TargetKindId::kFolder), "C:\\");
    EXPECT_EQ(DefaultWorkDirFor("C:\\README", TargetKindId::kFile), "C:\\");
    EXPECT_EQ(DefaultWorkDirFor("C:a.exe", TargetKindId::kExtension), "C:\\");
    EXPECT_EQ(DefaultWorkDirFor("\\\\srv\\share\\dir", TargetKindId::kFolder), "\\\\srv\\share");
    for (TargetKindId other : {TargetKindId::kShell, TargetKindId::kEncrypt, TargetKindId::kUnc,
                               TargetKindId::kUrl, TargetKindId::kUnknown}) {
        EXPECT_EQ(DefaultWorkDirFor("C:\\x\\y.exe", other), "");
    }
}

TEST(RemoveTrailingBackslash, RootsKeepTheirs) {
    auto strip = [](std::string s) {
        RemoveTrailingBackslash(s);
        return s;
    };
    EXPECT_EQ(strip("C:\\dir\\"), "C:\\dir");
    EXPECT_EQ(strip("C:\\dir\\\\"), "C:\\dir\\");  // only one goes
    EXPECT_EQ(strip("C:\\"), "C:\\");
    EXPECT_EQ(strip("\\"), "\\");
    EXPECT_EQ(strip("\\\\server\\"), "\\\\server\\");
    EXPECT_EQ(strip("\\\\server\\share\\"), "\\\\server\\share");
    EXPECT_EQ(strip(""), "");
}

TEST(SplitIconLocation, LastCommaAndAtoiIndex) {
    IconLocation a = SplitIconLocation("C:\\Windows\\system32\\shell32.dll,-21");
    EXPECT_EQ(a.file, "C:\\Windows\\system32\\shell32.dll");
    EXPECT_EQ(a.index, -21);
    EXPECT_TRUE(a.hasIndex);

    IconLocation b = SplitIconLocation("C:\\a,b\\icon.dll,3");
    EXPECT_EQ(b.file, "C:\\a,b\\icon.dll");
    EXPECT_EQ(b.index, 3);

    IconLocation c = SplitIconLocation("C:\\plain.ico");
    EXPECT_EQ(c.file, "C:\\plain.ico");
    EXPECT_EQ(c.index, 0);
    EXPECT_FALSE(c.hasIndex);

    EXPECT_EQ(SplitIconLocation("x, 7abc").index, 7);
    EXPECT_EQ(SplitIconLocation("x,").index, 0);
    EXPECT_TRUE(SplitIconLocation("x,").hasIndex);
    EXPECT_EQ(SplitIconLocation("x,99999999999999").index, 2147483647);
    EXPECT_EQ(SplitIconLocation("x,-99999999999999").index, -2147483647 - 1);
}

TEST(TextHelpers, TrimReplaceAndShellPaths) {
    EXPECT_EQ(TrimSpaces("\xE3\x80\x80  名字 \xE3\x80\x80 "), "名字");
    EXPECT_EQ(TrimSpaces("   "), "");
    EXPECT_EQ(TrimSpaces("a\tb"), "a\tb");

    EXPECT_EQ(
        ReplaceAllNoCase("%PROGRAMFILES%\\a;%programfiles%", "%ProgramFiles%", "%ProgramW6432%"),
        "%ProgramW6432%\\a;%ProgramW6432%");
    EXPECT_EQ(ReplaceAllNoCase("%CommonProgramFiles%", "%ProgramFiles%", "X"),
              "%CommonProgramFiles%");
    EXPECT_TRUE(EqualsNoCase("C:\\Tools", "c:\\tools"));
    EXPECT_FALSE(EqualsNoCase("C:\\Tools", "c:\\tool"));

    std::string_view clsid;
    EXPECT_TRUE(ShellObjectClsid("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", &clsid));
    EXPECT_EQ(clsid, "{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
    EXPECT_FALSE(ShellObjectClsid("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\x", &clsid));
    EXPECT_FALSE(ShellObjectClsid("::{20D04FE0-3AEA-1069-A2D8-08002B30309D", &clsid));

    EXPECT_EQ(AfterEncryptPrefix("encrypt:abcencrypt:xyz"), "xyz");
    EXPECT_EQ(AfterEncryptPrefix("encrypt:"), "");
}

}  // namespace
}  // namespace pt
