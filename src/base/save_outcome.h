// What the stores of the data folder remember of their last save: whether it
// failed (a failed save stays due for a retry) and whether the user has been
// told. Only the first failure of a run is reported: a file that cannot be
// written now will usually fail every few seconds until the user acts.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

namespace pt {

class SaveOutcome {
  public:
    void SetFailureHandler(std::function<void(uint32_t error)> handler) {
        handler_ = std::move(handler);
    }
    // Records a save's result (`error` is the system's code of a failure)
    // and hands back `ok`.
    bool Record(bool ok, uint32_t error) {
        failed_ = !ok;
        if (!ok && !reported_) {
            reported_ = true;
            if (handler_)
                handler_(error);
        }
        return ok;
    }
    bool Failed() const { return failed_; }

  private:
    bool failed_ = false;
    bool reported_ = false;
    std::function<void(uint32_t)> handler_;
};

}  // namespace pt
