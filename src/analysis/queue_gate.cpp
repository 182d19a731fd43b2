#include "analysis/queue_gate.h"

namespace zelk {

void QueueGate::Invoke(const std::function<void()>& call) {
    Pending pending{&call};
    std::unique_lock lock(mutex_);
    queue_.push_back(&pending);
    changed_.notify_all();
    changed_.wait(lock, [&] { return pending.done; });
}

bool QueueGate::RunOne(std::unique_lock<std::mutex>& lock) {
    if (queue_.empty()) return false;
    Pending* pending = queue_.front();
    queue_.pop_front();
    lock.unlock();
    (*pending->call)();
    lock.lock();
    pending->done = true;
    changed_.notify_all();
    return true;
}

void QueueGate::ServeUntil(const std::function<bool()>& done) {
    std::unique_lock lock(mutex_);
    for (;;) {
        while (RunOne(lock)) {
        }
        lock.unlock();
        const bool finished = done();
        lock.lock();
        if (finished) return;
        changed_.wait(lock, [&] { return !queue_.empty() || woken_; });
        woken_ = false;
    }
}

bool QueueGate::ServeFor(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    if (queue_.empty()) changed_.wait_for(lock, wait, [&] { return !queue_.empty() || woken_; });
    woken_ = false;
    bool ran = false;
    while (RunOne(lock)) ran = true;
    return ran;
}

void QueueGate::Wake() {
    std::lock_guard lock(mutex_);
    woken_ = true;
    changed_.notify_all();
}

}  // namespace zelk
