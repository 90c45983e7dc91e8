// The launcher data store: the categories ("class"), their groups and the
// groups' items, held as one JSON document for the whole run and stored in
// data\Data. Every item that enters the document (loaded from the file,
// dropped, inserted) passes through the canonical add: its target is
// classified, a .url or .lnk file is resolved to what it points at, an item
// without an icon gets its default icon source, the texts are trimmed, and the
// record's keys are written in one fixed order, leaving out those that carry
// nothing. Loading therefore also normalises the file.
//
// Structural edits of categories and groups write the file at once; item
// edits re-arm a 5-second deferred save, so a burst of them costs one write.
//
// The panel keeps its sidebar entries, group tabs and grid entries in step by
// implementing LauncherObserver: every operation first changes the document
// and then reports what changed, in the order the lists must follow.
//
// File, timer and shell access sit behind LauncherDataStorage and
// LauncherSystem, so the rules here are pure and tested natively; the Windows
// implementations come from MakeFileLauncherDataStorage and
// MakeShellLauncherSystem.
//
// Indices are 0-based: category c, group g (within c), item i (within g). An
// index that names nothing makes an operation return false (or 0, or "") and
// change nothing. All text is UTF-8. UI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/atomic_file.h"
#include "doc/json_document.h"
#include "launcher/launch.h"
#include "launcher/target.h"
#include "settings/shortcut.h"

namespace pt {

inline constexpr unsigned kLauncherSaveDelayMs = 5000;

// The document used when data\Data is missing or cannot be used.
extern const std::string_view kDefaultLauncherDataText;

// One item as stored. `type` is the kind text of `path` (TargetKind::text).
struct ItemRecord {
    std::string type;
    std::string name;
    std::string path;
    std::string param;
    std::string workDir;
    std::string remarks;
    bool isAdministrator = false;
    std::string icon;

    bool operator==(const ItemRecord&) const = default;
};

// The record held by a JSON item object; missing keys read as empty text or
// false, and a value that is not text reads as its literal.
ItemRecord ItemRecordFromJson(const JsonValue& item);

// What the panel does to its lists when the data changes. Every call comes
// after the document has changed, except OnIconReleased, which comes before
// the item goes (its record is still readable then).
class LauncherObserver {
  public:
    virtual ~LauncherObserver() = default;

    // A category was appended (while loading and by NewClass): add its
    // sidebar entry and its (empty) group page.
    virtual void OnClassAdded(int c, std::string_view name) = 0;
    // A group was appended to category c: add its tab and item grid.
    virtual void OnGroupAdded(int c, int g, std::string_view name) = 0;
    // An item now stands at index i of group g; items from i on moved up by
    // one. `record` is the canonical record (what Item() returns).
    virtual void OnItemAdded(int c, int g, int i, const ItemRecord& record) = 0;

    virtual void OnClassRemoved(int c) = 0;
    virtual void OnGroupRemoved(int c, int g) = 0;
    virtual void OnItemRemoved(int c, int g, int i) = 0;
    // Every item of the group is gone.
    virtual void OnGroupCleared(int c, int g) = 0;

    // Two neighbours changed places: the entry at `from` is now at `to`, and
    // the one that stood at `to` is at `from`.
    virtual void OnClassMoved(int from, int to) = 0;
    virtual void OnGroupMoved(int c, int from, int to) = 0;
    // An item was taken out at `from` and put back so that it stands at `to`.
    virtual void OnItemMoved(int c, int g, int from, int to) = 0;
    // Group g of category `fromClass` now is the last group (`toGroup`) of
    // category `toClass`, with its items (the grid moves with its tab).
    virtual void OnGroupMovedToClass(int fromClass, int g, int toClass, int toGroup) = 0;

    virtual void OnClassRenamed(int c, std::string_view name) = 0;
    virtual void OnGroupRenamed(int c, int g, std::string_view name) = 0;

    // The current category or group index changed through an operation of the
    // store (loading, new, move, delete): check category c and its group g
    // (g is -1 when the category has no groups). Not sent for SelectClass and
    // SelectGroup, which the panel calls itself.
    virtual void OnSelected(int c, int g) = 0;

    // The item's record was rewritten in place (ReplaceItem, ItemEdited):
    // refresh the entry's text, tooltip and icon.
    virtual void OnItemRefreshed(int c, int g, int i, const ItemRecord& record) = 0;

