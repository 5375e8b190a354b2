#include "installer/InstallResources.h"

#include "installer/FolderOps.h"

#include <QDir>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <limits>
#include <sys/resource.h>
#include <sys/statvfs.h>

namespace velmora {
namespace {

constexpr qsizetype KPathBytes = PATH_MAX - 1;
// Descriptors kept free for everything else the installer has open while it walks.
constexpr int KSpareDescriptors = 32;

quint64 Ceil(quint64 value, quint64 unit) {
    return value / unit + (value % unit != 0 ? 1 : 0);
}

// Saturating, so a file system reporting absurd sizes cannot wrap a comparison.
quint64 Times(quint64 a, quint64 b) {
    quint64 product = 0;
    return __builtin_mul_overflow(a, b, &product) ? std::numeric_limits<quint64>::max() : product;
}

// The size of a directory entry holding a name of that length (ext2/3/4's, the largest of
// the common ones).
quint64 EntryBytes(qsizetype nameBytes) {
    return 8 + Ceil(quint64(nameBytes), 4) * 4;
}

int OpenDescriptors() {
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                   .size());
}

} // namespace

TInstallResources::TDevice* TInstallResources::DeviceOf(const QString& measured, dev_t* id) {
    const auto known = FMeasured.constFind(measured);
    if (known != FMeasured.cend()) {
        if (id != nullptr)
            *id = *known;
        return &FDevices[*known];
    }
    struct stat info {};
    struct statvfs fs {};
    const QByteArray native = NativeName(measured);
    if (::stat(native.constData(), &info) != 0 || ::statvfs(native.constData(), &fs) != 0) {
        if (!FStatProblem)
            FStatProblem =
                TPreflightProblem{measured, QString::fromLocal8Bit(std::strerror(errno))};
        return nullptr;
    }
    FMeasured.insert(measured, info.st_dev);
    if (id != nullptr)
        *id = info.st_dev;
    if (!FDevices.contains(info.st_dev)) {
        TDevice device;
        device.Folder = measured;
        // A block size past 1 MiB is not believed.
        device.Block = std::clamp<quint64>(fs.f_frsize, 1, quint64(1) << 20);
        device.FreeBytes = Times(fs.f_bavail, fs.f_frsize);
        device.FreeInodes = fs.f_favail;
        // Some file systems (btrfs) have no fixed number of inodes and report none.
        device.CountsInodes = fs.f_files != 0;
        device.NameMax = fs.f_namemax > 0 ? qint64(fs.f_namemax) : NAME_MAX;
        FDevices.insert(info.st_dev, device);
    }
    return &FDevices[info.st_dev];
}

std::optional<TPreflightProblem> TInstallResources::Limits(TDevice& device, const QString& path) {
    const qsizetype pathBytes = NativeName(path).size();
    if (pathBytes > KPathBytes)
        return TPreflightProblem{
            path, QStringLiteral("path is longer than the system allows: %1 bytes, at most %2")
                      .arg(pathBytes)
                      .arg(KPathBytes)};
    const qsizetype nameBytes = NativeName(LeafOf(path)).size();
    if (nameBytes > device.NameMax)
        return TPreflightProblem{
            path, QStringLiteral("name is longer than the file system allows: %1 bytes, at most %2")
                      .arg(nameBytes)
                      .arg(device.NameMax)};
    return std::nullopt;
}

void TInstallResources::AddName(dev_t device, const QString& folder, qsizetype nameBytes) {
    TFolderNames& names = FFolders[folder];
    names.Device = device;
    names.Bytes += EntryBytes(nameBytes);
}

std::optional<TPreflightProblem> TInstallResources::AddFile(const QString& measured,
                                                            const QString& path, quint64 size) {
    dev_t id = 0;
    TDevice* device = DeviceOf(measured, &id);
    if (device == nullptr)
        return FStatProblem;
    if (auto problem = Limits(*device, path))
        return problem;
    const quint64 data = Ceil(size, device->Block);
    // Files past the direct blocks need block maps; extents need less, so this is an upper
    // bound on every common file system.
    device->Blocks += data + Ceil(data, std::max<quint64>(device->Block / 4, 1));
    device->Inodes += 1;
    AddName(id, ParentOf(path), NativeName(LeafOf(path)).size());
    return std::nullopt;
}

