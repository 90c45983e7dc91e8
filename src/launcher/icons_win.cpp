// Icon sources, icon extraction through the shell and GDI+, and the grid
// entry's road through the icon store; see icons.h.
#include "launcher/icons.h"

#include <windows.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <commctrl.h>
#include <commoncontrols.h>
#include <versionhelpers.h>
#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <utility>
#include <vector>

#include "base/atomic_file.h"
#include "base/text.h"
#include "base/win_handles.h"
#include "launcher/grid_entry.h"
#include "launcher/target.h"

namespace pt {
namespace {

namespace gp = Gdiplus::DllExports;

// b96b3caf-0728-11d3-9d7b-0000f81ef32e; defined here so no import library has to.
constexpr GUID kImageFormatPng = {
    0xb96b3caf, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
constexpr GUID kIidImageList = {
    0x46eb5926, 0x582e, 0x4017, {0x9f, 0xdf, 0xe8, 0x99, 0x8d, 0xaa, 0x09, 0x50}};

int Scaled(int pixels, float scale) {
    long value = std::lround(pixels * static_cast<double>(scale));
    return value < 1 ? 1 : static_cast<int>(value);
}

// GDI+ for one conversion; the startup count is shared with any other user.
class GdiplusSession {
  public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (ok_)
            Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Ok() const { return ok_; }

  private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

struct GpImageTraits {
    using Type = Gdiplus::GpImage*;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { gp::GdipDisposeImage(h); }
};
struct GpGraphicsTraits {
    using Type = Gdiplus::GpGraphics*;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { gp::GdipDeleteGraphics(h); }
};
using UniqueGpImage = UniqueHandle<GpImageTraits>;
using UniqueGpGraphics = UniqueHandle<GpGraphicsTraits>;

bool FindPngEncoderNow(CLSID* clsid) {
    UINT count = 0, size = 0;
    if (gp::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (gp::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (IsEqualGUID(codecs[i].FormatID, kImageFormatPng)) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// The icon's colour bitmap as top-down 32-bit pixels; empty for a
// monochrome icon, which has none.
std::vector<BYTE> IconPixels(HICON icon, int* width, int* height) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info))
        return {};
    UniqueBitmap color(info.hbmColor);
    UniqueBitmap mask(info.hbmMask);
    if (!color)
        return {};
    BITMAP bitmap{};
    if (!::GetObjectW(color.Get(), sizeof bitmap, &bitmap) || bitmap.bmWidth <= 0 ||
        bitmap.bmHeight <= 0) {
        return {};
    }
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = bitmap.bmWidth;
    header.bmiHeader.biHeight = -bitmap.bmHeight;  // top-down, as GDI+ expects scan0
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    std::vector<BYTE> pixels(static_cast<size_t>(bitmap.bmWidth) * bitmap.bmHeight * 4);
    WindowDc screen(nullptr);
    if (!screen || ::GetDIBits(screen.Get(), color.Get(), 0, bitmap.bmHeight, pixels.data(),
                               &header, DIB_RGB_COLORS) == 0) {
        return {};
    }
    *width = bitmap.bmWidth;
    *height = bitmap.bmHeight;
    return pixels;
}

// The codec list is the same for the whole run: looked up once.
bool FindPngEncoder(CLSID* clsid) {
    static std::mutex mutex;
    static bool found = false;
    static CLSID png{};
    std::lock_guard<std::mutex> lock(mutex);
    if (!found)
        found = FindPngEncoderNow(&png);
    *clsid = png;
    return found;
}

std::string IconToPng(HICON icon, int side) {
    GdiplusSession session;
    if (!session.Ok())
        return {};

    int width = 0, height = 0;
    std::vector<BYTE> pixels = IconPixels(icon, &width, &height);
    bool hasAlpha = false;
    for (size_t i = 3; i < pixels.size(); i += 4) {
        if (pixels[i] != 0) {
            hasAlpha = true;
            break;
        }
    }
    // With an alpha channel the pixels are taken as they are, which keeps the
    // icon's own transparency; GdipCreateBitmapFromHICON would flatten it.
    UniqueGpImage source;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (hasAlpha) {
        if (gp::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppARGB,
                                          pixels.data(), &bitmap) != Gdiplus::Ok) {
            return {};
        }
    } else if (gp::GdipCreateBitmapFromHICON(icon, &bitmap) != Gdiplus::Ok) {
        return {};
    }
    source.Reset(bitmap);
    UINT sourceWidth = 0, sourceHeight = 0;
    gp::GdipGetImageWidth(source.Get(), &sourceWidth);
    gp::GdipGetImageHeight(source.Get(), &sourceHeight);
    if (sourceWidth == 0 || sourceHeight == 0)
        return {};

    // A copy that owns its pixels (the scan0 bitmap only borrows ours).
    Gdiplus::GpBitmap* copyBitmap = nullptr;
    if (gp::GdipCreateBitmapFromScan0(static_cast<INT>(sourceWidth), static_cast<INT>(sourceHeight),
                                      0, PixelFormat32bppARGB, nullptr,
                                      &copyBitmap) != Gdiplus::Ok) {
        return {};
    }
    UniqueGpImage copy(copyBitmap);
    {
        Gdiplus::GpGraphics* graphics = nullptr;
        if (gp::GdipGetImageGraphicsContext(copy.Get(), &graphics) != Gdiplus::Ok)
            return {};
        UniqueGpGraphics owner(graphics);
        if (gp::GdipDrawImageRectI(graphics, source.Get(), 0, 0, static_cast<INT>(sourceWidth),
                                   static_cast<INT>(sourceHeight)) != Gdiplus::Ok) {
            return {};
        }
    }
    Gdiplus::GpImage* thumbImage = nullptr;
    if (gp::GdipGetImageThumbnail(copy.Get(), static_cast<UINT>(side), static_cast<UINT>(side),
                                  &thumbImage, nullptr, nullptr) != Gdiplus::Ok) {
        return {};
    }
    UniqueGpImage thumb(thumbImage);

    CLSID png{};
    if (!FindPngEncoder(&png))
        return {};
    ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put())))
        return {};
    if (gp::GdipSaveImageToStream(thumb.Get(), stream.Get(), &png, nullptr) != Gdiplus::Ok) {
        return {};
    }
    // The global block may be larger than what was written: the stream knows the size.
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)))
        return {};
    HGLOBAL global = nullptr;
    if (FAILED(::GetHGlobalFromStream(stream.Get(), &global)))
        return {};
    size_t size = static_cast<size_t>(stat.cbSize.QuadPart);
    if (size == 0 || size > ::GlobalSize(global))
        return {};
    const void* data = ::GlobalLock(global);
    if (!data)
        return {};
    std::string bytes(static_cast<const char*>(data), size);
    ::GlobalUnlock(global);
    return bytes;
}

