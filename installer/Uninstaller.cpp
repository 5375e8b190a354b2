#include "installer/Uninstaller.h"

#include "installer/InstallLog.h"
#include "installer/InstallRecord.h"
#include "installer/InstallTransaction.h"
#include "installer/PreviousVersionRemoval.h"
#include "installer/ShellIntegration.h"
#include "platform/system/PlatformServices.h"
#include "platform/system/ProcessTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace velmora {

namespace {

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

QStringList Absolute(const QString& folder, const QStringList& relative) {
    QStringList paths;
    for (const QString& path : relative)
        paths << folder + path;
    return paths;
}

QString Listed(const QStringList& paths) {
    constexpr qsizetype KShown = 10;
    QStringList shown;
    for (qsizetype i = 0; i < paths.size() && i < KShown; ++i)
        shown << EscapeForDisplay(paths.at(i));
    if (paths.size() > KShown)
        shown << QStringLiteral("...");
    return shown.join(u", "_qs);
}

} // namespace

QString EscapeForDisplay(const QString& text) {
    QString shown;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            shown += QStringLiteral("\\x%1").arg(unsigned(u), 2, 16, QChar(u'0'));
        else if (c.isSurrogate())
            shown += QStringLiteral("\\u%1").arg(unsigned(u), 4, 16, QChar(u'0'));
        else
            shown += c;
    }
    return shown;
}

bool RecoverInterruptedInstall(TPlatformServices& services, const TInstallerSettings& settings,
                               QString& error) {
    TInstallState state;
    TShellIntegration shell(services.Links(), services.Folders(), services.Launcher(),
                            services.RegistrationTool(), settings, state);
    const TTransactionContext context{
        services.Registry(), services.Links(), shell, settings,
        TTransactionJournal::PathFor(services.Roots().RegistryStoreFile, settings.ProgramKey())};
    return RecoverInterruptedInstall(context, error);
}

std::optional<TPreviousInstallRecord> ReadInstalledRecord(TPlatformServices& services,
                                                          const TInstallerSettings& settings,
                                                          TInstallState& state) {
    const TParsedRecord parsed =
        ParseInstallRecord(ReadRawRecord(services.Registry(), settings),
                           InstallRecordRules(settings, services.Folders()));
    state.PreviousVersionFound = parsed.Present;
    if (!parsed.Present)
        return std::nullopt;
    state.PreviousRecord = parsed.Record;
    return parsed.Record;
}

TUninstallOutcome UninstallProduct(TPlatformServices& services, const TInstallerSettings& settings,
                                   TInstallState& state) {
    TUninstallOutcome outcome;
    IRegistryStore& store = services.Registry();
    TInstallRecord record(store, settings, state);
    TShellIntegration shell(services.Links(), services.Folders(), services.Launcher(),
                            services.RegistrationTool(), settings, state);
    QString error;
    if (!RecoverInterruptedInstall(services, settings, error)) {
        outcome.RecoveryError = error;
        return outcome;
    }

    TParsedRecord parsed;
    try {
        parsed = ParseInstallRecord(ReadRawRecord(store, settings),
                                    InstallRecordRules(settings, services.Folders()));
    } catch (const EVelmoraError& failure) {
        // Busy or damaged: the product may well be installed, so this is not "not found".
        outcome.StoreError = failure.Message();
        return outcome;
    }
    if (!parsed.Present)
        return outcome;
    outcome.Found = true;
    outcome.ProductFolder = parsed.ProductFolder(settings.ProductName);
    outcome.Refused = parsed.Problems;
    if (!outcome.Refused.isEmpty()) {
        for (const TRecordProblem& problem : std::as_const(outcome.Refused))
            WriteInstallLog(u"UnInstallLastVersion:安装信息中的值不可信，未删除任何文件\r\n"_qs +
                            problem.Value + u": "_qs + problem.Reason);
        return outcome;
    }
    if (!store.IsWritable()) {
        WriteInstallLog(u"当前用户没有读写注册表的权限"_qs);
        outcome.NoRights = true;
        return outcome;
    }
    // Deleting a running program's files from under it helps nobody; the person is told.
    if (!outcome.ProductFolder.isEmpty()) {
        outcome.Running = TProcessTable().RunningFrom(outcome.ProductFolder);
        if (!outcome.Running.isEmpty())
            return outcome;
    }

    QStringList links;
    for (const QString& link : LinksToRemove(parsed.Record)) {
        if (Present(link))
            links << link;
    }
    const QString menuFolder = MenuFolderToRemove(parsed.Record);

    TPreviousVersionRemoval removal(record, shell, settings, state);
    const TRemovalReport report = removal.RemoveVersion(parsed);
    outcome.ErrorSummary = report.Summary;
    if (!report.Summary.isEmpty())
        WriteInstallLog(u"UnInstallLastVersion:卸载已安装版本\r\n"_qs + report.Summary.chopped(2));
    outcome.FilesLeft = Absolute(outcome.ProductFolder, report.Files.Left);
    outcome.KeptFiles = Absolute(outcome.ProductFolder, report.Files.Kept);
    // While product files stay, their shortcuts stay on purpose: nothing of them failed.
    if (report.Files.Left.isEmpty()) {
        for (const QString& link : std::as_const(links)) {
            if (Present(link))
                outcome.LinksLeft << link;
            else
                outcome.RemovedLinks << link;
        }
        if (!menuFolder.isEmpty() && Present(menuFolder))
            outcome.MenuFolderLeft = menuFolder;
    }
    if (!outcome.ProductFolder.isEmpty()) {
        for (const QString& kept : {QStringLiteral("Users"), QStringLiteral("Config")}) {
            if (QFileInfo(outcome.ProductFolder + kept).isDir())
                outcome.KeptFolders << outcome.ProductFolder + kept;
        }
    }
    try {
        outcome.RecordRemoved = !store.KeyExists(UninstallRecordKey(settings));
    } catch (const EVelmoraError& failure) {
        outcome.ErrorSummary += u"删除安装信息:"_qs + failure.Message() + u"\r\n"_qs;
    }
    return outcome;
}

