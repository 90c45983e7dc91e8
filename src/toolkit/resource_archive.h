// The UI resource archive: the encrypted ZIP of layouts, icons, images and
// the display font that the build embeds in the exe as RCDATA
// "PT_RESOURCES". Loaded once at start-up; afterwards any UI code reads an
// entry by name ("res\appframework\SysButton\close.svg", either separator).
// A missing or damaged entry reads as empty, so a caller shows nothing
// rather than fail.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/zip_reader.h"

namespace pt {

class ResourceArchive {
  public:
    // The process's archive. Load it on the UI thread before windows are
    // built; reading afterwards is safe from any thread.
    static ResourceArchive& Instance();

    ResourceArchive() = default;
    ResourceArchive(const ResourceArchive&) = delete;
    ResourceArchive& operator=(const ResourceArchive&) = delete;

    // Loads the archive embedded in `module` (nullptr: the exe). False when
    // the module has no archive or it cannot be opened; the archive is then
    // empty and every read gives nothing.
    bool LoadFromModule(HINSTANCE module);
    bool LoadFromBytes(std::vector<uint8_t> bytes);

    bool Loaded() const { return zip_.IsOpen(); }
    // The entry's content; empty when it is missing, damaged or not loaded.
    std::vector<uint8_t> Read(std::string_view entryName) const;
    std::string ReadText(std::string_view entryName) const;
    bool Contains(std::string_view entryName) const { return zip_.Contains(entryName); }
    std::vector<std::string> EntryNames() const { return zip_.EntryNames(); }

  private:
    ZipReader zip_;
};

}  // namespace pt
