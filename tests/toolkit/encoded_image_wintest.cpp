// Images kept encoded until painted: a list of many cells decodes only the
// cells it paints, a painted cell looks exactly as an image decoded up front,
// the decoded pictures stay within their limit, a removed or replaced cell
// lets its image go, and bytes that do not decode show the fallback.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <fstream>
#include <iterator>

#include "base/win_handles.h"
#include "toolkit/list_view.h"
#include "toolkit/png_decode.h"
#include "ui_harness.h"

namespace pt {
namespace {

// A 40 × 40 PNG of four coloured quarters with a translucent band, so
// scaling, colour order and alpha all show in the pixels.
std::string QuartersPng(uint8_t shade) {
    Gdiplus::Bitmap bitmap(40, 40, PixelFormat32bppARGB);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const BYTE a = y >= 18 && y < 22 ? 128 : 255;
            const BYTE r = x < 20 ? 255 : shade;
            const BYTE g = y < 20 ? 200 : 30;
            const BYTE b = x >= 20 && y >= 20 ? 255 : 0;
            bitmap.SetPixel(x, y, Gdiplus::Color(a, r, g, b));
        }
    }
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> store(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(store.data());
    if (size == 0 || Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return {};
    const CLSID* png = nullptr;
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) == L"image/png")
            png = &codecs[i].Clsid;
    }
    IStream* stream = nullptr;
    if (!png || FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
        return {};
    std::string out;
    if (bitmap.Save(stream, png, nullptr) == Gdiplus::Ok) {
        HGLOBAL mem = nullptr;
        STATSTG stat{};
        if (SUCCEEDED(::GetHGlobalFromStream(stream, &mem)) &&
            SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME))) {
            const void* p = ::GlobalLock(mem);
            out.assign(static_cast<const char*>(p), static_cast<size_t>(stat.cbSize.QuadPart));
            ::GlobalUnlock(mem);
        }
    }
    stream->Release();
    return out;
}

std::shared_ptr<const std::string> Shared(std::string bytes) {
    return std::make_shared<const std::string>(std::move(bytes));
}

std::shared_ptr<Image> Square(const char* colour) {
    return SvgImage::FromBytes(std::string("<svg viewBox='0 0 10 10'><rect width='10' "
                                           "height='10' fill='") +
                               colour + "'/></svg>");
}

// Cells of 60 × 60 with the icon at 10, 10 (40 × 40, as the launcher's grid
// draws it) in a list of 320 × 200: 5 columns, about 3 rows in view.
class EncodedImageTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(InitToolkit());
        limit_ = DecodedImageLimit();
        window_ = test::MakeTestWindow(340, 220);
        ASSERT_TRUE(window_);
        guard_ = std::make_unique<test::WindowGuard>(window_);
        list_ = window_->Root().Add<ListView>();
        list_->SetFixedSize(320, 200);
        ItemTemplate t;
        ASSERT_TRUE(ParseItemTemplate(
            "<item width='60' height='60'><image name='icon' left='10' top='10' width='40' "
            "height='40'/></item>",
            t));
        list_->SetTemplate(t);
        window_->AdjustLayout();
        png_ = QuartersPng(0);
        ASSERT_FALSE(png_.empty());
    }
    void TearDown() override { SetDecodedImageLimit(limit_); }

    int Add(std::shared_ptr<Image> image) {
        ListItem item;
        item.images["icon"] = std::move(image);
        return list_->AddItem(std::move(item));
    }
    // The cell's icon box as painted, opaque black behind it.
    std::vector<uint32_t> IconPixels(int item) {
        const Rect r = list_->ItemWindowRect({0, item});
        std::vector<uint32_t> out;
        for (int y = 10; y < 50; ++y) {
            for (int x = 10; x < 50; ++x)
                out.push_back(window_->BackBuffer().At(r.left + x, r.top + y));
        }
        return out;
    }
    uint32_t IconCentre(int item) {
        const Rect r = list_->ItemWindowRect({0, item});
        return window_->BackBuffer().At(r.left + 20, r.top + 20) & 0xFFFFFF;
    }
    // The cell's ground beside the icon box.
    uint32_t Ground(int item) {
        const Rect r = list_->ItemWindowRect({0, item});
        return window_->BackBuffer().At(r.left + 5, r.top + 5) & 0xFFFFFF;
    }

    size_t limit_ = 0;
    Window* window_ = nullptr;
    std::unique_ptr<test::WindowGuard> guard_;
    ListView* list_ = nullptr;
    std::string png_;
};

