// Bytes held in memory, and the plain read behind DocumentStorage::Open: a
// copy of the file, for the storages that have no cheaper way to hold it.
#include "base/save_timer.h"

#include <utility>

namespace pt {
namespace {

class OwnedBytes final : public DocumentBytes {
  public:
    explicit OwnedBytes(std::string bytes) : bytes_(std::move(bytes)) {}
    std::string_view Bytes() const override { return bytes_; }

  private:
    std::string bytes_;
};

}  // namespace

std::unique_ptr<DocumentBytes> HoldBytes(std::string bytes) {
    return std::make_unique<OwnedBytes>(std::move(bytes));
}

std::unique_ptr<DocumentBytes> DocumentStorage::Open() {
    std::string bytes;
    if (Read(&bytes) != FileReadStatus::kOk)
        return nullptr;
    return HoldBytes(std::move(bytes));
}

}  // namespace pt
