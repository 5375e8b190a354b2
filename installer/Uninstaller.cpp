#include "installer/Uninstaller.h"

#include "installer/InstallRecord.h"
#include "installer/PreviousVersionRemoval.h"
#include "installer/ShellIntegration.h"
#include "platform/system/PlatformServices.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace velmora {

namespace {

// Files (and links) below productFolder that are not user data. A location that was a link,
// or files that could not be deleted, must not be reported as removed.
QStringList ProductFilesLeft(const QString& productFolder) {
    QStringList left;
    if (productFolder.isEmpty() || !QFileInfo(productFolder).isDir())
        return left;
    QDirIterator it(productFolder,
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QStringList parts = path.mid(productFolder.size()).split(u'/');
        if (parts.contains(u"Users"_qs) || parts.contains(u"Config"_qs))
            continue;
        const QFileInfo info = it.fileInfo();
        if (info.isSymLink() || !info.isDir())
            left << path;
    }
    return left;
}

// Whether anything, a dangling link included, is at path.
bool Present(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

// The shortcuts the removal deletes for this record, as the removal decides it.
QStringList LinksToRemove(const TPreviousInstallRecord& record) {
    QStringList links;
    if (record.IsCreateDeskTopShortCut && !record.ShortcutFileName.isEmpty())
        links << record.ShortcutFileName;
    if (record.IsCreateProgramsShortCut) {
        for (const QString& link :
             {record.ProgramsStartUpFileName, record.ProgramsStartUpUnInstallFileName}) {
            if (!link.isEmpty())
                links << link;
        }
    }
    return links;
}

QString MenuFolderToRemove(const TPreviousInstallRecord& record) {
    if (!record.IsCreateProgramsShortCut)
        return QString();
    const QString& link = record.ProgramsStartUpFileName;
    const qsizetype slash = link.lastIndexOf(u'/');
    return slash <= 0 ? QString() : link.left(slash);
}

} // namespace

std::optional<TPreviousInstallRecord> ReadInstalledRecord(TPlatformServices& services,
                                                          const TInstallerSettings& settings,
                                                          TInstallState& state) {
    TInstallRecord record(services.Registry(), settings, state);
    if (!record.CheckIsHasLastVer())
        return std::nullopt;
    record.ReadSoftwareInstallInfoFromRegistry();
    return state.PreviousRecord;
}

TUninstallOutcome UninstallProduct(TPlatformServices& services, const TInstallerSettings& settings,
                                   TInstallState& state) {
    TUninstallOutcome outcome;
    const std::optional<TPreviousInstallRecord> last =
        ReadInstalledRecord(services, settings, state);
    if (!last)
        return outcome;
    outcome.Found = true;

    QString location = last->InstallLocation;
    if (!location.isEmpty() && !location.endsWith(u'/'))
        location += u'/';
    outcome.ProductFolder = location.isEmpty() ? QString() : location + settings.ProductName + u'/';
    // The removal cleans nothing at a relative location; saying the files went would be false.
    outcome.LocationRejected = !location.isEmpty() && !QDir::isAbsolutePath(location);
    QStringList links;
    for (const QString& link : LinksToRemove(*last)) {
        if (Present(link))
            links << link;
    }
    const QString menuFolder = MenuFolderToRemove(*last);

    TInstallRecord record(services.Registry(), settings, state);
    TShellIntegration shell(services.Links(), services.Folders(), services.Launcher(),
                            services.RegistrationTool(), settings, state);
    TPreviousVersionRemoval removal(record, shell, settings, state);
    outcome.ErrorSummary = removal.UnInstallLastVersion();

    for (const QString& link : links) {
        if (Present(link))
            outcome.LinksLeft << link;
        else
            outcome.RemovedLinks << link;
    }
    if (!menuFolder.isEmpty() && Present(menuFolder))
        outcome.MenuFolderLeft = menuFolder;
    if (!outcome.ProductFolder.isEmpty() && !outcome.LocationRejected) {
        for (const QString& kept : {QStringLiteral("Users"), QStringLiteral("Config")}) {
            if (QFileInfo(outcome.ProductFolder + kept).isDir())
                outcome.KeptFolders << outcome.ProductFolder + kept;
        }
    }
    if (!outcome.LocationRejected)
        outcome.FilesLeft = ProductFilesLeft(outcome.ProductFolder);
    outcome.RecordRemoved = !record.CheckIsHasLastVer();
    return outcome;
}

bool UninstallComplete(const TUninstallOutcome& outcome) {
    return outcome.Found && outcome.RecordRemoved && outcome.ErrorSummary.isEmpty() &&
           outcome.FilesLeft.isEmpty() && outcome.LinksLeft.isEmpty() &&
           outcome.MenuFolderLeft.isEmpty() && !outcome.LocationRejected;
}

QString DescribeUninstall(const TUninstallOutcome& outcome, const TInstallerSettings& settings) {
    if (!outcome.Found)
        return u"未找到"_qs + settings.DisplayName + u"的安装信息。"_qs;
    QStringList lines;
    lines << settings.DisplayName +
                 (UninstallComplete(outcome) ? u" 已卸载。"_qs : u" 已卸载，但有错误。"_qs);
    if (outcome.LocationRejected)
        lines << u"安装位置不是绝对路径，程序文件未删除: "_qs + outcome.ProductFolder;
    else if (!outcome.ProductFolder.isEmpty() && outcome.FilesLeft.isEmpty())
        lines << u"已删除程序文件: "_qs + QDir::toNativeSeparators(outcome.ProductFolder);
    if (!outcome.FilesLeft.isEmpty())
        lines << u"程序文件未能删除 ("_qs + QString::number(outcome.FilesLeft.size()) +
                     u" 个): "_qs + QDir::toNativeSeparators(outcome.ProductFolder);
    for (const QString& link : outcome.RemovedLinks)
        lines << u"已删除快捷方式: "_qs + link;
    for (const QString& link : outcome.LinksLeft)
        lines << u"快捷方式未能删除: "_qs + link;
    if (!outcome.MenuFolderLeft.isEmpty())
        lines << u"程序菜单文件夹未能删除: "_qs + outcome.MenuFolderLeft;
    for (const QString& kept : outcome.KeptFolders)
        lines << u"已保留用户数据: "_qs + kept;
    lines << (outcome.RecordRemoved ? u"已删除安装信息。"_qs : u"安装信息未能删除。"_qs);
    if (!outcome.ErrorSummary.isEmpty())
        lines << outcome.ErrorSummary.trimmed();
    return lines.join(u'\n');
}

} // namespace velmora
