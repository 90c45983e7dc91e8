// Icon extraction into PNG (size, alpha kept), default icon sources, the grid
// entry's road through the store, the cache file on disk and the save timer.
#include "launcher/icons.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <atomic>

#include "base/text.h"
#include "base/win_handles.h"
#include "launcher/cipher.h"
#include "launcher/background_worker.h"
#include "launcher/icon_resolver.h"
#include "base/save_timer.h"
#include "launcher/target.h"
#include "support/poll.h"
#include "support/temp_folder.h"

namespace pt {
namespace {

using test::TempFolder;

namespace gp = Gdiplus::DllExports;

struct PngFacts {
    bool valid = false;
    UINT width = 0, height = 0;
    int transparent = 0, opaque = 0;  // pixels with alpha 0 and 255
};

// Decodes the PNG with GDI+ and counts alpha values.
PngFacts ReadPngFacts(const std::string& png) {
    PngFacts facts;
    if (png.size() < 8 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0)
        return facts;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return facts;
    ComPtr<IStream> stream;
    ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put());
    ULONG written = 0;
    stream->Write(png.data(), static_cast<ULONG>(png.size()), &written);
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (gp::GdipCreateBitmapFromStream(stream.Get(), &bitmap) == Gdiplus::Ok) {
        facts.valid = true;
        gp::GdipGetImageWidth(bitmap, &facts.width);
        gp::GdipGetImageHeight(bitmap, &facts.height);
        for (UINT y = 0; y < facts.height; ++y) {
            for (UINT x = 0; x < facts.width; ++x) {
                Gdiplus::ARGB color = 0;
                gp::GdipBitmapGetPixel(bitmap, static_cast<INT>(x), static_cast<INT>(y), &color);
                BYTE alpha = static_cast<BYTE>(color >> 24);
                if (alpha == 0)
                    ++facts.transparent;
                if (alpha == 255)
                    ++facts.opaque;
            }
        }
        gp::GdipDisposeImage(bitmap);
    }
    Gdiplus::GdiplusShutdown(token);
    return facts;
}

// The reply windows of the process's background workers: one per started
// worker.
int WorkerWindows() {
    int n = 0;
    for (HWND w = nullptr; (w = ::FindWindowExW(HWND_MESSAGE, w, kWorkerWindowClass, nullptr));)
        ++n;
    return n;
}

class IconsWin : public ::testing::Test {
  protected:
    ScopedCom com_;
};

TEST_F(IconsWin, IndexedIconBecomesSquarePngWithAlpha) {
    std::string png = ExtractIconPng(kFallbackIconFile, 0, true, 1.0f);
    PngFacts facts = ReadPngFacts(png);
    ASSERT_TRUE(facts.valid);
    EXPECT_EQ(facts.width, 40u);
    EXPECT_EQ(facts.height, 40u);
    EXPECT_GT(facts.transparent, 0);  // the icon's own transparency survived
    EXPECT_GT(facts.opaque, 0);
    EXPECT_EQ(static_cast<uint8_t>(png[25]), 6);  // PNG colour type: RGBA

    PngFacts large = ReadPngFacts(ExtractIconPng(kFallbackIconFile, 3, true, 1.5f));
    EXPECT_EQ(large.width, 60u);
    EXPECT_EQ(large.height, 60u);
}

// A 16 x 16 icon whose left half is fully transparent and right half opaque red.
std::string HalfTransparentIco() {
    auto u16 = [](std::string& o, int v) {
        o += static_cast<char>(v & 0xFF);
        o += static_cast<char>((v >> 8) & 0xFF);
    };
    auto u32 = [&](std::string& o, uint32_t v) {
        u16(o, static_cast<int>(v & 0xFFFF));
        u16(o, static_cast<int>(v >> 16));
    };
    std::string image;
    u32(image, 40);
    u32(image, 16);
    u32(image, 32);  // colour and mask rows
    u16(image, 1);
    u16(image, 32);
    for (int i = 0; i < 6; ++i)
        u32(image, 0);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            u32(image, x < 8 ? 0x00000000u : 0xFFFF0000u);
    }
    image.append(16 * 4, '\0');  // AND mask: everything drawn from the colour pixels
    std::string ico;
    u16(ico, 0);
    u16(ico, 1);
    u16(ico, 1);
    ico += static_cast<char>(16);
    ico += static_cast<char>(16);
    ico += '\0';
    ico += '\0';
    u16(ico, 1);
    u16(ico, 32);
    u32(ico, static_cast<uint32_t>(image.size()));
    u32(ico, 22);
    return ico + image;
}

