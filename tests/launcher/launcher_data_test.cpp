// The launcher data model against an in-memory file, a timer the test fires
// itself and a fake shell: the canonical add's normalisation, loading with
// its fallbacks, the structural operations with their save rules, and what
// the observer hears.
#include "launcher/launcher_data.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <utility>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "base/text.h"
#include "launcher/icon_cache.h"
#include "launcher/icon_store.h"

namespace pt {
namespace {

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& ch : out) {
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    }
    return out;
}

// --- fakes -------------------------------------------------------------------

struct Disk {
    FileReadStatus readStatus = FileReadStatus::kMissing;
    std::string file;
    int writes = 0;
    bool failWrites = false;
    std::vector<std::string> copies;
    bool armed = false;
    int arms = 0;
    std::function<void()> fire;

    // The file's text as the store wrote it (UTF-16LE with two zero bytes).
    std::string Text() const {
        JsonDocument document;
        document.ParseBytes(file);
        return document.SerializeText();
    }
    void Fire() {
        ASSERT_TRUE(armed);
        armed = false;
        auto run = std::move(fire);
        run();
    }
};

class FakeStorage final : public LauncherDataStorage {
  public:
    explicit FakeStorage(std::shared_ptr<Disk> disk) : disk_(std::move(disk)) {}
    FileReadStatus Read(std::string* bytes) override {
        *bytes = disk_->readStatus == FileReadStatus::kOk ? disk_->file : std::string();
        return disk_->readStatus;
    }
    bool Write(std::string_view bytes, uint32_t* error) override {
        ++disk_->writes;
        if (disk_->failWrites) {
            *error = 112;  // ERROR_DISK_FULL
            return false;
        }
        disk_->file = std::string(bytes);
        disk_->readStatus = FileReadStatus::kOk;
        return true;
    }
    std::string KeepBrokenCopy() override {
        disk_->copies.push_back(disk_->file);
        return "Data.broken-" + std::to_string(disk_->copies.size());
    }
    void ArmTimer(std::function<void()> fire) override {
        disk_->armed = true;
        ++disk_->arms;
        disk_->fire = std::move(fire);
    }
    void CancelTimer() override {
        disk_->armed = false;
        disk_->fire = nullptr;
    }

  private:
    std::shared_ptr<Disk> disk_;
};

// Folders and files the fake shell knows. The probes are plain functions,
// so the sets are the test's global disk; every test starts from these.
using PathSet = std::set<std::string, std::less<>>;
const PathSet kFolders = {"C:\\", "C:\\Tools", "C:\\Games\\v1.2", "D:\\Photos", "D:\\Missing Icon"};
const PathSet kFiles = {"C:\\Tools\\app.exe", "C:\\x.exe"};
PathSet g_folders = kFolders;
PathSet g_files = kFiles;

bool IsFolder(std::string_view path) {
    return g_folders.count(path) > 0;
}
bool IsUnc(std::string_view path) {
    return path.substr(0, 2) == "\\\\";
}
bool IsUrl(std::string_view path) {
    size_t colon = path.find(':');
    return colon != std::string_view::npos && colon > 1;
}

class FakeSystem final : public LauncherSystem {
  public:
    TargetKind Classify(std::string_view path, bool* exists) override {
        ++classifications;
        asked.emplace_back(path);
        *exists = IsFolder(path) || g_files.count(path) > 0;
        return ClassifyTargetWith(path, TargetProbe{&IsFolder, &IsUnc, &IsUrl});
    }
    TargetKind ClassifyText(std::string_view path) override {
        return ClassifyTargetWith(path, TargetProbe{nullptr, &IsUnc, &IsUrl});
    }
    // N: is a drive letter mapped to a share.
    bool IsRemote(std::string_view path) override {
        return IsUnc(path) || path.substr(0, 2) == "N:";
    }
    std::string FolderIconResource(std::string_view folder) override {
        return folder == "D:\\Photos" ? "%SystemRoot%\\system32\\imageres.dll,-113" : "";
    }
    std::string ExpandVariables(std::string_view text) override {
        return ReplaceAllNoCase(text, "%SystemRoot%", "C:\\Windows");
    }
    std::optional<InternetShortcut> ReadInternetShortcut(std::string_view file) override {
        if (file == "C:\\Links\\site.url")
            return InternetShortcut{"https://example.com/ ", "C:\\Icons\\site.ico,2"};
        if (file == "C:\\Links\\plain.url")
            return InternetShortcut{"https://example.org/", ""};
        return std::nullopt;
    }
    std::optional<ShortcutRecord> ReadShortcut(std::string_view file) override {
        if (file != "C:\\Links\\editor.lnk")
            return std::nullopt;
        ShortcutRecord link;
        link.targetPath = "C:\\Tools\\editor.exe";
        link.arguments = "-n";
        link.workingDirectory = "C:\\Work\\";
        link.description = "text editor";
        link.iconLocation = "C:\\Tools\\editor.exe,1";
        return link;
    }
    bool ClassifyLater(std::string path,
                       std::function<void(TargetKind kind, bool exists)> done) override {
        if (!answerLater)
            return false;
        later.emplace_back(std::move(path), std::move(done));
        return true;
    }
    int classifications = 0;
    std::vector<std::string> asked;  // the paths the disk was asked about
    bool answerLater = false;        // network paths go to `later`
    std::vector<std::pair<std::string, std::function<void(TargetKind, bool)>>> later;
};

// What a report handed over for a cell.
struct SeenLook {
    std::string source;
    uint32_t key = 0;
    IconPlaceholderKind placeholder = IconPlaceholderKind::kFile;
    bool missing = false;
};

// Every report as one line, in order.
class Recorder final : public LauncherObserver {
  public:
    void OnClassAdded(int c, std::string_view name) override { Log("class+", {c}, name); }
    void OnGroupAdded(int c, int g, std::string_view name) override { Log("group+", {c, g}, name); }
    void OnItemAdded(int c, int g, int i, const ItemLook& item) override {
        Log("item+", {c, g, i}, item.record.name);
        Seen(item);
    }
    void OnClassRemoved(int c) override { Log("class-", {c}); }
    void OnGroupRemoved(int c, int g) override { Log("group-", {c, g}); }
    void OnItemRemoved(int c, int g, int i) override { Log("item-", {c, g, i}); }
    void OnGroupCleared(int c, int g) override { Log("clear", {c, g}); }
    void OnClassMoved(int from, int to) override { Log("class~", {from, to}); }
    void OnGroupMoved(int c, int from, int to) override { Log("group~", {c, from, to}); }
    void OnItemMoved(int c, int g, int from, int to) override { Log("item~", {c, g, from, to}); }
    void OnGroupMovedToClass(int fromClass, int g, int toClass, int toGroup) override {
        Log("group>", {fromClass, g, toClass, toGroup});
    }
    void OnClassRenamed(int c, std::string_view name) override { Log("class=", {c}, name); }
    void OnGroupRenamed(int c, int g, std::string_view name) override {
        Log("group=", {c, g}, name);
    }
    void OnSelected(int c, int g) override { Log("select", {c, g}); }
    void OnItemRefreshed(int c, int g, int i, const ItemLook& item) override {
        Log("item*", {c, g, i}, item.record.name);
        Seen(item);
    }

    std::vector<std::string> Take() { return std::exchange(events, {}); }
    std::vector<std::string> events;
    std::vector<SeenLook> looks;

  private:
    void Seen(const ItemLook& item) {
        looks.push_back(
            SeenLook{std::string(item.iconSource), item.iconKey, item.placeholder, item.missing});
    }
    void Log(std::string_view what, std::initializer_list<int> indices,
             std::string_view text = {}) {
        std::string line(what);
        for (int index : indices)
            line += " " + std::to_string(index);
        if (!text.empty())
            line += " " + std::string(text);
        events.push_back(line);
    }
};

using Events = std::vector<std::string>;

