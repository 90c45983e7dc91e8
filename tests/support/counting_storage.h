// A store's file storage that counts the writes reaching the real one, for
// the tests that watch a deferred save happen (or not) on a real folder.
// `Storage` is the store's storage interface (settings or launcher data).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "base/atomic_file.h"
#include "base/save_timer.h"

namespace pt::test {

template <class Storage>
class CountingStorage final : public Storage {
  public:
    CountingStorage(std::unique_ptr<Storage> inner, int* writes)
        : inner_(std::move(inner)), writes_(writes) {}
    FileReadStatus Read(std::string* bytes) override { return inner_->Read(bytes); }
    std::unique_ptr<DocumentReader> Open() override { return inner_->Open(); }
    bool Write(std::string_view bytes, uint32_t* error) override {
        ++*writes_;
        return inner_->Write(bytes, error);
    }
    std::string KeepBrokenCopy() override { return inner_->KeepBrokenCopy(); }
    void ArmTimer(std::function<void()> fire) override { inner_->ArmTimer(std::move(fire)); }
    void CancelTimer() override { inner_->CancelTimer(); }

  private:
    std::unique_ptr<Storage> inner_;
    int* writes_;
};

}  // namespace pt::test