TEST_F(IconsWin, IcoFileKeepsItsOwnAlpha) {
    TempFolder temp;
    std::string file = temp.MakeFile("half.ico", HalfTransparentIco());
    std::string png = ExtractIconPng(file, 0, false, 1.0f);
    PngFacts facts = ReadPngFacts(png);
    ASSERT_TRUE(facts.valid);
    EXPECT_EQ(facts.width, 40u);
    // Roughly half of the pixels each way; scaling blurs the seam only.
    EXPECT_GT(facts.transparent, 40 * 40 * 4 / 10);
    EXPECT_GT(facts.opaque, 40 * 40 * 4 / 10);
}

TEST_F(IconsWin, ShellIconOfAFileAndMissingFiles) {
    PngFacts facts = ReadPngFacts(ExtractIconPng("%SystemRoot%\\notepad.exe", 0, false, 1.0f));
    ASSERT_TRUE(facts.valid);
    EXPECT_EQ(facts.width, 40u);
    EXPECT_GT(facts.opaque, 0);
    EXPECT_EQ(ExtractIconPng("C:\\no\\such\\file.exe", 0, false, 1.0f), "");
    EXPECT_EQ(ExtractIconPng("C:\\no\\such\\file.dll", 2, true, 1.0f), "");
}

// At 150 % and more the cell is larger than the shell's 48-pixel images: it
// must come from a larger image scaled down, and a file type with no large
// image must not shrink to its small image centred in the jumbo square.
TEST_F(IconsWin, ShellIconsAtHighScalesAreScaledDownNotUp) {
    TempFolder temp;
    std::string text = temp.MakeFile("note.txt", "x");
    for (const std::string& file : {std::string("%SystemRoot%\\notepad.exe"), text}) {
        SCOPED_TRACE(file);
        EXPECT_GE(ShellIconSide(file, 2.0f), 80);
        EXPECT_LE(ShellIconSide(file, 1.0f), 48);
        PngFacts facts = ReadPngFacts(ExtractIconPng(file, 0, false, 2.0f));
        ASSERT_TRUE(facts.valid);
        EXPECT_EQ(facts.width, 80u);
        // The drawn part fills the cell as it does at 100 %, not a speck.
        EXPECT_GT(facts.width * facts.height - facts.transparent, 80 * 80 / 4);
    }
}

TEST_F(IconsWin, DefaultIconSources) {
    TempFolder temp;
    std::string withIcon = temp.Folder("with icon");
    temp.MakeFile("with icon\\desktop.ini",
                  "[.ShellClassInfo]\r\nIconResource=%SystemRoot%\\system32\\shell32.dll,4\r\n");
    EXPECT_EQ(DefaultIconSource(withIcon), "%SystemRoot%\\system32\\shell32.dll,4");
    std::string missingIcon = temp.Folder("missing icon");
    temp.MakeFile("missing icon\\desktop.ini",
                  "[.ShellClassInfo]\r\nIconResource=C:\\gone.ico,0\r\n");
    EXPECT_EQ(DefaultIconSource(missingIcon), missingIcon);
    std::string plain = temp.Folder("plain");
    EXPECT_EQ(DefaultIconSource(plain), plain);
    EXPECT_EQ(DefaultIconSource("\\\\server\\share"), "%SystemRoot%\\system32\\shell32.dll,15");
    EXPECT_EQ(DefaultIconSource("https://example.com/"), "%SystemRoot%\\system32\\url.dll,0");
    EXPECT_EQ(DefaultIconSource("C:\\x\\app.exe"), "C:\\x\\app.exe");
    EXPECT_EQ(IconKeyOf("https://a/", 1.0f), IconKeyOf("https://b/", 1.0f));
    EXPECT_NE(IconKeyOf("https://a/", 1.0f), IconKeyOf("https://a/", 2.0f));
    // A share, a folder on it and a file on it: only the server knows which
    // is a folder, so each keeps its own image.
    const uint32_t share = IconKeyOf("\\\\server\\share", 1.0f);
    const uint32_t folder = IconKeyOf("\\\\server\\share\\docs", 1.0f);
    const uint32_t file = IconKeyOf("\\\\server\\share\\a.txt", 1.0f);
    EXPECT_NE(share, folder);
    EXPECT_NE(share, file);
    EXPECT_NE(folder, file);
    EXPECT_NE(file, IconKeyOf(kUncIconSource, 1.0f));
}

