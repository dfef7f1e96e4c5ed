#pragma once

// Work that may run beside the command that started it: on a thread of its own where the
// platform has threads, and at once, before Start returns, where it has none (the page).

#include <exception>
#include <functional>
#include <memory>

namespace kasorel {

class BackgroundTask {
public:
    BackgroundTask();
    // Waits for the work, and drops what it threw.
    ~BackgroundTask();
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    // Runs work. Work started before is waited for first, and what it threw is dropped.
    void Start(std::function<void()> work);

    // Returns once the work started last has run, and rethrows what it threw; at once when
    // nothing was started or it was waited for already.
    void Wait();

private:
    struct Worker;
    std::unique_ptr<Worker> worker_;
    std::exception_ptr error_;
};

} // namespace kasorel
