// Starting targets without stopping the panel: each launch runs the shell
// call on a thread of its own (with its own COM apartment, as the shell
// wants), because the shell may wait for seconds on a network target that
// does not answer, and the panel must keep painting and answering input
// meanwhile. The outcome comes back to the UI thread. A request that is
// still waiting is not started a second time, so an impatient second click
// on the same item does not start it twice.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pt {

struct LaunchRequest {
    std::string file;
    std::string parameters;
    std::string directory;
    std::string verb;  // "open", "runas"; "" for the shell's default
    // An empty directory becomes the default working directory of `file`
    // (worked out on the launch thread: it asks the disk).
    bool directoryFromFile = false;

    bool operator==(const LaunchRequest&) const = default;
};

// The shell call, on the launch thread; the value of ShellExecuteResult.
using ShellCall = std::function<int64_t(const LaunchRequest& request)>;

class LaunchRunner {
  public:
    // `call` replaces the shell (tests watch what would be launched); it
    // runs on the launch threads, several at a time. None: the shell.
    explicit LaunchRunner(ShellCall call = {});
    ~LaunchRunner();
    LaunchRunner(const LaunchRunner&) = delete;
    LaunchRunner& operator=(const LaunchRunner&) = delete;

    // Starts the request; `done` runs later on the UI thread with the result
    // (above 32: started), unless the runner is gone by then. False, and
    // nothing started, while an equal request is still waiting. UI thread.
    bool Start(const LaunchRequest& request, std::function<void(int64_t result)> done);
    bool Pending(const LaunchRequest& request) const;
    int PendingCount() const;

  private:
    struct Core;
    ShellCall call_;
    std::shared_ptr<Core> core_;
};

}  // namespace pt
