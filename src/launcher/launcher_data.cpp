// The launcher data document: loading with its fallbacks, the canonical add,
// the structural operations with their save rules, and the observer reports.
// File, timer and shell come in through LauncherDataStorage and
// LauncherSystem, so this file is pure.
#include "launcher/launcher_data.h"

#include <algorithm>
#include <utility>

#include "base/codepage.h"
#include "base/text.h"

namespace pt {

const std::string_view kDefaultLauncherDataText =
    "{\"class\":[{\"name\":\"新建分类1\",\"group\":[{\"name\":\"新建分组1\"}]}]}";

namespace {

constexpr std::string_view kNewClassName = "新建分类";
constexpr std::string_view kNewGroupName = "新建分组";

std::string ClassPath(int c) {
    return "class[" + std::to_string(c) + "]";
}
std::string GroupsPath(int c) {
    return ClassPath(c) + ".group";
}
std::string GroupPath(int c, int g) {
    return GroupsPath(c) + "[" + std::to_string(g) + "]";
}
std::string ItemsPath(int c, int g) {
    return GroupPath(c, g) + ".item";
}

// Trimmed, and without one trailing backslash unless that makes the root.
std::string PathText(std::string_view text) {
    std::string path = TrimSpaces(text);
    RemoveTrailingBackslash(path);
    return path;
}

bool StartsWithBytes(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
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

// The neighbours at a and b (a < b, adjacent) change places: the element at
// b is copied in before a, and the old one then standing at b + 1 goes.
void SwapNeighbours(JsonDocument& document, const std::string& arrayPath, int a, int b) {
    JsonDocument later = document.GetCopy(arrayPath + "[" + std::to_string(b) + "]");
    document.InsertCopy(arrayPath, a, later);
    document.RemoveElement(arrayPath, b + 1);
}

}  // namespace

ItemRecord ItemRecordFromJson(const JsonValue& item) {
    ItemRecord record;
    record.type = item.GetText("type");
    record.name = item.GetText("name");
    record.path = item.GetText("path");
    record.param = item.GetText("param");
    record.workDir = item.GetText("WorkDir");
    record.remarks = item.GetText("remarks");
    record.isAdministrator = item.GetBool("IsAdministrator");
    record.icon = item.GetText("icon");
    return record;
}

LauncherData::LauncherData(std::unique_ptr<LauncherDataStorage> storage,
                           std::unique_ptr<LauncherSystem> system)
    : storage_(std::move(storage)),
      system_(std::move(system)),
      document_(std::make_unique<JsonDocument>()) {}

LauncherData::~LauncherData() {
    if (storage_ && savePending_)
        storage_->CancelTimer();
}

// --- life cycle --------------------------------------------------------------

bool LauncherData::ReadFile(JsonDocument* file) {
    std::string bytes;
    FileReadStatus status = storage_->Read(&bytes);
    if (status == FileReadStatus::kOk && !bytes.empty()) {
        // The form Save writes. A byte-order mark is not ours, but an editor
        // may have added one.
        std::string_view wide = bytes;
        if (StartsWithBytes(wide, "\xFF\xFE"))
            wide.remove_prefix(2);
        if (file->ParseBytes(wide) && TakeAsData(*file)) {
            source_ = Source::kFile;
            return true;
        }
        // Older versions wrote code page 936 text. Text that is well-formed
        // UTF-8 (with or without its mark) came from an editor instead: real
        // Chinese text in code page 936 practically never is.
        std::string_view narrow = bytes;
        bool utf8 = StartsWithBytes(narrow, "\xEF\xBB\xBF");
        if (utf8)
            narrow.remove_prefix(3);
        utf8 = utf8 || IsValidUtf8(narrow);
        if (file->ParseText(utf8 ? std::string(narrow) : Cp936ToUtf8(narrow)) &&
            TakeAsData(*file)) {
            source_ = Source::kAnsi;
            return true;
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

    document_ = std::make_unique<JsonDocument>();
    currentGroups_.clear();
    currentClass_ = 0;
    const int classes = file.GetCount("class");
    for (int c = 0; c < classes; ++c) {
        const std::string classPath = ClassPath(c);
        std::string className = file.GetText(classPath + ".name");
        int newClass = AppendClassData(className);
        if (observer_)
            observer_->OnClassAdded(newClass, className);
        const std::string groupsPath = classPath + ".group";
        if (file.GetKind(groupsPath) != JsonKind::kArray)
            continue;
        const int groups = file.GetCount(groupsPath);
        for (int g = 0; g < groups; ++g) {
            const std::string groupPath = groupsPath + "[" + std::to_string(g) + "]";
            std::string groupName = file.GetText(groupPath + ".name");
            int newGroup = AppendGroupData(newClass, groupName);
            if (observer_)
                observer_->OnGroupAdded(newClass, newGroup, groupName);
            const std::string itemsPath = groupPath + ".item";
            if (file.GetKind(itemsPath) != JsonKind::kArray)
                continue;
            const int items = file.GetCount(itemsPath);
            for (int i = 0; i < items; ++i) {
                JsonDocument item = file.GetView(itemsPath, i);
                // Anything but an object has nothing an item could be made of.
                if (item.GetKind("") != JsonKind::kObject)
                    continue;
                PutItem(newClass, newGroup, ItemCount(newClass, newGroup),
                        Canonicalize(ItemRecordFromJson(item.Root())));
            }
        }
    }
    Selected();
}

bool LauncherData::Save() {
    if (savePending_) {
        storage_->CancelTimer();
        savePending_ = false;
    }
    uint32_t error = 0;
    if (storage_->Write(document_->Serialize(), &error)) {
        saveFailed_ = false;
        return true;
    }
    saveFailed_ = true;
    if (!failureReported_) {
        failureReported_ = true;
        if (failureHandler_)
            failureHandler_(error);
    }
    return false;
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
    failureHandler_ = std::move(handler);
}

std::string LauncherData::DocumentText() const {
    return document_->SerializeText();
}

// --- reading -----------------------------------------------------------------

int LauncherData::ClassCount() const {
    return document_->GetCount("class");
}

int LauncherData::GroupCount(int c) const {
    return ValidClass(c) ? document_->GetCount(GroupsPath(c)) : 0;
}

int LauncherData::ItemCount(int c, int g) const {
    return ValidGroup(c, g) ? document_->GetCount(ItemsPath(c, g)) : 0;
}

std::string LauncherData::ClassName(int c) const {
    return ValidClass(c) ? document_->GetText(ClassPath(c) + ".name") : std::string();
}

std::string LauncherData::GroupName(int c, int g) const {
    return ValidGroup(c, g) ? document_->GetText(GroupPath(c, g) + ".name") : std::string();
}

std::optional<ItemRecord> LauncherData::Item(int c, int g, int i) const {
    if (!ValidItem(c, g, i))
        return std::nullopt;
    JsonDocument item = document_->GetView(ItemsPath(c, g), i);
    return ItemRecordFromJson(item.Root());
}

std::string LauncherData::ItemText(int c, int g, int i) const {
    if (!ValidItem(c, g, i))
        return {};
    return document_->SerializeText(ItemsPath(c, g) + "[" + std::to_string(i) + "]");
}

JsonDocument LauncherData::ItemView(int c, int g, int i) const {
    if (!ValidItem(c, g, i))
        return JsonDocument();
    return document_->GetView(ItemsPath(c, g), i);
}

bool LauncherData::ValidClass(int c) const {
    return c >= 0 && c < ClassCount();
}

bool LauncherData::ValidGroup(int c, int g) const {
    return ValidClass(c) && g >= 0 && g < document_->GetCount(GroupsPath(c));
}

bool LauncherData::ValidItem(int c, int g, int i) const {
    return ValidGroup(c, g) && i >= 0 && i < document_->GetCount(ItemsPath(c, g));
}

// --- selection ---------------------------------------------------------------

int LauncherData::CurrentGroupOf(int c) const {
    if (c < 0 || c >= static_cast<int>(currentGroups_.size()))
        return -1;
    return currentGroups_[c];
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
    currentGroups_[currentClass_] = g;
    return true;
}

void LauncherData::Selected() {
    if (observer_)
        observer_->OnSelected(currentClass_, CurrentGroup());
}

// --- items -------------------------------------------------------------------

ItemRecord LauncherData::Canonicalize(const ItemRecord& source) {
    ItemRecord record;
    // Trimmed before anything looks at them: " C:\app.exe" is a drive path
    // like any other, and "C:\dir\" names the same folder as "C:\dir".
    record.name = TrimSpaces(source.name);
    record.path = PathText(source.path);
    record.param = TrimSpaces(source.param);
    record.workDir = PathText(source.workDir);
    record.remarks = TrimSpaces(source.remarks);
    record.isAdministrator = source.isAdministrator;
    record.icon = PathText(source.icon);

    TargetKind kind = system_->Classify(record.path);
    // Shortcut files stand for what they point at. Kind texts compare with
    // their letter case: "X.URL" stays a file item.
    if (kind.text == ".url") {
        if (std::optional<InternetShortcut> shortcut = system_->ReadInternetShortcut(record.path)) {
            record.path = PathText(shortcut->url);
            kind = system_->Classify(record.path);
            record.icon = PathText(shortcut->iconLocation);
        }
    }
    if (kind.text == ".lnk") {
        if (std::optional<ShortcutRecord> link = system_->ReadShortcut(record.path)) {
            record.path = PathText(link->targetPath);
            kind = system_->Classify(record.path);
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
    record.type = kind.text;
    if (!record.workDir.empty() &&
        EqualsNoCase(record.workDir, DefaultWorkDirFor(record.path, kind.id))) {
        record.workDir.clear();
    }
    if (!KeepsIcon(record))
        record.icon.clear();
    return record;
}

bool LauncherData::KeepsIcon(const ItemRecord& record) {
    return !record.icon.empty() &&
           !EqualsNoCase(system_->ExpandVariables(record.icon), record.path);
}

void LauncherData::WriteRecord(JsonDocument& target, const ItemRecord& record) {
    target.SetText("type", record.type);
    target.SetText("name", record.name);
    target.SetText("path", record.path);
    if (!record.param.empty())
        target.SetText("param", record.param);
    if (!record.workDir.empty())
        target.SetText("WorkDir", record.workDir);
    if (!record.remarks.empty())
        target.SetText("remarks", record.remarks);
    if (record.isAdministrator)
        target.SetBool("IsAdministrator", true);
    if (!record.icon.empty())
        target.SetText("icon", record.icon);
}

bool LauncherData::PutItem(int c, int g, int index, const ItemRecord& record) {
    JsonDocument item;
    WriteRecord(item, record);
    if (!document_->InsertCopy(ItemsPath(c, g), index, item))
        return false;
    if (observer_)
        observer_->OnItemAdded(c, g, index, record);
    return true;
}

bool LauncherData::AddItem(int c, int g, const ItemRecord& source) {
    return InsertItem(c, g, ItemCount(c, g), source);
}

bool LauncherData::InsertItem(int c, int g, int index, const ItemRecord& source) {
    if (!ValidGroup(c, g) || index < 0 || index > ItemCount(c, g))
        return false;
    if (!PutItem(c, g, index, Canonicalize(source)))
        return false;
    ScheduleSave();
    return true;
}

bool LauncherData::DeleteItem(int c, int g, int i) {
    if (!ValidItem(c, g, i))
        return false;
    if (observer_)
        observer_->OnIconReleased(c, g, i);
    document_->RemoveElement(ItemsPath(c, g), i);
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
    const std::string itemsPath = ItemsPath(c, g);
    JsonDocument item = document_->GetCopy(itemsPath + "[" + std::to_string(from) + "]");
    document_->RemoveElement(itemsPath, from);
    document_->InsertCopy(itemsPath, to, item);
    if (observer_)
        observer_->OnItemMoved(c, g, from, to);
    ScheduleSave();
    return true;
}

bool LauncherData::ReplaceItem(int c, int g, int i, const ItemRecord& record) {
    if (!ValidItem(c, g, i))
        return false;
    ItemRecord stored = record;
    if (!stored.workDir.empty() &&
        EqualsNoCase(stored.workDir,
                     DefaultWorkDirFor(stored.path, system_->Classify(stored.path).id))) {
        stored.workDir.clear();
    }
    if (!KeepsIcon(stored))
        stored.icon.clear();
    // Rewritten in place, so a view the caller holds sees the new record.
    JsonDocument item = document_->GetView(ItemsPath(c, g), i);
    item.Clear("");
    WriteRecord(item, stored);
    return ItemEdited(c, g, i);
}

bool LauncherData::ItemEdited(int c, int g, int i) {
    std::optional<ItemRecord> record = Item(c, g, i);
    if (!record)
        return false;
    if (observer_)
        observer_->OnItemRefreshed(c, g, i, *record);
    Save();
    return true;
}

void LauncherData::ReleaseIcons(int c, int g) {
    if (!observer_)
        return;
    const int items = ItemCount(c, g);
    for (int i = 0; i < items; ++i)
        observer_->OnIconReleased(c, g, i);
}

// --- categories and groups ---------------------------------------------------

int LauncherData::AppendClassData(std::string_view name) {
    document_->SetText("class[].name", name);
    currentGroups_.push_back(-1);
    return ClassCount() - 1;
}

int LauncherData::AppendGroupData(int c, std::string_view name) {
    document_->SetText(GroupsPath(c) + "[].name", name);
    if (currentGroups_[c] < 0)
        currentGroups_[c] = 0;
    return GroupCount(c) - 1;
}

bool LauncherData::NewClass() {
    std::string className = std::string(kNewClassName) + std::to_string(ClassCount() + 1);
    int c = AppendClassData(className);
    if (observer_)
        observer_->OnClassAdded(c, className);
    std::string groupName = std::string(kNewGroupName) + std::to_string(GroupCount(c) + 1);
    int g = AppendGroupData(c, groupName);
    if (observer_)
        observer_->OnGroupAdded(c, g, groupName);
    currentClass_ = c;
    currentGroups_[c] = g;
    Selected();
    Save();
    return true;
}

bool LauncherData::NewGroup() {
    const int c = currentClass_;
    if (!ValidClass(c))
        return false;
    std::string groupName = std::string(kNewGroupName) + std::to_string(GroupCount(c) + 1);
    int g = AppendGroupData(c, groupName);
    if (observer_)
        observer_->OnGroupAdded(c, g, groupName);
    currentGroups_[c] = g;
    Selected();
    Save();
    return true;
}

bool LauncherData::RenameClass(int c, std::string_view name) {
    if (!ValidClass(c))
        return false;
    document_->SetText(ClassPath(c) + ".name", name);
    if (observer_)
        observer_->OnClassRenamed(c, name);
    Save();
    return true;
}

bool LauncherData::RenameGroup(int c, int g, std::string_view name) {
    if (!ValidGroup(c, g))
        return false;
    document_->SetText(GroupPath(c, g) + ".name", name);
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
    SwapNeighbours(*document_, "class", std::min(from, to), std::max(from, to));
    std::swap(currentGroups_[from], currentGroups_[to]);
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
    SwapNeighbours(*document_, GroupsPath(c), std::min(from, to), std::max(from, to));
    currentGroups_[c] = to;
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
    JsonDocument group = document_->GetCopy(GroupPath(c, g));
    document_->AppendCopy(GroupsPath(target), group);
    const int newIndex = GroupCount(target) - 1;
    document_->RemoveElement(GroupsPath(c), g);
    currentGroups_[c] = std::min(g, GroupCount(c) - 1);
    if (currentGroups_[target] < 0)
        currentGroups_[target] = 0;
    if (observer_)
        observer_->OnGroupMovedToClass(c, g, target, newIndex);
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
    document_->RemoveMember(GroupPath(c, g), "item");
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
    document_->RemoveElement("class", c);
    currentGroups_.erase(currentGroups_.begin() + c);
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
    document_->RemoveElement(GroupsPath(c), g);
    currentGroups_[c] = std::min(g, GroupCount(c) - 1);
    if (observer_)
        observer_->OnGroupRemoved(c, g);
    Selected();
    Save();
    return true;
}

}  // namespace pt
