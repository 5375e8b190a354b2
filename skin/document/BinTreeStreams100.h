#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QString>
#include <functional>

namespace velmora {

// The file layer under the document and binary nodes: failures raise EFileError with the
// operating system's own reason, never a partial result.
QByteArray ReadRestOfDevice(QIODevice& ADevice);
void WriteToDevice(QIODevice& ADevice, const char* AData, qint64 ACount);
void OpenFileForReading(QFile& AFile, const QString& AFileName);
void OpenFileForWriting(QFile& AFile, const QString& AFileName);

// Whole-file loading and saving shared by the document and binary nodes: ALoad reads from
// the opened file; ASave writes to it, and a failed flush raises EFileError.
void LoadFromNamedFile(const QString& AFileName, const std::function<void(QIODevice&)>& ALoad);
void SaveToNamedFile(const QString& AFileName, const std::function<void(QIODevice&)>& ASave);

} // namespace velmora