std::string Utf16File(std::string_view json) {
    JsonDocument document;
    EXPECT_TRUE(document.ParseText(json));
    return document.Serialize();
}

class LauncherDataTest : public testing::Test {
  protected:
    LauncherDataTest() {
        g_folders = kFolders;
        g_files = kFiles;
    }
    LauncherData& Make() {
        auto system = std::make_unique<FakeSystem>();
        system_ = system.get();
        data_ =
            std::make_unique<LauncherData>(std::make_unique<FakeStorage>(disk_), std::move(system));
        data_->SetIconStore(&icons_);
        data_->SetObserver(&recorder_);
        return *data_;
    }
    LauncherData& LoadJson(std::string_view json) {
        disk_->readStatus = FileReadStatus::kOk;
        disk_->file = Utf16File(json);
        Make().Load();
        recorder_.Take();
        return *data_;
    }
    // The stored item's JSON text after a canonical add of `source`.
    std::string Stored(const ItemRecord& source) {
        LauncherData& data = LoadJson(kDefaultLauncherDataText);
        EXPECT_TRUE(data.AddItem(0, 0, source));
        return data.ItemText(0, 0, 0);
    }

    std::shared_ptr<Disk> disk_ = std::make_shared<Disk>();
    Recorder recorder_;
    FakeSystem* system_ = nullptr;
    // Keys ignore letter case here, so two spellings can share one image.
    IconStore icons_{[](std::string_view source) { return IconKey(AsciiLower(source), 1.0f); },
                     nullptr};
    std::unique_ptr<LauncherData> data_;
};

ItemRecord Record(std::string name, std::string path) {
    ItemRecord record;
    record.name = std::move(name);
    record.path = std::move(path);
    return record;
}

// --- canonical add -----------------------------------------------------------

TEST_F(LauncherDataTest, CanonicalAddNormalisesEveryKey) {
    const std::string fullWidth = "\xE3\x80\x80";
    struct Case {
        const char* what;
        ItemRecord source;
        std::string stored;
    };
    auto with = [](ItemRecord record, auto change) {
        change(record);
        return record;
    };
    const Case cases[] = {
        {"file: type keeps the extension's case, its folder as WorkDir is dropped",
         with(Record("App", "C:\\Tools\\App.EXE"), [](ItemRecord& r) { r.workDir = "c:\\tools"; }),
         R"({"type":".EXE","name":"App","path":"C:\\Tools\\App.EXE"})"},
        {"another WorkDir, parameters and remarks are kept in canonical order",
         with(Record("App", "C:\\Tools\\app.exe"),
              [](ItemRecord& r) {
                  r.remarks = "note";
                  r.workDir = "D:\\Data\\";
                  r.param = "--fast";
              }),
         R"({"type":".exe","name":"App","path":"C:\\Tools\\app.exe","param":"--fast",)"
         R"("WorkDir":"D:\\Data","remarks":"note"})"},
        {"folder: one trailing backslash goes", Record("Tools", "C:\\Tools\\"),
         R"({"type":"folder","name":"Tools","path":"C:\\Tools"})"},
        {"a drive root keeps its backslash", Record("C", "C:\\"),
         R"({"type":"folder","name":"C","path":"C:\\"})"},
        {"folder with a dot is a folder", Record("Game", "C:\\Games\\v1.2"),
         R"({"type":"folder","name":"Game","path":"C:\\Games\\v1.2"})"},
        {"desktop.ini icon of a folder", Record("Photos", "D:\\Photos"),
         R"({"type":"folder","name":"Photos","path":"D:\\Photos",)"
         R"("icon":"%SystemRoot%\\system32\\imageres.dll,-113"})"},
        {"icon equal to the path (any case) is dropped",
         with(Record("App", "C:\\Tools\\app.exe"),
              [](ItemRecord& r) { r.icon = "c:\\TOOLS\\APP.exe"; }),
         R"({"type":".exe","name":"App","path":"C:\\Tools\\app.exe"})"},
        {"icon equal to the path once expanded is dropped",
         with(Record("Np", "C:\\Windows\\notepad.exe"),
              [](ItemRecord& r) { r.icon = "%SystemRoot%\\notepad.exe"; }),
         R"({"type":".exe","name":"Np","path":"C:\\Windows\\notepad.exe"})"},
        {"another icon is kept",
         with(Record("App", "C:\\Tools\\app.exe"),
              [](ItemRecord& r) { r.icon = "C:\\Icons\\app.ico"; }),
         R"({"type":".exe","name":"App","path":"C:\\Tools\\app.exe","icon":"C:\\Icons\\app.ico"})"},
        {"ASCII and full-width spaces around every text are trimmed",
         with(Record(" " + fullWidth + "Name " + fullWidth, fullWidth + " C:\\Tools\\a b.exe  "),
              [&](ItemRecord& r) {
                  r.param = "  -x " + fullWidth;
                  r.remarks = fullWidth + "r" + fullWidth + "r ";
              }),
         R"({"type":".exe","name":"Name","path":"C:\\Tools\\a b.exe","param":"-x",)"
         R"("remarks":"r)" +
             fullWidth + R"(r"})"},
        {"IsAdministrator is written only when true",
         with(Record("A", "C:\\a.exe"), [](ItemRecord& r) { r.isAdministrator = true; }),
         R"({"type":".exe","name":"A","path":"C:\\a.exe","IsAdministrator":true})"},
        {"a file in a drive root: the root is its default WorkDir",
         with(Record("A", "C:\\a.exe"), [](ItemRecord& r) { r.workDir = "C:\\"; }),
         R"({"type":".exe","name":"A","path":"C:\\a.exe"})"},
        {"network path gets the shell's network icon", Record("Share", "\\\\server\\share"),
         R"({"type":"unc","name":"Share","path":"\\\\server\\share",)"
         R"("icon":"%SystemRoot%\\system32\\shell32.dll,15"})"},
        {"web address gets the URL icon and keeps no WorkDir default",
         with(Record("Web", "https://example.com"), [](ItemRecord& r) { r.workDir = "C:\\"; }),
         R"({"type":"url","name":"Web","path":"https://example.com","WorkDir":"C:\\",)"
         R"("icon":"%SystemRoot%\\system32\\url.dll,0"})"},
        {"shell object", Record("Panel", "::{21EC2020-3AEA-1069-A2DD-08002B30309D}"),
         R"({"type":"shell","name":"Panel","path":"::{21EC2020-3AEA-1069-A2DD-08002B30309D}"})"},
        {"enciphered target keeps its enciphered icon",
         with(Record("Secret", "encrypt:abcd"), [](ItemRecord& r) { r.icon = "encrypt:efgh"; }),
         R"({"type":"encrypt","name":"Secret","path":"encrypt:abcd","icon":"encrypt:efgh"})"},
        {".url file stands for its address and icon", Record("Site", "C:\\Links\\site.url"),
         R"({"type":"url","name":"Site","path":"https://example.com/",)"
         R"("icon":"C:\\Icons\\site.ico,2"})"},
        {".url without icon gets the URL icon", Record("Org", "C:\\Links\\plain.url"),
         R"({"type":"url","name":"Org","path":"https://example.org/",)"
         R"("icon":"%SystemRoot%\\system32\\url.dll,0"})"},
        {".URL in capitals is not a shortcut to resolve", Record("Caps", "C:\\Links\\site.URL"),
         R"({"type":".URL","name":"Caps","path":"C:\\Links\\site.URL"})"},
        {".lnk stands for its target with all it carries",
         with(Record("Editor", "C:\\Links\\editor.lnk"),
              [](ItemRecord& r) {
                  r.param = "ignored";
                  r.remarks = "ignored";
              }),
         R"({"type":".exe","name":"Editor","path":"C:\\Tools\\editor.exe","param":"-n",)"
         R"("WorkDir":"C:\\Work","remarks":"text editor","icon":"C:\\Tools\\editor.exe,1"})"},
        {"an unreadable .lnk keeps its path and kind", Record("Gone", "C:\\Links\\gone.lnk"),
         R"({"type":".lnk","name":"Gone","path":"C:\\Links\\gone.lnk"})"},
        {"not a drive path", Record("?", "C:/x/y.exe"),
         R"({"type":"unknown","name":"?","path":"C:/x/y.exe"})"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(Stored(test.source), test.stored);
    }
}