UniqueIcon FileIcon(const std::wstring& file, int index, int size) {
    HICON icon = nullptr;
    UINT id = 0;
    UINT count =
        ::PrivateExtractIconsW(file.c_str(), index, size, size, &icon, &id, 1, LR_LOADFROMFILE);
    UniqueIcon owned(icon);
    // 0xFFFFFFFF means the file could not be opened; the icon is checked anyway.
    if (count == 0 || count == 0xFFFFFFFF)
        return UniqueIcon();
    return owned;
}

// The PNG of each system image list entry made so far, by the cell's side
// (which decides the list) and the entry's index: most items share a handful of shell icons (every
// folder, every document of a type), and the conversion through GDI+ is what costs. Shared by the
// worker threads and the UI thread.
class ShellPngs {
  public:
    bool Find(int side, int index, std::string* png) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const Entry& e : made_) {
            if (e.side == side && e.index == index) {
                *png = e.png;
                return true;
            }
        }
        return false;
    }
    void Add(int side, int index, const std::string& png) {
        std::lock_guard<std::mutex> lock(mutex_);
        made_.push_back(Entry{side, index, png});
    }

  private:
    struct Entry {
        int side;
        int index;
        std::string png;
    };
    std::mutex mutex_;
    std::vector<Entry> made_;
};

