// The deferred save of a store: a one-shot thread timer without a window on
// the UI thread, restarted by every change. Windows-only.
#pragma once

#include <cstdint>
#include <functional>

#include "launcher/icon_store.h"

namespace pt {

class ThreadSaveTimer final : public SaveTimer {
  public:
    explicit ThreadSaveTimer(unsigned delayMs = 5000) : delayMs_(delayMs) {}
    ~ThreadSaveTimer() override;
    ThreadSaveTimer(const ThreadSaveTimer&) = delete;
    ThreadSaveTimer& operator=(const ThreadSaveTimer&) = delete;

    void Start(std::function<void()> onFire) override;
    void Stop() override;
    bool Pending() const { return id_ != 0; }

    // Entered from the system's timer procedure with the timer's identifier.
    static void Fire(uintptr_t id);

  private:
    unsigned delayMs_;
    uintptr_t id_ = 0;
    std::function<void()> onFire_;
};

}  // namespace pt