TEST_F(EncodedImageTest, OnlyPaintedCellsDecodeAndTheirPicturesAreBounded) {
    const auto bytes = Shared(png_);
    std::vector<std::weak_ptr<EncodedImage>> images;
    for (int i = 0; i < 2000; ++i) {
        auto image = EncodedImage::FromBytes(bytes);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->Bytes().data(), bytes->data()) << "the bytes are shared, not copied";
        images.push_back(image);
        Add(std::move(image));
    }
    const uint64_t before = ImageDecodeCount();
    EXPECT_EQ(DecodedImageCount(), 0u);
    window_->PaintNow();
    const int painted = list_->PaintedCellCount();
    EXPECT_GT(painted, 0);
    EXPECT_LT(painted, 30);
    EXPECT_EQ(ImageDecodeCount() - before, static_cast<uint64_t>(painted));
    EXPECT_TRUE(images[0].lock()->Decoded());
    EXPECT_FALSE(images[1000].lock()->Decoded());

    // Repainting in place draws the cached pictures: nothing decodes again.
    window_->PaintNow();
    EXPECT_EQ(ImageDecodeCount() - before, static_cast<uint64_t>(painted));

    // Far down the list only the cells now in view decode, and no more than
    // the limit stay decoded: the first rows let theirs go.
    SetDecodedImageLimit(static_cast<size_t>(painted));
    list_->SetScrollY(list_->MaxScrollY() / 2);
    window_->PaintNow();
    EXPECT_EQ(ImageDecodeCount() - before,
              static_cast<uint64_t>(painted + list_->PaintedCellCount()));
    EXPECT_LE(DecodedImageCount(), static_cast<size_t>(painted));
    EXPECT_FALSE(images[0].lock()->Decoded());
    const ListIndex shown = list_->HitTest(Point{30, 100});
    ASSERT_TRUE(shown.Valid());
    EXPECT_EQ(IconCentre(shown.item), 0xFFC800u) << "the top left quarter, red and green";
}

TEST_F(EncodedImageTest, PaintedCellLooksAsAnImageDecodedUpFront) {
    Add(RasterImage::FromBytes(png_.data(), png_.size()));
    Add(EncodedImage::FromBytes(Shared(png_)));
    window_->PaintNow();
    const std::vector<uint32_t> eager = IconPixels(0);
    const std::vector<uint32_t> lazy = IconPixels(1);
    ASSERT_EQ(eager.size(), lazy.size());
    int differing = 0;
    for (size_t i = 0; i < eager.size(); ++i)
        differing += eager[i] != lazy[i] ? 1 : 0;
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(IconCentre(1), 0xFFC800u);

    // Measuring decodes too, and gives the picture's own size.
    auto image = EncodedImage::FromBytes(Shared(png_));
    EXPECT_EQ(image->NaturalSize(), (Size{40, 40}));
    EXPECT_TRUE(image->Decoded());
}

TEST_F(EncodedImageTest, RemovedOrReplacedCellsLetTheirImageGo) {
    std::weak_ptr<EncodedImage> first, second, replaced;
    {
        auto a = EncodedImage::FromBytes(Shared(png_));
        auto b = EncodedImage::FromBytes(Shared(QuartersPng(90)));
        first = a;
        second = b;
        Add(std::move(a));
        Add(std::move(b));
    }
    window_->PaintNow();
    const size_t decoded = DecodedImageCount();
    ASSERT_TRUE(first.lock() && first.lock()->Decoded());
    ASSERT_TRUE(list_->RemoveItem({0, 0}));
    EXPECT_TRUE(first.expired());
    EXPECT_EQ(DecodedImageCount(), decoded - 1) << "its decoded picture went with it";

    ListItem other;
    auto c = EncodedImage::FromBytes(Shared(png_));
    replaced = c;
    other.images["icon"] = std::move(c);
    ASSERT_TRUE(list_->UpdateItem({0, 0}, std::move(other)));
    EXPECT_TRUE(second.expired());
    window_->PaintNow();
    EXPECT_EQ(IconCentre(0), 0xFFC800u);
    ASSERT_TRUE(list_->SetItemImage({0, 0}, "icon", nullptr));
    EXPECT_TRUE(replaced.expired());
    EXPECT_EQ(DecodedImageCount(), decoded - 2);
}

