// Launch threads; see item_launch.h.
#include "panel/item_launch.h"

#include <algorithm>
#include <thread>
#include <utility>

#include "base/win_handles.h"
#include "launcher/launch.h"
#include "launcher/target.h"
#include "toolkit/toolkit.h"

namespace pt {

// UI thread only: the launch threads reach it through posted tasks alone.
struct LaunchRunner::Core {
    std::vector<LaunchRequest> pending;

    void Finish(const LaunchRequest& request) {
        auto it = std::find(pending.begin(), pending.end(), request);
        if (it != pending.end())
            pending.erase(it);
    }
};

namespace {

int64_t RunShellCall(const ShellCall& call, LaunchRequest request) {
    try {
        ScopedCom com;
        if (request.directoryFromFile && request.directory.empty())
            request.directory = DefaultWorkDir(request.file);
        if (call)
            return call(request);
        return ShellExecuteResult(request.file, request.parameters, request.directory,
                                  request.verb);
    } catch (...) {
        return 0;  // out of memory: "内存不足"
    }
}

}  // namespace

LaunchRunner::LaunchRunner(ShellCall call)
    : call_(std::move(call)), core_(std::make_shared<Core>()) {}

LaunchRunner::~LaunchRunner() = default;

bool LaunchRunner::Start(const LaunchRequest& request, std::function<void(int64_t)> done) {
    if (Pending(request))
        return false;
    core_->pending.push_back(request);
    std::weak_ptr<Core> weak = core_;
    auto finish = [weak, request, done = std::move(done)](int64_t result) {
        std::shared_ptr<Core> core = weak.lock();
        if (!core)
            return;
        core->Finish(request);
        if (done)
            done(result);
    };
    try {
        std::thread([call = call_, request, finish]() mutable {
            const int64_t result = RunShellCall(call, request);
            try {
                PostUiTask([finish = std::move(finish), result] { finish(result); });
            } catch (...) {
                // No memory for the report: the request stays marked waiting.
            }
        }).detach();
    } catch (...) {
        // No thread to be had: the launch fails as the shell would without memory.
        finish(0);
    }
    return true;
}

bool LaunchRunner::Pending(const LaunchRequest& request) const {
    return std::find(core_->pending.begin(), core_->pending.end(), request) != core_->pending.end();
}

int LaunchRunner::PendingCount() const {
    return static_cast<int>(core_->pending.size());
}

}  // namespace pt
