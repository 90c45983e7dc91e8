// The worker thread and the road of its replies; see background_worker.h.
#include "launcher/background_worker.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace pt {
namespace {

constexpr const wchar_t* kWindowClass = kWorkerWindowClass;
constexpr UINT kWakeMessage = WM_APP + 1;
constexpr UINT_PTR kReplyTimer = 1;
// Each timer tick runs replies for this long at most.
constexpr std::chrono::milliseconds kReplySlice{4};
// How long the destructor waits for a job in progress before it leaves the
// thread to finish on its own.
constexpr std::chrono::milliseconds kStopWait{500};

constexpr std::chrono::seconds kLongestHold{3};

// Queued jobs beyond which a worker allowed several threads starts another.
constexpr size_t kBacklogForAnotherThread = 8;

struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool held = false;
    std::chrono::steady_clock::time_point until;
};

Gate& TheGate() {
    static Gate* gate = new Gate;  // never destroyed: detached threads may still wait on it
    return *gate;
}

// Waits while the work is held; a stopping worker goes at once.
void WaitForGate(const std::function<bool()>& stopping) {
    Gate& gate = TheGate();
    std::unique_lock<std::mutex> lock(gate.mutex);
    while (gate.held && std::chrono::steady_clock::now() < gate.until && !stopping())
        gate.opened.wait_for(lock, std::chrono::milliseconds(50));
}

}  // namespace

void HoldBackgroundWork() {
    Gate& gate = TheGate();
    std::lock_guard<std::mutex> lock(gate.mutex);
    gate.held = true;
    gate.until = std::chrono::steady_clock::now() + kLongestHold;
}

void ReleaseBackgroundWork() {
    Gate& gate = TheGate();
    {
        std::lock_guard<std::mutex> lock(gate.mutex);
        gate.held = false;
    }
    gate.opened.notify_all();
}

struct BackgroundWorker::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable exited;
    struct Queued {
        uint64_t tag;
        Job job;
    };
    std::multimap<int, Queued> jobs;  // equal keys keep their order of insertion
    std::deque<Reply> replies;
    int running = 0;
    int maxThreads = 1;
    int threads = 0;  // started so far
    int exitedThreads = 0;
    bool stop = false;
    bool wakePosted = false;
    HWND window = nullptr;
};

namespace {

void WorkerMain(std::shared_ptr<BackgroundWorker::Shared> shared) {
    const auto stopping = [&shared] {
        std::lock_guard<std::mutex> lock(shared->mutex);
        return shared->stop;
    };
    // Background work gives way to the UI thread.
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    WaitForGate(stopping);
    // The shell's extraction needs an apartment; a single-threaded one is
    // what shell handlers are written for.
    ScopedCom com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    std::unique_lock<std::mutex> lock(shared->mutex);
    for (;;) {
        lock.unlock();
        WaitForGate(stopping);
        lock.lock();
        shared->wake.wait(lock, [&] { return shared->stop || !shared->jobs.empty(); });
        if (shared->stop)
            break;
        auto first = shared->jobs.begin();
        BackgroundWorker::Job job = std::move(first->second.job);
        shared->jobs.erase(first);
        ++shared->running;
        lock.unlock();
        BackgroundWorker::Reply reply;
        try {
            reply = job();
        } catch (...) {
            reply = nullptr;  // a job that failed has nothing to report
        }
        job = nullptr;
        lock.lock();
        --shared->running;
        if (reply && !shared->stop) {
            shared->replies.push_back(std::move(reply));
            if (!shared->wakePosted && shared->window)
                shared->wakePosted = ::PostMessageW(shared->window, kWakeMessage, 0, 0) != FALSE;
        }
    }
    ++shared->exitedThreads;
    shared->exited.notify_all();
}

bool RegisterReplyClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(instance, kWindowClass, &existing))
        return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    return ::RegisterClassExW(&wc) != 0;
}

}  // namespace

BackgroundWorker::BackgroundWorker(int threads) : shared_(std::make_shared<Shared>()) {
    shared_->maxThreads = std::max(threads, 1);
}

void BackgroundWorker::Start() {
    // The reply window and the thread come with the first job: a start
    // whose icons are all in the cache never pays for them (a few
    // milliseconds and a thread's stack each under Wine).
    started_ = true;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (RegisterReplyClass(instance, &BackgroundWorker::WindowProc)) {
        // A message-only window: no desktop, no painting, only the replies' messages.
        window_.Reset(::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        instance, nullptr));
    }
    if (window_)
        ::SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->window = window_.Get();
    }
    AddThread();
}

void BackgroundWorker::AddThread() {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        ++shared_->threads;
    }
    std::thread(WorkerMain, shared_).detach();
}

BackgroundWorker::~BackgroundWorker() {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->stop = true;
        shared_->window = nullptr;
        shared_->jobs.clear();
        shared_->replies.clear();
    }
    shared_->wake.notify_all();
    window_.Reset();
    if (!started_)
        return;
    // A job stuck on a server that does not answer must not hold up the
    // exit: the thread keeps its own share of the state and ends by itself.
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->exited.wait_for(lock, kStopWait,
                             [&] { return shared_->exitedThreads == shared_->threads; });
}

void BackgroundWorker::Post(int priority, uint64_t tag, Job job) {
    bool backlog = false;
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->jobs.emplace(priority, Shared::Queued{tag, std::move(job)});
        // A further thread only for a queue that has grown: the one job of
        // an ordinary start does not pay for a second thread.
        backlog = started_ && shared_->threads < shared_->maxThreads &&
                  shared_->jobs.size() > kBacklogForAnotherThread;
    }
    if (!started_)
        Start();
    else if (backlog)
        AddThread();
    shared_->wake.notify_one();
}

void BackgroundWorker::Promote(const std::function<bool(uint64_t tag)>& pick, int priority) {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    std::multimap<int, Shared::Queued> kept;
    for (auto& [queuedPriority, queued] : shared_->jobs) {
        const bool picked = queuedPriority > priority && pick(queued.tag);
        kept.emplace(picked ? priority : queuedPriority, std::move(queued));
    }
    shared_->jobs = std::move(kept);
}

int BackgroundWorker::Outstanding() const {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return static_cast<int>(shared_->jobs.size() + shared_->replies.size()) + shared_->running;
}

void BackgroundWorker::RunReplies() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + kReplySlice;
    for (;;) {
        Reply reply;
        {
            std::lock_guard<std::mutex> lock(shared_->mutex);
            if (shared_->replies.empty()) {
                // The next reply posts a new wake-up.
                shared_->wakePosted = false;
                ::KillTimer(window_.Get(), kReplyTimer);
                return;
            }
            reply = std::move(shared_->replies.front());
            shared_->replies.pop_front();
        }
        try {
            reply();
        } catch (...) {
            // A reply that fails loses its own result only.
        }
        if (Clock::now() >= end)
            return;  // the timer runs again once input and painting are done
    }
}

LRESULT CALLBACK BackgroundWorker::WindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    auto* self = reinterpret_cast<BackgroundWorker*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == kWakeMessage) {
        // Not run here: posted messages come before input and painting.
        ::SetTimer(window, kReplyTimer, 0, nullptr);
        return 0;
    }
    if (self && message == kWorkerOutstandingQuery)
        return self->Outstanding();
    if (self && message == WM_TIMER && wParam == kReplyTimer) {
        self->RunReplies();
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace pt
