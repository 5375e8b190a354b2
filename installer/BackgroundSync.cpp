#include "installer/BackgroundSync.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace velmora {

TBackgroundSync::TBackgroundSync(size_t maxPending)
    : FMaxPending(std::max<size_t>(1, maxPending)), FThread([this] { Run(); }) {}

TBackgroundSync::~TBackgroundSync() {
    {
        const std::lock_guard<std::mutex> lock(FMutex);
        FStopping = true;
    }
    FChanged.notify_all();
    FThread.join();
}

void TBackgroundSync::Add(TFd file, size_t tag) {
    std::unique_lock<std::mutex> lock(FMutex);
    FChanged.wait(lock, [this] { return FQueue.size() + FBusy < FMaxPending; });
    FQueue.push_back({std::move(file), tag});
    lock.unlock();
    FChanged.notify_all();
}

std::optional<TBackgroundSync::TFailure> TBackgroundSync::Finish() {
    std::unique_lock<std::mutex> lock(FMutex);
    FChanged.wait(lock, [this] { return FQueue.empty() && FBusy == 0; });
    return FFailure;
}

void TBackgroundSync::Run() {
    std::unique_lock<std::mutex> lock(FMutex);
    for (;;) {
        FChanged.wait(lock, [this] { return FStopping || !FQueue.empty(); });
        if (FQueue.empty())
            return; // stopping with nothing left
        TPending next = std::move(FQueue.front());
        FQueue.pop_front();
        ++FBusy;
        const bool failedBefore = FFailure.has_value();
        lock.unlock();
        int error = 0;
        if (!failedBefore && ::fdatasync(next.File.Get()) != 0)
            error = errno;
        if (::close(next.File.Release()) != 0 && error == 0 && !failedBefore)
            error = errno;
        lock.lock();
        if (error != 0 && !FFailure)
            FFailure = TFailure{next.Tag, error};
        --FBusy;
        FChanged.notify_all();
    }
}

} // namespace velmora
