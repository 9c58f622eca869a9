// Work off the user-interface thread: one job at a time on a thread of its
// own, and its progress told to a window at most ten times a second.
#pragma once

#include "catalogue/Win32Platform.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <thread>
#include <utility>

namespace qob {

// One background job at a time: a thread the owner keeps, asked to stop
// and joined before the next one starts and when the owner goes.
class BackgroundJob {
public:
    BackgroundJob() = default;
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;
    ~BackgroundJob() { Stop(); }

    template <class Work>
    void Start(Work&& work)
    {
        Stop();
        cancel_ = false;
        thread_ = std::thread(std::forward<Work>(work));
    }
    // Asks the job to stop and waits for its end.
    void Stop()
    {
        cancel_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    bool Running() const { return thread_.joinable(); }
    const std::atomic<bool>& Cancelled() const { return cancel_; }
    void Cancel() { cancel_ = true; }

private:
    std::atomic<bool> cancel_{false};
    std::thread thread_;
};

// Tells a window how far a job has come, as `message` with the items done
// and the total, thinned out to ten a second; the last step always. Called
// on the job's thread.
class ProgressPoster {
public:
    static constexpr long long kInterval = 100000;  // microseconds

    ProgressPoster(HWND window, UINT message) : window_(window), message_(message) {}
    void operator()(std::size_t done, std::size_t total)
    {
        const long long now = MonotonicMicroseconds();
        if (done < total && now - last_ < kInterval)
            return;
        last_ = now;
        ::PostMessageW(window_, message_, done, static_cast<LPARAM>(total));
    }

private:
    HWND window_;
    UINT message_;
    long long last_ = -kInterval;
};

}  // namespace qob
