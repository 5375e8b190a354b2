#include "installer/ShellIntegration.h"

#include "installer/InstallLog.h"
#include "installer/OperationErrors.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace velmora {
namespace {

// The extension of the file-name part, with its dot; empty when it has none.
QString FileExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > path.lastIndexOf(u'/') ? path.mid(dot) : QString();
}

QString WithoutTrailingSeparator(QString folder) {
    if (folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

} // namespace

QStringList ComFileCommandLines(const QString& location, bool unregister) {
    const QString head =
        unregister ? QStringLiteral("regsvr32 /s /u ") : QStringLiteral("regsvr32 /s ");
    QStringList lines;
    for (const QString& file : {QStringLiteral("PicView.ocx"), QStringLiteral("SnapCore.dll")})
        lines << head + u'"' + location + file + u'"';
    return lines;
}

TShellIntegration::TShellIntegration(IShellLinks& links, ISpecialFolders& folders,
                                     IProcessLauncher& launcher,
                                     TRegistrationTool& registrationTool,
                                     const TInstallerSettings& settings, const TInstallState& state)
    : FLinks(links), FFolders(folders), FLauncher(launcher), FRegistrationTool(registrationTool),
      FSettings(settings), FState(state) {}

TShellLink TShellIntegration::LinkTo(const QString& target, const QString& workingFolder) const {
    TShellLink link{target, workingFolder, QString(), QString(), FSettings.ShortcutCategories};
    const QFileInfo targetInfo(target);
    // A desktop shows a missing icon file as a broken picture; no icon is better than that.
    const QString icon = targetInfo.path() + u'/' + FSettings.ProductIcon;
    if (!FSettings.ProductIcon.isEmpty() && QFileInfo(icon).isFile())
        link.Icon = icon;
    link.Comment = targetInfo.fileName() == FSettings.UninstallerExe
                       ? FSettings.UninstallShortcutComment
                       : FSettings.ShortcutComment;
    return link;
}

QString TShellIntegration::GetSpecialFolderPath(int folderId) const {
    return FFolders.Path(folderId);
}

bool TShellIntegration::CreateLink(const QString& target, const QString& workingFolder,
                                   QString& linkPath) {
    try {
        if (FileExtension(linkPath) != FLinks.Extension())
            linkPath += FLinks.Extension();
        // The record says a shortcut was made only when it was.
        if (FLinks.Save(LinkTo(target, workingFolder), linkPath))
            return true;
        WriteInstallLog(u"CreateLink:创建快捷方式\r\n"_qs + linkPath + u": "_qs +
                        QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    } catch (...) {
        return false;
    }
}

bool TShellIntegration::CreateShortcut(const QString& target, QString& linkPath,
                                       const QString& linkName, int folderId,
                                       const QString& folder) {
    try {
        const QFileInfo targetInfo(target);
        if (!targetInfo.isFile())
            return false;
        const QString name = linkName.isEmpty() ? targetInfo.completeBaseName() : linkName;
        const TShellLink link = LinkTo(target, targetInfo.path() + u'/');
        if (folder.isEmpty() && folderId == -1)
            folderId = ISpecialFolders::Desktop;
        QString base;
        if (folderId >= 0) {
            base = GetSpecialFolderPath(folderId);
            // A folder without a path must not turn into the file-system root.
            if (base.isEmpty())
                return false;
        } else {
            base = WithoutTrailingSeparator(folder);
            if (!QFileInfo(base).isDir())
                return false;
        }
        linkPath = base + u'/' + name + FLinks.Extension();
        if (!FLinks.Save(link, linkPath)) {
            // A link planted where the person's desktop should be, or a desktop that may not
            // be written: the shortcut is not made, and why is worth a line.
            WriteInstallLog(u"CreateShortcut:创建快捷方式\r\n"_qs + linkPath + u": "_qs +
                            QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        // A desktop that refuses to start an untrusted launcher still shows it, so the
        // shortcut stays made; the user is told by the desktop, the log says why.
        const QString untrusted = FLinks.Trust(linkPath);
        if (!untrusted.isEmpty())
            WriteInstallLog(u"CreateShortcut:标记快捷方式为可信\r\n"_qs + linkPath + u": "_qs +
                            untrusted);
        return true;
    } catch (...) {
        LogCurrentError(u"CreateShortcut:创建快捷方式"_qs);
        return false;
    }
}

bool TShellIntegration::CreateLinkToProgramsStartUp(const QString& target,
                                                    const QString& workingFolder,
                                                    const QString& linkName,
                                                    const QString& subfolder, bool currentUser,
                                                    QString& linkPath) {
    try {
        QString folder = GetSpecialFolderPath(currentUser ? ISpecialFolders::UserPrograms
                                                          : ISpecialFolders::AllUsersPrograms);
        if (folder.isEmpty())
            throw EVelmoraError(QStringLiteral("The programs menu has no folder"));
        if (!subfolder.isEmpty()) {
            folder += u'/' + subfolder;
            if (!QDir().mkpath(folder))
                throw EVelmoraError(QStringLiteral("Cannot create folder %1").arg(folder));
        }
        linkPath = folder + u'/' + linkName;
        return CreateLink(target, workingFolder, linkPath);
    } catch (...) {
        LogCurrentError(u"CreateLinkToProgramsStartUp:创建快速启动栏"_qs);
        return false;
    }
}

void TShellIntegration::DeleteShortCut(const QString& path) {
    try {
        // The path comes from a stored record; only ever delete what could be one of our
        // shortcuts, whatever else the record names.
        if (!path.isEmpty() && !path.endsWith(FLinks.Extension()))
            throw EVelmoraError(QStringLiteral("Not a shortcut file"));
        if (const int error = FLinks.Remove(path))
            throw EVelmoraError(QString::fromLocal8Bit(std::strerror(error)));
    } catch (...) {
        LogCurrentError(u"DeleteShortCut:删除快捷方式"_qs + path);
    }
}

void TShellIntegration::RefreshProgramsMenu(const QString& folder) {
    if (folder.isEmpty())
        return;
    const QString failed = FLinks.RefreshMenu(folder);
    if (!failed.isEmpty())
        WriteInstallLog(u"RefreshProgramsMenu:刷新程序菜单\r\n"_qs + folder + u": "_qs + failed);
}

void TShellIntegration::RegisterComFiles() {
    RegisterComFilesIn(FState.ProductFolder);
}

void TShellIntegration::UnRegisterComFiles() {
    // A failure here is the removal step's to report under its own label.
    const QString& location = FState.PreviousRecord.InstallLocation;
    const QString folder = location.isEmpty() ? QString() : location + FSettings.ProductName + u'/';
    for (const QString& line : ComFileCommandLines(folder, true))
        FRegistrationTool.Run(line);
}

void TShellIntegration::RegisterComFilesIn(const QString& folder) {
    // The tool's result is never read, so a tool that cannot even start must not end the
    // install either: the files are already in place and the record is still to come.
    for (const QString& line : ComFileCommandLines(folder, false)) {
        try {
            FRegistrationTool.Run(line);
        } catch (...) {
            LogCurrentError(u"RegisterComFiles:注册库"_qs);
        }
    }
}

void TShellIntegration::UnRegisterComFilesIn(const QString& folder) {
    for (const QString& line : ComFileCommandLines(folder, true)) {
        try {
            FRegistrationTool.Run(line);
        } catch (...) {
            LogCurrentError(u"UnRegisterComFiles:反注册库"_qs);
        }
    }
}

void TShellIntegration::ShellExecute(const QString& path) {
    try {
        FLauncher.Open(path);
    } catch (...) {
        LogCurrentError(u"ShellExecute:运行程序"_qs + path);
    }
}

} // namespace velmora
