// A thread of its own for work that may wait: the shell's icon extraction
// (it loads shell handlers and may reach for a network share) and the
// attribute query of a network path (it waits for the server, seconds when
// the server does not answer). Each job runs on that thread, inside its own
// single-threaded COM apartment, and returns what is to be done with its
// result on the UI thread. Those replies run from the UI thread's message
// loop on a timer, a few milliseconds at a time: timer messages come only
// when input and painting are done, so a burst of results never holds the
// panel up. Windows-only; made and used on the UI thread.
//
// Jobs must capture what they need by value: a job may still be running
// when its owner is gone (a server that never answers), and it then runs
// to its end on its own. Replies never run after the worker is destroyed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "base/win_handles.h"

namespace pt {

// Each worker's replies arrive at a message-only window of this class. Sent
// this message, it answers with Outstanding(): how the start-up benchmark
// tells from outside when every icon is in.
inline constexpr wchar_t kWorkerWindowClass[] = L"PinatroveWorkerReplies";
inline constexpr UINT kWorkerOutstandingQuery = WM_APP + 2;

// While held, the workers of the process start no new job (a new worker
// does not even set up its thread's COM): the start-up holds them until
// the panel has painted, so that its first paint does not share the
// processor with a thousand extractions. Open unless held; the hold lets go
// by itself after a few seconds should nobody release it.
void HoldBackgroundWork();
void ReleaseBackgroundWork();

class BackgroundWorker {
  public:
    using Reply = std::function<void()>;
    using Job = std::function<Reply()>;

    // Up to `threads` threads share the queue, each with its own apartment:
    // jobs that keep a processor busy finish sooner on several. The first
    // comes with the first job, the others once jobs queue up.
    explicit BackgroundWorker(int threads = 1);
    ~BackgroundWorker();
    BackgroundWorker(const BackgroundWorker&) = delete;
    BackgroundWorker& operator=(const BackgroundWorker&) = delete;

    // Queues a job: lower priority numbers first, equal ones in order. The
    // tag is the caller's, for Promote.
    void Post(int priority, uint64_t tag, Job job);
    // Gives the queued jobs whose tag `pick` chooses the new priority.
    void Promote(const std::function<bool(uint64_t tag)>& pick, int priority);
    // Jobs queued or running, and replies not yet run.
    int Outstanding() const;

    struct Shared;  // the queues, shared with the thread

  private:
    void Start();
    void AddThread();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunReplies();

    std::shared_ptr<Shared> shared_;
    UniqueWindow window_;
    bool started_ = false;
};

}  // namespace pt
