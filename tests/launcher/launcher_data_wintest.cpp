// The launcher data store on a real data folder, with the shell's answers and
// the real thread timer: items made from real folders and shortcut files, the
// deferred save watched by pumping messages (no blind sleeps), a broken file
// kept aside, a file of older versions, and a save that cannot be written.
#include "launcher/launcher_data.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "base/codepage.h"
#include "base/text.h"
#include "launcher/launch.h"
#include "base/shortcut.h"
#include "support/counting_storage.h"
#include "support/poll.h"
#include "support/temp_folder.h"

namespace pt {
namespace {

using CountingStorage = test::CountingStorage<LauncherDataStorage>;
using test::TempFolder;

std::string Utf16File(std::string_view json) {
    JsonDocument document;
    EXPECT_TRUE(document.ParseText(json));
    return document.Serialize();
}

// A JSON string literal of a path.
std::string Quoted(std::string_view text) {
    JsonDocument document;
    document.SetText("v", text);
    std::string all = document.SerializeText();  // {"v":"..."}
    return all.substr(5, all.size() - 6);
}

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

class LauncherDataFileTest : public testing::Test {
  protected:
    std::unique_ptr<LauncherData> MakeStore() {
        auto store = std::make_unique<LauncherData>(
            std::make_unique<CountingStorage>(MakeFileLauncherDataStorage(DataFolder()), &writes_),
            MakeShellLauncherSystem());
        store->Load();
        return store;
    }
    std::string DataFolder() const { return folder_.Path() + "\\data"; }
    std::string DataFile() const { return DataFolder() + "\\Data"; }
    void WriteData(std::string_view bytes) {
        ASSERT_TRUE(EnsureDirectory(DataFolder()));
        ASSERT_TRUE(WriteFileAtomic(DataFile(), bytes));
    }

