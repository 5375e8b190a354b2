#pragma once

#include "installer/FolderOps.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace velmora {

// Files handed over are synced (data and size) on a second thread, in the order given, while
// the caller writes the next ones. A sync waits for the disk (on a virtual machine for the
// host's disk) far longer than writing took; done one after the other at the end it adds that
// whole wait to the install, done here it overlaps inflating and writing.
//
// At most maxPending files wait at a time (each holds a descriptor): Add blocks while the
// disk lags that far behind, so a payload of many small files never runs out of descriptors.
class TBackgroundSync {
public:
    struct TFailure {
        size_t Tag = 0; // the caller's name for the file
        int Error = 0;  // errno of the sync or the close
    };

    explicit TBackgroundSync(size_t maxPending = 64);
    ~TBackgroundSync(); // waits for the thread; what is still waiting is synced first
    TBackgroundSync(const TBackgroundSync&) = delete;
    TBackgroundSync& operator=(const TBackgroundSync&) = delete;

    // Takes the open file over; it is closed once synced. After a failure, files are closed
    // without syncing: the caller is told at Finish and gives up anyway.
    void Add(TFd file, size_t tag);
    // Waits until every file handed over is synced and closed: the first failure, if any.
    std::optional<TFailure> Finish();

private:
    struct TPending {
        TFd File;
        size_t Tag = 0;
    };
    void Run();

    const size_t FMaxPending;
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::deque<TPending> FQueue;
    size_t FBusy = 0; // taken off the queue and not yet closed
    bool FStopping = false;
    std::optional<TFailure> FFailure;
    std::thread FThread; // last: it starts once everything it uses is there
};

} // namespace velmora
