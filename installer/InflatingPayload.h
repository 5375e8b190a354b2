#pragma once

#include "installer/PayloadTable.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace velmora {

// A payload that a second thread inflates while its reader works on what has arrived: the
// reader writes files as their bytes come instead of after the whole image, so inflating and
// writing share two cores. The reader sees only bytes the inflation has told it about; the
// image has its final place by then and never moves again.
//
// Every failure is logged with the line LoadPayload would write for it, so the reader only
// stops. Either way nothing is sound until Finish has said so: the stream's checksum comes
// at its end.
class TInflatingPayload {
public:
    // Starts inflating source, which must outlive this object and is read on the second
    // thread alone. Waiting for bytes blocks, unless the caller hands its message pump over.
    explicit TInflatingPayload(QIODevice& source);
    ~TInflatingPayload();
    TInflatingPayload(const TInflatingPayload&) = delete;
    TInflatingPayload& operator=(const TInflatingPayload&) = delete;

    // The table, once its records and names have arrived, checked against the size it
    // declares (which the stream is refused if it passes); nothing when the stream or the
    // table fails, and the inflation is stopped then.
    std::optional<std::vector<TPayloadEntry>> ReadTable();
    // The entry's bytes, once they are there; nothing when the stream ends or fails short of
    // them. A window's thread passes whileWaiting (its message pump), called every few
    // milliseconds while the bytes are still to come.
    std::optional<QByteArrayView> DataOf(const TPayloadEntry& entry,
                                         const std::function<void()>& whileWaiting = {});
    // Waits for the end of the stream: whether it passed.
    bool Finish(const std::function<void()>& whileWaiting = {});
    // Stops the inflation at its next step and waits for it.
    void Stop();
    // The whole image, after Finish passed.
    QByteArrayView Whole() const { return FImage; }

private:
    std::optional<QByteArrayView> WaitFor(qint64 bytes,
                                          const std::function<void()>& whileWaiting = {});
    void Run(QIODevice& source);
    void Tell(QByteArrayView inflated);
    // Why the stream failed where the reader found it short, logged once.
    void LogShortStream();

    QByteArray FImage; // the inflation's alone until it has ended
    std::mutex FMutex;
    std::condition_variable FChanged;
    const char* FData = nullptr;
    qint64 FProduced = 0;
    bool FFinished = false;
    bool FStopped = false;
    bool FLogged = false;
    std::optional<QString> FError;
    std::thread FThread; // last: it starts once everything it uses is there
};

} // namespace velmora