bool UninstallComplete(const TUninstallOutcome& outcome) {
    return outcome.Found && outcome.StoreError.isEmpty() && outcome.RecoveryError.isEmpty() &&
           outcome.Refused.isEmpty() && outcome.Running.isEmpty() && !outcome.NoRights &&
           outcome.RecordRemoved && outcome.ErrorSummary.isEmpty() && outcome.FilesLeft.isEmpty() &&
           outcome.LinksLeft.isEmpty() && outcome.MenuFolderLeft.isEmpty();
}

QString DescribeUninstall(const TUninstallOutcome& outcome, const TInstallerSettings& settings) {
    if (!outcome.RecoveryError.isEmpty())
        return settings.DisplayName + u" 未卸载: 上次中断的安装无法完成或撤销: "_qs +
               EscapeForDisplay(outcome.RecoveryError);
    if (!outcome.StoreError.isEmpty())
        return settings.DisplayName + u" 未卸载: 无法读取安装信息: "_qs +
               EscapeForDisplay(outcome.StoreError);
    if (!outcome.Found)
        return u"未找到"_qs + settings.DisplayName + u"的安装信息。"_qs;
    QStringList lines;
    if (!outcome.Refused.isEmpty() || outcome.NoRights || !outcome.Running.isEmpty()) {
        lines << settings.DisplayName + u" 未卸载，未删除任何文件。"_qs;
        for (const TRecordProblem& problem : outcome.Refused)
            lines << u"安装信息中的值不可信: "_qs + problem.Value + u": "_qs + problem.Reason;
        if (outcome.NoRights)
            lines << u"当前用户没有读写注册表的权限"_qs;
        if (!outcome.Running.isEmpty())
            lines << settings.DisplayName + u" 正在运行，请先退出程序再卸载: "_qs +
                         Listed(outcome.Running);
        return lines.join(u'\n');
    }
    const QString folder = EscapeForDisplay(QDir::toNativeSeparators(outcome.ProductFolder));
    lines << settings.DisplayName + (UninstallComplete(outcome) ? u" 已卸载。"_qs
                                     : outcome.RecordRemoved    ? u" 已卸载，但有错误。"_qs
                                                                : u" 未能完全卸载。"_qs);
    if (!outcome.ProductFolder.isEmpty() && outcome.FilesLeft.isEmpty())
        lines << u"已删除程序文件: "_qs + folder;
    if (!outcome.FilesLeft.isEmpty())
        lines << u"程序文件未能删除 ("_qs + QString::number(outcome.FilesLeft.size()) +
                     u" 个): "_qs + folder + u" ("_qs + Listed(outcome.FilesLeft) + u')';
    for (const QString& link : outcome.RemovedLinks)
        lines << u"已删除快捷方式: "_qs + EscapeForDisplay(link);
    for (const QString& link : outcome.LinksLeft)
        lines << u"快捷方式未能删除: "_qs + EscapeForDisplay(link);
    if (!outcome.MenuFolderLeft.isEmpty())
        lines << u"程序菜单文件夹未能删除: "_qs + EscapeForDisplay(outcome.MenuFolderLeft);
    for (const QString& kept : outcome.KeptFolders)
        lines << u"已保留用户数据: "_qs + EscapeForDisplay(kept);
    if (!outcome.KeptFiles.isEmpty())
        lines << u"已保留非本程序安装的文件 ("_qs + QString::number(outcome.KeptFiles.size()) +
                     u" 个): "_qs + Listed(outcome.KeptFiles);
    if (outcome.RecordRemoved)
        lines << u"已删除安装信息。"_qs;
    else if (!outcome.FilesLeft.isEmpty() || !outcome.LinksLeft.isEmpty())
        lines << u"安装信息和快捷方式已保留，可以再次卸载。"_qs;
    else
        lines << u"安装信息未能删除。"_qs;
    if (!outcome.ErrorSummary.isEmpty())
        lines
            << EscapeForDisplay(outcome.ErrorSummary.trimmed()).replace(u"\\x0d\\x0a"_qs, u"\n"_qs);
    return lines.join(u'\n');
}

} // namespace velmora
