#include "skin/document/BinTreeStreams100.h"

#include "skin/document/BinaryTreeErrors100.h"

namespace velmora {

namespace {

[[noreturn]] void FailFile(const QString& AWhat, const QIODevice& ADevice) {
    throw EFileError(AWhat + QStringLiteral(". ") + ADevice.errorString());
}

QString NameOf(const QIODevice& ADevice) {
    const auto* file = qobject_cast<const QFile*>(&ADevice);
    return file != nullptr ? file->fileName() : QStringLiteral("stream");
}

} // namespace

QByteArray ReadRestOfDevice(QIODevice& ADevice) {
    if (!ADevice.isReadable())
        FailFile(QStringLiteral("Stream read error \"%1\"").arg(NameOf(ADevice)), ADevice);
    QByteArray bytes = ADevice.readAll();
    if (!ADevice.isSequential() && ADevice.pos() < ADevice.size())
        FailFile(QStringLiteral("Stream read error \"%1\"").arg(NameOf(ADevice)), ADevice);
    return bytes;
}

void WriteToDevice(QIODevice& ADevice, const char* AData, qint64 ACount) {
    qint64 done = 0;
    while (done < ACount) {
        const qint64 written = ADevice.write(AData + done, ACount - done);
        if (written <= 0)
            FailFile(QStringLiteral("Stream write error \"%1\"").arg(NameOf(ADevice)), ADevice);
        done += written;
    }
}

void OpenFileForReading(QFile& AFile, const QString& AFileName) {
    AFile.setFileName(AFileName);
    if (!AFile.open(QIODevice::ReadOnly))
        FailFile(QStringLiteral("Cannot open file \"%1\"").arg(AFileName), AFile);
}

void OpenFileForWriting(QFile& AFile, const QString& AFileName) {
    AFile.setFileName(AFileName);
    if (!AFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        FailFile(QStringLiteral("Cannot create file \"%1\"").arg(AFileName), AFile);
}

void LoadFromNamedFile(const QString& AFileName, const std::function<void(QIODevice&)>& ALoad) {
    QFile file;
    OpenFileForReading(file, AFileName);
    ALoad(file);
}

void SaveToNamedFile(const QString& AFileName, const std::function<void(QIODevice&)>& ASave) {
    QFile file;
    OpenFileForWriting(file, AFileName);
    ASave(file);
    if (!file.flush())
        throw EFileError(
            QStringLiteral("Stream write error \"%1\". %2").arg(AFileName, file.errorString()));
}

} // namespace velmora
