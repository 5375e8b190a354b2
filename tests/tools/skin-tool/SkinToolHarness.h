#pragma once

#include "tools/skin-tool/SkinToolCommands.h"

#include <QBuffer>
#include <QFile>
#include <QString>
#include <QStringList>

namespace velmora::testing {

struct ToolRun {
    int Code = 0;
    QByteArray Out;
    QString Err;
};

inline ToolRun RunTool(const QStringList& arguments) {
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    ToolRun run;
    run.Code = RunSkinTool(arguments, out, err);
    run.Out = out.data();
    run.Err = QString::fromUtf8(err.data());
    return run;
}

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

} // namespace velmora::testing
