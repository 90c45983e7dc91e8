// The settings document: loading with its fallbacks and repairs, the typed
// accessors, and the save scheduling. File and timer access go through
// SettingsStorage, so this file is pure.
#include "settings/settings_store.h"

#include "doc/json_document.h"
#include "doc/json_file.h"

#include <algorithm>
#include <utility>

namespace pt {

const std::string_view kDefaultSettingsText =
    "{\"General\":{\"DPIAware\":0,\"DPIReset\":0,\"TopMost\":0,\"ShowTrayIcon\":1,"
    "\"ShowFollowsMouse\":0,\"PosLock\":0,\"SizeLock\":0,\"PosRemember\":{},\"SizeRemember\":{},"
    "\"IndexRemember\":{}},"
    "\"Action\":{\"HideAfterStartup\":0,\"HideAfterExec\":0,\"HideAfterKillFocus\":0,"
    "\"DockPanel\":1,\"ExitAfterClose\":0,\"DoubleClick\":0,\"ShiftShowMenu\":1,"
    "\"MouseHoveCheck\":0},"
    "\"Shortcutkey\":{\"RegFailTips\":1,\"Pinatrove\":{\"bEnable\":1,\"HotKey\":\"Ctrl + `\"},"
    "\"Camera\":{\"bEnable\":0,\"HotKey\":\"F4\"}},"
    "\"Skin\":{\"background-color\":-657931,\"style-mac\":0,\"border-radius\":1},"
    "\"More\":{\"Easing\":{\"bEnable\":1,\"Speed\":25},\"drag-flag\":0}}";

namespace {

constexpr JsonKind kKindMissing = JsonKind::kNone;
constexpr JsonKind kKindObject = JsonKind::kObject;

constexpr int kMinSpeed = 5;
constexpr int kMaxSpeed = 30;

// Members of General and Action in the order the default document has them;
// the two rebuilds write them back in this order.
constexpr std::string_view kGeneralFlags[] = {
    "DPIAware", "DPIReset", "TopMost", "ShowTrayIcon", "ShowFollowsMouse", "PosLock", "SizeLock"};
constexpr std::string_view kGeneralObjects[] = {"PosRemember", "SizeRemember", "IndexRemember"};
constexpr std::string_view kActionFlags[] = {
    "HideAfterStartup", "HideAfterExec", "HideAfterKillFocus", "DockPanel",
    "ExitAfterClose",   "DoubleClick",   "ShiftShowMenu",      "MouseHoveCheck"};

std::string Join(std::string_view a, std::string_view b) {
    std::string path(a);
    path += '.';
    path += b;
    return path;
}

// An entry name as one path segment: the path syntax gives ".", "[", "]"
// and "\" a meaning unless escaped.
std::string EscapeSegment(std::string_view name) {
    std::string segment;
    for (char c : name) {
        if (c == '.' || c == '[' || c == ']' || c == '\\')
            segment += '\\';
        segment += c;
    }
    return segment;
}

std::string HotkeyPath(std::string_view entry, std::string_view member) {
    return "Shortcutkey." + EscapeSegment(entry) + "." + std::string(member);
}

}  // namespace

SettingsStore::SettingsStore(std::unique_ptr<SettingsStorage> storage)
    : storage_(std::move(storage)), document_(std::make_unique<JsonDocument>()) {
    document_->ParseText(kDefaultSettingsText);
}

SettingsStore::~SettingsStore() {
    if (storage_)
        storage_->CancelTimer();
}

void SettingsStore::Load() {
    std::string bytes;
    FileReadStatus status = storage_->Read(&bytes);
    bool usable = false;
    if (status == FileReadStatus::kOk && !bytes.empty()) {
        // A document that parses but is not an object was not written by us
        // either; it is kept aside like one that does not parse.
        // Read in every form the data file is read in: an editor such as
        // Notepad saves with a byte-order mark, or as UTF-8.
        usable = ParseJsonFile(document_.get(), bytes, [](JsonDocument& d) {
                     return d.GetKind("") == kKindObject;
                 }) != JsonFileForm::kNone;
    }
    // A file that exists but is unusable would be overwritten by the next
    // save; keep a copy so what the user had can still be recovered.
    brokenCopy_.clear();
    if (!usable && (status == FileReadStatus::kFailed || !bytes.empty())) {
        brokenCopy_ = storage_->KeepBrokenCopy();
    }
    if (!usable)
        document_->ParseText(kDefaultSettingsText);
    Repair();
}

void SettingsStore::Repair() {
    // Older versions called RegFailTips ConflictWarning; keep its place.
    if (document_->GetKind("Shortcutkey.ConflictWarning") != kKindMissing) {
        document_->RenameMember("Shortcutkey", "ConflictWarning", "RegFailTips");
    }
    // ... and kept the remembered values directly under General.
    for (std::string_view stale : {"PosLast", "SizeLast", "IndexLast"}) {
        if (document_->GetKind(Join("General", stale)) != kKindMissing) {
            document_->RemoveMember("General", stale);
        }
    }
}

void SettingsStore::ScheduleSave() {
    savePending_ = true;
    storage_->ArmTimer([this] { SaveNow(); });
}

bool SettingsStore::SaveNow() {
    if (savePending_)
        storage_->CancelTimer();
    savePending_ = false;
    uint32_t error = 0;
    const bool ok = storage_->Write(document_->Serialize(), &error);
    return saveOutcome_.Record(ok, error);
}

void SettingsStore::FlushPendingSave() {
    if (SaveDue())
        SaveNow();
}

void SettingsStore::SetSaveFailureHandler(std::function<void(uint32_t error)> handler) {
    saveOutcome_.SetFailureHandler(std::move(handler));
}

std::string SettingsStore::DocumentText() const {
    return document_->SerializeText();
}

bool SettingsStore::Bool(std::string_view path) const {
    return document_->GetBool(path);
}

int SettingsStore::Int(std::string_view path) const {
    return document_->GetInt(path);
}

void SettingsStore::WriteInt(std::string_view path, int value) {
    const bool changed =
        document_->GetKind(path) == kKindMissing || document_->GetInt(path) != value;
    document_->SetInt(path, value);
    ScheduleSave();
    if (changed)
        Announce(path);
}

int SettingsStore::Subscribe(SettingsObserver observer) {
    const int id = ++nextObserver_;
    observers_.emplace_back(id, std::make_shared<SettingsObserver>(std::move(observer)));
    return id;
}

void SettingsStore::Unsubscribe(int id) {
    observers_.erase(std::remove_if(observers_.begin(), observers_.end(),
                                    [id](const auto& o) { return o.first == id; }),
                     observers_.end());
}

void SettingsStore::Announce(std::string_view key) {
    // A snapshot: observers may (un)subscribe while being told; one removed
    // meanwhile is not told any more.
    const auto snapshot = observers_;
    const std::string copy(key);
    for (const auto& [id, observer] : snapshot) {
        const bool still = std::any_of(observers_.begin(), observers_.end(),
                                       [id = id](const auto& o) { return o.first == id; });
        if (still && *observer)
            (*observer)(copy);
    }
}

void SettingsStore::SetRemember(std::string_view object, bool value) {
    std::string path = Join("General", object);
    document_->Clear(path);
    WriteInt(Join(path, "bEnable"), value ? 1 : 0);
}

void SettingsStore::RebuildGeneral(bool showFollowsMouse) {
    const bool before = Bool("General.ShowFollowsMouse");
    JsonDocument copy = document_->GetCopy("General");
    document_->Clear("General");
    for (std::string_view name : kGeneralFlags) {
        int value = name == "ShowFollowsMouse" ? (showFollowsMouse ? 1 : 0) : copy.GetInt(name);
        document_->SetInt(Join("General", name), value);
    }
    for (std::string_view name : kGeneralObjects) {
        if (copy.GetKind(name) == kKindMissing)
            continue;
        document_->SetMemberCopy("General", name, copy.GetMemberView("", name));
    }
    ScheduleSave();
    if (before != showFollowsMouse)
        Announce("General.ShowFollowsMouse");
}

void SettingsStore::RebuildAction(bool hideAfterKillFocus) {
    const bool before = Bool("Action.HideAfterKillFocus");
    JsonDocument copy = document_->GetCopy("Action");
    document_->Clear("Action");
    for (std::string_view name : kActionFlags) {
        int value = name == "HideAfterKillFocus" ? (hideAfterKillFocus ? 1 : 0) : copy.GetInt(name);
        document_->SetInt(Join("Action", name), value);
    }
    ScheduleSave();
    if (before != hideAfterKillFocus)
        Announce("Action.HideAfterKillFocus");
}

// --- General ---

bool SettingsStore::GetDPIAware() const {
    return Bool("General.DPIAware");
}
void SettingsStore::SetDPIAware(bool value) {
    WriteInt("General.DPIAware", value);
    SetDPIReset(true);
}
bool SettingsStore::GetDPIReset() const {
    return Bool("General.DPIReset");
}
void SettingsStore::SetDPIReset(bool value) {
    WriteInt("General.DPIReset", value);
}
bool SettingsStore::GetTopMost() const {
    return Bool("General.TopMost");
}
void SettingsStore::SetTopMost(bool value) {
    WriteInt("General.TopMost", value);
}
bool SettingsStore::GetShowTrayIcon() const {
    return Bool("General.ShowTrayIcon");
}
void SettingsStore::SetShowTrayIcon(bool value) {
    WriteInt("General.ShowTrayIcon", value);
}
bool SettingsStore::GetShowFollowsMouse() const {
    return Bool("General.ShowFollowsMouse");
}
void SettingsStore::SetShowFollowsMouse(bool value) {
    RebuildGeneral(value);
}
bool SettingsStore::GetPosLock() const {
    return Bool("General.PosLock");
}
void SettingsStore::SetPosLock(bool value) {
    WriteInt("General.PosLock", value);
}
bool SettingsStore::GetSizeLock() const {
    return Bool("General.SizeLock");
}
void SettingsStore::SetSizeLock(bool value) {
    WriteInt("General.SizeLock", value);
}

bool SettingsStore::GetPosRemember() const {
    return Bool("General.PosRemember.bEnable");
}
void SettingsStore::SetPosRemember(bool value) {
    SetRemember("PosRemember", value);
}
void SettingsStore::GetPosLast(int* xPos, int* yPos) const {
    *xPos = Int("General.PosRemember.PosLast.xPos");
    *yPos = Int("General.PosRemember.PosLast.yPos");
}
void SettingsStore::SetPosLast(int xPos, int yPos) {
    const bool changed = Int("General.PosRemember.PosLast.xPos") != xPos ||
                         Int("General.PosRemember.PosLast.yPos") != yPos ||
                         document_->GetKind("General.PosRemember.PosLast.yPos") == kKindMissing;
    document_->SetInt("General.PosRemember.PosLast.xPos", xPos);
    document_->SetInt("General.PosRemember.PosLast.yPos", yPos);
    ScheduleSave();
    if (changed)
        Announce("General.PosRemember.PosLast");
}

bool SettingsStore::GetSizeRemember() const {
    return Bool("General.SizeRemember.bEnable");
}
void SettingsStore::SetSizeRemember(bool value) {
    SetRemember("SizeRemember", value);
}
void SettingsStore::GetSizeLast(int* width, int* height) const {
    *width = Int("General.SizeRemember.SizeLast.width");
    *height = Int("General.SizeRemember.SizeLast.height");
}
void SettingsStore::SetSizeLast(int width, int height) {
    const bool changed = Int("General.SizeRemember.SizeLast.width") != width ||
                         Int("General.SizeRemember.SizeLast.height") != height ||
                         document_->GetKind("General.SizeRemember.SizeLast.height") == kKindMissing;
    document_->SetInt("General.SizeRemember.SizeLast.width", width);
    document_->SetInt("General.SizeRemember.SizeLast.height", height);
    ScheduleSave();
    if (changed)
        Announce("General.SizeRemember.SizeLast");
}

bool SettingsStore::GetIndexRemember() const {
    return Bool("General.IndexRemember.bEnable");
}
void SettingsStore::SetIndexRemember(bool value) {
    SetRemember("IndexRemember", value);
}
void SettingsStore::GetIndexLast(int* iClass, int* iGroup) const {
    *iClass = Int("General.IndexRemember.IndexLast.iClass");
    *iGroup = Int("General.IndexRemember.IndexLast.iGRoup");  // sic: capital G and R
}
void SettingsStore::SetIndexLast(int iClass, int iGroup) {
    const bool changed =
        Int("General.IndexRemember.IndexLast.iClass") != iClass ||
        Int("General.IndexRemember.IndexLast.iGRoup") != iGroup ||
        document_->GetKind("General.IndexRemember.IndexLast.iGRoup") == kKindMissing;
    document_->SetInt("General.IndexRemember.IndexLast.iClass", iClass);
    document_->SetInt("General.IndexRemember.IndexLast.iGRoup", iGroup);
    ScheduleSave();
    if (changed)
        Announce("General.IndexRemember.IndexLast");
}

// --- Action ---

bool SettingsStore::GetHideAfterStartup() const {
    return Bool("Action.HideAfterStartup");
}
void SettingsStore::SetHideAfterStartup(bool value) {
    WriteInt("Action.HideAfterStartup", value);
}
bool SettingsStore::GetHideAfterExec() const {
    return Bool("Action.HideAfterExec");
}
void SettingsStore::SetHideAfterExec(bool value) {
    WriteInt("Action.HideAfterExec", value);
}
bool SettingsStore::GetHideAfterKillFocus() const {
    return Bool("Action.HideAfterKillFocus");
}
void SettingsStore::SetHideAfterKillFocus(bool value) {
    RebuildAction(value);
}
bool SettingsStore::GetDockPanel() const {
    return Bool("Action.DockPanel");
}
void SettingsStore::SetDockPanel(bool value) {
    WriteInt("Action.DockPanel", value);
}
bool SettingsStore::GetExitAfterClose() const {
    return Bool("Action.ExitAfterClose");
}
void SettingsStore::SetExitAfterClose(bool value) {
    WriteInt("Action.ExitAfterClose", value);
}
bool SettingsStore::GetDoubleClick() const {
    return Bool("Action.DoubleClick");
}
void SettingsStore::SetDoubleClick(bool value) {
    WriteInt("Action.DoubleClick", value);
}
bool SettingsStore::GetShiftShowMenu() const {
    return Bool("Action.ShiftShowMenu");
}
void SettingsStore::SetShiftShowMenu(bool value) {
    WriteInt("Action.ShiftShowMenu", value);
}
bool SettingsStore::GetMouseHoveCheck() const {
    return Bool("Action.MouseHoveCheck");
}
void SettingsStore::SetMouseHoveCheck(bool value) {
    WriteInt("Action.MouseHoveCheck", value);
}

// --- Shortcutkey ---

bool SettingsStore::GetRegFailTips() const {
    return Bool("Shortcutkey.RegFailTips");
}
void SettingsStore::SetRegFailTips(bool value) {
    WriteInt("Shortcutkey.RegFailTips", value);
}

bool SettingsStore::GetHotkey(std::string_view entry, std::string* text) const {
    *text = document_->GetText(HotkeyPath(entry, "HotKey"));
    return Bool(HotkeyPath(entry, "bEnable"));
}

void SettingsStore::SetHotkey(std::string_view entry, std::string_view text, bool enable) {
    const bool changed = Bool(HotkeyPath(entry, "bEnable")) != enable ||
                         document_->GetKind(HotkeyPath(entry, "bEnable")) == kKindMissing ||
                         document_->GetText(HotkeyPath(entry, "HotKey")) != text;
    document_->SetInt(HotkeyPath(entry, "bEnable"), enable ? 1 : 0);
    document_->SetText(HotkeyPath(entry, "HotKey"), text);
    ScheduleSave();
    if (changed)
        Announce(std::string(kSettingHotkeyPrefix) + std::string(entry));
}

// --- Skin ---

int32_t SettingsStore::GetBackgroundColor() const {
    return Int("Skin.background-color");
}
void SettingsStore::SetBackgroundColor(int32_t value) {
    WriteInt("Skin.background-color", value);
}
bool SettingsStore::GetStyleMac() const {
    return Bool("Skin.style-mac");
}
void SettingsStore::SetStyleMac(bool value) {
    WriteInt("Skin.style-mac", value);
}
bool SettingsStore::GetBorderRadius() const {
    return Bool("Skin.border-radius");
}
void SettingsStore::SetBorderRadius(bool value) {
    WriteInt("Skin.border-radius", value);
}

// --- More ---

bool SettingsStore::GetEasing() const {
    return Bool("More.Easing.bEnable");
}
void SettingsStore::SetEasing(bool value) {
    WriteInt("More.Easing.bEnable", value);
}
int SettingsStore::GetSpeed() const {
    return std::clamp(Int("More.Easing.Speed"), kMinSpeed, kMaxSpeed);
}
void SettingsStore::SetSpeed(int value) {
    WriteInt("More.Easing.Speed", value);
}
bool SettingsStore::GetDragFlag() const {
    return Bool("More.drag-flag");
}
void SettingsStore::SetDragFlag(bool value) {
    WriteInt("More.drag-flag", value);
}

// --- the process-wide instance ---

namespace {
SettingsStore* g_settings = nullptr;
}  // namespace

void InstallSettings(SettingsStore* store) {
    g_settings = store;
}

SettingsStore& Settings() {
    return *g_settings;
}

}  // namespace pt
