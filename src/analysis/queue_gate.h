// A MainThreadGate for presentations without a message loop (the command-line tool, tests):
// the main thread serves a queue of calls that the scan thread hands in.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "analysis/presenter.h"

namespace zelk {

class QueueGate final : public MainThreadGate {
  public:
    void Invoke(const std::function<void()>& call) override;
    void ServeUntil(const std::function<bool()>& done) override;
    void Wake() override;
    // Serves what is queued, waiting at most `wait` for a first call; false when none came.
    bool ServeFor(std::chrono::milliseconds wait);

  private:
    struct Pending {
        const std::function<void()>* call;
        bool done = false;
    };
    bool RunOne(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Pending*> queue_;
    bool woken_ = false;
};

}  // namespace zelk
