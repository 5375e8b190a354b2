#include "installer/PayloadWriter.h"

#include "installer/PayloadTable.h"
#include "platform/system/GbkCodec.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <vector>
#include <zlib.h>

namespace velmora {
namespace {

struct TSourceFile {
    QString Name; // '\'-separated, product folder first
    QString Path;
    QByteArray GbkName;
    quint32 Size = 0;
};

std::vector<TSourceFile> CollectFiles(const QString& folder, const QString& productName) {
    const QString productPath = folder + u'/' + productName;
    if (!QFileInfo(productPath).isDir())
        throw EPayloadBuildError(QStringLiteral("no product folder %1").arg(productPath));

    std::vector<TSourceFile> files;
    QDirIterator it(productPath,
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isSymLink())
            throw EPayloadBuildError(
                QStringLiteral("symbolic link in the product folder: %1").arg(path));
        if (info.isDir())
            continue;
        if (!info.isFile())
            throw EPayloadBuildError(
                QStringLiteral("special file in the product folder: %1").arg(path));
        if (info.size() > qint64(std::numeric_limits<quint32>::max()))
            throw EPayloadBuildError(QStringLiteral("file larger than 4 GiB: %1").arg(path));
        TSourceFile file;
        file.Path = path;
        file.Name = productName + u'\\' + path.mid(productPath.size() + 1).replace(u'/', u'\\');
        const TNameProblem problem = CheckEntryComponents(file.Name);
        if (problem != TNameProblem::Ok)
            throw EPayloadBuildError(
                QStringLiteral("%1: %2").arg(file.Name, NameProblemText(problem)));
        const std::optional<QByteArray> gbk = EncodeGbk(file.Name);
        if (!gbk)
            throw EPayloadBuildError(
                QStringLiteral("name cannot be encoded in GBK: %1").arg(file.Name));
        if (gbk->size() > 0xFFFF)
            throw EPayloadBuildError(
                QStringLiteral("name longer than 65535 bytes: %1").arg(file.Name));
        file.GbkName = *gbk;
        file.Size = static_cast<quint32>(info.size());
        files.push_back(std::move(file));
    }
    if (files.size() > 0xFFFF)
        throw EPayloadBuildError(QStringLiteral("more than 65535 files"));
    std::sort(files.begin(), files.end(),
              [](const TSourceFile& a, const TSourceFile& b) { return a.Name < b.Name; });
    return files;
}

void PutU16(char* p, quint16 v) {
    qToLittleEndian(v, p);
}
void PutU32(char* p, quint32 v) {
    qToLittleEndian(v, p);
}

} // namespace

QByteArray BuildPayloadImage(const QString& folder, const QString& productName) {
    const std::vector<TSourceFile> files = CollectFiles(folder, productName);
    const auto count = static_cast<quint64>(files.size());

    quint64 nameOffset = 2 + kPayloadRecordSize * count;
    quint64 dataOffset = nameOffset;
    for (const TSourceFile& f : files)
        dataOffset += static_cast<quint64>(f.GbkName.size());
    quint64 total = dataOffset;
    for (const TSourceFile& f : files)
        total += f.Size;
    // Every offset must fit the table's 32-bit fields (the last one included).
    if (total - (files.empty() ? 0 : files.back().Size) > std::numeric_limits<quint32>::max())
        throw EPayloadBuildError(QStringLiteral("payload data past the 4 GiB offset limit"));

    QByteArray image(static_cast<qsizetype>(total), '\0');
    PutU16(image.data(), static_cast<quint16>(count));
    for (size_t i = 0; i < files.size(); ++i) {
        const TSourceFile& f = files[i];
        char* record = image.data() + 2 + kPayloadRecordSize * static_cast<qsizetype>(i);
        PutU16(record, static_cast<quint16>(f.GbkName.size()));
        PutU32(record + 2, static_cast<quint32>(nameOffset));
        PutU32(record + 6, f.Size);
        PutU32(record + 10, static_cast<quint32>(dataOffset));
        std::memcpy(image.data() + nameOffset, f.GbkName.constData(),
                    static_cast<size_t>(f.GbkName.size()));

        QFile in(f.Path);
        if (!in.open(QIODevice::ReadOnly))
            throw EPayloadBuildError(
                QStringLiteral("cannot read %1: %2").arg(f.Path, in.errorString()));
        if (in.read(image.data() + dataOffset, f.Size) != qint64(f.Size))
            throw EPayloadBuildError(QStringLiteral("file changed while packing: %1").arg(f.Path));
        nameOffset += static_cast<quint64>(f.GbkName.size());
        dataOffset += f.Size;
    }
    return image;
}

QByteArray CompressPayload(const QByteArray& image) {
    z_stream z{};
    if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK)
        throw EPayloadBuildError(QStringLiteral("cannot start compression"));
    // Fed in slices so images past zlib's 32-bit counters compress too.
    constexpr qsizetype kSlice = qsizetype(1) << 30;
    QByteArray out;
    out.reserve(image.size() / 2 + 64);
    char buffer[65536];
    qsizetype fed = 0;
    int result = Z_OK;
    do {
        if (z.avail_in == 0 && fed < image.size()) {
            const qsizetype slice = std::min(kSlice, image.size() - fed);
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(image.constData() + fed));
            z.avail_in = static_cast<uInt>(slice);
            fed += slice;
        }
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof(buffer);
        result = deflate(&z, fed == image.size() ? Z_FINISH : Z_NO_FLUSH);
        out.append(buffer, static_cast<qsizetype>(sizeof(buffer) - z.avail_out));
    } while (result == Z_OK || result == Z_BUF_ERROR);
    deflateEnd(&z);
    if (result != Z_STREAM_END)
        throw EPayloadBuildError(QStringLiteral("compression failed"));
    return out;
}

} // namespace velmora
