#include "platform/system/DebugOutput.h"

#include <QFileInfo>
#include <atomic>
#include <cstdio>

namespace velmora {
namespace {
std::atomic<bool> gDebugOutputEnabled{true};
} // namespace

void SetDebugOutputEnabled(bool enabled) {
    gDebugOutputEnabled = enabled;
}

void OutputDebugString(const QString& message) {
    if (!gDebugOutputEnabled)
        return;
    const QByteArray bytes = message.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    if (!bytes.endsWith('\n'))
        std::fputc('\n', stderr);
    std::fflush(stderr);
}

QString ExecutableFolder() {
    // /proc/self/exe works before (and without) a QCoreApplication.
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QFileInfo(exe).absolutePath();
}

} // namespace velmora
