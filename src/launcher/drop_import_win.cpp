// The drop import on top of OLE and the shell: reading another program's
// data object (file list, shell ID list array) and appending what it holds;
// see drop_import.h.
#include "launcher/drop_import.h"

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <utility>

#include "base/text.h"
#include "base/win_handles.h"
#include "launcher/drop_blocks.h"
#include "launcher/target.h"

namespace pt {
namespace {

// A shell object's parsing name may be long (a deep path); the shell's own
// limit for a path is 32,767 units.
constexpr UINT kNameUnits = 32768;

// Releases a medium the data object filled in, whatever it holds.
class Medium {
  public:
    Medium() = default;
    Medium(const Medium&) = delete;
    Medium& operator=(const Medium&) = delete;
    ~Medium() {
        if (filled_)
            ::ReleaseStgMedium(&medium_);
    }
    // GetData with the one request form the panel uses: no target device,
    // the content, every page, a global memory block.
    bool Get(IDataObject* data, CLIPFORMAT format) {
        FORMATETC request{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        filled_ = SUCCEEDED(data->GetData(&request, &medium_));
        if (filled_ && (medium_.tymed != TYMED_HGLOBAL || !medium_.hGlobal))
            return false;
        return filled_;
    }
    HGLOBAL Global() const { return medium_.hGlobal; }

  private:
    STGMEDIUM medium_{};
    bool filled_ = false;
};

// A global block's bytes for one scope. GlobalSize may round up; the extra
// bytes are part of the block, so reading them stays inside it.
class LockedBlock {
  public:
    explicit LockedBlock(HGLOBAL global)
        : global_(global), data_(static_cast<const char*>(::GlobalLock(global))) {
        if (data_)
            size_ = ::GlobalSize(global);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    ~LockedBlock() {
        if (data_)
            ::GlobalUnlock(global_);
    }
    std::string_view Bytes() const {
        return data_ ? std::string_view(data_, size_) : std::string_view();
    }

  private:
    HGLOBAL global_;
    const char* data_;
    size_t size_ = 0;
};

bool Offers(IDataObject* data, CLIPFORMAT format) {
    FORMATETC request{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data->QueryGetData(&request) == S_OK;
}

CLIPFORMAT ShellIdListFormat() {
    static const CLIPFORMAT format =
        static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"Shell IDList Array"));
    return format;
}

// One ID list of the array, owned as the shell's allocator gave it.
struct IdListFree {
    void operator()(ITEMIDLIST* list) const { ::ILFree(list); }
};

// The name the shell gives the object in the given form, "" when it gives
// none.
std::string ShellName(IShellFolder* desktop, PCIDLIST_ABSOLUTE object, SHGDNF form) {
    STRRET name{};
    if (FAILED(desktop->GetDisplayNameOf(object, form, &name)))
        return {};
    std::wstring buffer(kNameUnits, L'\0');
    // StrRetToBufW frees what the shell allocated for the name.
    if (FAILED(::StrRetToBufW(&name, object, buffer.data(), kNameUnits)))
        return {};
    buffer.resize(::wcslen(buffer.c_str()));
    return FromWide(buffer);
}

std::optional<std::vector<DroppedShellObject>> ReadShellObjects(IDataObject* data,
                                                                bool normalNames) {
    Medium medium;
    if (!medium.Get(data, ShellIdListFormat()))
        return std::nullopt;
    LockedBlock block(medium.Global());
    const std::string_view bytes = block.Bytes();
    const std::optional<IdListArray> array = ParseIdListArray(bytes);
    if (!array)
        return std::nullopt;
    ComPtr<IShellFolder> desktop;
    if (FAILED(::SHGetDesktopFolder(desktop.Put())))
        return std::nullopt;
    // Every list was walked to its terminator inside the block, so the
    // shell reading them never leaves it.
    auto parent = reinterpret_cast<PCIDLIST_ABSOLUTE>(bytes.data() + array->parent.offset);
    std::vector<DroppedShellObject> objects;
    objects.reserve(array->children.size());
    for (const IdListSpan& span : array->children) {
        auto child = reinterpret_cast<PCUIDLIST_RELATIVE>(bytes.data() + span.offset);
        std::unique_ptr<ITEMIDLIST, IdListFree> object(::ILCombine(parent, child));
        if (!object)
            return std::nullopt;
        DroppedShellObject dropped;
        dropped.parsingName = ShellName(desktop.Get(), object.get(), SHGDN_FORPARSING);
        if (dropped.parsingName.empty())
            return std::nullopt;
        if (normalNames && dropped.parsingName.substr(0, 2) == "::")
            dropped.normalName = ShellName(desktop.Get(), object.get(), SHGDN_NORMAL);
        objects.push_back(std::move(dropped));
    }
    return objects;
}

bool ShellObjectsAccepted(IDataObject* data) {
    const auto objects = ReadShellObjects(data, false);
    if (!objects)
        return false;
    for (const DroppedShellObject& object : *objects) {
        if (!ShellObjectNameAccepted(object.parsingName))
            return false;
    }
    return true;
}

}  // namespace

unsigned PanelItemFormat() {
    static const unsigned format = ::RegisterClipboardFormatW(L"Pinatrove");
    return format;
}

DropFormat ChooseDropFormat(IDataObject* data) {
    if (!data)
        return DropFormat::kNone;
    if (Offers(data, CF_HDROP))
        return DropFormat::kFiles;
    if (Offers(data, static_cast<CLIPFORMAT>(PanelItemFormat())))
        return DropFormat::kPanelItem;
    if (Offers(data, ShellIdListFormat()) && ShellObjectsAccepted(data))
        return DropFormat::kShellObjects;
    return DropFormat::kNone;
}

std::string DisplayNameFromPath(std::string_view path) {
    const TargetKindId kind = ClassifyTargetText(path).id;
    return DisplayNameFromPathAs(path, kind == TargetKindId::kUrl, kind == TargetKindId::kUnc);
}

std::optional<std::vector<std::string>> ReadDroppedFiles(IDataObject* data) {
    Medium medium;
    if (!data || !medium.Get(data, CF_HDROP))
        return std::nullopt;
    {
        // The system's reader walks the names to their closing zero without
        // a bound: it gets only a block whose end it is known to find.
        LockedBlock block(medium.Global());
        if (!CheckDropFiles(block.Bytes()))
            return std::nullopt;
    }
    auto drop = static_cast<HDROP>(medium.Global());
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::string> paths;
    paths.reserve(count);
    std::wstring path;
    for (UINT i = 0; i < count; ++i) {
        // The length it reports, not MAX_PATH: long paths arrive whole.
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0)
            continue;
        path.assign(length + 1, L'\0');
        const UINT copied = ::DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        paths.push_back(FromWide(path));
    }
    return paths;
}

std::optional<std::vector<DroppedShellObject>> ReadDroppedShellObjects(IDataObject* data) {
    if (!data)
        return std::nullopt;
    return ReadShellObjects(data, true);
}

ItemRecord DroppedPathRecord(std::string_view path) {
    ItemRecord record;
    record.name = DisplayNameFromPath(path);
    record.path = std::string(path);
    return record;
}

std::optional<ItemRecord> DroppedShellRecord(const DroppedShellObject& object) {
    ItemRecord record = DroppedPathRecord(object.parsingName);
    if (object.parsingName.substr(0, 2) != "::")
        return record;
    ShellObjectInfo info;
    if (!GetShellObjectInfo(object.parsingName, &info))
        return std::nullopt;
    // An object without a registered name still has the one the shell shows.
    record.name = !info.displayName.empty()    ? info.displayName
                  : !object.normalName.empty() ? object.normalName
                                               : record.name;
    record.remarks = info.infoTip;
    record.icon = info.defaultIcon;
    return record;
}

DropImport ImportDrop(IDataObject* data, LauncherData& launcher) {
    DropImport result;
    result.format = ChooseDropFormat(data);
    const int c = launcher.CurrentClass();
    const int g = launcher.CurrentGroup();
    if (g < 0)
        return result;
    std::vector<ItemRecord> records;
    if (result.format == DropFormat::kFiles) {
        const auto paths = ReadDroppedFiles(data);
        if (!paths)
            return result;
        records.reserve(paths->size());
        for (const std::string& path : *paths)
            records.push_back(DroppedPathRecord(path));
    } else if (result.format == DropFormat::kShellObjects) {
        const auto objects = ReadDroppedShellObjects(data);
        if (!objects)
            return result;
        for (const DroppedShellObject& object : *objects) {
            std::optional<ItemRecord> record = DroppedShellRecord(object);
            if (!record)
                return result;
            records.push_back(std::move(*record));
        }
    }
    for (const ItemRecord& record : records) {
        if (launcher.AddItem(c, g, record))
            ++result.added;
    }
    return result;
}

}  // namespace pt