TEST_F(LauncherDataTest, ObserverAndItemReadSeeTheStoredRecord) {
    LauncherData& data = LoadJson(kDefaultLauncherDataText);
    ItemRecord source = Record(" Tools ", "C:\\Tools\\");
    source.workDir = "C:\\";
    ItemRecord expected = Record("Tools", "C:\\Tools");
    expected.type = "folder";
    EXPECT_EQ(data.Canonicalize(source), expected);
    ASSERT_TRUE(data.AddItem(0, 0, source));
    EXPECT_EQ(data.Item(0, 0, 0), expected);
    EXPECT_EQ(recorder_.Take(), Events{"item+ 0 0 0 Tools"});

    // The folder test's look at the disk also says which drive paths are gone.
    ASSERT_TRUE(data.AddItem(0, 0, Record("here", "C:\\x.exe")));
    ASSERT_TRUE(data.AddItem(0, 0, Record("gone", "C:\\gone.exe")));
    ASSERT_TRUE(data.AddItem(0, 0, Record("web", "https://example.com")));
    EXPECT_FALSE(data.TargetMissing(0, 0, 0));
    EXPECT_FALSE(data.TargetMissing(0, 0, 1));
    EXPECT_TRUE(data.TargetMissing(0, 0, 2));
    EXPECT_FALSE(data.TargetMissing(0, 0, 3));
    ASSERT_TRUE(data.ReplaceItem(0, 0, 2, Record("back", "C:\\x.exe")));
    EXPECT_FALSE(data.TargetMissing(0, 0, 2));
    ASSERT_TRUE(data.AddItem(0, 0, Record("gone too", "D:\\gone.exe")));
    ASSERT_TRUE(data.MoveItem(0, 0, 4, 0));  // the flag travels with its item
    EXPECT_TRUE(data.TargetMissing(0, 0, 0));
    EXPECT_FALSE(data.TargetMissing(0, 0, 1));
}

// --- loading -----------------------------------------------------------------

TEST_F(LauncherDataTest, LoadRebuildsEveryItemAndReportsInOrder) {
    disk_->readStatus = FileReadStatus::kOk;
    disk_->file = Utf16File(
        R"({"version":3,"type":[{"name":"Work","extra":1,"group":[{"name":"Dev","item":[)"
        R"({"icon":"C:\\Tools\\app.exe","path":"C:\\Tools\\app.exe","name":"App","type":"x",)"
        R"("IsAdministrator":false,"colour":"red"},7,)"
        R"({"name":"Tools","path":"C:\\Tools\\"}]},{"name":"Empty"}]},{"name":"Bare"}]})");
    LauncherData& data = Make();
    data.Load();
    EXPECT_EQ(data.LoadedFrom(), LauncherData::Source::kFile);
    EXPECT_EQ(recorder_.Take(),
              (Events{"class+ 0 Work", "group+ 0 0 Dev", "item+ 0 0 0 App", "item+ 0 0 1 Tools",
                      "group+ 0 1 Empty", "class+ 1 Bare", "select 0 0"}));
    // "type" became "class" and everything not ours is gone; loading writes nothing.
    EXPECT_EQ(data.DocumentText(),
              R"({"class":[{"name":"Work","group":[{"name":"Dev","item":[)"
              R"({"type":".exe","name":"App","path":"C:\\Tools\\app.exe"},)"
              R"({"type":"folder","name":"Tools","path":"C:\\Tools"}]},{"name":"Empty"}]},)"
              R"({"name":"Bare"}]})");
    EXPECT_EQ(disk_->writes, 0);
    EXPECT_FALSE(data.SaveDue());
    EXPECT_EQ(data.CurrentGroupOf(1), -1);
    EXPECT_EQ(data.GroupCount(1), 0);
    // One look at the file system per item, no more.
    EXPECT_EQ(system_->classifications, 2);
}

