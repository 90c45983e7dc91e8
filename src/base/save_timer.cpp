// Bytes held in memory, and the plain read behind DocumentStorage::Open: a
// copy of the file, for the storages that have no cheaper way to hold it.
#include "base/save_timer.h"

#include <cstring>
#include <utility>

namespace pt {
namespace {

class OwnedBytes final : public DocumentReader {
  public:
    explicit OwnedBytes(std::string bytes) : bytes_(std::move(bytes)) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool ReadAt(uint64_t offset, char* out, size_t length) const override {
        if (offset > bytes_.size() || bytes_.size() - offset < length)
            return false;
        if (length > 0)
            std::memcpy(out, bytes_.data() + offset, length);
        return true;
    }

  private:
    std::string bytes_;
};

}  // namespace

std::unique_ptr<DocumentReader> HoldBytes(std::string bytes) {
    return std::make_unique<OwnedBytes>(std::move(bytes));
}

std::unique_ptr<DocumentReader> DocumentStorage::Open() {
    std::string bytes;
    if (Read(&bytes) != FileReadStatus::kOk)
        return nullptr;
    return HoldBytes(std::move(bytes));
}

}  // namespace pt