    TempFolder folder_;
    int writes_ = 0;
};

TEST_F(LauncherDataFileTest, ItemsFromRealFoldersAndShortcuts) {
    const std::string root = folder_.Path();
    const std::string tool = folder_.MakeFile("tool.exe");
    folder_.Folder("Photos");
    const std::string photosIcon = folder_.MakeFile("Photos\\folder.ico");
    folder_.MakeFile("Photos\\desktop.ini",
                     "[.ShellClassInfo]\r\nIconResource=" + photosIcon + ",0\r\n");
    folder_.Folder("Plain");
    folder_.MakeFile("Plain\\desktop.ini",
                     "[.ShellClassInfo]\r\nIconResource=" + root + "\\missing.ico,0\r\n");
    ShortcutRecord link;
    link.linkFile = root + "\\tool.lnk";
    link.targetPath = tool;
    link.arguments = "--fast";
    link.workingDirectory = root + "\\Plain";
    link.description = "the tool";
    link.iconLocation = tool + ",1";
    link.windowStyle = SW_SHOWNORMAL;
    ASSERT_TRUE(WriteShortcut(link));
    ASSERT_TRUE(
        WriteInternetShortcut(root + "\\site.url", "https://example.com/", photosIcon + ",2"));

    auto store = MakeStore();
    struct Case {
        const char* what;
        ItemRecord source;
        std::string stored;
    };
    auto record = [](std::string path, std::string workDir = {}) {
        ItemRecord r;
        r.name = "n";
        r.path = std::move(path);
        r.workDir = std::move(workDir);
        return r;
    };
    const Case cases[] = {
        {"folder named by desktop.ini's existing icon", record(root + "\\Photos\\"),
         R"({"type":"folder","name":"n","path":)" + Quoted(root + "\\Photos") + R"(,"icon":)" +
             Quoted(photosIcon + ",0") + "}"},
        {"desktop.ini naming a missing icon", record(root + "\\Plain"),
         R"({"type":"folder","name":"n","path":)" + Quoted(root + "\\Plain") + "}"},
        {"the working folder of a file is its default", record(tool, Upper(root)),
         R"({"type":".exe","name":"n","path":)" + Quoted(tool) + "}"},
        {"a drive root keeps its backslash", record("C:\\"),
         R"({"type":"folder","name":"n","path":"C:\\"})"},
        {".lnk resolved by the shell", record(root + "\\tool.lnk"),
         R"({"type":".exe","name":"n","path":)" + Quoted(tool) + R"(,"param":"--fast","WorkDir":)" +
             Quoted(root + "\\Plain") + R"(,"remarks":"the tool","icon":)" + Quoted(tool + ",1") +
             "}"},
        {".url read from its file", record(root + "\\site.url"),
         R"({"type":"url","name":"n","path":"https://example.com/","icon":)" +
             Quoted(photosIcon + ",2") + "}"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        ASSERT_TRUE(store->AddItem(0, 0, test.source));
        EXPECT_EQ(store->ItemText(0, 0, store->ItemCount(0, 0) - 1), test.stored);
    }
}

TEST_F(LauncherDataFileTest, TwoDeletionsAreOneWriteFiveSecondsAfterTheSecond) {
    WriteData(Utf16File(
        R"({"class":[{"name":"A","group":[{"name":"a","item":[{"name":"x","path":"C:\\x.exe"},)"
        R"({"name":"y","path":"C:\\y.exe"},{"name":"z","path":"C:\\z.exe"}]}]}]})"));
    auto store = MakeStore();
    ASSERT_TRUE(store->DeleteItem(0, 0, 0));
    test::PumpFor(1000);  // the timer must not fire meanwhile
    ASSERT_TRUE(store->DeleteItem(0, 0, 1));
    const ULONGLONG second = ::GetTickCount64();
    EXPECT_EQ(writes_, 0);
    test::PollUntil([&] { return writes_ > 0; }, 9000);
    const ULONGLONG sinceSecond = ::GetTickCount64() - second;
    ASSERT_EQ(writes_, 1);
    EXPECT_GE(sinceSecond, 4900u);
    EXPECT_LT(sinceSecond, 7000u);
    EXPECT_FALSE(store->SaveDue());
    EXPECT_EQ(test::ReadBytes(DataFile()), Utf16File(store->DocumentText()));
    EXPECT_EQ(MakeStore()->ItemText(0, 0, 0), R"({"type":".exe","name":"y","path":"C:\\y.exe"})");

    test::PumpFor(600);  // and it does not fire again
    store->DeleteItem(0, 0, 0);
    store.reset();  // a destroyed store leaves no timer behind
    test::PumpFor(300);
    EXPECT_EQ(writes_, 1);
}

TEST_F(LauncherDataFileTest, StructuralEditsWriteAtOnce) {
    auto store = MakeStore();
    ASSERT_TRUE(store->NewClass());
    EXPECT_EQ(writes_, 1);
    EXPECT_EQ(MakeStore()->ClassName(1), "新建分类2");
    EXPECT_EQ(::GetFileAttributesW(ToWide(DataFile() + ".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LauncherDataFileTest, BrokenFileIsKeptAsideBeforeDefaultsAreUsed) {
    const std::string broken("{\0\"\0c\0l\0", 8);  // UTF-16 text cut short
    WriteData(broken);
    auto store = MakeStore();
    EXPECT_EQ(store->LoadedFrom(), LauncherData::Source::kDefault);
    EXPECT_EQ(store->DocumentText(), kDefaultLauncherDataText);
    const std::string copy = store->BrokenCopyName();
    // data\Data.broken-YYYYMMDD-HHMMSS
    const std::string prefix = DataFile() + ".broken-";
    ASSERT_EQ(copy.substr(0, prefix.size()), prefix);
    EXPECT_EQ(copy.size(), prefix.size() + 15);
    EXPECT_EQ(copy[prefix.size() + 8], '-');
    EXPECT_EQ(test::ReadBytes(copy), broken);

    ASSERT_TRUE(store->NewClass());  // the save replaces data\Data, never the copy
    EXPECT_EQ(test::ReadBytes(copy), broken);
    EXPECT_EQ(MakeStore()->ClassCount(), 2);
}

TEST_F(LauncherDataFileTest, FileOfOlderVersionsInCodePage936) {
    std::string ansi;
    ASSERT_TRUE(Utf8ToCp936(R"({"type":[{"name":"常用软件","group":[{"name":"办公",)"
                            R"("item":[{"type":".exe","name":"记事本","path":"C:\\n.exe"}]}]}]})",
                            &ansi));
    WriteData(ansi);
    auto store = MakeStore();
    EXPECT_EQ(store->LoadedFrom(), LauncherData::Source::kAnsi);
    EXPECT_EQ(store->ClassName(0), "常用软件");
    EXPECT_EQ(store->GroupName(0, 0), "办公");
    EXPECT_EQ(store->Item(0, 0, 0)->name, "记事本");
    EXPECT_TRUE(store->BrokenCopyName().empty());
    ASSERT_TRUE(store->Save());
    auto again = MakeStore();
    EXPECT_EQ(again->LoadedFrom(), LauncherData::Source::kFile);
    EXPECT_EQ(again->DocumentText(), store->DocumentText());
}

TEST_F(LauncherDataFileTest, SaveThatCannotBeWrittenIsReportedOnceAndRetried) {
    // A file where the data folder should be.
    ASSERT_TRUE(WriteFileAtomic(DataFolder(), "in the way"));
    auto store = MakeStore();
    int reports = 0;
    uint32_t reported = 0;
    store->SetSaveFailureHandler([&](uint32_t error) {
        ++reports;
        reported = error;
    });
    EXPECT_TRUE(store->NewClass());
    ItemRecord item;
    item.name = "a";
    item.path = "C:\\a.exe";
    ASSERT_TRUE(store->AddItem(0, 0, item));  // a deferred save on top
    store->FlushPendingSave();
    EXPECT_EQ(reports, 1);
    EXPECT_NE(reported, 0u);
    EXPECT_TRUE(store->SaveDue());

    ::DeleteFileW(ToWide(DataFolder()).c_str());
    store->FlushPendingSave();
    EXPECT_FALSE(store->SaveDue());
    EXPECT_EQ(MakeStore()->DocumentText(), store->DocumentText());
}

}  // namespace
}  // namespace pt
