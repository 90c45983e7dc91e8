// The launcher data store's Windows side: data\Data through the stores'
// shared file storage and deferred save, and the shell's answers for the
// canonical add.
#include "launcher/launcher_data.h"

#include <memory>
#include <unordered_map>
#include <utility>

#include "base/atomic_file.h"
#include "launcher/background_worker.h"
#include "launcher/icons.h"
#include "base/save_timer.h"

namespace pt {
namespace {

class ShellLauncherSystem final : public LauncherSystem {
  public:
    TargetKind Classify(std::string_view path, bool* exists) override {
        return ClassifyTarget(path, exists);
    }
    TargetKind ClassifyText(std::string_view path) override { return ClassifyTargetText(path); }

    bool IsRemote(std::string_view path) override { return IsNetworkPath(path); }

    bool ClassifyLater(std::string path,
                       std::function<void(TargetKind kind, bool exists)> done) override {
        if (!worker_)
            worker_ = std::make_unique<BackgroundWorker>();
        worker_->Post(0, 0, [this, path = std::move(path), done = std::move(done)]() {
            // The server is asked here, off the UI thread, for everything the
            // canonical add of a folder would ask it.
            bool exists = false;
            TargetKind kind = ClassifyTarget(path, &exists);
            std::string folderIcon =
                kind.id == TargetKindId::kFolder ? pt::FolderIconResource(path) : std::string();
            return BackgroundWorker::Reply([this, path, kind, exists, folderIcon, done] {
                networkFolderIcons_[path] = folderIcon;
                done(kind, exists);
                networkFolderIcons_.erase(path);
            });
        });
        return true;
    }

    std::string FolderIconResource(std::string_view folder) override {
        // A network folder's desktop.ini is read on the worker; the UI
        // thread takes that answer, or none, but never waits for a server.
        if (IsNetworkPath(folder)) {
            auto found = networkFolderIcons_.find(std::string(folder));
            return found == networkFolderIcons_.end() ? std::string() : found->second;
        }
        return pt::FolderIconResource(folder);
    }
    std::string ExpandVariables(std::string_view text) override {
        return ExpandPathVariables(text);
    }
    std::optional<InternetShortcut> ReadInternetShortcut(std::string_view file) override {
        return pt::ReadInternetShortcut(file);
    }
    std::optional<ShortcutRecord> ReadShortcut(std::string_view file) override {
        ShortcutRecord record;
        if (!pt::ReadShortcut(file, &record))
            return std::nullopt;
        return record;
    }

  private:
    std::unordered_map<std::string, std::string> networkFolderIcons_;
    std::unique_ptr<BackgroundWorker> worker_;  // last: its replies use the members above
};

}  // namespace

std::unique_ptr<LauncherDataStorage> MakeFileLauncherDataStorage(std::string dataFolder,
                                                                 unsigned delayMs) {
    return MakeFileDocumentStorage(std::move(dataFolder), "Data", delayMs);
}

std::unique_ptr<LauncherSystem> MakeShellLauncherSystem() {
    return std::make_unique<ShellLauncherSystem>();
}

}  // namespace pt
