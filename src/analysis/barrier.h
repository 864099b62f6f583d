// A reusable barrier for a fixed number of threads, with a step run by the last to
// arrive before any goes on. Made of a mutex and a condition variable, because
// std::barrier of GCC 12's library hangs where the system has no futex (Windows):
// two barriers used in turn never wake their waiters there.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace orlex {

template <typename TCompletion>
class TBarrier {
public:
    TBarrier(int count, TCompletion completion) : Count_(count), Completion_(completion) {}
    TBarrier(const TBarrier&) = delete;
    TBarrier& operator=(const TBarrier&) = delete;

    void arrive_and_wait() {
        std::unique_lock lock(Mutex_);
        const std::uint64_t phase = Phase_;
        if (++Arrived_ == Count_) {
            Completion_();
            Arrived_ = 0;
            ++Phase_;
            lock.unlock();
            Wake_.notify_all();
            return;
        }
        Wake_.wait(lock, [&] { return Phase_ != phase; });
    }

private:
    const int Count_;
    TCompletion Completion_;
    std::mutex Mutex_;
    std::condition_variable Wake_;
    int Arrived_ = 0;
    std::uint64_t Phase_ = 0;
};

// The barrier without a step of its own.
struct TNoCompletion {
    void operator()() const noexcept {}
};

}  // namespace orlex
