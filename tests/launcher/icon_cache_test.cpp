// The icon cache file read from bytes laid out by hand, written and read back,
// and refused whole when any count, offset or length is out of place; the
// icon store's reference counts and its one deferred save.
#include "launcher/icon_cache.h"
#include "launcher/icon_store.h"

#include <gtest/gtest.h>

#include <map>

#include "base/crc32.h"

namespace pt {
namespace {

void U32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(v >> (8 * i));
}

// Two entries, data in reverse order of the table; offsets from file offset 4.
std::string HandMadeCache() {
    std::string f = "icon";
    U32(f, 0x00035BC7);
    U32(f, 3);   // key type: integer
    U32(f, 11);  // value type: byte buffer
    U32(f, 2);
    // table at serialisation offset 16 (file 20), data at 32 (file 36)
    U32(f, 0xDEADBEEF);
    U32(f, 32 + 10);  // second data block
    U32(f, 7);
    U32(f, 32);
    U32(f, 1);  // data of key 7: "ab"
    U32(f, 2);
    f += "ab";
    U32(f, 1);  // data of key 0xDEADBEEF: "PNG!"
    U32(f, 4);
    f += "PNG!";
    return f;
}

TEST(IconCacheFile, ReadsTheLayoutByteForByte) {
    std::optional<IconImages> images = ParseIconCache(HandMadeCache());
    ASSERT_TRUE(images);
    ASSERT_EQ(images->size(), 2u);
    EXPECT_EQ(images->at(7), "ab");
    EXPECT_EQ(images->at(0xDEADBEEF), "PNG!");
}

TEST(IconCacheFile, WrittenFileReadsBackAndHasTheHeader) {
    IconImages images{{1, std::string("\x89PNG\0x", 6)}, {0xFFFFFFFF, ""}, {42, "zz"}};
    std::optional<std::string> file = SerializeIconCache(images);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->substr(0, 8), std::string("icon\xC7\x5B\x03\x00", 8));
    EXPECT_EQ(file->substr(8, 8), std::string("\x03\0\0\0\x0B\0\0\0", 8));
    EXPECT_EQ(ParseIconCache(*file), images);
    // An empty table is a valid file too.
    std::optional<std::string> empty = SerializeIconCache(IconImages{});
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->size(), 20u);
    EXPECT_EQ(ParseIconCache(*empty), IconImages{});
}

TEST(IconCacheFile, EveryTruncationAndForeignFieldIsRefused) {
    std::string good = HandMadeCache();
    for (size_t n = 0; n < good.size(); ++n) {
        // Shorter files lose data the table points at (the last block ends the file).
        EXPECT_FALSE(ParseIconCache(good.substr(0, n))) << n;
    }
    auto patched = [&](size_t at, uint32_t v) {
        std::string f = good;
        for (int i = 0; i < 4; ++i)
            f[at + i] = static_cast<char>(v >> (8 * i));
        return f;
    };
    EXPECT_FALSE(ParseIconCache("hash" + good.substr(4)));
    EXPECT_FALSE(ParseIconCache(patched(4, 0x00035BC8)));   // magic
    EXPECT_FALSE(ParseIconCache(patched(8, 10)));           // text keys
    EXPECT_FALSE(ParseIconCache(patched(12, 3)));           // integer values
    EXPECT_FALSE(ParseIconCache(patched(12, 99)));          // unknown type
    EXPECT_FALSE(ParseIconCache(patched(16, 0xFFFFFFFF)));  // count far beyond the file
    EXPECT_FALSE(ParseIconCache(patched(16, 3)));           // one entry more than the table
    EXPECT_FALSE(ParseIconCache(patched(24, 0xFFFFFFF8)));  // offset wrapping round
    EXPECT_FALSE(ParseIconCache(patched(24, 2)));           // offset into the header
    EXPECT_FALSE(ParseIconCache(patched(32, 1)));           // offset into the header
    EXPECT_FALSE(ParseIconCache(patched(40, 0xFFFFFFFF)));  // length beyond the file
    // A count that is smaller than the table is fine: the rest is data.
    EXPECT_TRUE(ParseIconCache(patched(16, 1)));
}

