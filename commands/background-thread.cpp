#include "commands/background.h"

#include <system_error>
#include <thread>
#include <utility>

namespace kasorel {

struct BackgroundTask::Worker {
    std::thread thread;
};

BackgroundTask::BackgroundTask() : worker_(std::make_unique<Worker>()) {}

BackgroundTask::~BackgroundTask() {
    if (worker_->thread.joinable())
        worker_->thread.join();
}

void BackgroundTask::Start(std::function<void()> work) {
    if (worker_->thread.joinable())
        worker_->thread.join();
    error_ = nullptr;
    auto run = [this, work = std::move(work)] {
        try {
            work();
        } catch (...) {
            error_ = std::current_exception();
        }
    };
    try {
        worker_->thread = std::thread(run);
    } catch (const std::system_error&) {
        // No thread to be had: the work is still owed, so it runs here.
        run();
    }
}

void BackgroundTask::Wait() {
    if (worker_->thread.joinable())
        worker_->thread.join();
    if (std::exception_ptr error = std::exchange(error_, nullptr))
        std::rethrow_exception(error);
}

} // namespace kasorel
