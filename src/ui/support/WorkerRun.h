// Blocking work on a helper thread while the user-interface thread keeps its
// event loop turning, so the windows stay painted. Two ways to wait:
//   kHoldInput  user input waits until the work is done (a reply wait: the
//               picture, timers and posted events go on, clicks and keys do not);
//   kLiveInput  user input is handled, so a Cancel button can call Stop; the
//               caller then makes the work return early and calls Join.
//
// The work's results are read after Run (or Join) returns: the helper thread
// has ended by then, which orders its writes before the reads.
//
// User-interface thread only, except the work itself.
#pragma once

#include <QEventLoop>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace vantelsor::ui {

class WorkerRun {
  public:
    enum class Input { kHoldInput, kLiveInput };

    explicit WorkerRun(Input input) : input_(input) {}
    ~WorkerRun();  // joins a helper that is still running
    WorkerRun(const WorkerRun&) = delete;
    WorkerRun& operator=(const WorkerRun&) = delete;

    // Runs `work` on a helper thread and returns when it has finished (true,
    // helper joined) or Stop was called first (false, helper still running).
    bool Run(std::function<void()> work);
    // Ends Run's wait early; only a kLiveInput wait can see it.
    void Stop();
    // Waits for the helper after a stopped Run.
    void Join();

  private:
    const Input input_;
    std::thread helper_;
    std::atomic<bool> done_{false};
    bool stopped_ = false;
    QEventLoop* loop_ = nullptr;
    // Held while the helper posts its wake-up, so that the loop it posts to
    // cannot go away underneath it.
    std::mutex loopLock_;
};

}  // namespace vantelsor::ui
