// The launcher data model: loading with its fallbacks, the canonical add, the
// structural operations with their save rules, the items' icon counts, the
// observer reports, and the file's text. File, timer and shell come in through LauncherDataStorage
// and LauncherSystem, so this file is pure.
//
// The model is kept in plain vectors rather than in a JSON document: a start
// with thousands of items must not pay a path lookup for every key of every
// item, and the file is written from the vectors in the document writer's
// exact form (compact UTF-16LE, the same escapes).
#include "launcher/launcher_data.h"

#include <algorithm>
#include <utility>

#include "base/codepage.h"
#include "base/text.h"
#include "doc/json_file.h"
#include "launcher/icon_store.h"

namespace pt {

const std::string_view kDefaultLauncherDataText =
    "{\"class\":[{\"name\":\"新建分类1\",\"group\":[{\"name\":\"新建分组1\"}]}]}";

namespace {

constexpr std::string_view kNewClassName = "新建分类";
constexpr std::string_view kNewGroupName = "新建分组";

// Trimmed, and without one trailing backslash unless that makes the root.
std::string PathText(std::string_view text) {
    std::string path = TrimSpaces(text);
    RemoveTrailingBackslash(path);
    return path;
}

// The record's texts trimmed before anything looks at them: " C:\app.exe"
// is a drive path like any other, and "C:\dir\" names the same folder as
// "C:\dir".
ItemRecord Trimmed(const ItemRecord& source) {
    ItemRecord record;
    record.type = source.type;
    record.name = TrimSpaces(source.name);
    record.path = PathText(source.path);
    record.param = TrimSpaces(source.param);
    record.workDir = PathText(source.workDir);
    record.remarks = TrimSpaces(source.remarks);
    record.isAdministrator = source.isAdministrator;
    record.icon = PathText(source.icon);
    return record;
}

// Whether the folder test could have found a folder where the text says
// otherwise: a shell object, an enciphered value or a web address never
// names one.
bool MayBeFolder(std::string_view path, TargetKindId textKind) {
    return !path.empty() && textKind != TargetKindId::kShell &&
           textKind != TargetKindId::kEncrypt && textKind != TargetKindId::kUrl;
}

// Only a document whose root object holds the category array can be ours.
// Older versions called the array "type"; it keeps its place under the new
// name, unless a "class" array is there as well.
bool TakeAsData(JsonDocument& file) {
    if (file.GetKind("") != JsonKind::kObject)
        return false;
    if (file.GetKind("class") == JsonKind::kNone && file.GetKind("type") != JsonKind::kNone)
        file.RenameMember("", "type", "class");
    return file.GetKind("class") == JsonKind::kArray;
}

// --- the document writer's form ----------------------------------------------

// A JSON string in the document writer's form, cut at U+0000, which the
// file form cannot carry.
void AppendQuoted(std::u16string& out, std::string_view utf8) {
    std::u16string text = Utf8ToWide(utf8);
    size_t end = text.find(u'\0');
    if (end != std::u16string::npos)
        text.resize(end);
    AppendJsonString(out, text);
}

void AppendMember(std::u16string& out, bool& first, std::u16string_view key,
                  std::string_view value) {
    if (!first)
        out += u',';
    first = false;
    out += u'"';
    out += key;
    out += u"\":";
    AppendQuoted(out, value);
}

void AppendRecord(std::u16string& out, const ItemRecord& record) {
    bool first = true;
    out += u'{';
    AppendMember(out, first, u"type", record.type);
    AppendMember(out, first, u"name", record.name);
    AppendMember(out, first, u"path", record.path);
    if (!record.param.empty())
        AppendMember(out, first, u"param", record.param);
    if (!record.workDir.empty())
        AppendMember(out, first, u"WorkDir", record.workDir);
    if (!record.remarks.empty())
        AppendMember(out, first, u"remarks", record.remarks);
    if (record.isAdministrator)
        out += u",\"IsAdministrator\":true";
    if (!record.icon.empty())
        AppendMember(out, first, u"icon", record.icon);
    out += u'}';
}

}  // namespace

ItemRecord ItemRecordFromJson(const JsonDocument& item) {
    ItemRecord record;
    // One pass over the members: far cheaper than a lookup per key.
    const int members = item.GetKind("") == JsonKind::kObject ? item.GetCount("") : 0;
    for (int m = 0; m < members; ++m) {
        JsonDocument member = item.GetView("", m);
        const std::string key = member.Root().Key();
        if (key == "type") {
            record.type = member.GetText("");
        } else if (key == "name") {
            record.name = member.GetText("");
        } else if (key == "path") {
            record.path = member.GetText("");
        } else if (key == "param") {
            record.param = member.GetText("");
        } else if (key == "WorkDir") {
            record.workDir = member.GetText("");
        } else if (key == "remarks") {
            record.remarks = member.GetText("");
        } else if (key == "IsAdministrator") {
            record.isAdministrator = member.GetBool("");
        } else if (key == "icon") {
            record.icon = member.GetText("");
        }
    }
    return record;
}

std::string ItemRecordJson(const ItemRecord& record) {
    std::u16string text;
    AppendRecord(text, record);
    return WideToUtf8(text);
}

LauncherData::LauncherData(std::unique_ptr<LauncherDataStorage> storage,
                           std::unique_ptr<LauncherSystem> system)
    : storage_(std::move(storage)), system_(std::move(system)) {}

LauncherData::~LauncherData() {
    if (storage_ && savePending_)
        storage_->CancelTimer();
}

// --- life cycle --------------------------------------------------------------

bool LauncherData::ReadFile(JsonDocument* file) {
    std::string bytes;
    FileReadStatus status = storage_->Read(&bytes);
    if (status == FileReadStatus::kOk && !bytes.empty()) {
        // UTF-16LE is the form Save writes; code page 936 text came from
        // older versions, UTF-8 or a byte-order mark from an editor.
        switch (ParseJsonFile(file, bytes, TakeAsData)) {
            case JsonFileForm::kUtf16:
                source_ = Source::kFile;
                return true;
            case JsonFileForm::kNarrow:
                source_ = Source::kAnsi;
                return true;
            case JsonFileForm::kNone:
                break;
        }
    }
    // A file that is there but cannot be used would be overwritten by the
    // next save: keep a copy so what the user had can still be recovered.
    if (status == FileReadStatus::kFailed || !bytes.empty())
        brokenCopy_ = storage_->KeepBrokenCopy();
    return false;
}

void LauncherData::Load() {
    brokenCopy_.clear();
    JsonDocument file;
    if (!ReadFile(&file)) {
        file.ParseText(kDefaultLauncherDataText);
        source_ = Source::kDefault;
    }
    // A file without a single category would leave the panel with nothing
    // to select; it holds nothing to lose either.
    if (file.GetCount("class") == 0) {
        file.ParseText(kDefaultLauncherDataText);
        source_ = Source::kDefault;
    }
    Build(file);
    Selected();
}

void LauncherData::Build(const JsonDocument& file) {
    for (int c = 0; c < ClassCount(); ++c) {
        for (int g = 0; g < GroupCount(c); ++g)
            ReleaseIcons(c, g);
    }
    classes_.clear();
    currentClass_ = 0;
    const JsonDocument classes = file.GetMemberView("", "class");
    const int classCount = classes.GetCount("");
    classes_.reserve(static_cast<size_t>(classCount));
    for (int c = 0; c < classCount; ++c) {
        const JsonDocument category = classes.GetView("", c);
        classes_.push_back(Category{category.GetText("name"), {}, -1});
        if (observer_)
            observer_->OnClassAdded(c, classes_.back().name);
        if (category.GetKind("group") != JsonKind::kArray)
            continue;
        const JsonDocument groups = category.GetMemberView("", "group");
        const int groupCount = groups.GetCount("");
        for (int g = 0; g < groupCount; ++g) {
            const JsonDocument group = groups.GetView("", g);
            AddGroup(c, group.GetText("name"));
            if (group.GetKind("item") != JsonKind::kArray)
                continue;
            const JsonDocument items = group.GetMemberView("", "item");
            const int itemCount = items.GetCount("");
            classes_[c].groups[g].items.reserve(static_cast<size_t>(itemCount));
            for (int i = 0; i < itemCount; ++i) {
                const JsonDocument item = items.GetView("", i);
                // Anything but an object has nothing an item could be made of.
                if (item.GetKind("") != JsonKind::kObject)
                    continue;
                const ItemRecord record = ItemRecordFromJson(item);
                std::optional<Entry> trusted = Trusted(record);
                PutItem(c, g, static_cast<int>(classes_[c].groups[g].items.size()),
                        trusted ? std::move(*trusted) : Canonical(record));
            }
        }
    }
}

std::u16string LauncherData::Serialize() const {
    std::u16string out;
    out += u"{\"class\":[";
    for (size_t c = 0; c < classes_.size(); ++c) {
        const Category& category = classes_[c];
        if (c > 0)
            out += u',';
        out += u"{\"name\":";
        AppendQuoted(out, category.name);
        if (!category.groups.empty()) {
            out += u",\"group\":[";
            for (size_t g = 0; g < category.groups.size(); ++g) {
                const Group& group = category.groups[g];
                if (g > 0)
                    out += u',';
                out += u"{\"name\":";
                AppendQuoted(out, group.name);
                if (!group.items.empty()) {
                    out += u",\"item\":[";
                    for (size_t i = 0; i < group.items.size(); ++i) {
                        if (i > 0)
                            out += u',';
                        AppendRecord(out, group.items[i].record);
                    }
                    out += u']';
                }
                out += u'}';
            }
            out += u']';
        }
        out += u'}';
    }
    out += u"]}";
    return out;
}

bool LauncherData::Save() {
    if (savePending_) {
        storage_->CancelTimer();
        savePending_ = false;
    }
    // The file form: UTF-16LE without a byte-order mark, two zero bytes after.
    const std::u16string text = Serialize();
    std::string bytes;
    bytes.reserve(text.size() * 2 + 2);
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    bytes.append(2, '\0');
    uint32_t error = 0;
    const bool ok = storage_->Write(bytes, &error);
    return saveOutcome_.Record(ok, error);
}

void LauncherData::ScheduleSave() {
    savePending_ = true;
    storage_->ArmTimer([this] { Save(); });
}

void LauncherData::FlushPendingSave() {
    if (SaveDue())
        Save();
}

void LauncherData::SetSaveFailureHandler(std::function<void(uint32_t error)> handler) {
    saveOutcome_.SetFailureHandler(std::move(handler));
}

std::string LauncherData::DocumentText() const {
    return WideToUtf8(Serialize());
}

// --- reading -----------------------------------------------------------------

int LauncherData::ClassCount() const {
    return static_cast<int>(classes_.size());
}

int LauncherData::GroupCount(int c) const {
    return ValidClass(c) ? static_cast<int>(classes_[c].groups.size()) : 0;
}

int LauncherData::ItemCount(int c, int g) const {
    return ValidGroup(c, g) ? static_cast<int>(classes_[c].groups[g].items.size()) : 0;
}

std::string LauncherData::ClassName(int c) const {
    return ValidClass(c) ? classes_[c].name : std::string();
}

std::string LauncherData::GroupName(int c, int g) const {
    return ValidGroup(c, g) ? classes_[c].groups[g].name : std::string();
}

std::optional<ItemRecord> LauncherData::Item(int c, int g, int i) const {
    if (!ValidItem(c, g, i))
        return std::nullopt;
    return classes_[c].groups[g].items[i].record;
}

std::string LauncherData::ItemText(int c, int g, int i) const {
    return ValidItem(c, g, i) ? ItemRecordJson(classes_[c].groups[g].items[i].record)
                              : std::string();
}

bool LauncherData::TargetMissing(int c, int g, int i) const {
    return ValidItem(c, g, i) && classes_[c].groups[g].items[i].missing;
}

std::string_view LauncherData::ItemIconSource(int c, int g, int i) const {
    return ValidItem(c, g, i) ? std::string_view(classes_[c].groups[g].items[i].iconSource)
                              : std::string_view();
}

uint32_t LauncherData::ItemIconKey(int c, int g, int i) const {
    return ValidItem(c, g, i) ? classes_[c].groups[g].items[i].iconKey : 0;
}

bool LauncherData::ValidClass(int c) const {
    return c >= 0 && c < ClassCount();
}

bool LauncherData::ValidGroup(int c, int g) const {
    return ValidClass(c) && g >= 0 && g < static_cast<int>(classes_[c].groups.size());
}

bool LauncherData::ValidItem(int c, int g, int i) const {
    return ValidGroup(c, g) && i >= 0 && i < static_cast<int>(classes_[c].groups[g].items.size());
}

// --- selection ---------------------------------------------------------------

int LauncherData::CurrentGroupOf(int c) const {
    return ValidClass(c) ? classes_[c].currentGroup : -1;
}

bool LauncherData::SelectClass(int c) {
    if (!ValidClass(c))
        return false;
    currentClass_ = c;
    return true;
}

bool LauncherData::SelectGroup(int g) {
    if (!ValidGroup(currentClass_, g))
        return false;
    classes_[currentClass_].currentGroup = g;
    return true;
}

void LauncherData::Selected() {
    if (observer_)
        observer_->OnSelected(currentClass_, CurrentGroup());
}

// --- items -------------------------------------------------------------------

ItemRecord LauncherData::Canonicalize(const ItemRecord& source) {
    return Canonical(source).record;
}

LauncherData::Entry LauncherData::Canonical(const ItemRecord& source) {
    ItemRecord record = Trimmed(source);
    bool exists = false;
    TargetKind kind = system_->Classify(record.path, &exists);
    return Complete(std::move(record), std::move(kind), exists);
}

// The canonical add from the classification on: `record` is trimmed, `kind`
// and `exists` are what the disk said about its path.
LauncherData::Entry LauncherData::Complete(ItemRecord record, TargetKind kind, bool exists) {
    // Shortcut files stand for what they point at. Kind texts compare with
    // their letter case: "X.URL" stays a file item.
    if (kind.text == ".url") {
        if (std::optional<InternetShortcut> shortcut = system_->ReadInternetShortcut(record.path)) {
            record.path = PathText(shortcut->url);
            kind = system_->Classify(record.path, &exists);
            record.icon = PathText(shortcut->iconLocation);
        }
    }
    if (kind.text == ".lnk") {
        if (std::optional<ShortcutRecord> link = system_->ReadShortcut(record.path)) {
            record.path = PathText(link->targetPath);
            kind = system_->Classify(record.path, &exists);
            record.param = TrimSpaces(link->arguments);
            record.workDir = PathText(link->workingDirectory);
            record.remarks = TrimSpaces(link->description);
            record.icon = PathText(link->iconLocation);
        }
    }
    if (record.icon.empty()) {
        std::string folderIcon;
        if (kind.id == TargetKindId::kFolder)
            folderIcon = system_->FolderIconResource(record.path);
        std::string fallback = DefaultIconSourceFor(record.path, kind.id, folderIcon);
        if (fallback != record.path)
            record.icon = PathText(fallback);
    }
    record.type = std::move(kind.text);
    const bool missing = IsLocalPath(record.path) && !exists;
    Entry entry;
    entry.record = Stored(std::move(record), kind.id);
    entry.missing = missing;
    return entry;
}

std::optional<LauncherData::Entry> LauncherData::Trusted(const ItemRecord& source) {
    ItemRecord record = Trimmed(source);
    TargetKind kind = system_->ClassifyText(record.path);
    // A network path is never looked at during the load, whatever its
    // record says: the server may take seconds to answer. Its text's kind
    // stands until verification's answer comes.
    const bool network = system_->IsRemote(record.path);
    if (source.type.empty() && !network)
        return std::nullopt;
    // A shortcut is read again at every load: what it points at may have
    // changed since, and nothing short of reading it tells.
    if (!network && (kind.text == ".url" || kind.text == ".lnk"))
        return std::nullopt;
    if (source.type != kind.text) {
        if (source.type == "folder" && MayBeFolder(record.path, kind.id))
            kind = TargetKind{TargetKindId::kFolder, "folder"};
        else if (!network)
            return std::nullopt;
    }
    if (record.icon.empty()) {
        // A folder's desktop.ini icon is the disk's to tell: verification
        // looks for one.
        std::string fallback = DefaultIconSourceFor(record.path, kind.id, "");
        if (fallback != record.path)
            record.icon = PathText(fallback);
    }
    record.type = std::move(kind.text);
    Entry entry;
    entry.record = Stored(std::move(record), kind.id);
    entry.verified = false;
    return entry;
}

ItemRecord LauncherData::Stored(ItemRecord record, TargetKindId kind) {
    if (!record.workDir.empty() &&
        EqualsNoCase(record.workDir, DefaultWorkDirFor(record.path, kind))) {
        record.workDir.clear();
    }
    if (!record.icon.empty() && EqualsNoCase(system_->ExpandVariables(record.icon), record.path)) {
        record.icon.clear();
    }
    return record;
}

void LauncherData::PutItem(int c, int g, int index, Entry entry) {
    Group& group = classes_[c].groups[g];
    if (!entry.verified)
        ++group.unverified;
    group.verifyFrom = std::min(group.verifyFrom, static_cast<size_t>(index));
    CountIcon(entry);
    std::vector<Entry>& items = group.items;
    const Entry& stored = *items.insert(items.begin() + index, std::move(entry));
    if (observer_)
        observer_->OnItemAdded(c, g, index, LookOf(stored));
}

bool LauncherData::AddItem(int c, int g, const ItemRecord& source) {
    return InsertItem(c, g, ItemCount(c, g), source);
}

bool LauncherData::InsertItem(int c, int g, int index, const ItemRecord& source) {
    if (!ValidGroup(c, g) || index < 0 || index > ItemCount(c, g))
        return false;
    PutItem(c, g, index, Canonical(source));
    ScheduleSave();
    return true;
}

bool LauncherData::DeleteItem(int c, int g, int i) {
    if (!ValidItem(c, g, i))
        return false;
    Group& group = classes_[c].groups[g];
    UncountIcon(group.items[i]);
    if (!group.items[i].verified)
        --group.unverified;
    group.verifyFrom = std::min(group.verifyFrom, static_cast<size_t>(i));
    std::vector<Entry>& items = group.items;
    items.erase(items.begin() + i);
    if (observer_)
        observer_->OnItemRemoved(c, g, i);
    ScheduleSave();
    return true;
}

bool LauncherData::MoveItem(int c, int g, int from, int to) {
    if (!ValidItem(c, g, from) || !ValidItem(c, g, to))
        return false;
    if (from == to)
        return true;
    Group& group = classes_[c].groups[g];
    group.verifyFrom = std::min(group.verifyFrom, static_cast<size_t>(std::min(from, to)));
    std::vector<Entry>& items = group.items;
    Entry item = std::move(items[from]);
    items.erase(items.begin() + from);
    items.insert(items.begin() + to, std::move(item));
    if (observer_)
        observer_->OnItemMoved(c, g, from, to);
    ScheduleSave();
    return true;
}

bool LauncherData::ReplaceItem(int c, int g, int i, const ItemRecord& record) {
    if (!ValidItem(c, g, i))
        return false;
    Entry& stored = classes_[c].groups[g].items[i];
    bool exists = false;
    const TargetKindId kind = system_->Classify(record.path, &exists).id;
    stored.record = Stored(record, kind);
    stored.missing = IsLocalPath(record.path) && !exists;
    RecountIcon(stored);
    if (!stored.verified) {
        stored.verified = true;
        --classes_[c].groups[g].unverified;
    }
    if (observer_)
        observer_->OnItemRefreshed(c, g, i, LookOf(stored));
    Save();
    return true;
}

// --- verification --------------------------------------------------------------

bool LauncherData::VerifySome(int maxItems) {
    int budget = maxItems;
    // What the user looks at first, then what one click away shows.
    const int current = currentClass_;
    if (ValidClass(current)) {
        const int currentGroup = classes_[current].currentGroup;
        if (ValidGroup(current, currentGroup))
            VerifyIn(current, currentGroup, &budget);
        for (int g = 0; g < GroupCount(current) && budget > 0; ++g)
            VerifyIn(current, g, &budget);
    }
    for (int c = 0; c < ClassCount() && budget > 0; ++c) {
        for (int g = 0; g < GroupCount(c) && budget > 0; ++g)
            VerifyIn(c, g, &budget);
    }
    return UnverifiedCount() > 0;
}

int LauncherData::UnverifiedCount() const {
    int count = 0;
    for (const Category& category : classes_) {
        for (const Group& group : category.groups)
            count += group.unverified;
    }
    return count;
}

// Verifies unverified items of one group while the budget lasts; false when
// the budget ran out first.
bool LauncherData::VerifyIn(int c, int g, int* budget) {
    for (int pass = 0; pass < 2; ++pass) {
        for (;;) {
            // Looked up afresh each time: the observer runs in between.
            if (!ValidGroup(c, g))
                return true;
            Group& group = classes_[c].groups[g];
            if (group.unverified <= 0 || group.verifyFrom >= group.items.size())
                break;
            if (*budget <= 0)
                return false;
            const size_t i = group.verifyFrom++;
            if (!group.items[i].verified) {
                --*budget;
                Verify(c, g, i);
            }
        }
        if (!ValidGroup(c, g) || classes_[c].groups[g].unverified <= 0)
            return true;
        // Entries left behind the cursor (it only ever moves back on edits,
        // so this is a safety net): count again and take one more pass.
        Group& group = classes_[c].groups[g];
        group.unverified = static_cast<int>(std::count_if(
            group.items.begin(), group.items.end(), [](const Entry& e) { return !e.verified; }));
        group.verifyFrom = 0;
    }
    return true;
}

void LauncherData::Verify(int c, int g, size_t i) {
    Group& group = classes_[c].groups[g];
    Entry& entry = group.items[i];
    entry.verified = true;
    --group.unverified;
    if (system_->IsRemote(entry.record.path)) {
        // Replies come only while system_ lives, and this object owns it.
        entry.asking = system_->ClassifyLater(
            entry.record.path, [this, path = entry.record.path](TargetKind kind, bool exists) {
                AnsweredLater(path, kind, exists);
            });
        if (entry.asking)
            return;
    }
    // One attribute query answers both the folder test and "missing".
    bool exists = false;
    TargetKind kind = system_->Classify(entry.record.path, &exists);
    ApplyVerification(c, g, i, std::move(kind), exists);
}

void LauncherData::AnsweredLater(const std::string& path, const TargetKind& kind, bool exists) {
    // Looked up by path: the items may have moved, or gone, meanwhile.
    for (int c = 0; c < ClassCount(); ++c) {
        for (int g = 0; g < GroupCount(c); ++g) {
            for (size_t i = 0; i < classes_[c].groups[g].items.size(); ++i) {
                Entry& entry = classes_[c].groups[g].items[i];
                if (entry.asking && entry.record.path == path) {
                    entry.asking = false;
                    // The observer may change the lists: valid indices only.
                    ApplyVerification(c, g, i, kind, exists);
                    if (!ValidGroup(c, g))
                        break;
                }
            }
        }
    }
}

void LauncherData::ApplyVerification(int c, int g, size_t i, TargetKind kind, bool exists) {
    Entry& entry = classes_[c].groups[g].items[i];
    Entry checked;
    if (kind.text != entry.record.type ||
        (kind.id == TargetKindId::kFolder && entry.record.icon.empty())) {
        // The record holds what the file held, trimmed: the full canonical
        // add of it gives what a load with the disk would have given.
        checked = Complete(entry.record, std::move(kind), exists);
    } else {
        checked.record = entry.record;
        checked.missing = IsLocalPath(entry.record.path) && !exists;
    }
    const bool visible = checked.record.type != entry.record.type ||
                         checked.record.icon != entry.record.icon ||
                         checked.missing != entry.missing;
    entry.record = std::move(checked.record);
    entry.missing = checked.missing;
    RecountIcon(entry);
    if (visible && observer_)
        observer_->OnItemRefreshed(c, g, static_cast<int>(i), LookOf(entry));
    else if (exists && observer_)
        observer_->OnTargetFound(c, g, static_cast<int>(i), LookOf(entry));
}

// --- icon counts ---------------------------------------------------------------

void LauncherData::SetIconStore(IconStore* icons) {
    icons_ = icons;
    for (Category& category : classes_) {
        for (Group& group : category.groups) {
            for (Entry& entry : group.items)
                CountIcon(entry);
        }
    }
}

void LauncherData::CountIcon(Entry& entry) {
    entry.iconSource = GridIconSource(entry.record.icon, entry.record.path);
    entry.iconKey = 0;
    if (icons_ && !entry.iconSource.empty()) {
        icons_->AddRef(entry.iconSource);
        entry.iconKey = icons_->KeyOf(entry.iconSource);
    }
}

void LauncherData::UncountIcon(const Entry& entry) {
    if (icons_ && !entry.iconSource.empty())
        icons_->Release(entry.iconSource);
}

void LauncherData::RecountIcon(Entry& entry) {
    if (GridIconSource(entry.record.icon, entry.record.path) == entry.iconSource)
        return;
    const std::string old = std::move(entry.iconSource);
    CountIcon(entry);
    if (icons_ && !old.empty())
        icons_->Release(old);
}

void LauncherData::ReleaseIcons(int c, int g) {
    for (const Entry& entry : classes_[c].groups[g].items)
        UncountIcon(entry);
}

ItemLook LauncherData::LookOf(const Entry& entry) const {
    return ItemLook{entry.record, entry.missing, PlaceholderKindOfType(entry.record.type),
                    entry.iconSource, entry.iconKey};
}

// --- categories and groups ---------------------------------------------------

void LauncherData::AddGroup(int c, std::string name) {
    Category& category = classes_[c];
    category.groups.emplace_back();
    category.groups.back().name = std::move(name);
    const int g = static_cast<int>(category.groups.size()) - 1;
    if (category.currentGroup < 0)
        category.currentGroup = 0;
    if (observer_)
        observer_->OnGroupAdded(c, g, category.groups.back().name);
}

bool LauncherData::NewClass() {
    const int c = ClassCount();
    classes_.push_back(Category{std::string(kNewClassName) + std::to_string(c + 1), {}, -1});
    if (observer_)
        observer_->OnClassAdded(c, classes_.back().name);
    AddGroup(c, std::string(kNewGroupName) + "1");
    currentClass_ = c;
    Selected();
    Save();
    return true;
}

bool LauncherData::NewGroup() {
    const int c = currentClass_;
    if (!ValidClass(c))
        return false;
    AddGroup(c, std::string(kNewGroupName) + std::to_string(GroupCount(c) + 1));
    classes_[c].currentGroup = GroupCount(c) - 1;
    Selected();
    Save();
    return true;
}

bool LauncherData::RenameClass(int c, std::string_view name) {
    if (!ValidClass(c))
        return false;
    classes_[c].name = std::string(name);
    if (observer_)
        observer_->OnClassRenamed(c, name);
    Save();
    return true;
}

bool LauncherData::RenameGroup(int c, int g, std::string_view name) {
    if (!ValidGroup(c, g))
        return false;
    classes_[c].groups[g].name = std::string(name);
    if (observer_)
        observer_->OnGroupRenamed(c, g, name);
    Save();
    return true;
}

bool LauncherData::MoveClass(bool up) {
    const int from = currentClass_;
    const int to = up ? from - 1 : from + 1;
    if (!ValidClass(from) || !ValidClass(to))
        return false;
    // Each category carries its own current group along.
    std::swap(classes_[from], classes_[to]);
    currentClass_ = to;
    if (observer_)
        observer_->OnClassMoved(from, to);
    Selected();
    Save();
    return true;
}

bool LauncherData::MoveGroup(bool left) {
    const int c = currentClass_;
    const int from = CurrentGroupOf(c);
    const int to = left ? from - 1 : from + 1;
    if (!ValidGroup(c, from) || !ValidGroup(c, to))
        return false;
    std::swap(classes_[c].groups[from], classes_[c].groups[to]);
    classes_[c].currentGroup = to;
    if (observer_)
        observer_->OnGroupMoved(c, from, to);
    Selected();
    Save();
    return true;
}

bool LauncherData::MoveGroupToClass(int target) {
    const int c = currentClass_;
    const int g = CurrentGroupOf(c);
    if (!ValidGroup(c, g) || !ValidClass(target) || target == c || GroupCount(c) < 2)
        return false;
    Category& source = classes_[c];
    Category& destination = classes_[target];
    destination.groups.push_back(std::move(source.groups[g]));
    source.groups.erase(source.groups.begin() + g);
    source.currentGroup = std::min(g, GroupCount(c) - 1);
    if (destination.currentGroup < 0)
        destination.currentGroup = 0;
    if (observer_)
        observer_->OnGroupMovedToClass(c, g, target, GroupCount(target) - 1);
    Selected();
    Save();
    return true;
}

bool LauncherData::ClearGroup() {
    const int c = currentClass_;
    const int g = CurrentGroupOf(c);
    if (!ValidGroup(c, g))
        return false;
    ReleaseIcons(c, g);
    Group& group = classes_[c].groups[g];
    group.items.clear();
    group.unverified = 0;
    group.verifyFrom = 0;
    if (observer_)
        observer_->OnGroupCleared(c, g);
    Save();
    return true;
}

bool LauncherData::DeleteClass() {
    const int c = currentClass_;
    if (!ValidClass(c) || ClassCount() < 2)
        return false;
    const int groups = GroupCount(c);
    for (int g = 0; g < groups; ++g)
        ReleaseIcons(c, g);
    classes_.erase(classes_.begin() + c);
    currentClass_ = std::min(c, ClassCount() - 1);
    if (observer_)
        observer_->OnClassRemoved(c);
    Selected();
    Save();
    return true;
}

bool LauncherData::DeleteGroup() {
    const int c = currentClass_;
    const int g = CurrentGroupOf(c);
    if (!ValidGroup(c, g) || GroupCount(c) < 2)
        return false;
    ReleaseIcons(c, g);
    std::vector<Group>& groups = classes_[c].groups;
    groups.erase(groups.begin() + g);
    classes_[c].currentGroup = std::min(g, GroupCount(c) - 1);
    if (observer_)
        observer_->OnGroupRemoved(c, g);
    Selected();
    Save();
    return true;
}

}  // namespace pt