TEST(IconKey, Utf16TextWithTerminatorAndScale) {
    std::u16string text = u"C:\\a.exe,1";
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    bytes.append(2, '\0');
    EXPECT_EQ(IconKey("C:\\a.exe", 1.0f), Crc32(bytes.data(), bytes.size()));
    EXPECT_EQ(ScaleKeyText(1.0f), "1");
    EXPECT_EQ(ScaleKeyText(1.25f), "1.25");
    EXPECT_EQ(ScaleKeyText(1.5f), "1.5");
    EXPECT_NE(IconKey("C:\\a.exe", 1.0f), IconKey("C:\\a.exe", 1.25f));
    EXPECT_NE(IconKey("C:\\图标.exe", 1.0f), IconKey("C:\\a.exe", 1.0f));
}

struct ManualTimer {
    std::function<void()> onFire;
    int starts = 0;
    void Fire() {
        auto fire = std::move(onFire);
        onFire = nullptr;
        if (fire)
            fire();
    }
};

// The file of a store under test, with its timer.
struct MemoryStorage : DocumentStorage {
    explicit MemoryStorage(ManualTimer* t) : timer(t) {}
    ManualTimer* timer;
    std::optional<std::string> file;
    int writes = 0;
    bool failWrites = false;
    FileReadStatus Read(std::string* bytes) override {
        if (!file)
            return FileReadStatus::kMissing;
        *bytes = *file;
        return FileReadStatus::kOk;
    }
    bool Write(std::string_view bytes, uint32_t* error) override {
        ++writes;
        if (failWrites) {
            *error = 29;  // ERROR_WRITE_FAULT
            return false;
        }
        file = std::string(bytes);
        return true;
    }
    std::string KeepBrokenCopy() override { return {}; }
    void ArmTimer(std::function<void()> fire) override {
        ++timer->starts;
        timer->onFire = std::move(fire);
    }
    void CancelTimer() override { timer->onFire = nullptr; }
};

struct StoreFixture {
    float scale = 1.0f;
    ManualTimer timer;
    MemoryStorage storage{&timer};
    IconStore store{[this](std::string_view source) { return IconKey(source, scale); }, &storage};
};

TEST(IconStore, SharedSourceKeepsImageUntilLastRelease) {
    StoreFixture f;
    f.store.Load();
    f.store.AddRef("C:\\a.exe");
    f.store.AddRef("C:\\a.exe");
    f.store.Put("C:\\a.exe", "png-a");
    EXPECT_EQ(f.store.Get("C:\\a.exe"), "png-a");
    EXPECT_EQ(f.store.RefCount("C:\\a.exe"), 2);
    f.store.Release("C:\\a.exe");
    EXPECT_EQ(f.store.Get("C:\\a.exe"), "png-a");
    f.store.Release("C:\\a.exe");
    EXPECT_EQ(f.store.Get("C:\\a.exe"), "");
    EXPECT_EQ(f.store.ImageCount(), 0u);
    // Empty sources are ignored everywhere.
    f.store.AddRef("");
    f.store.Put("", "x");
    f.store.Release("");
    EXPECT_EQ(f.store.ImageCount(), 0u);
}

TEST(IconStore, ReleaseWithoutImageOnlyDropsTheCount) {
    StoreFixture f;
    f.store.AddRef("C:\\none.exe");
    f.store.Release("C:\\none.exe");
    EXPECT_EQ(f.store.RefCount("C:\\none.exe"), 0);
    EXPECT_FALSE(f.store.SavePending());
    // An image released with no entry counted goes rather than staying forever.
    f.store.Put("C:\\b.exe", "png-b");
    f.store.Release("C:\\b.exe");
    EXPECT_EQ(f.store.ImageCount(), 0u);
}

TEST(IconStore, OneDeferredSaveAndItRoundTrips) {
    StoreFixture f;
    f.store.Load();
    f.store.AddRef("C:\\a.exe");
    f.store.Put("C:\\a.exe", "png-a");
    f.store.Put("C:\\a.exe", "png-a");  // same bytes: nothing to do
    f.store.AddRef("C:\\b.exe");
    f.store.Put("C:\\b.exe", "png-b");
    EXPECT_EQ(f.storage.writes, 0);
    EXPECT_TRUE(f.store.SavePending());
    EXPECT_EQ(f.timer.starts, 2);
    f.timer.Fire();
    EXPECT_EQ(f.storage.writes, 1);
    EXPECT_FALSE(f.store.SavePending());
    EXPECT_TRUE(f.store.FlushPendingSave());
    EXPECT_EQ(f.storage.writes, 1);

    StoreFixture next;
    next.storage.file = f.storage.file;
    next.store.Load();
    EXPECT_EQ(next.store.Get("C:\\a.exe"), "png-a");
    EXPECT_EQ(next.store.Get("C:\\b.exe"), "png-b");
    // Other scales have other keys: nothing is found, the old images stay unused.
    StoreFixture scaled;
    scaled.scale = 1.5f;
    scaled.storage.file = f.storage.file;
    scaled.store.Load();
    EXPECT_EQ(scaled.store.Get("C:\\a.exe"), "");
    EXPECT_EQ(scaled.store.ImageCount(), 2u);
}