TEST_F(IconsWin, GridIconRoadStoresEveryImageItFound) {
    TempFolder temp;
    IconCacheFile file(temp.Path() + "\\data\\Cache");
    float scale = 1.0f;
    IconStore store([&](std::string_view source) { return IconKeyOf(source, scale); }, &file);
    store.Load();

    std::string notepad = ExpandPathVariables("%SystemRoot%\\notepad.exe");
    GridIcon first = ResolveGridIcon(store, "", notepad, scale);
    EXPECT_FALSE(first.fallback);
    EXPECT_EQ(first.source, notepad);
    EXPECT_TRUE(ReadPngFacts(first.png).valid);
    EXPECT_EQ(store.ImageCount(), 1u);
    GridIcon second = ResolveGridIcon(store, "", notepad, scale);
    EXPECT_EQ(second.png, first.png);
    EXPECT_EQ(store.RefCount(notepad), 2);

    // An enciphered icon location shows its plain target's icon, no key asked.
    std::string hidden = "encrypt:" + CipherEncode(notepad, kIconCipherKey);
    GridIcon third = ResolveGridIcon(store, hidden, "encrypt:whatever", scale);
    EXPECT_EQ(third.source, notepad);
    EXPECT_EQ(store.RefCount(notepad), 3);

    GridIcon missing = ResolveGridIcon(store, "", "C:\\nowhere\\x.exe", scale);
    EXPECT_TRUE(missing.fallback);
    EXPECT_TRUE(ReadPngFacts(missing.png).valid);
    // The generic icon is kept under the item's key: the next start asks nothing.
    EXPECT_EQ(store.ImageCount(), 2u);
    EXPECT_EQ(store.Get("C:\\nowhere\\x.exe"), missing.png);

    ASSERT_TRUE(store.Save());
    IconStore again([&](std::string_view source) { return IconKeyOf(source, scale); }, &file);
    again.Load();
    EXPECT_EQ(again.Get(notepad), first.png);

    // The loaded cache is a view of the file; saving over that file works,
    // and what was in it survives the save.
    again.AddRef(notepad);
    again.Put("C:\\other.exe", "png-other");
    ASSERT_TRUE(again.Save());
    EXPECT_EQ(again.Get(notepad), first.png);
    IconStore saved([&](std::string_view source) { return IconKeyOf(source, scale); }, &file);
    saved.Load();
    EXPECT_EQ(saved.Get(notepad), first.png);
    EXPECT_EQ(saved.Get("C:\\other.exe"), "png-other");
    EXPECT_EQ(saved.ImageCount(), 3u);  // the generic icon of the missing item too
}

// Extraction off the UI thread: the bytes come back on the asking thread
// from its message loop, one request per key, the generic icon flagged.
TEST_F(IconsWin, ResolverDeliversOnTheUiThread) {
    std::vector<IconResolved> done;
    std::vector<DWORD> threads;
    IconResolver resolver(1.0f, [&](const IconResolved& r) {
        done.push_back(r);
        threads.push_back(::GetCurrentThreadId());
    });
    const std::string notepad = ExpandPathVariables("%SystemRoot%\\notepad.exe");
    resolver.Request(1, notepad, kIconPriorityLater);
    resolver.Request(1, notepad, kIconPriorityLater);  // already on its way
    resolver.Request(2, "C:\\nowhere\\x.exe", kIconPriorityVisible);
    resolver.Request(3, "\\\\no-such-server-pt\\share", kIconPriorityVisible);
    EXPECT_EQ(resolver.Outstanding(), 3);
    ASSERT_TRUE(test::PollUntil([&] { return resolver.Outstanding() == 0; }));
    ASSERT_EQ(done.size(), 3u);
    for (DWORD thread : threads)
        EXPECT_EQ(thread, ::GetCurrentThreadId());
    for (const IconResolved& r : done) {
        EXPECT_TRUE(ReadPngFacts(r.png).valid) << r.source;
        EXPECT_EQ(r.fallback, r.key == 2) << r.source;
        if (r.key == 1) {
            EXPECT_EQ(r.png, ExtractGridIcon(notepad, 1.0f));
        }
    }
}

