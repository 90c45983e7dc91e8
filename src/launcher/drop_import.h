// What a drag and drop onto the panel adds: the formats the panel takes, in
// the order it tries them (a file list, the panel's own item, shell
// objects), the paths and shell names read out of another program's data
// object, the default name of a dropped path, and the import itself, which
// appends one item per dropped object to the current group through the
// canonical add (so shortcuts and Internet shortcuts come out as what they
// point at) and leaves the save to the store's deferred save: a drop of a
// thousand files is one write.
//
// The grid cell of each new item, its icon included, comes from the
// store's observer like every other added item.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/launcher_data.h"

#ifdef _WIN32
struct IDataObject;
#endif

namespace pt {

// The default item name of a path: the host of a URL (the text after the
// last "://" when the host is empty), the last component of a UNC path,
// else the last component without its extension (a folder's too: "v1.2"
// gives "v1"). One trailing backslash goes first. A name that is all
// extension (".config") is kept whole rather than left empty.
std::string DisplayNameFromPathAs(std::string_view path, bool isUrl, bool isUnc);

// A shell object passes when its parsing name is no "::" path, or is
// exactly "::" and a braced CLSID; a "::" path with further components is
// refused.
bool ShellObjectNameAccepted(std::string_view parsingName);

#ifdef _WIN32

enum class DropFormat {
    kNone,
    kFiles,         // CF_HDROP
    kPanelItem,     // "Pinatrove": an item dragged inside the panel
    kShellObjects,  // "Shell IDList Array"
};

// The registered number of the panel's own format.
unsigned PanelItemFormat();

// The first format the data object offers, in the order above. Shell
// objects count only when the whole array is sound and every object passes
// ShellObjectNameAccepted.
DropFormat ChooseDropFormat(IDataObject* data);

// DisplayNameFromPathAs with the shell's URL and UNC tests.
std::string DisplayNameFromPath(std::string_view path);

// Every path of the data object's file list at its full length; nothing
// when it offers none or its block is not sound.
std::optional<std::vector<std::string>> ReadDroppedFiles(IDataObject* data);

struct DroppedShellObject {
    std::string parsingName;  // what the shell parses back into the object
    std::string normalName;   // what it shows
};
// The objects of the data object's shell ID list array, in array order;
// nothing when it offers none, the block is not sound or a name cannot be
// had.
std::optional<std::vector<DroppedShellObject>> ReadDroppedShellObjects(IDataObject* data);

// The record one dropped object starts as, before the canonical add. A
// "::{CLSID}" object takes the name, info tip and icon its registry entry
// gives (the shell's own name when the entry has none); nothing for a shell
// object that is refused.
ItemRecord DroppedPathRecord(std::string_view path);
std::optional<ItemRecord> DroppedShellRecord(const DroppedShellObject& object);

struct DropImport {
    DropFormat format = DropFormat::kNone;
    int added = 0;
};
// Reads the data object again and appends its files or shell objects to
// the current group of the current category. Nothing is imported for the
// panel's own item (the grid moves it), for a data object none of whose
// formats is usable, or when there is no current group; a shell array with
// one refused object imports none of them.
DropImport ImportDrop(IDataObject* data, LauncherData& launcher);

#endif

}  // namespace pt
