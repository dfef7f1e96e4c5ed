#include "commands/background.h"

#include <utility>

namespace kasorel {

// The page runs on one thread, so the work is done by the time Start returns.
struct BackgroundTask::Worker {};

BackgroundTask::BackgroundTask() = default;
BackgroundTask::~BackgroundTask() = default;

void BackgroundTask::Start(std::function<void()> work) {
    error_ = nullptr;
    try {
        work();
    } catch (...) {
        error_ = std::current_exception();
    }
}

void BackgroundTask::Wait() {
    if (std::exception_ptr error = std::exchange(error_, nullptr))
        std::rethrow_exception(error);
}

} // namespace kasorel