TEST_F(LauncherDataTest, LoadFallsBackFromUtf16ToAnsiToDefault) {
    const std::string ansiJson = R"({"class":[{"name":"工作","group":[{"name":"常用"}]}]})";
    std::string gbk;
    ASSERT_TRUE(Utf8ToCp936(ansiJson, &gbk));
    struct Case {
        const char* what;
        FileReadStatus status;
        std::string bytes;
        LauncherData::Source source;
        std::string firstClass;
        bool copied;
    };
    const Case cases[] = {
        {"our own UTF-16LE file", FileReadStatus::kOk, Utf16File(ansiJson),
         LauncherData::Source::kFile, "工作", false},
        {"UTF-16LE behind a byte-order mark", FileReadStatus::kOk, "\xFF\xFE" + Utf16File(ansiJson),
         LauncherData::Source::kFile, "工作", false},
        {"code page 936 text of older versions", FileReadStatus::kOk, gbk,
         LauncherData::Source::kAnsi, "工作", false},
        {"UTF-8 text from an editor", FileReadStatus::kOk, "\xEF\xBB\xBF" + ansiJson,
         LauncherData::Source::kAnsi, "工作", false},
        {"UTF-8 without its mark", FileReadStatus::kOk, ansiJson, LauncherData::Source::kAnsi,
         "工作", false},
        {"no file", FileReadStatus::kMissing, "", LauncherData::Source::kDefault, "新建分类1",
         false},
        {"an empty file", FileReadStatus::kOk, "", LauncherData::Source::kDefault, "新建分类1",
         false},
        {"an empty category list", FileReadStatus::kOk, Utf16File(R"({"class":[]})"),
         LauncherData::Source::kDefault, "新建分类1", false},
        {"garbage", FileReadStatus::kOk, "\x01\x02garbage{[", LauncherData::Source::kDefault,
         "新建分类1", true},
        {"JSON that is not ours", FileReadStatus::kOk, Utf16File(R"({"General":{}})"),
         LauncherData::Source::kDefault, "新建分类1", true},
        {"a category list that is not a list", FileReadStatus::kOk,
         Utf16File(R"({"class":{"name":"x"}})"), LauncherData::Source::kDefault, "新建分类1", true},
        {"a file that cannot be read", FileReadStatus::kFailed, "", LauncherData::Source::kDefault,
         "新建分类1", true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        disk_ = std::make_shared<Disk>();
        disk_->readStatus = test.status;
        disk_->file = test.bytes;
        LauncherData& data = Make();
        data.Load();
        EXPECT_EQ(data.LoadedFrom(), test.source);
        EXPECT_EQ(data.ClassName(0), test.firstClass);
        EXPECT_EQ(disk_->copies.size(), test.copied ? 1u : 0u);
        EXPECT_EQ(data.BrokenCopyName().empty(), !test.copied);
        EXPECT_EQ(disk_->writes, 0);
    }
}

TEST_F(LauncherDataTest, DefaultDocumentIsExactlyOneCategoryWithOneGroup) {
    LauncherData& data = Make();
    data.Load();
    EXPECT_EQ(data.DocumentText(), kDefaultLauncherDataText);
    EXPECT_EQ(recorder_.Take(),
              (Events{"class+ 0 新建分类1", "group+ 0 0 新建分组1", "select 0 0"}));
}

TEST_F(LauncherDataTest, ClassArrayWinsOverAnOldTypeArray) {
    LauncherData& data =
        LoadJson(R"({"type":[{"name":"old"}],"class":[{"name":"new","group":[{"name":"g"}]}]})");
    EXPECT_EQ(data.ClassCount(), 1);
    EXPECT_EQ(data.ClassName(0), "new");
}

TEST_F(LauncherDataTest, SavedFileLoadsBackUnchanged) {
    LauncherData& data = LoadJson(kDefaultLauncherDataText);
    ItemRecord item = Record("编辑器", "C:\\Tools\\editor.exe");
    item.param = "-n \"a b\"";
    item.isAdministrator = true;
    ASSERT_TRUE(data.AddItem(0, 0, item));
    ASSERT_TRUE(data.NewClass());
    const std::string text = data.DocumentText();
    LauncherData& again = Make();
    again.Load();
    EXPECT_EQ(again.LoadedFrom(), LauncherData::Source::kFile);
    EXPECT_EQ(again.DocumentText(), text);
}

// --- loading on trust, verification later -------------------------------------

using Paths = std::vector<std::string>;

TEST_F(LauncherDataTest, LoadTrustsOnlyStoredTypesTheTextConfirms) {
    LauncherData& data =
        LoadJson(R"({"class":[{"name":"c","group":[{"name":"g","item":[)"
                 R"({"type":".exe","name":"app","path":"C:\\Tools\\app.exe"},)"
                 R"({"type":"folder","name":"tools","path":"C:\\Tools"},)"
                 R"({"type":"url","name":"web","path":" https://example.com"},)"
                 R"({"type":".exe","name":"gone","path":"C:\\gone.exe"},)"
                 R"({"name":"old","path":"C:\\x.exe"},)"
                 R"({"type":".txt","name":"wrong","path":"C:\\Tools\\app.exe"},)"
                 R"({"type":"folder","name":"web2","path":"https://example.org"},)"
                 R"({"type":".lnk","name":"link","path":"C:\\Links\\editor.lnk"}]}]}]})");
    // Without a type, with one the text contradicts, and a shortcut: the
    // disk (and the shortcut) were asked; the other four were taken on trust.
    EXPECT_EQ(system_->asked, (Paths{"C:\\x.exe", "C:\\Tools\\app.exe", "https://example.org",
                                     "C:\\Links\\editor.lnk", "C:\\Tools\\editor.exe"}));
    EXPECT_EQ(data.UnverifiedCount(), 4);
    // Stored exactly as the full canonical add stores them.
    const std::string document =
        R"({"class":[{"name":"c","group":[{"name":"g","item":[)"
        R"({"type":".exe","name":"app","path":"C:\\Tools\\app.exe"},)"
        R"({"type":"folder","name":"tools","path":"C:\\Tools"},)"
        R"({"type":"url","name":"web","path":"https://example.com",)"
        R"("icon":"%SystemRoot%\\system32\\url.dll,0"},)"
        R"({"type":".exe","name":"gone","path":"C:\\gone.exe"},)"
        R"({"type":".exe","name":"old","path":"C:\\x.exe"},)"
        R"({"type":".exe","name":"wrong","path":"C:\\Tools\\app.exe"},)"
        R"({"type":"url","name":"web2","path":"https://example.org",)"
        R"("icon":"%SystemRoot%\\system32\\url.dll,0"},)"
        R"({"type":".exe","name":"link","path":"C:\\Tools\\editor.exe","param":"-n",)"
        R"("WorkDir":"C:\\Work","remarks":"text editor","icon":"C:\\Tools\\editor.exe,1"}]}]}]})";
    EXPECT_EQ(data.DocumentText(), document);
    EXPECT_FALSE(data.TargetMissing(0, 0, 3));  // not known yet

    system_->asked.clear();
    EXPECT_FALSE(data.VerifySome(100));
    EXPECT_EQ(system_->asked,
              (Paths{"C:\\Tools\\app.exe", "C:\\Tools", "https://example.com", "C:\\gone.exe"}));
    EXPECT_EQ(recorder_.Take(), (Events{"item* 0 0 3 gone"}));
    EXPECT_TRUE(data.TargetMissing(0, 0, 3));
    EXPECT_EQ(data.DocumentText(), document);
    EXPECT_EQ(data.UnverifiedCount(), 0);
    // Verification alone writes nothing and schedules nothing.
    EXPECT_EQ(disk_->writes, 0);
    EXPECT_FALSE(data.SaveDue());
    EXPECT_FALSE(data.VerifySome(100));
    EXPECT_EQ(system_->asked.size(), 4u);
}

TEST_F(LauncherDataTest, VerificationCatchesWhatChangedOnDisk) {
    LauncherData& data =
        LoadJson(R"({"class":[{"name":"c","group":[{"name":"g","item":[)"
                 R"({"type":"folder","name":"tools","path":"C:\\Tools"},)"
                 R"({"type":".exe","name":"x","path":"C:\\x.exe"},)"
                 R"({"type":"folder","name":"photos","path":"D:\\Photos"},)"
                 R"({"type":".exe","name":"app","path":"C:\\Tools\\app.exe"}]}]}]})");
    EXPECT_EQ(system_->classifications, 0);
    g_folders.erase("C:\\Tools");   // the folder was deleted
    g_folders.insert("C:\\x.exe");  // a folder now stands where the file was
    // D:\Photos has a desktop.ini icon the stored record never got.
    EXPECT_EQ(data.Item(0, 0, 0)->type, "folder");
    EXPECT_FALSE(data.TargetMissing(0, 0, 0));

    EXPECT_FALSE(data.VerifySome(10));
    EXPECT_EQ(recorder_.Take(),
              (Events{"item* 0 0 0 tools", "item* 0 0 1 x", "item* 0 0 2 photos"}));
    EXPECT_EQ(data.ItemText(0, 0, 0), R"({"type":"file","name":"tools","path":"C:\\Tools"})");
    EXPECT_TRUE(data.TargetMissing(0, 0, 0));
    EXPECT_EQ(data.ItemText(0, 0, 1), R"({"type":"folder","name":"x","path":"C:\\x.exe"})");
    EXPECT_FALSE(data.TargetMissing(0, 0, 1));
    EXPECT_EQ(data.ItemText(0, 0, 2), R"({"type":"folder","name":"photos","path":"D:\\Photos",)"
                                      R"("icon":"%SystemRoot%\\system32\\imageres.dll,-113"})");
    EXPECT_FALSE(data.TargetMissing(0, 0, 3));
    EXPECT_EQ(disk_->writes, 0);
    EXPECT_FALSE(data.SaveDue());
    // The next save, whatever causes it, carries the corrected records.
    ASSERT_TRUE(data.Save());
    EXPECT_NE(disk_->Text().find(R"({"type":"file","name":"tools")"), std::string::npos);
}

// A server that does not answer takes seconds per query: network paths are
// verified from answers that come later, never by asking on the spot.
TEST_F(LauncherDataTest, NetworkPathsAreVerifiedFromLaterAnswers) {
    g_folders.insert("\\\\srv\\share");
    LauncherData& data = LoadJson(R"({"class":[{"name":"c","group":[{"name":"g","item":[)"
                                  R"({"type":"folder","name":"share","path":"\\\\srv\\share"},)"
                                  R"({"type":".exe","name":"gone","path":"C:\\gone.exe"},)"
                                  R"({"type":"unc","name":"doc","path":"\\\\srv\\share\\a.txt",)"
                                  R"("icon":"%SystemRoot%\\system32\\shell32.dll,15"},)"
                                  R"({"name":"bare","path":"\\\\srv\\other"},)"
                                  R"({"type":".lnk","name":"link","path":"N:\\a.lnk"},)"
                                  R"({"name":"mapped","path":"N:\\tools"}]}]}]})");
    // Not even for the records without a type, nor to read the shortcut.
    EXPECT_EQ(system_->classifications, 0);
    EXPECT_EQ(data.ItemCount(0, 0), 6);
    EXPECT_EQ(data.Item(0, 0, 3)->type, "unc");
    system_->answerLater = true;
    system_->asked.clear();
    EXPECT_FALSE(data.VerifySome(10));
    EXPECT_EQ(system_->asked, (Paths{"C:\\gone.exe"}));
    ASSERT_EQ(system_->later.size(), 5u);
    recorder_.Take();
    // The share went away meanwhile, and an item moved before the answer came.
    g_folders.erase("\\\\srv\\share");
    ASSERT_TRUE(data.MoveItem(0, 0, 0, 1));
    recorder_.Take();
    for (auto& [path, done] : system_->later) {
        bool exists = false;
        TargetKind kind = system_->Classify(path, &exists);
        done(kind, exists);
    }
    // The two on the mapped drive are missing, which only the answers told.
    EXPECT_EQ(recorder_.Take(),
              (Events{"item* 0 0 1 share", "item* 0 0 4 link", "item* 0 0 5 mapped"}));
    EXPECT_EQ(data.Item(0, 0, 1)->type, "unc");
    EXPECT_EQ(data.Item(0, 0, 1)->icon, "%SystemRoot%\\system32\\shell32.dll,15");
}

TEST_F(LauncherDataTest, VerificationTakesTheShownGroupFirst) {
    LauncherData& data = LoadJson(
        R"({"class":[{"name":"A","group":[)"
        R"({"name":"A0","item":[{"type":".exe","name":"a00","path":"C:\\gone\\a00.exe"}]},)"
        R"({"name":"A1","item":[{"type":".exe","name":"a10","path":"C:\\gone\\a10.exe"}]}]},)"
        R"({"name":"B","group":[)"
        R"({"name":"B0","item":[{"type":".exe","name":"b00","path":"C:\\gone\\b00.exe"},)"
        R"({"type":".exe","name":"b01","path":"C:\\gone\\b01.exe"}]},)"
        R"({"name":"B1","item":[{"type":".exe","name":"b10","path":"C:\\gone\\b10.exe"},)"
        R"({"type":".exe","name":"b11","path":"C:\\gone\\b11.exe"}]}]}]})");
    ASSERT_TRUE(data.SelectClass(1));
    ASSERT_TRUE(data.SelectGroup(1));
    EXPECT_TRUE(data.VerifySome(2));
    EXPECT_EQ(recorder_.Take(), (Events{"item* 1 1 0 b10", "item* 1 1 1 b11"}));
    // Then the rest of the category: its tabs are one click away.
    EXPECT_TRUE(data.VerifySome(1));
    EXPECT_EQ(recorder_.Take(), (Events{"item* 1 0 0 b00"}));
    // A group comes first as soon as it is selected.
    ASSERT_TRUE(data.SelectClass(0));
    ASSERT_TRUE(data.SelectGroup(1));
    EXPECT_TRUE(data.VerifySome(1));
    EXPECT_EQ(recorder_.Take(), (Events{"item* 0 1 0 a10"}));
    EXPECT_FALSE(data.VerifySome(10));
    EXPECT_EQ(recorder_.Take(), (Events{"item* 0 0 0 a00", "item* 1 0 1 b01"}));
}

TEST_F(LauncherDataTest, EditsDuringVerificationNeverMeetTheWrongEntry) {
    LauncherData& data = LoadJson(R"({"class":[{"name":"c","group":[{"name":"g","item":[)"
                                  R"({"type":".exe","name":"g1","path":"C:\\gone\\g1.exe"},)"
                                  R"({"type":".exe","name":"g2","path":"C:\\gone\\g2.exe"},)"
                                  R"({"type":".exe","name":"g3","path":"C:\\gone\\g3.exe"},)"
                                  R"({"type":".exe","name":"g4","path":"C:\\gone\\g4.exe"},)"
                                  R"({"type":".exe","name":"ok","path":"C:\\x.exe"}]}]}]})");
    EXPECT_TRUE(data.VerifySome(2));
    EXPECT_EQ(recorder_.Take(), (Events{"item* 0 0 0 g1", "item* 0 0 1 g2"}));
    // An unverified item moves in front of the verified ones, another goes,
    // and a new one (canonical at once) comes in front.
    ASSERT_TRUE(data.MoveItem(0, 0, 3, 0));  // g4 g1 g2 g3 ok
    ASSERT_TRUE(data.DeleteItem(0, 0, 3));   // g4 g1 g2 ok
    ASSERT_TRUE(data.InsertItem(0, 0, 0, Record("new", "C:\\gone\\new.exe")));
    EXPECT_EQ(data.UnverifiedCount(), 2);
    recorder_.Take();
    EXPECT_FALSE(data.VerifySome(10));
    EXPECT_EQ(recorder_.Take(), (Events{"item* 0 0 1 g4"}));
    const bool missing[] = {true, true, true, true, false};  // new g4 g1 g2 ok
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(data.TargetMissing(0, 0, i), missing[i]) << i;
    // Each path asked once; the deleted item never.
    EXPECT_EQ(system_->asked, (Paths{"C:\\gone\\g1.exe", "C:\\gone\\g2.exe", "C:\\gone\\new.exe",
                                     "C:\\gone\\g4.exe", "C:\\x.exe"}));

    // Replacing asks the disk itself; clearing leaves nothing to verify.
    LauncherData& again = LoadJson(R"({"class":[{"name":"c","group":[{"name":"g","item":[)"
                                   R"({"type":".exe","name":"a","path":"C:\\gone\\a.exe"},)"
                                   R"({"type":".exe","name":"b","path":"C:\\gone\\b.exe"}]}]}]})");
    ASSERT_TRUE(again.ReplaceItem(0, 0, 0, *again.Item(0, 0, 0)));
    EXPECT_TRUE(again.TargetMissing(0, 0, 0));
    EXPECT_EQ(again.UnverifiedCount(), 1);
    ASSERT_TRUE(again.ClearGroup());
    EXPECT_EQ(again.UnverifiedCount(), 0);
    EXPECT_FALSE(again.VerifySome(10));
}

// --- categories and groups ---------------------------------------------------

TEST_F(LauncherDataTest, NewClassNumbersByCountEvenAfterADeletion) {
    LauncherData& data = LoadJson(kDefaultLauncherDataText);
    ASSERT_TRUE(data.NewClass());
    EXPECT_EQ(recorder_.Take(),
              (Events{"class+ 1 新建分类2", "group+ 1 0 新建分组1", "select 1 0"}));
    ASSERT_TRUE(data.NewClass());
    ASSERT_TRUE(data.SelectClass(1));
    ASSERT_TRUE(data.DeleteClass());
    ASSERT_TRUE(data.NewClass());
    std::vector<std::string> names;
    for (int c = 0; c < data.ClassCount(); ++c)
        names.push_back(data.ClassName(c));
    EXPECT_EQ(names, (std::vector<std::string>{"新建分类1", "新建分类3", "新建分类3"}));
    EXPECT_EQ(data.CurrentClass(), 2);
}

TEST_F(LauncherDataTest, NewGroupIsNumberedAndSelected) {
    LauncherData& data = LoadJson(kDefaultLauncherDataText);
    ASSERT_TRUE(data.NewGroup());
    EXPECT_EQ(recorder_.Take(), (Events{"group+ 0 1 新建分组2", "select 0 1"}));
    EXPECT_EQ(data.CurrentGroup(), 1);
    // A category without groups gets its first one.
    LauncherData& bare = LoadJson(R"({"class":[{"name":"a"}]})");
    EXPECT_EQ(bare.CurrentGroup(), -1);
    ASSERT_TRUE(bare.NewGroup());
    EXPECT_EQ(bare.GroupName(0, 0), "新建分组1");
    EXPECT_EQ(recorder_.Take(), (Events{"group+ 0 0 新建分组1", "select 0 0"}));
}

constexpr std::string_view kThreeByThree =
    R"({"class":[{"name":"A","group":[{"name":"a0","item":[{"name":"x","path":"C:\\x.exe"}]},)"
    R"({"name":"a1"},{"name":"a2"}]},{"name":"B","group":[{"name":"b0"}]},{"name":"C"}]})";

std::vector<std::string> ClassNames(const LauncherData& data) {
    std::vector<std::string> names;
    for (int c = 0; c < data.ClassCount(); ++c)
        names.push_back(data.ClassName(c));
    return names;
}
std::vector<std::string> GroupNames(const LauncherData& data, int c) {
    std::vector<std::string> names;
    for (int g = 0; g < data.GroupCount(c); ++g)
        names.push_back(data.GroupName(c, g));
    return names;
}
using Names = std::vector<std::string>;

TEST_F(LauncherDataTest, MoveClassSwapsWithANeighbourAndStaysCurrent) {
    LauncherData& data = LoadJson(kThreeByThree);
    ASSERT_TRUE(data.SelectClass(0));
    ASSERT_TRUE(data.SelectGroup(2));
    EXPECT_FALSE(data.MoveClass(true));  // nothing above the first
    ASSERT_TRUE(data.MoveClass(false));
    EXPECT_EQ(ClassNames(data), (Names{"B", "A", "C"}));
    EXPECT_EQ(data.CurrentClass(), 1);
    EXPECT_EQ(data.CurrentGroup(), 2);  // its own current group went along
    EXPECT_EQ(data.CurrentGroupOf(0), 0);
    EXPECT_EQ(data.ItemCount(1, 0), 1);
    ASSERT_TRUE(data.MoveClass(false));
    EXPECT_EQ(ClassNames(data), (Names{"B", "C", "A"}));
    EXPECT_FALSE(data.MoveClass(false));
    ASSERT_TRUE(data.MoveClass(true));
    EXPECT_EQ(ClassNames(data), (Names{"B", "A", "C"}));
    EXPECT_EQ(recorder_.Take(), (Events{"class~ 0 1", "select 1 2", "class~ 1 2", "select 2 2",
                                        "class~ 2 1", "select 1 2"}));
    EXPECT_EQ(disk_->writes, 3);
}

TEST_F(LauncherDataTest, MoveGroupSwapsWithANeighbour) {
    LauncherData& data = LoadJson(kThreeByThree);
    EXPECT_FALSE(data.MoveGroup(true));
    ASSERT_TRUE(data.MoveGroup(false));
    EXPECT_EQ(GroupNames(data, 0), (Names{"a1", "a0", "a2"}));
    EXPECT_EQ(data.ItemCount(0, 1), 1);
    ASSERT_TRUE(data.MoveGroup(false));
    EXPECT_EQ(GroupNames(data, 0), (Names{"a1", "a2", "a0"}));
    EXPECT_FALSE(data.MoveGroup(false));
    ASSERT_TRUE(data.MoveGroup(true));
    EXPECT_EQ(GroupNames(data, 0), (Names{"a1", "a0", "a2"}));
    EXPECT_EQ(recorder_.Take(), (Events{"group~ 0 0 1", "select 0 1", "group~ 0 1 2", "select 0 2",
                                        "group~ 0 2 1", "select 0 1"}));
    EXPECT_EQ(disk_->writes, 3);
}

TEST_F(LauncherDataTest, MoveGroupToClassAppendsItThere) {
    LauncherData& data = LoadJson(kThreeByThree);
    EXPECT_FALSE(data.MoveGroupToClass(0));  // not to itself
    EXPECT_FALSE(data.MoveGroupToClass(3));
    ASSERT_TRUE(data.MoveGroupToClass(2));
    EXPECT_EQ(GroupNames(data, 0), (Names{"a1", "a2"}));
    EXPECT_EQ(GroupNames(data, 2), (Names{"a0"}));
    EXPECT_EQ(data.ItemCount(2, 0), 1);
    EXPECT_EQ(data.CurrentClass(), 0);
    EXPECT_EQ(data.CurrentGroupOf(2), 0);
    ASSERT_TRUE(data.SelectGroup(1));
    ASSERT_TRUE(data.MoveGroupToClass(1));
    EXPECT_EQ(GroupNames(data, 1), (Names{"b0", "a2"}));
    EXPECT_EQ(data.CurrentGroup(), 0);       // the last one left: the one before it
    EXPECT_FALSE(data.MoveGroupToClass(1));  // a category's only group stays
    EXPECT_EQ(recorder_.Take(),
              (Events{"group> 0 0 2 0", "select 0 0", "group> 0 1 1 1", "select 0 0"}));
    EXPECT_EQ(disk_->writes, 2);
}

TEST_F(LauncherDataTest, DeletingReleasesEveryIconFirstAndSelectsANeighbour) {
    LauncherData& data = LoadJson(
        R"({"class":[{"name":"A","group":[{"name":"a0","item":[{"name":"x","path":"C:\\x"},)"
        R"({"name":"y","path":"C:\\y"}]},{"name":"a1","item":[{"name":"z","path":"C:\\z"}]}]},)"
        R"({"name":"B","group":[{"name":"b0"}]}]})");
    ASSERT_TRUE(data.SelectGroup(1));
    ASSERT_TRUE(data.ClearGroup());
    EXPECT_EQ(recorder_.Take(), (Events{"clear 0 1"}));
    EXPECT_EQ(icons_.RefCount("C:\\z"), 0);
    EXPECT_EQ(icons_.RefCount("C:\\x"), 1);
    EXPECT_EQ(data.ItemCount(0, 1), 0);
    EXPECT_EQ(data.DocumentText().find("\"a1\",\"item\""), std::string::npos);

    ASSERT_TRUE(data.DeleteGroup());
    EXPECT_EQ(recorder_.Take(), (Events{"group- 0 1", "select 0 0"}));
    EXPECT_FALSE(data.DeleteGroup());  // the last group of a category stays

    ASSERT_TRUE(data.DeleteClass());
    EXPECT_EQ(recorder_.Take(), (Events{"class- 0", "select 0 0"}));
    EXPECT_EQ(icons_.RefCount("C:\\x") + icons_.RefCount("C:\\y"), 0);
    EXPECT_EQ(ClassNames(data), (Names{"B"}));
    EXPECT_FALSE(data.DeleteClass());  // the last category stays
    EXPECT_EQ(disk_->writes, 3);
}

TEST_F(LauncherDataTest, DeletingTheLastCategorySelectsTheOneBefore) {
    LauncherData& data = LoadJson(kThreeByThree);
    ASSERT_TRUE(data.SelectClass(2));
    ASSERT_TRUE(data.DeleteClass());
    EXPECT_EQ(recorder_.Take(), (Events{"class- 2", "select 1 0"}));
    EXPECT_EQ(data.CurrentClass(), 1);
}

TEST_F(LauncherDataTest, RenamesChangeNamesAndSaveNow) {
    LauncherData& data = LoadJson(kThreeByThree);
    ASSERT_TRUE(data.RenameClass(1, "工具"));
    ASSERT_TRUE(data.RenameGroup(0, 2, "a.b[0]"));  // path syntax in a name is just text
    EXPECT_EQ(data.ClassName(1), "工具");
    EXPECT_EQ(data.GroupName(0, 2), "a.b[0]");
    EXPECT_EQ(recorder_.Take(), (Events{"class= 1 工具", "group= 0 2 a.b[0]"}));
    EXPECT_EQ(disk_->writes, 2);
}

// --- items ---------------------------------------------------------------------

TEST_F(LauncherDataTest, ItemOperationsReportAndKeepOrder) {
    LauncherData& data = LoadJson(kDefaultLauncherDataText);
    ASSERT_TRUE(data.AddItem(0, 0, Record("a", "C:\\a.exe")));
    ASSERT_TRUE(data.AddItem(0, 0, Record("c", "C:\\c.exe")));
    ASSERT_TRUE(data.InsertItem(0, 0, 1, Record("b", "C:\\b.exe")));
    ASSERT_TRUE(data.InsertItem(0, 0, 0, Record("first", "C:\\0.exe")));
    EXPECT_FALSE(data.InsertItem(0, 0, 5, Record("far", "C:\\far.exe")));
    EXPECT_EQ(disk_->writes, 0);  // item edits wait for the deferred save
    disk_->Fire();
    ASSERT_TRUE(data.MoveItem(0, 0, 0, 3));
    EXPECT_TRUE(disk_->armed);
    auto names = [&] {
        std::string text;
        for (int i = 0; i < data.ItemCount(0, 0); ++i)
            text += data.Item(0, 0, i)->name + " ";
        return text;
    };
    EXPECT_EQ(names(), "a b c first ");
    ASSERT_TRUE(data.DeleteItem(0, 0, 1));
    EXPECT_EQ(names(), "a c first ");
    EXPECT_EQ(recorder_.Take(), (Events{"item+ 0 0 0 a", "item+ 0 0 1 c", "item+ 0 0 1 b",
                                        "item+ 0 0 0 first", "item~ 0 0 0 3", "item- 0 0 1"}));
    EXPECT_EQ(icons_.RefCount("C:\\b.exe"), 0);
    EXPECT_EQ(icons_.RefCount("C:\\c.exe"), 1);
    EXPECT_EQ(disk_->writes, 1);
}

TEST_F(LauncherDataTest, IconCountsFollowTheItemsWhereverTheyGo) {
    LauncherData& data = LoadJson(
        R"({"class":[{"name":"A","group":[{"name":"a0","item":[{"name":"x","path":"C:\\x.exe"},)"
        R"({"name":"x2","path":"C:\\x.exe"},{"name":"y","path":"C:\\y.exe"}]},)"
        R"({"name":"a1","item":[{"name":"z","path":"C:\\z.exe"}]}]},)"
        R"({"name":"B","group":[{"name":"b0"}]}]})");
    for (std::string source : {"C:\\x.exe", "C:\\y.exe", "C:\\z.exe"})
        icons_.Put(source, "png " + source);
    EXPECT_EQ(icons_.RefCount("C:\\x.exe"), 2);
    // Moves carry the counts along.
    ASSERT_TRUE(data.MoveItem(0, 0, 0, 2));  // x2 y x
    ASSERT_TRUE(data.SelectGroup(1));
    ASSERT_TRUE(data.MoveGroupToClass(1));
    EXPECT_EQ(data.ItemIconSource(1, 1, 0), "C:\\z.exe");
    EXPECT_EQ(data.ItemIconKey(1, 1, 0), icons_.KeyOf("C:\\z.exe"));
    EXPECT_EQ(icons_.RefCount("C:\\z.exe"), 1);
    // A rewrite counts the new source before the old one goes: the same
    // image under another spelling never leaves the cache.
    ItemRecord y = *data.Item(0, 0, 1);
    y.path = "C:\\Y.EXE";
    ASSERT_TRUE(data.ReplaceItem(0, 0, 1, y));
    EXPECT_EQ(icons_.Get("C:\\y.exe"), "png C:\\y.exe");
    EXPECT_EQ(icons_.RefCount("C:\\y.exe"), 1);
    y.path = "C:\\w.exe";
    ASSERT_TRUE(data.ReplaceItem(0, 0, 1, y));
    EXPECT_EQ(icons_.Get("C:\\y.exe"), "");
    // An image stays until its last item goes, with its group or category too.
    ASSERT_TRUE(data.DeleteItem(0, 0, 0));
    EXPECT_EQ(icons_.Get("C:\\x.exe"), "png C:\\x.exe");
    ASSERT_TRUE(data.DeleteItem(0, 0, 1));
    EXPECT_EQ(icons_.Get("C:\\x.exe"), "");
    ASSERT_TRUE(data.SelectClass(1));
    ASSERT_TRUE(data.DeleteClass());
    EXPECT_EQ(icons_.ImageCount(), 0u);
    EXPECT_EQ(icons_.RefCount("C:\\w.exe"), 1);
}

TEST_F(LauncherDataTest, ReportsCarryWhatTheCellShows) {
    LauncherData& data = LoadJson(R"({"class":[{"name":"c","group":[{"name":"g","item":[)"
                                  R"({"type":"folder","name":"p","path":"D:\\Photos"}]}]}]})");
    ASSERT_TRUE(data.AddItem(0, 0, Record("gone", "C:\\gone.exe")));
    ASSERT_TRUE(data.AddItem(0, 0, Record("web", "https://example.com/")));
    ASSERT_EQ(recorder_.looks.size(), 3u);
    const SeenLook& photos = recorder_.looks[0];
    EXPECT_EQ(photos.source, "D:\\Photos");
    EXPECT_EQ(photos.placeholder, IconPlaceholderKind::kFolder);
    EXPECT_FALSE(photos.missing) << "loaded on trust";
    EXPECT_EQ(recorder_.looks[1].source, "C:\\gone.exe");
    EXPECT_EQ(recorder_.looks[1].key, icons_.KeyOf("C:\\gone.exe"));
    EXPECT_TRUE(recorder_.looks[1].missing);
    EXPECT_EQ(recorder_.looks[2].source, kUrlIconSource);
    EXPECT_EQ(recorder_.looks[2].placeholder, IconPlaceholderKind::kWeb);
    // Verification finds the folder's own icon: the count moves with it.
    data.VerifySome(10);
    ASSERT_EQ(recorder_.looks.size(), 4u);
    EXPECT_EQ(recorder_.looks[3].source, "%SystemRoot%\\system32\\imageres.dll,-113");
    EXPECT_EQ(icons_.RefCount(recorder_.looks[3].source), 1);
    EXPECT_EQ(icons_.RefCount("D:\\Photos"), 0);
}

TEST_F(LauncherDataTest, ReplaceItemTakesTheRecordAndSavesNow) {
    LauncherData& data = LoadJson(kThreeByThree);
    ItemRecord record = Record("secret", "encrypt:abcd");
    record.type = "encrypt";
    record.workDir = "encrypt:efgh";
    record.icon = "encrypt:ijkl";
    ASSERT_TRUE(data.ReplaceItem(0, 0, 0, record));
    EXPECT_EQ(data.ItemText(0, 0, 0),
              R"({"type":"encrypt","name":"secret","path":"encrypt:abcd","WorkDir":"encrypt:efgh",)"
              R"("icon":"encrypt:ijkl"})");
    EXPECT_EQ(recorder_.Take(), (Events{"item* 0 0 0 secret"}));
    EXPECT_EQ(disk_->writes, 1);

    // Deciphered again: the icon equal to the path and the default WorkDir go.
    record = Record("plain", "C:\\x.exe");
    record.type = ".exe";
    record.workDir = "C:\\";
    record.icon = "C:\\X.EXE";
    ASSERT_TRUE(data.ReplaceItem(0, 0, 0, record));
    EXPECT_EQ(data.ItemText(0, 0, 0), R"({"type":".exe","name":"plain","path":"C:\\x.exe"})");
    EXPECT_EQ(disk_->writes, 2);
}

TEST_F(LauncherDataTest, FileIsWrittenExactlyAsTheDocumentWriterWritesIt) {
    LauncherData& data = LoadJson(R"({"class":[{"name":"a"}]})");
    const std::string odd =
        std::string("q\"b\\s\b\t\n\r\f\x01/中文\xF0\x9F\x98\x80") + '\0' + "cut";
    ASSERT_TRUE(data.NewGroup());
    ASSERT_TRUE(data.RenameGroup(0, 0, odd));
    ItemRecord item = Record(odd, "C:\\a.exe");
    item.param = odd;
    item.remarks = "r";
    item.isAdministrator = true;
    item.icon = "C:\\i.ico,3";
    item.workDir = "D:\\w";
    ASSERT_TRUE(data.AddItem(0, 0, item));
    ASSERT_TRUE(data.NewClass());
    ASSERT_TRUE(data.Save());

    JsonDocument expected;
    expected.SetText("class[0].name", "a");
    expected.SetText("class[0].group[0].name", odd);
    const char* const keys[] = {"type", "name", "path", "param", "WorkDir", "remarks"};
    const std::string values[] = {".exe", odd, "C:\\a.exe", odd, "D:\\w", "r"};
    for (int k = 0; k < 6; ++k)
        expected.SetText(std::string("class[0].group[0].item[0].") + keys[k], values[k]);
    expected.SetBool("class[0].group[0].item[0].IsAdministrator", true);
    expected.SetText("class[0].group[0].item[0].icon", "C:\\i.ico,3");
    expected.SetText("class[1].name", "新建分类2");
    expected.SetText("class[1].group[0].name", "新建分组1");
    EXPECT_EQ(disk_->file, expected.Serialize());
    EXPECT_EQ(data.DocumentText(), expected.SerializeText());
}

// --- saving --------------------------------------------------------------------

TEST_F(LauncherDataTest, EachOperationFollowsItsSaveRule) {
    struct Case {
        const char* what;
        std::function<bool(LauncherData&)> run;
        bool savesNow;
    };
    const Case cases[] = {
        {"NewClass", [](LauncherData& d) { return d.NewClass(); }, true},
        {"NewGroup", [](LauncherData& d) { return d.NewGroup(); }, true},
        {"RenameClass", [](LauncherData& d) { return d.RenameClass(0, "n"); }, true},
        {"RenameGroup", [](LauncherData& d) { return d.RenameGroup(0, 0, "n"); }, true},
        {"MoveClass", [](LauncherData& d) { return d.MoveClass(false); }, true},
        {"MoveGroup", [](LauncherData& d) { return d.MoveGroup(false); }, true},
        {"MoveGroupToClass", [](LauncherData& d) { return d.MoveGroupToClass(1); }, true},
        {"ClearGroup", [](LauncherData& d) { return d.ClearGroup(); }, true},
        {"DeleteClass", [](LauncherData& d) { return d.DeleteClass(); }, true},
        {"DeleteGroup", [](LauncherData& d) { return d.DeleteGroup(); }, true},
        {"ReplaceItem",
         [](LauncherData& d) { return d.ReplaceItem(0, 0, 0, Record("n", "C:\\n")); }, true},
        {"AddItem", [](LauncherData& d) { return d.AddItem(0, 0, Record("n", "C:\\n")); }, false},
        {"InsertItem", [](LauncherData& d) { return d.InsertItem(0, 0, 0, Record("n", "C:\\n")); },
         false},
        {"DeleteItem", [](LauncherData& d) { return d.DeleteItem(0, 0, 0); }, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        disk_ = std::make_shared<Disk>();
        LauncherData& data = LoadJson(kThreeByThree);
        ASSERT_TRUE(test.run(data));
        if (test.savesNow) {
            EXPECT_EQ(disk_->writes, 1);
            EXPECT_EQ(disk_->Text(), data.DocumentText());
            EXPECT_FALSE(data.SaveDue());
        } else {
            EXPECT_EQ(disk_->writes, 0);
            EXPECT_TRUE(disk_->armed);
            EXPECT_TRUE(data.SavePending());
        }
    }
}

TEST_F(LauncherDataTest, TwoDeletionsMakeOneDeferredWrite) {
    LauncherData& data = LoadJson(
        R"({"class":[{"name":"A","group":[{"name":"a","item":[{"name":"x","path":"C:\\x"},)"
        R"({"name":"y","path":"C:\\y"},{"name":"z","path":"C:\\z"}]}]}]})");
    ASSERT_TRUE(data.DeleteItem(0, 0, 0));
    ASSERT_TRUE(data.DeleteItem(0, 0, 1));
    EXPECT_EQ(disk_->arms, 2);  // the second deletion re-armed the timer
    EXPECT_EQ(disk_->writes, 0);
    disk_->Fire();
    EXPECT_EQ(disk_->writes, 1);
    EXPECT_FALSE(data.SaveDue());
    EXPECT_NE(disk_->Text().find(R"("name":"y")"), std::string::npos);
    EXPECT_EQ(disk_->Text().find(R"("name":"z")"), std::string::npos);
    data.FlushPendingSave();  // nothing due any more
    EXPECT_EQ(disk_->writes, 1);
}

TEST_F(LauncherDataTest, SaveNowCancelsAPendingSave) {
    LauncherData& data = LoadJson(kThreeByThree);
    ASSERT_TRUE(data.DeleteItem(0, 0, 0));
    ASSERT_TRUE(disk_->armed);
    ASSERT_TRUE(data.RenameClass(0, "n"));
    EXPECT_FALSE(disk_->armed);
    EXPECT_EQ(disk_->writes, 1);
    EXPECT_EQ(data.ItemCount(0, 0), 0);
    data.FlushPendingSave();
    EXPECT_EQ(disk_->writes, 1);
}

TEST_F(LauncherDataTest, FailedSaveIsReportedOnceAndStaysDue) {
    LauncherData& data = LoadJson(kThreeByThree);
    std::vector<uint32_t> reported;
    data.SetSaveFailureHandler([&](uint32_t error) { reported.push_back(error); });
    disk_->failWrites = true;
    EXPECT_FALSE(data.Save());
    ASSERT_TRUE(data.RenameClass(0, "n"));  // fails again, not reported again
    EXPECT_EQ(reported, std::vector<uint32_t>{112});
    EXPECT_TRUE(data.SaveDue());
    EXPECT_FALSE(data.SavePending());

    disk_->failWrites = false;
    data.FlushPendingSave();  // the exit path retries
    EXPECT_EQ(disk_->writes, 3);
    EXPECT_FALSE(data.SaveDue());
    EXPECT_EQ(disk_->Text(), data.DocumentText());
}

TEST_F(LauncherDataTest, IndicesThatNameNothingChangeNothing) {
    LauncherData& data = LoadJson(kThreeByThree);
    const std::string before = data.DocumentText();
    EXPECT_FALSE(data.AddItem(0, 3, Record("n", "C:\\n")));
    EXPECT_FALSE(data.AddItem(-1, 0, Record("n", "C:\\n")));
    EXPECT_FALSE(data.InsertItem(0, 0, -1, Record("n", "C:\\n")));
    EXPECT_FALSE(data.DeleteItem(0, 0, 1));
    EXPECT_FALSE(data.DeleteItem(2, 0, 0));
    EXPECT_FALSE(data.MoveItem(0, 0, 0, 1));
    EXPECT_FALSE(data.ReplaceItem(0, 1, 0, Record("n", "C:\\n")));
    EXPECT_FALSE(data.RenameClass(3, "n"));
    EXPECT_FALSE(data.RenameGroup(1, 1, "n"));
    EXPECT_FALSE(data.SelectClass(3));
    EXPECT_FALSE(data.SelectGroup(3));
    ASSERT_TRUE(data.SelectClass(2));  // a category without groups
    EXPECT_FALSE(data.SelectGroup(0));
    EXPECT_FALSE(data.MoveGroup(false));
    EXPECT_FALSE(data.ClearGroup());
    EXPECT_FALSE(data.DeleteGroup());
    EXPECT_FALSE(data.MoveGroupToClass(0));
    EXPECT_EQ(data.ItemText(0, 0, 5), "");
    EXPECT_FALSE(data.Item(0, 1, 0).has_value());
    EXPECT_EQ(data.ItemCount(0, -1), 0);
    EXPECT_EQ(data.GroupCount(7), 0);
    EXPECT_EQ(data.ClassName(-1), "");
    EXPECT_EQ(data.DocumentText(), before);
    EXPECT_TRUE(recorder_.Take().empty());
    EXPECT_EQ(disk_->writes, 0);
    EXPECT_FALSE(disk_->armed);
}

}  // namespace
}  // namespace pt