    // The item's grid entry is about to go (DeleteItem, ClearGroup,
    // DeleteGroup, DeleteClass): release its image from the icon store.
    virtual void OnIconReleased(int c, int g, int i) = 0;
};

// Where data\Data lives and how the deferred save is timed.
class LauncherDataStorage {
  public:
    virtual ~LauncherDataStorage() = default;
    virtual FileReadStatus Read(std::string* bytes) = 0;
    // Replaces the file (creating its folder); false with a Win32 error code
    // when that failed, leaving the old file.
    virtual bool Write(std::string_view bytes, uint32_t* error) = 0;
    // Copies the current file aside under a new name so that a file that
    // could not be used survives the next save. The new name, or "".
    virtual std::string KeepBrokenCopy() = 0;
    // Arms the deferred-save timer, replacing an armed one; fire runs once on
    // the UI thread when it elapses.
    virtual void ArmTimer(std::function<void()> fire) = 0;
    virtual void CancelTimer() = 0;
};

// The questions the canonical add asks the system.
class LauncherSystem {
  public:
    virtual ~LauncherSystem() = default;
    virtual TargetKind Classify(std::string_view path) = 0;
    // The folder's desktop.ini icon (IconResource, as written) when the file
    // it names exists; "" otherwise.
    virtual std::string FolderIconResource(std::string_view folder) = 0;
    virtual std::string ExpandVariables(std::string_view text) = 0;
    virtual std::optional<InternetShortcut> ReadInternetShortcut(std::string_view file) = 0;
    // Target, arguments, working directory, description and icon location of
    // a .lnk file; nothing when it cannot be read or names no target.
    virtual std::optional<ShortcutRecord> ReadShortcut(std::string_view file) = 0;
};

#ifdef _WIN32
// dataFolder\Data with atomic saves; a thread timer without a window of
// delayMs. A broken file is copied to dataFolder\Data.broken-YYYYMMDD-HHMMSS.
std::unique_ptr<LauncherDataStorage> MakeFileLauncherDataStorage(
    std::string dataFolder, unsigned delayMs = kLauncherSaveDelayMs);
// The shell's classification, desktop.ini, environment and shortcut readers.
std::unique_ptr<LauncherSystem> MakeShellLauncherSystem();
#endif

class LauncherData {
  public:
    // How Load came by the document.
    enum class Source {
        kNone,     // not loaded yet
        kFile,     // data\Data as UTF-16LE (the form Save writes)
        kAnsi,     // data\Data as code page 936 text (older versions), or UTF-8
        kDefault,  // the default document
    };

    LauncherData(std::unique_ptr<LauncherDataStorage> storage,
                 std::unique_ptr<LauncherSystem> system);
    ~LauncherData();
    LauncherData(const LauncherData&) = delete;
    LauncherData& operator=(const LauncherData&) = delete;

    // The panel; nullptr for none. Not owned.
    void SetObserver(LauncherObserver* observer) { observer_ = observer; }

    // --- life cycle ---

    // Reads data\Data (UTF-16LE, else code page 936 text, else the default
    // document; a top-level "type" array is taken as "class"), rebuilds every
    // item through the canonical add, reports each category, group and item
    // to the observer in order and selects category 0. A file that exists
    // but cannot be used is first copied aside (BrokenCopyName). Writes
    // nothing. Meant to run once, before any other operation.
    void Load();
    // Writes data\Data now and cancels a pending deferred save. On failure
    // the document stays as it is and the save stays due (FlushPendingSave
    // and the next change retry); the first failure of the run is reported
    // to the failure handler. True when the file was written.
    bool Save();
    // Arms or re-arms the 5-second deferred save.
    void ScheduleSave();
    // Saves if a save is due (armed, or an earlier one failed). For exit.
    void FlushPendingSave();
    bool SavePending() const { return savePending_; }
    bool SaveDue() const { return savePending_ || saveFailed_; }
    // Called once, for the first failed save of the run, with its Win32 error.
    void SetSaveFailureHandler(std::function<void(uint32_t error)> handler);
    Source LoadedFrom() const { return source_; }
    // Name of the copy Load made of an unusable file; "" when it made none.
    const std::string& BrokenCopyName() const { return brokenCopy_; }
    // The document as the next save writes it (UTF-8 JSON text).
    std::string DocumentText() const;

