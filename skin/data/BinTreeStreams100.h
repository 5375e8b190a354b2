#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QString>

namespace velmora {

// The file layer under the document and binary nodes: failures raise EFileError with the
// operating system's own reason, never a partial result.
QByteArray ReadRestOfDevice(QIODevice& ADevice);
void WriteToDevice(QIODevice& ADevice, const char* AData, qint64 ACount);
void OpenFileForReading(QFile& AFile, const QString& AFileName);
void OpenFileForWriting(QFile& AFile, const QString& AFileName);

} // namespace velmora