ShellPngs& TheShellPngs() {
    static ShellPngs pngs;
    return pngs;
}

// The extent of an icon's visible pixels: the larger of the width and height
// of the box around every pixel that is not fully transparent; 0 when the
// icon has no alpha channel (then all of it counts as drawn).
int DrawnSide(HICON icon, int* side) {
    int width = 0, height = 0;
    std::vector<BYTE> pixels = IconPixels(icon, &width, &height);
    *side = width;
    int left = width, top = height, right = -1, bottom = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (pixels[(static_cast<size_t>(y) * width + x) * 4 + 3] == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return width;
    return std::max(right - left + 1, bottom - top + 1);
}

// The system image list entry a cell of `side` pixels is made from: the
// smallest list whose images are at least that large, so the cell is drawn
// by scaling down, never up. The jumbo list has a trap: a file type whose
// icon has no large image gets its 48- or 32-pixel image centred in an
// otherwise empty 256-pixel square, which scaled down to the cell would be
// a speck; such an entry is taken from the extra large list instead.
UniqueIcon ShellListIcon(int iconIndex, int side) {
    auto fromList = [iconIndex](int which) {
        UniqueIcon icon;
        ComPtr<IImageList> images;
        if (FAILED(::SHGetImageList(which, kIidImageList, images.PutVoid())) || !images)
            return icon;
        HICON raw = nullptr;
        if (SUCCEEDED(images->GetIcon(iconIndex, ILD_TRANSPARENT, &raw)))
            icon = UniqueIcon(raw);
        return icon;
    };
    if (::IsWindowsVistaOrGreater() && side > 48) {
        UniqueIcon jumbo = fromList(SHIL_JUMBO);
        int jumboSide = 0;
        if (jumbo && DrawnSide(jumbo.Get(), &jumboSide) > 48)
            return jumbo;
    }
    return fromList((!::IsWindowsVistaOrGreater() || side > 32) ? SHIL_EXTRALARGE : SHIL_LARGE);
}

std::string ShellIconPng(const std::wstring& file, float scale) {
    SHFILEINFOW info{};
    // SYSICONINDEX fills iIcon without making an icon nobody would free.
    if (!::SHGetFileInfoW(file.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX))
        return {};
    int side = Scaled(40, scale);
    // The list is only known once the entry is fetched, so the made images
    // are found by the cell's side, which decides the list.
    std::string png;
    if (TheShellPngs().Find(side, info.iIcon, &png))
        return png;
    UniqueIcon icon = ShellListIcon(info.iIcon, side);
    if (!icon)
        return {};
    png = IconToPng(icon.Get(), side);
    if (!png.empty())
        TheShellPngs().Add(side, info.iIcon, png);
    return png;
}

}  // namespace

int ShellIconSide(std::string_view file, float scale) {
    SHFILEINFOW info{};
    std::wstring wide = ToWide(ExpandPathVariables(file));
    if (!::SHGetFileInfoW(wide.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX))
        return 0;
    UniqueIcon icon = ShellListIcon(info.iIcon, Scaled(40, scale));
    int side = 0;
    if (icon)
        DrawnSide(icon.Get(), &side);
    return side;
}