    // --- reading ---

    int ClassCount() const;
    int GroupCount(int c) const;  // 0 when the category has no "group"
    int ItemCount(int c, int g) const;
    std::string ClassName(int c) const;
    std::string GroupName(int c, int g) const;
    std::optional<ItemRecord> Item(int c, int g, int i) const;
    // The item's JSON object as compact text ("" when there is none).
    std::string ItemText(int c, int g, int i) const;
    // A document sharing the item's node: changes through it change the
    // store's document (call ItemEdited afterwards). Valid until the next
    // structural change; an empty unshared document when there is no item.
    JsonDocument ItemView(int c, int g, int i) const;

    // --- selection ---

    int CurrentClass() const { return currentClass_; }
    // The current group of the current category (-1 when it has none).
    int CurrentGroup() const { return CurrentGroupOf(currentClass_); }
    // Each category remembers its own current group.
    int CurrentGroupOf(int c) const;
    // The panel's own selection changes (no OnSelected).
    bool SelectClass(int c);
    bool SelectGroup(int g);  // within the current category

    // --- items ---

    // The canonical record of a source record, as AddItem would store it.
    ItemRecord Canonicalize(const ItemRecord& source);
    // Canonical add at the end of group g of category c; reports
    // OnItemAdded and schedules the save.
    bool AddItem(int c, int g, const ItemRecord& source);
    // The same, inserted at `index` (0..count).
    bool InsertItem(int c, int g, int index, const ItemRecord& source);
    // Reports OnIconReleased, removes the item, reports OnItemRemoved and
    // schedules the save.
    bool DeleteItem(int c, int g, int i);
    // Takes the item out at `from` and puts it back at `to` (both in
    // 0..count-1); schedules the save.
    bool MoveItem(int c, int g, int from, int to);
    // Rewrites the record in place as given (its type is not worked out
    // again; no shortcut is resolved), keys in canonical order with the same
    // conditions as the canonical add; reports OnItemRefreshed and saves now.
    bool ReplaceItem(int c, int g, int i, const ItemRecord& record);
    // After the record was changed through ItemView: reports OnItemRefreshed
    // and saves now.
    bool ItemEdited(int c, int g, int i);

    // --- categories and groups (each saves now) ---

    // A category "新建分类<n+1>" with one group "新建分组1", selected.
    bool NewClass();
    // A group "新建分组<count+1>" in the current category, selected.
    bool NewGroup();
    bool RenameClass(int c, std::string_view name);
    bool RenameGroup(int c, int g, std::string_view name);
    // The current category changes places with its upper (up) or lower
    // neighbour and stays current; false when there is no such neighbour.
    bool MoveClass(bool up);
    // The current group changes places with its left or right neighbour.
    bool MoveGroup(bool left);
    // The current group goes to the end of category `target`; the current
    // category keeps its place and selects one of its remaining groups.
    // False for the current category itself or its only group.
    bool MoveGroupToClass(int target);
    // Removes every item of the current group.
    bool ClearGroup();
    // Remove the current category or group with everything in it; the one
    // that takes its place (or the one before it) becomes current. The last
    // category and a category's last group cannot be removed.
    bool DeleteClass();
    bool DeleteGroup();

  private:
    int AppendClassData(std::string_view name);
    int AppendGroupData(int c, std::string_view name);
    bool ValidClass(int c) const;
    bool ValidGroup(int c, int g) const;
    bool ValidItem(int c, int g, int i) const;
    bool PutItem(int c, int g, int index, const ItemRecord& record);
    void WriteRecord(JsonDocument& target, const ItemRecord& record);
    bool KeepsIcon(const ItemRecord& record);
    void ReleaseIcons(int c, int g);
    void Selected();
    bool ReadFile(JsonDocument* file);

    std::unique_ptr<LauncherDataStorage> storage_;
    std::unique_ptr<LauncherSystem> system_;
    std::unique_ptr<JsonDocument> document_;
    LauncherObserver* observer_ = nullptr;
    int currentClass_ = 0;
    std::vector<int> currentGroups_;  // per category; -1 without groups
    bool savePending_ = false;
    bool saveFailed_ = false;
    bool failureReported_ = false;
    std::function<void(uint32_t)> failureHandler_;
    Source source_ = Source::kNone;
    std::string brokenCopy_;
};

}  // namespace pt
