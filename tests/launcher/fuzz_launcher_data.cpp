// Fuzz target: whatever data\Data holds, loading gives at least one category
// with category 0 current, and what it saves loads back with the same
// categories, groups and items (normalising never loses or adds an entry).
// Names are compared without CR: the document reader turns a line feed into
// CR LF, so a name with a bare line feed gains a CR on its first round trip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "launcher/launcher_data.h"

namespace {

struct Memory {
    std::string file;
    bool present = false;
};

class MemoryStorage final : public pt::LauncherDataStorage {
  public:
    explicit MemoryStorage(Memory* memory) : memory_(memory) {}
    pt::FileReadStatus Read(std::string* bytes) override {
        *bytes = memory_->file;
        return memory_->present ? pt::FileReadStatus::kOk : pt::FileReadStatus::kMissing;
    }
    bool Write(std::string_view bytes, uint32_t*) override {
        memory_->file = std::string(bytes);
        memory_->present = true;
        return true;
    }
    std::string KeepBrokenCopy() override { return "copy"; }
    void ArmTimer(std::function<void()>) override {}
    void CancelTimer() override {}

  private:
    Memory* memory_;
};

bool Never(std::string_view) {
    return false;
}

// No file system: nothing is a folder or a shortcut that can be read.
// `trusting` false makes every stored type disagree with the text, so each
// item takes the full canonical add at load.
class NoSystem final : public pt::LauncherSystem {
  public:
    explicit NoSystem(bool trusting = true) : trusting_(trusting) {}
    pt::TargetKind Classify(std::string_view path, bool* exists) override {
        *exists = false;
        return pt::ClassifyTargetWith(path, pt::TargetProbe{&Never, &Never, &Never});
    }
    pt::TargetKind ClassifyText(std::string_view path) override {
        if (!trusting_)
            return pt::TargetKind{pt::TargetKindId::kUnknown, "\x01"};
        bool exists = false;
        return Classify(path, &exists);
    }
    std::string FolderIconResource(std::string_view) override { return {}; }
    std::string ExpandVariables(std::string_view text) override { return std::string(text); }
    std::optional<pt::InternetShortcut> ReadInternetShortcut(std::string_view) override {
        return std::nullopt;
    }
    std::optional<pt::ShortcutRecord> ReadShortcut(std::string_view) override {
        return std::nullopt;
    }

  private:
    bool trusting_;
};

std::string WithoutCr(std::string text) {
    std::erase(text, '\r');
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Memory memory;
    memory.file.assign(reinterpret_cast<const char*>(data), size);
    memory.present = true;
    pt::LauncherData first(std::make_unique<MemoryStorage>(&memory), std::make_unique<NoSystem>());
    first.Load();
    if (first.ClassCount() < 1 || first.CurrentClass() != 0)
        std::abort();
    if (!first.Save())
        std::abort();
    pt::LauncherData second(std::make_unique<MemoryStorage>(&memory), std::make_unique<NoSystem>());
    second.Load();
    if (second.ClassCount() != first.ClassCount())
        std::abort();
    for (int c = 0; c < first.ClassCount(); ++c) {
        if (WithoutCr(second.ClassName(c)) != WithoutCr(first.ClassName(c)) ||
            second.GroupCount(c) != first.GroupCount(c))
            std::abort();
        for (int g = 0; g < first.GroupCount(c); ++g) {
            if (second.ItemCount(c, g) != first.ItemCount(c, g))
                std::abort();
        }
    }
    // What the load took on trust must be what the full canonical add makes
    // of the file it saved, and verifying it must change nothing.
    pt::LauncherData full(std::make_unique<MemoryStorage>(&memory),
                          std::make_unique<NoSystem>(false));
    full.Load();
    const std::string trusted = second.DocumentText();
    if (trusted != full.DocumentText() || full.UnverifiedCount() != 0)
        std::abort();
    while (second.VerifySome(7)) {
    }
    if (second.DocumentText() != trusted || second.UnverifiedCount() != 0)
        std::abort();
    return 0;
}
