#include "installer/PreviousVersionRemoval.h"

#include "installer/InstallLog.h"
#include "installer/OperationErrors.h"
#include "installer/RecordParser.h"

#include <QDir>
#include <QFile>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velmora {
namespace {

constexpr int kOpenFolder = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

bool IsSkippedName(const QByteArray& name) {
    // Names are compared trimmed only for the "." and ".." test.
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && static_cast<unsigned char>(name[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(name[end - 1]) <= ' ')
        --end;
    const QByteArray trimmed = name.mid(begin, end - begin);
    return trimmed == "." || trimmed == "..";
}

bool IsProtectedName(const QByteArray& name) {
    return name == "Users" || name == "Config";
}

// Works on open folder descriptors and names relative to them, so a folder that is swapped
// for a link while the clean-up runs is still never followed.
void CleanFolder(int folder, dev_t device) {
    DIR* listing = ::fdopendir(folder);
    if (listing == nullptr) {
        ::close(folder);
        return;
    }
    std::vector<QByteArray> names;
    while (const dirent* entry = ::readdir(listing))
        names.emplace_back(entry->d_name);

    for (const QByteArray& name : names) {
        if (IsSkippedName(name))
            continue;
        struct stat info {};
        if (::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        // A link named like a protected folder is the user's way to their data elsewhere.
        if (IsProtectedName(name) && S_ISLNK(info.st_mode))
            continue;
        // Links and other non-folders are unlinked themselves, as rm -r does; whatever a link
        // points to is never reached.
        if (!S_ISDIR(info.st_mode)) {
            ::unlinkat(folder, name.constData(), 0);
            continue;
        }
        if (IsProtectedName(name) || info.st_dev != device)
            continue;
        const int child = ::openat(folder, name.constData(), kOpenFolder);
        if (child < 0)
            continue;
        CleanFolder(child, device);
        ::unlinkat(folder, name.constData(), AT_REMOVEDIR);
    }
    ::closedir(listing);
}

// Absolute paths only, resolved lexically so that "link/.." never passes through a link;
// empty for anything else.
QString AbsoluteFolder(const QString& folder) {
    return folder.startsWith(u'/') ? QDir::cleanPath(folder) : QString();
}

bool IsLink(const QByteArray& path) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

// The folder part of a path, without its last separator; empty for a bare name.
QString FolderPart(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash <= 0 ? QString() : path.left(slash);
}

} // namespace

TPreviousVersionRemoval::TPreviousVersionRemoval(TInstallRecord& record, TShellIntegration& shell,
                                                 const TInstallerSettings& settings,
                                                 TInstallState& state)
    : FRecord(record), FShell(shell), FSettings(settings), FState(state) {}

bool TPreviousVersionRemoval::RemoveLastVersion(IProgressDisplay& display) {
    if (!FRecord.CheckIsHasLastVer())
        return false;
    display.SetStatusText(FSettings.StatusRemoving);
    display.SetProgressRange(0, 100);
    display.SetProgressPosition(0);
    try {
        UnInstallLastVersion();
    } catch (...) {
        display.SetProgressPosition(100);
        throw;
    }
    display.SetProgressPosition(100);
    return true;
}

QString TPreviousVersionRemoval::UnInstallLastVersion() {
    TParsedRecord parsed;
    QString failed;
    try {
        parsed = ParseInstallRecord(ReadRawRecord(FRecord.Store(), FSettings),
                                    InstallRecordRules(FSettings, FShell.Folders()));
    } catch (...) {
        failed = u"读取上次安装信息:"_qs + CurrentErrorMessage() + QStringLiteral("\r\n");
    }
    const QString summary = failed.isEmpty() ? RemoveVersion(parsed).Summary : failed;
    if (!summary.isEmpty())
        WriteInstallLog(u"UnInstallLastVersion:卸载已安装版本\r\n"_qs + summary.chopped(2));
    return summary;
}

TRemovalReport TPreviousVersionRemoval::RemoveVersion(const TParsedRecord& parsed) {
    TRemovalReport report;
    QString& summary = report.Summary;
    const auto guarded = [&summary](const QString& label, const auto& step) {
        try {
            step();
        } catch (...) {
            summary += label + CurrentErrorMessage() + QStringLiteral("\r\n");
        }
    };
    FState.PreviousRecord = parsed.Record;
    const TPreviousInstallRecord& last = FState.PreviousRecord;
    // A value that fails its checks is never acted on: nothing at all is removed then.
    for (const TRecordProblem& problem : parsed.Problems)
        summary += u"读取上次安装信息:"_qs + problem.Value + u": "_qs + problem.Reason +
                   QStringLiteral("\r\n");
    // Without rights the outcome could not be recorded: the record would name what is gone.
    if (!parsed.Problems.isEmpty() || !FRecord.Store().IsWritable()) {
        if (parsed.Problems.isEmpty())
            WriteInstallLog(u"当前用户没有读写注册表的权限"_qs);
        report.Refused = true;
        return report;
    }

    guarded(u"反注册库:"_qs, [&] { FShell.UnRegisterComFiles(); });
    const QString product = parsed.ProductFolder(FSettings.ProductName);
    guarded(u"删除安装文件:"_qs, [&] {
        if (product.isEmpty())
            return;
        const TOldFiles mode = parsed.Manifest ? TOldFiles::Manifest : TOldFiles::Legacy;
        const TInstallManifest manifest = parsed.Manifest.value_or(TInstallManifest());
        report.Files = RemoveProductFiles(product, mode, manifest, {});
        RemoveCreatedLevels(product, mode, manifest.CreatedLevels);
    });
    // Files that stayed still need their shortcuts, and the record to find them by.
    if (!report.Files.Left.isEmpty()) {
        report.Stopped = true;
        return report;
    }
    guarded(u"取消随系统运行而启动:"_qs, [&] {
        if (last.IsAutoRun)
            FRecord.UnSetApplicationAutoRun(FSettings.ProgramKey());
    });
    QStringList links;
    guarded(u"删除快捷方式:"_qs, [&] {
        if (last.IsCreateDeskTopShortCut && !last.ShortcutFileName.isEmpty()) {
            links << last.ShortcutFileName;
            FShell.DeleteShortCut(last.ShortcutFileName);
        }
    });
    if (last.IsCreateProgramsShortCut) {
        guarded(u"删除快速启动栏1:"_qs, [&] {
            if (!last.ProgramsStartUpFileName.isEmpty()) {
                links << last.ProgramsStartUpFileName;
                FShell.DeleteShortCut(last.ProgramsStartUpFileName);
            }
        });
        guarded(u"删除快速启动栏2:"_qs, [&] {
            if (!last.ProgramsStartUpUnInstallFileName.isEmpty()) {
                links << last.ProgramsStartUpUnInstallFileName;
                FShell.DeleteShortCut(last.ProgramsStartUpUnInstallFileName);
            }
        });
        guarded(u"删除快速启动栏3:"_qs, [&] {
            const QString menuFolder = FolderPart(last.ProgramsStartUpFileName);
            if (!menuFolder.isEmpty()) {
                ::rmdir(QFile::encodeName(menuFolder).constData());
                FShell.RefreshProgramsMenu(FolderPart(menuFolder));
            }
        });
    }
    for (const QString& link : std::as_const(links)) {
        struct stat info {};
        if (::lstat(QFile::encodeName(link).constData(), &info) == 0)
            report.LinksLeft << link;
    }
    if (!report.LinksLeft.isEmpty()) {
        report.Stopped = true;
        return report;
    }
    guarded(u"删除安装信息:"_qs, [&] { FRecord.UnRegisterSoftwareInfoToRegistry(); });
    return report;
}

QString TPreviousVersionRemoval::ProductFolderToClean(const QString& location,
                                                      const QString& productName) {
    // A relative location would be resolved against whatever the current folder is now,
    // not where the product was installed.
    const QString base = AbsoluteFolder(location);
    if (base.isEmpty() || productName.isEmpty() || productName.contains(u'/'))
        return QString();
    if (IsLink(QFile::encodeName(base)))
        return QString();
    return (base == QStringLiteral("/") ? base : base + u'/') + productName + u'/';
}

void TPreviousVersionRemoval::CleanInstallLocation(const QString& location,
                                                   const QString& productName) {
    const QString product = ProductFolderToClean(location, productName);
    if (product.isEmpty())
        return;
    DeleteInstallFolder(product);
    ::rmdir(QFile::encodeName(AbsoluteFolder(location)).constData());
}

void TPreviousVersionRemoval::DeleteInstallFolder(const QString& folder) {
    const QString path = AbsoluteFolder(folder);
    // Whatever a record says, the whole file system is never an install folder.
    if (path.isEmpty() || path == QStringLiteral("/"))
        return;
    const QByteArray native = QFile::encodeName(path);
    const int top = ::open(native.constData(), kOpenFolder);
    if (top < 0)
        return;
    struct stat info {};
    if (::fstat(top, &info) != 0) {
        ::close(top);
        return;
    }
    CleanFolder(top, info.st_dev);
    ::rmdir(native.constData());
}

} // namespace velmora
