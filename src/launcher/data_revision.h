// A count of the changes of the launcher data, for views that keep a copy of
// what the data says (the item search's index) and must know when to build
// it again. Every change of the data reaches its storage, as a write or as
// an armed deferred save, so the count is kept by a storage that passes
// everything on to the real one. A deferred save's own write counts too:
// one needless rebuild, never a missed one. (Verification of items loaded
// on trust changes no name or target and schedules nothing.)
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "launcher/launcher_data.h"

namespace pt {

class RevisionCountingStorage final : public LauncherDataStorage {
  public:
    RevisionCountingStorage(std::unique_ptr<LauncherDataStorage> inner,
                            std::shared_ptr<uint64_t> revision)
        : inner_(std::move(inner)), revision_(std::move(revision)) {}
    FileReadStatus Read(std::string* bytes) override { return inner_->Read(bytes); }
    bool Write(std::string_view bytes, uint32_t* error) override {
        ++*revision_;
        return inner_->Write(bytes, error);
    }
    std::string KeepBrokenCopy() override { return inner_->KeepBrokenCopy(); }
    void ArmTimer(std::function<void()> fire) override {
        ++*revision_;
        inner_->ArmTimer(std::move(fire));
    }
    void CancelTimer() override { inner_->CancelTimer(); }

  private:
    std::unique_ptr<LauncherDataStorage> inner_;
    std::shared_ptr<uint64_t> revision_;
};

}  // namespace pt
