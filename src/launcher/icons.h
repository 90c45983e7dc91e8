// Where an item's icon comes from and how it becomes the small PNG image the
// grid shows: the default icon source of a target, extraction from a file or
// from the shell's image list, the road of a grid entry's icon through the
// icon store, and the store's file. Windows-only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/save_timer.h"
#include "launcher/icon_store.h"

namespace pt {

inline constexpr std::string_view kFallbackIconFile = "%SystemRoot%\\system32\\shell32.dll";

// The icon source of an item without one: a folder's desktop.ini icon when
// its file exists, the shell's network and URL icons, else the path itself.
std::string DefaultIconSource(std::string_view path);
// A folder's desktop.ini IconResource (as written, variables unexpanded) when
// the file it names exists; "" otherwise.
std::string FolderIconResource(std::string_view folder);

// PNG bytes of one icon, a square of 40 × scale pixels with the icon's own
// alpha, or empty bytes. With an index (or for a .ico file) the icon is taken
// from the file itself, otherwise the shell's icon for the file is used.
// Needs COM initialised on the thread for the shell case.
std::string ExtractIconPng(std::string_view file, int index, bool indexGiven, float scale);

// The side in pixels of the system image that the shell icon of `file` is
// made from for a cell at `scale`: at least the cell's side where the shell
// has so large an image, so cells are scaled down, not up. 0 without one.
int ShellIconSide(std::string_view file, float scale);

// The key of an icon source at a display scale, from its text alone: a web
// address has the URL icon's key, every other source (a folder's or a
// network path's included) its own.
uint32_t IconKeyOf(std::string_view source, float scale);

// The image of an icon source as a grid entry shows it: the default icon
// source of it (a folder's desktop.ini icon, the network and URL icons)
// extracted; empty bytes when there is none. May wait on the disk or the
// network: the UI thread asks IconResolver (icon_resolver.h) instead.
std::string ExtractGridIcon(std::string_view source, float scale);
// The shell's generic icon (the first of shell32.dll), shown and stored for
// a source whose extraction found nothing. Made once per scale; any thread.
std::string FallbackIconPng(float scale);
// The same when it has been made already; nothing (and no extraction) when
// it has not.
std::optional<std::string> MadeFallbackIconPng(float scale);

struct GridIcon {
    std::string source;  // plain icon source the entry keeps (deciphered when it was enciphered)
    std::string png;     // image bytes; the generic icon when nothing else was found
    bool fallback = false;
};

// The icon of a new grid entry, at once: counts the entry in the store,
// takes the cached image or extracts and stores a new one (the generic
// icon too, so a failure is not tried again at every start). `icon` is the
// item's icon value, `path` its target. Waits on the shell: for tools and
// benchmarks; the panel goes through IconResolver.
GridIcon ResolveGridIcon(IconStore& store, std::string_view icon, std::string_view path,
                         float scale);

// data\Cache (or any file): held open and read piece by piece, replaced
// atomically, its deferred save on a thread timer of delayMs.
class IconCacheFile final : public FileDocumentStorage {
  public:
    explicit IconCacheFile(std::string path, unsigned delayMs = 5000)
        : FileDocumentStorage(std::move(path), delayMs) {}
};

}  // namespace pt
