// The launcher data store: the categories ("class"), their groups and the
// groups' items, held in memory for the whole run and stored in data\Data as
// a JSON document. Every item that enters the document (loaded from the file,
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
// Each item counts its icon source once in the icon store (icon_store.h),
// from its canonical add until it is deleted, with its group or its
// category, and the counts follow moves and rewrites: an image whose items
// are all gone leaves the cache. The reports hand the panel the item's icon
// source and key, its stand-in kind and its missing state, so a cell is
// drawn without asking again.
//
// File, timer and shell access sit behind LauncherDataStorage and
// LauncherSystem, so the rules here are pure and tested natively; the Windows
// implementations come from MakeFileLauncherDataStorage and
// MakeShellLauncherSystem.
//
// Indices are 0-based: category c, group g (within c), item i (within g). An
// index that names nothing makes an operation return false (or 0, or "") and
// change nothing. All text is UTF-8. UI thread only.
//
// A start must not wait for the disk: one attribute query per item costs
// tens of microseconds under some systems, which for thousands of items is
// most of the start. So Load trusts an item whose stored "type" agrees with
// what its path's text says (an earlier canonical add wrote it) and leaves
// the look at the disk for later: VerifySome, called in small slices once
// the panel shows, asks the disk for those items, the current group first,
// and reports the ones whose kind, icon or missing state came out different.
// A network path is never asked on the UI thread: the system answers it
// later (ClassifyLater), since a server that does not answer takes seconds.
//
// The panel's part:
//   start  LauncherData data(MakeFileLauncherDataStorage(dataFolder),
//                            MakeShellLauncherSystem());
//          data.SetIconStore(&icons);              // before Load: it counts the icons
//          data.SetObserver(&panel);               // before Load: it builds the lists
//          data.SetSaveFailureHandler(report);     // the message box
//          data.Load();
//   idle   while (data.VerifySome(n)) ...          // a few ms per slice, on the UI thread
//   grid   OnItemAdded -> the cell from the ItemLook: the name colour from
//          its missing state, the cached image of its icon key, or its
//          stand-in while IconResolver (icon_resolver.h) extracts one.
//   exit   data.FlushPendingSave(), before the icon store's and the settings'.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/save_outcome.h"
#include "base/atomic_file.h"
#include "base/save_timer.h"
#include "doc/json_document.h"
#include "launcher/grid_entry.h"
#include "launcher/launch.h"
#include "launcher/target.h"
#include "base/shortcut.h"

namespace pt {

class IconStore;

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

// The record held by a JSON item object (the document's root); missing keys
// read as empty text or false, a value that is not text as its literal.
ItemRecord ItemRecordFromJson(const JsonDocument& item);
// The record as a JSON object in canonical key order, optional keys only when
// they carry something (UTF-8 text, as the document writer writes it).
std::string ItemRecordJson(const ItemRecord& record);

// An item as its grid cell shows it. Valid during the call that passes it.
struct ItemLook {
    const ItemRecord& record;  // the canonical record (what Item() returns)
    bool missing = false;      // TargetMissing: the name shows in grey
    IconPlaceholderKind placeholder = IconPlaceholderKind::kFile;  // shown until the image is in
    std::string_view iconSource;  // what the icon store counts for it; "" for none
    uint32_t iconKey = 0;         // its key in the store; 0 without a store or source
};

// What the panel does to its lists when the data changes. Every call comes
// after the data (and the icon counts) changed. Texts and items passed in
// are valid during the call only.
class LauncherObserver {
  public:
    virtual ~LauncherObserver() = default;

    // A category was appended (while loading and by NewClass): add its
    // sidebar entry and its (empty) group page.
    virtual void OnClassAdded(int c, std::string_view name) = 0;
    // A group was appended to category c: add its tab and item grid.
    virtual void OnGroupAdded(int c, int g, std::string_view name) = 0;
    // An item now stands at index i of group g; items from i on moved up by
    // one.
    virtual void OnItemAdded(int c, int g, int i, const ItemLook& item) = 0;

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

    // The item's record was rewritten (ReplaceItem, verification): refresh
    // the entry's text, tooltip and icon.
    virtual void OnItemRefreshed(int c, int g, int i, const ItemLook& item) = 0;

    // Verification found the item's target where its record says, nothing
    // to refresh: a target that was gone when its icon was last looked for
    // may be back.
    virtual void OnTargetFound(int c, int g, int i, const ItemLook& item) {
        (void)c;
        (void)g;
        (void)i;
        (void)item;
    }
};

// Where data\Data lives and how the deferred save is timed.
using LauncherDataStorage = DocumentStorage;

// The questions the canonical add asks the system.
class LauncherSystem {
  public:
    virtual ~LauncherSystem() = default;
    // The kind of a target; *exists tells whether the path names an existing
    // file or folder (false when the disk was not asked).
    virtual TargetKind Classify(std::string_view path, bool* exists) = 0;
    // The kind its text gives, without the folder test: no disk.
    virtual TargetKind ClassifyText(std::string_view path) = 0;
    // Whether a look at the path may wait on a server: a UNC path, or one on
    // a drive letter mapped to a share. Answered from the text and the local
    // drive table, never by asking the server.
    virtual bool IsRemote(std::string_view path) {
        return ClassifyText(path).id == TargetKindId::kUnc;
    }
    // Classify for a path whose look may wait on the network (IsRemote),
    // answered later, on the UI thread, through `done`; never after the
    // system is destroyed. False when this system only answers directly.
    virtual bool ClassifyLater(std::string path,
                               std::function<void(TargetKind kind, bool exists)> done) {
        (void)path;
        (void)done;
        return false;
    }
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
    // The icon store that counts the items' icon sources; nullptr for none.
    // Not owned; it must outlive this object or be replaced first. Items
    // already there are counted in the new store (the old one keeps its
    // counts: nothing leaves its cache because its user changed).
    void SetIconStore(IconStore* icons);