TEST(IconStore, ImagesFromTheFileCanBeReplacedAndDropped) {
    StoreFixture f;
    f.store.Put("C:\\a.exe", "png-a");
    f.store.Put("C:\\b.exe", "png-b");
    f.timer.Fire();

    // The loaded images stay in the file's buffer; a new one for the same
    // key replaces it, and a save writes the new bytes next to the old ones.
    StoreFixture next;
    next.storage.file = f.storage.file;
    next.store.Load();
    next.store.AddRef("C:\\a.exe");
    next.store.Put("C:\\a.exe", next.store.Get("C:\\a.exe"));  // its own bytes: nothing to do
    EXPECT_FALSE(next.store.SavePending());
    next.store.Put("C:\\a.exe", "png-a2");
    next.store.Put("C:\\a.exe", "png-a3");
    EXPECT_EQ(next.store.Get("C:\\a.exe"), "png-a3");
    next.store.Release("C:\\b.exe");
    EXPECT_EQ(next.store.Get("C:\\b.exe"), "");
    ASSERT_TRUE(next.store.Save());
    EXPECT_EQ(ParseIconCache(*next.storage.file),
              (IconImages{{IconKey("C:\\a.exe", 1.0f), "png-a3"}}));
}

TEST(IconStore, FailedSaveStaysPendingAndDamagedFileLoadsEmpty) {
    StoreFixture f;
    f.storage.failWrites = true;
    f.store.Put("C:\\a.exe", "png-a");
    f.timer.Fire();
    EXPECT_TRUE(f.store.SavePending());
    f.storage.failWrites = false;
    EXPECT_TRUE(f.store.FlushPendingSave());
    EXPECT_FALSE(f.store.SavePending());

    StoreFixture damaged;
    damaged.storage.file = f.storage.file->substr(0, f.storage.file->size() - 1);
    damaged.store.Load();
    EXPECT_EQ(damaged.store.ImageCount(), 0u);
}

// The store reads an image's bytes from the file only when asked for them,
// and a save that fails keeps every image, the unread ones too, for the
// next one.
TEST(IconStore, ImagesAreReadWhenAskedAndNoneIsLostBySaves) {
    StoreFixture f;
    f.store.Put("C:\\a.exe", "png-a");
    f.store.Put("C:\\b.exe", "png-b");
    f.timer.Fire();

    StoreFixture next;
    next.storage.file = f.storage.file;
    next.store.Load();
    EXPECT_EQ(next.store.ImageCount(), 2u);
    EXPECT_EQ(next.store.BytesHeld(), 0u);
    EXPECT_FALSE(next.store.Holds(IconKey("C:\\a.exe", 1.0f), "other length"));
    EXPECT_EQ(next.store.BytesHeld(), 0u) << "another length is told without reading";
    EXPECT_EQ(next.store.Get("C:\\a.exe"), "png-a");
    EXPECT_EQ(next.store.BytesHeld(), 5u);

    next.storage.failWrites = true;
    next.store.Put("C:\\c.exe", "png-c");
    EXPECT_FALSE(next.store.Save());
    next.storage.file = "lost";  // whatever the file holds now, nothing comes from it
    next.storage.failWrites = false;
    ASSERT_TRUE(next.store.FlushPendingSave());
    EXPECT_EQ(ParseIconCache(*next.storage.file),
              (IconImages{{IconKey("C:\\a.exe", 1.0f), "png-a"},
                          {IconKey("C:\\b.exe", 1.0f), "png-b"},
                          {IconKey("C:\\c.exe", 1.0f), "png-c"}}));
}

}  // namespace
}  // namespace pt