// Bytes kept elsewhere (a mapped cache file) are read only when a cell is
// painted; a source with nothing to give shows the fallback.
TEST_F(EncodedImageTest, ImagesFromASourceReadTheirBytesOnlyWhenPainted) {
    const std::string stored = png_;
    int asked = 0;
    Add(EncodedImage::FromSource([&] {
        ++asked;
        return std::string_view(stored);
    }));
    const auto blue = Square("#0000FF");
    const auto gone = EncodedImage::FromSource([] { return std::string_view(); }, blue);
    Add(gone);
    EXPECT_EQ(asked, 0);
    window_->PaintNow();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(IconCentre(0), 0xFFC800u);
    EXPECT_TRUE(gone->Broken());
    EXPECT_EQ(IconCentre(1), 0x0000FFu);
    window_->PaintNow();
    EXPECT_EQ(asked, 1) << "a decoded picture is drawn again as it is";
    list_->ClearItems(0);
}

TEST_F(EncodedImageTest, BytesThatDoNotDecodeShowTheFallback) {
    const std::string truncated = png_.substr(0, png_.size() / 2);
    std::string garbled = png_;
    for (size_t i = 16; i < garbled.size(); i += 3)
        garbled[i] = static_cast<char>(garbled[i] ^ 0x5A);
    const auto blue = Square("#0000FF");
    for (const std::string& bad : {truncated, garbled, std::string("\x89PNG\r\n\x1a\n", 8)}) {
        list_->ClearItems(0);
        const auto fallback = EncodedImage::FromBytes(Shared(bad), blue);
        Add(fallback);
        Add(EncodedImage::FromBytes(Shared(bad)));
        window_->PaintNow();
        EXPECT_TRUE(fallback->Broken());
        EXPECT_FALSE(fallback->Decoded());
        EXPECT_EQ(IconCentre(0), 0x0000FFu);
        EXPECT_EQ(IconCentre(1), Ground(1)) << "without a fallback the cell shows its ground";
        // A broken image is not tried again on every paint.
        const uint64_t decodes = ImageDecodeCount();
        EXPECT_EQ(fallback->NaturalSize(), blue->NaturalSize());
        EXPECT_EQ(ImageDecodeCount(), decodes);
    }
    EXPECT_FALSE(EncodedImage::FromBytes(Shared("")));
    EXPECT_FALSE(EncodedImage::FromBytes(nullptr));
}

// What the system decoder makes of the bytes, as premultiplied pixels.
bool SystemDecode(const std::string& png, PngPixels* out) {
    ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put())))
        return false;
    ULONG written = 0;
    stream->Write(png.data(), static_cast<ULONG>(png.size()), &written);
    Gdiplus::Bitmap bitmap(stream.Get());
    if (bitmap.GetLastStatus() != Gdiplus::Ok)
        return false;
    const int w = static_cast<int>(bitmap.GetWidth()), h = static_cast<int>(bitmap.GetHeight());
    Gdiplus::Rect all(0, 0, w, h);
    Gdiplus::BitmapData data;
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) !=
        Gdiplus::Ok)
        return false;
    out->width = w;
    out->height = h;
    out->argb.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        memcpy(&out->argb[static_cast<size_t>(y) * w],
               static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
               static_cast<size_t>(w) * 4);
    bitmap.UnlockBits(&data);
    return true;
}

// The program's own PNG reader sees the images the system encodes (the icon
// cache's) and the shipped ones as the system decoder does.
TEST(PngReaderTest, AgreesWithTheSystemDecoder) {
    ASSERT_TRUE(InitToolkit());
    std::ifstream shipped(std::string(PT_RES_ARCHIVE_DIR) + "/res/images/Shadow2.png",
                          std::ios::binary);
    const std::vector<std::string> pngs = {
        QuartersPng(0), QuartersPng(90),
        std::string(std::istreambuf_iterator<char>(shipped), std::istreambuf_iterator<char>())};
    for (const std::string& png : pngs) {
        ASSERT_FALSE(png.empty());
        PngPixels own, system;
        ASSERT_TRUE(DecodePng(png.data(), png.size(), &own));
        ASSERT_TRUE(SystemDecode(png, &system));
        ASSERT_EQ(own.width, system.width);
        ASSERT_EQ(own.height, system.height);
        int worst = 0;
        for (size_t i = 0; i < own.argb.size(); ++i) {
            for (int shift = 0; shift < 32; shift += 8) {
                const int a = (own.argb[i] >> shift) & 0xFF, b = (system.argb[i] >> shift) & 0xFF;
                worst = std::max(worst, std::abs(a - b));
            }
        }
        EXPECT_LE(worst, 1) << png.size() << " bytes";
    }
}

}  // namespace
}  // namespace pt