// A resolver asks for nothing by itself: a start whose icons are all stored
// makes no worker. A found target is extracted again only when its stored
// image is the generic icon kept while it was gone; when the generic icon
// is not made yet, a worker makes it and the comparison waits for it.
TEST_F(IconsWin, ResolverWorksOnlyWhenAskedAndRechecksOnlyTheGenericIcon) {
    const int before = WorkerWindows();
    std::vector<IconResolved> done;
    // A scale nothing in this process has made the generic icon for.
    constexpr float kScale = 1.75f;
    IconResolver resolver(kScale, [&](const IconResolved& r) { done.push_back(r); });
    test::Pump();
    EXPECT_EQ(WorkerWindows(), before);
    ASSERT_FALSE(MadeFallbackIconPng(kScale));

    const std::string notepad = ExpandPathVariables("%SystemRoot%\\notepad.exe");
    const std::string generic = ExtractIconPng(kFallbackIconFile, 0, true, kScale);
    ASSERT_FALSE(generic.empty());
    const auto storedIs = [](std::string stored) {
        return [stored](const std::string& g) { return stored == g; };
    };
    resolver.RequestIfGeneric(1, notepad, storedIs("an image of its own"));
    resolver.RequestIfGeneric(2, notepad, storedIs(generic));
    EXPECT_EQ(resolver.Outstanding(), 2) << "both wait for the generic icon";
    ASSERT_TRUE(test::PollUntil([&] { return resolver.Outstanding() == 0; }));
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].key, 2u);
    EXPECT_FALSE(done[0].fallback);
    EXPECT_TRUE(MadeFallbackIconPng(kScale));

    // Once made, the comparison is made at once.
    resolver.RequestIfGeneric(3, notepad, storedIs("an image of its own"));
    EXPECT_EQ(resolver.Outstanding(), 0);
    resolver.RequestIfGeneric(4, notepad, storedIs(generic));
    EXPECT_EQ(resolver.Outstanding(), 1);
    ASSERT_TRUE(test::PollUntil([&] { return resolver.Outstanding() == 0; }));
    ASSERT_EQ(done.size(), 2u);
    EXPECT_EQ(done[1].key, 4u);
}

// The start-up holds the workers until the panel has painted; a held
// worker starts nothing, and its jobs run once the hold is released.
TEST_F(IconsWin, HeldWorkersStartNothingUntilReleased) {
    HoldBackgroundWork();
    std::vector<IconResolved> done;
    IconResolver resolver(1.0f, [&](const IconResolved& r) { done.push_back(r); });
    resolver.Request(2, "C:\\nowhere\\x.exe", kIconPriorityVisible);
    EXPECT_FALSE(test::PollUntil([&] { return resolver.Outstanding() == 0; }, 300));
    EXPECT_TRUE(done.empty());
    ReleaseBackgroundWork();
    ASSERT_TRUE(test::PollUntil([&] { return resolver.Outstanding() == 0; }));
    EXPECT_EQ(done.size(), 1u);
}

// A worker without a job has no thread and no reply window yet: a start
// whose icons are all cached pays for neither.
TEST(BackgroundWorkerWin, StartsWithItsFirstJob) {
    const int before = WorkerWindows();
    BackgroundWorker worker;
    EXPECT_EQ(WorkerWindows(), before);
    bool ran = false;
    worker.Post(0, 0, [&ran] { return BackgroundWorker::Reply([&ran] { ran = true; }); });
    EXPECT_EQ(WorkerWindows(), before + 1);
    EXPECT_TRUE(test::PollUntil([&] { return ran; }));
}

// A worker allowed two threads starts the second once jobs queue up: a job
// that waits for the others does not hold them up.
TEST(BackgroundWorkerWin, ASecondThreadTakesQueuedJobs) {
    BackgroundWorker worker(2);
    constexpr int kJobs = 12;
    auto othersDone = std::make_shared<std::atomic<int>>(0);
    int sawOthers = -1;
    int replies = 0;
    worker.Post(0, 0, [othersDone, &sawOthers, &replies] {
        const DWORD until = ::GetTickCount() + 5000;
        while (othersDone->load() < kJobs - 1 && ::GetTickCount() < until)
            ::Sleep(1);
        const int seen = othersDone->load();
        return BackgroundWorker::Reply([seen, &sawOthers, &replies] {
            sawOthers = seen;
            ++replies;
        });
    });
    for (int i = 1; i < kJobs; ++i) {
        worker.Post(0, 0, [othersDone, &replies] {
            ++*othersDone;
            return BackgroundWorker::Reply([&replies] { ++replies; });
        });
    }
    ASSERT_TRUE(test::PollUntil([&] { return replies == kJobs; }, 10000));
    EXPECT_EQ(sawOthers, kJobs - 1);
}

TEST(SaveTimerWin, FiresOnceAndStops) {
    ThreadSaveTimer timer(20);
    int fired = 0;
    timer.Start([&] { ++fired; });
    EXPECT_TRUE(timer.Pending());
    DWORD until = ::GetTickCount() + 2000;
    MSG msg;
    while (fired == 0 && ::GetTickCount() < until) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::Sleep(5);
    }
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(timer.Pending());

    timer.Start([&] { ++fired; });
    timer.Stop();
    until = ::GetTickCount() + 100;
    while (::GetTickCount() < until) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::Sleep(5);
    }
    EXPECT_EQ(fired, 1);
}

}  // namespace
}  // namespace pt