std::optional<TPreflightProblem> TInstallResources::AddFolder(const QString& measured,
                                                              const QString& path) {
    dev_t id = 0;
    TDevice* device = DeviceOf(measured, &id);
    if (device == nullptr)
        return FStatProblem;
    if (auto problem = Limits(*device, path))
        return problem;
    device->Inodes += 1;
    AddName(id, ParentOf(path), NativeName(LeafOf(path)).size());
    TFolderNames& own = FFolders[path];
    own.Device = id;
    own.New = true;
    return std::nullopt;
}

std::optional<TPreflightProblem> TInstallResources::AddName(const QString& measured,
                                                            const QString& path) {
    TDevice* device = DeviceOf(measured);
    if (device == nullptr)
        return FStatProblem;
    return Limits(*device, path);
}

void TInstallResources::AddEntry(const QString& measured, const QString& folder,
                                 qsizetype nameBytes) {
    dev_t id = 0;
    if (DeviceOf(measured, &id) != nullptr)
        AddName(id, QDir::cleanPath(folder), nameBytes);
}

void TInstallResources::AddJournal(const QString& storeFolder, qint64 bytes) {
    QString folder = QDir::cleanPath(storeFolder);
    struct stat info {};
    while (::stat(NativeName(folder).constData(), &info) != 0 && !ParentOf(folder).isEmpty())
        folder = ParentOf(folder);
    TDevice* device = DeviceOf(folder);
    if (device == nullptr)
        return;
    // The journal, the name it is first written under, and the store's own journal.
    device->Blocks += 3 * (Ceil(quint64(std::max<qint64>(bytes, 0)), device->Block) + 1);
    device->Inodes += 3;
}

std::optional<TPreflightProblem> TInstallResources::Check() {
    if (FStatProblem)
        return FStatProblem;
    for (auto it = FFolders.cbegin(); it != FFolders.cend(); ++it) {
        TDevice& device = FDevices[it->Device];
        const quint64 blocks = Ceil(it->Bytes, device.Block);
        device.Blocks += it->New ? std::max<quint64>(blocks, 1) : blocks;
    }
    for (const TDevice& device : std::as_const(FDevices)) {
        const quint64 needed = Times(device.Blocks, device.Block);
        if (needed > device.FreeBytes)
            return TPreflightProblem{device.Folder,
                                     QStringLiteral("not enough free space: %1 bytes needed, "
                                                    "%2 available")
                                         .arg(needed)
                                         .arg(device.FreeBytes)};
        if (device.CountsInodes && device.Inodes > device.FreeInodes)
            return TPreflightProblem{device.Folder,
                                     QStringLiteral("not enough free inodes: %1 needed, %2 "
                                                    "available")
                                         .arg(device.Inodes)
                                         .arg(device.FreeInodes)};
    }
    // Walking a tree keeps one descriptor open per level; raise the soft limit if that helps.
    const int needed = FDepth + KSpareDescriptors;
    rlimit limit{};
    if (FDepth > 0 && ::getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        const rlim_t open = rlim_t(OpenDescriptors());
        if (limit.rlim_cur < open + rlim_t(needed) && limit.rlim_cur < limit.rlim_max) {
            limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, open + rlim_t(needed));
            ::setrlimit(RLIMIT_NOFILE, &limit);
            ::getrlimit(RLIMIT_NOFILE, &limit);
        }
        const qint64 available = qint64(limit.rlim_cur) - qint64(open);
        if (available < needed)
            return TPreflightProblem{
                FDepthFolder,
                QStringLiteral("not enough file descriptors for %1 folder levels: %2 needed, %3 "
                               "available")
                    .arg(FDepth)
                    .arg(needed)
                    .arg(available)};
    }
    return std::nullopt;
}

} // namespace velmora