std::string FolderIconResource(std::string_view folder) {
    std::string ini(folder);
    if (ini.empty() || ini.back() != '\\')
        ini += '\\';
    ini += "desktop.ini";
    // Most folders have no desktop.ini, and the profile reader is slow to
    // find that out (a start with many folder items paid for it per item).
    std::wstring iniWide = ToWide(ini);
    DWORD attributes = ::GetFileAttributesW(iniWide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    wchar_t value[1024] = {};
    ::GetPrivateProfileStringW(L".ShellClassInfo", L"IconResource", L"", value, 1024,
                               iniWide.c_str());
    std::string resource = FromWide(value);
    if (resource.empty())
        return {};
    IconLocation location = SplitIconLocation(ExpandPathVariables(resource));
    return PathExists(location.file) ? resource : std::string();
}

std::string DefaultIconSource(std::string_view path) {
    TargetKindId kind = ClassifyTarget(path).id;
    return DefaultIconSourceFor(path, kind,
                                kind == TargetKindId::kFolder ? FolderIconResource(path) : "");
}

std::string ExtractIconPng(std::string_view file, int index, bool indexGiven, float scale) {
    std::string expanded = ExpandPathVariables(file);
    if (!PathExists(expanded))
        return {};
    std::wstring wide = ToWide(expanded);
    if (!indexGiven && FindExtension(expanded) != ".ico")
        return ShellIconPng(wide, scale);
    UniqueIcon icon = FileIcon(wide, index, Scaled(48, scale));
    if (!icon)
        return {};
    return IconToPng(icon.Get(), Scaled(40, scale));
}

uint32_t IconKeyOf(std::string_view source, float scale) {
    // The key must cost no file system work: a start looks up one per grid
    // entry. The URL test is a text rule. Whether a path is a folder would
    // ask the disk, and for a network path the server, so the key of a
    // folder, local or on a share, and of any network path is the path
    // itself, as the extraction's source is for a folder. Only the server
    // tells a share from a file on it; keyed alike they overwrote each
    // other's image. (A folder with an icon of its own has that icon as its
    // item's source, and a network file the network icon: the canonical add
    // puts them there.)
    if (ClassifyTargetText(source).id == TargetKindId::kUrl)
        return IconKey(kUrlIconSource, scale);
    return IconKey(source, scale);
}

std::string ExtractGridIcon(std::string_view source, float scale) {
    if (source.empty())
        return {};
    IconLocation location = SplitIconLocation(DefaultIconSource(source));
    return ExtractIconPng(location.file, location.hasIndex ? location.index : 0, location.hasIndex,
                          scale);
}

namespace {

// Shared by the worker threads and the UI thread; extracted once per scale.
// Never destroyed: a worker left running at exit may still ask.
struct FallbackIcons {
    std::mutex mutex;
    std::vector<std::pair<float, std::string>> made;
};

FallbackIcons& TheFallbackIcons() {
    static auto* icons = new FallbackIcons;
    return *icons;
}

}  // namespace

std::optional<std::string> MadeFallbackIconPng(float scale) {
    FallbackIcons& icons = TheFallbackIcons();
    std::lock_guard<std::mutex> lock(icons.mutex);
    for (const auto& [madeScale, png] : icons.made) {
        if (madeScale == scale)
            return png;
    }
    return std::nullopt;
}

std::string FallbackIconPng(float scale) {
    if (std::optional<std::string> made = MadeFallbackIconPng(scale))
        return std::move(*made);
    std::string png = ExtractIconPng(kFallbackIconFile, 0, true, scale);
    FallbackIcons& icons = TheFallbackIcons();
    std::lock_guard<std::mutex> lock(icons.mutex);
    if (!png.empty())
        icons.made.emplace_back(scale, png);
    return png;
}

GridIcon ResolveGridIcon(IconStore& store, std::string_view icon, std::string_view path,
                         float scale) {
    GridIcon result;
    result.source = GridIconSource(icon, path);
    store.AddRef(result.source);
    result.png = std::string(store.Get(result.source));
    if (!result.png.empty())
        return result;
    result.png = ExtractGridIcon(result.source, scale);
    if (result.png.empty()) {
        // Stored like any image: the next start does not try again.
        result.png = FallbackIconPng(scale);
        result.fallback = true;
    }
    store.Put(result.source, result.png);
    return result;
}

}  // namespace pt
