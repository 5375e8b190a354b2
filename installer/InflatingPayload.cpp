#include "installer/InflatingPayload.h"

#include "installer/InstallerSettings.h"
#include "installer/PayloadArchive.h"
#include "installer/ZDecompress.h"

#include <chrono>
#include <limits>
#include <new>

namespace velmora {

TInflatingPayload::TInflatingPayload(QIODevice& source)
    : FThread([this, &source] { Run(source); }) {}

TInflatingPayload::~TInflatingPayload() {
    Stop();
}

void TInflatingPayload::Run(QIODevice& source) {
    std::optional<QString> error;
    try {
        ZDecompressStream(source, FImage, kMaxPayloadImageBytes, DeclaredImageSize,
                          [this](QByteArrayView inflated) { Tell(inflated); });
    } catch (const EVelmoraError& failure) {
        error = failure.Message();
    } catch (const std::bad_alloc&) {
        error = QStringLiteral("not enough memory for the size the payload's table declares");
    }
    const std::lock_guard lock(FMutex);
    if (!error) {
        FData = FImage.constData();
        FProduced = FImage.size();
    }
    FError = error;
    FFinished = true;
    FChanged.notify_all();
}

void TInflatingPayload::Tell(QByteArrayView inflated) {
    const std::lock_guard lock(FMutex);
    if (FStopped)
        throw EDecompressionError(QStringLiteral("stopped"));
    FData = inflated.data();
    FProduced = inflated.size();
    FChanged.notify_all();
}

std::optional<QByteArrayView>
TInflatingPayload::WaitFor(qint64 bytes, const std::function<void()>& whileWaiting) {
    // Often enough that a window waiting here still paints and answers its screen reader.
    constexpr std::chrono::milliseconds KPumpEvery{8};
    std::unique_lock lock(FMutex);
    const auto arrived = [&] { return FProduced >= bytes || FFinished; };
    if (whileWaiting) {
        while (!FChanged.wait_for(lock, KPumpEvery, arrived)) {
            lock.unlock();
            whileWaiting();
            lock.lock();
        }
    } else {
        FChanged.wait(lock, arrived);
    }
    if (FProduced < bytes)
        return std::nullopt;
    return QByteArrayView(FData, bytes);
}

void TInflatingPayload::Stop() {
    {
        const std::lock_guard lock(FMutex);
        FStopped = true;
    }
    if (FThread.joinable())
        FThread.join();
}

bool TInflatingPayload::Finish(const std::function<void()>& whileWaiting) {
    WaitFor(std::numeric_limits<qint64>::max(), whileWaiting);
    if (FThread.joinable())
        FThread.join();
    if (FError && !FLogged) {
        FLogged = true;
        LogInflateFailure(*FError);
    }
    return !FError;
}

void TInflatingPayload::LogShortStream() {
    if (!Finish() || FLogged)
        return;
    FLogged = true;
    try {
        ReadPayloadTable(FImage, InstallerSettingsOrDefault().ProductName);
        LogTableFailure(QStringLiteral("the image ends before an entry's data"));
    } catch (const EPayloadFormatError& error) {
        LogTableFailure(error.Message());
    }
}

std::optional<std::vector<TPayloadEntry>> TInflatingPayload::ReadTable() {
    std::optional<QByteArrayView> prefix = WaitFor(TableBytesNeeded({}));
    while (prefix && TableBytesNeeded(*prefix) > prefix->size())
        prefix = WaitFor(TableBytesNeeded(*prefix));
    if (!prefix) {
        LogShortStream();
        return std::nullopt;
    }
    try {
        const QByteArrayView declared(prefix->data(), DeclaredImageSize(*prefix));
        return ReadPayloadTable(declared, InstallerSettingsOrDefault().ProductName);
    } catch (const EPayloadFormatError& error) {
        Stop();
        FLogged = true;
        LogTableFailure(error.Message());
        return std::nullopt;
    }
}

std::optional<QByteArrayView> TInflatingPayload::DataOf(const TPayloadEntry& entry,
                                                        const std::function<void()>& whileWaiting) {
    const std::optional<QByteArrayView> upTo =
        WaitFor(qint64(entry.DataOffset) + entry.DataSize, whileWaiting);
    if (!upTo) {
        LogShortStream();
        return std::nullopt;
    }
    return upTo->sliced(entry.DataOffset);
}

} // namespace velmora