    // --- life cycle ---

    // Reads data\Data (UTF-16LE, else code page 936 text, else the default
    // document; a top-level "type" array is taken as "class"), rebuilds every
    // item through the canonical add, reports each category, group and item
    // to the observer in order and selects category 0. A file that exists
    // but cannot be used is first copied aside (BrokenCopyName). Writes
    // nothing. Meant to run once, before any other operation.
    //
    // An item whose stored type agrees with the text-only classification of
    // its path (or is "folder" for a path that may name one), and that is no
    // .url or .lnk, takes the canonical add without the disk and stays
    // unverified until VerifySome reaches it; it is not missing meanwhile.
    // A network path is always taken so, as its text's kind: the server is
    // asked only by verification, off the UI thread.
    void Load();
    // Verifies up to maxItems unverified items: the current group's first,
    // then the rest of the current category's, then the others in order.
    // An item whose folder test contradicts its kind, or a folder without an
    // icon, takes the full canonical add again; OnItemRefreshed reports an
    // item whose type, icon or missing state changed. Schedules no save (the
    // normalised form goes out with the next save anyway). True while
    // unverified items remain.
    bool VerifySome(int maxItems);
    // How many items VerifySome has still to reach.
    int UnverifiedCount() const;
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
    bool SaveDue() const { return savePending_ || saveOutcome_.Failed(); }
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
    // The item's JSON object as compact text ("" when there is none), for
    // callers that work on a document of their own.
    std::string ItemText(int c, int g, int i) const;
    // True when the item's target is a drive path that did not exist when the
    // item was loaded, added or replaced: the grid shows its name in grey
    // without a second look at the disk.
    bool TargetMissing(int c, int g, int i) const;
    // The icon source the item counts in the icon store ("" for none or no
    // such item), and its key there (0 without a store).
    std::string_view ItemIconSource(int c, int g, int i) const;
    uint32_t ItemIconKey(int c, int g, int i) const;

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
    // Removes the item (its icon no longer counted), reports OnItemRemoved
    // and schedules the save.
    bool DeleteItem(int c, int g, int i);
    // Takes the item out at `from` and puts it back at `to` (both in
    // 0..count-1); schedules the save.
    bool MoveItem(int c, int g, int from, int to);
    // Replaces the record as given (for the properties dialog and the
    // cipher: its type is not worked out again, no shortcut is resolved),
    // dropping WorkDir and icon under the same conditions as the canonical
    // add; reports OnItemRefreshed and saves now.
    bool ReplaceItem(int c, int g, int i, const ItemRecord& record);

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
    struct Entry {
        ItemRecord record;
        bool missing = false;
        bool verified = true;    // false: loaded on trust, the disk not asked yet
        bool asking = false;     // a network path whose answer is on its way
        std::string iconSource;  // counted in icons_ while the entry is in the lists
        uint32_t iconKey = 0;
    };
    struct Group {
        std::string name;
        std::vector<Entry> items;
        int unverified = 0;
        // Every entry before this index is verified.
        size_t verifyFrom = 0;
    };
    struct Category {
        std::string name;
        std::vector<Group> groups;
        int currentGroup = -1;  // -1 without groups
    };

    bool ValidClass(int c) const;
    bool ValidGroup(int c, int g) const;
    bool ValidItem(int c, int g, int i) const;
    Entry Canonical(const ItemRecord& source);
    Entry Complete(ItemRecord record, TargetKind kind, bool exists);
    std::optional<Entry> Trusted(const ItemRecord& source);
    bool VerifyIn(int c, int g, int* budget);
    void Verify(int c, int g, size_t i);
    // What verification does with the disk's answer about entry (c, g, i).
    void ApplyVerification(int c, int g, size_t i, TargetKind kind, bool exists);
    // A network path's answer: applied to the entries still waiting for it.
    void AnsweredLater(const std::string& path, const TargetKind& kind, bool exists);
    ItemRecord Stored(ItemRecord record, TargetKindId kind);
    void PutItem(int c, int g, int index, Entry entry);
    void AddGroup(int c, std::string name);
    // The entry's icon source worked out from its record and counted.
    void CountIcon(Entry& entry);
    void UncountIcon(const Entry& entry);
    // After the record changed: the new source is counted before the old one
    // goes, so an unchanged image never leaves the cache in between.
    void RecountIcon(Entry& entry);
    void ReleaseIcons(int c, int g);
    ItemLook LookOf(const Entry& entry) const;
    void Selected();
    bool ReadFile(JsonDocument* file);
    void Build(const JsonDocument& file);
    std::u16string Serialize() const;

    std::unique_ptr<LauncherDataStorage> storage_;
    std::unique_ptr<LauncherSystem> system_;
    LauncherObserver* observer_ = nullptr;
    IconStore* icons_ = nullptr;
    std::vector<Category> classes_;
    int currentClass_ = 0;
    bool savePending_ = false;
    SaveOutcome saveOutcome_;
    Source source_ = Source::kNone;
    std::string brokenCopy_;
};

}  // namespace pt
