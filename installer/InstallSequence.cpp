#include "installer/InstallSequence.h"

#include "installer/FolderOps.h"
#include "installer/InflatingPayload.h"
#include "installer/InstallLog.h"
#include "installer/InstallPlan.h"
#include "installer/InstallRecord.h"
#include "installer/InstallTransaction.h"
#include "installer/RecordParser.h"
#include "installer/ShellIntegration.h"
#include "platform/system/MessagePump.h"
#include "platform/system/PlatformServices.h"

#include <QDir>
#include <QFileInfo>

namespace velmora {

namespace {
constexpr int kPumpBetweenSteps = 1000;
} // namespace

TInstallSequence::TInstallSequence(TPlatformServices& services, const TInstallerSettings& settings,
                                   TInstallState& state, TShowInstallError showError)
    : FServices(services), FSettings(settings), FState(state), FShowError(std::move(showError)) {}

QString TInstallSequence::AbsolutePathText(const QString& pathText) {
    if (pathText.size() < 3 || QDir::isAbsolutePath(pathText))
        return pathText;
    return QDir::cleanPath(QDir::current().absoluteFilePath(pathText));
}

QString TInstallSequence::InstallFolderFor(const QString& pathText, const QString& programFiles,
                                           const QString& publisherFolder) {
    if (pathText.size() < 3) {
        QString base = programFiles;
        if (!base.endsWith(u'/'))
            base += u'/';
        return base + publisherFolder + u'/';
    }
    return pathText.endsWith(u'/') ? pathText : pathText + u'/';
}

void TInstallSequence::InstallSoftware(const QString& pathText, IProgressDisplay& display) {
    QFile file(kPayloadResource);
    Run(pathText, display,
        [&file]() -> QIODevice* { return OpenEmbeddedPayload(file) ? &file : nullptr; });
}

void TInstallSequence::InstallSoftware(const QString& pathText, IProgressDisplay& display,
                                       QIODevice& source) {
    Run(pathText, display, [&source] { return &source; });
}

void TInstallSequence::Fail(const QString& reason) {
    FInstallSuccess = false;
    if (FShowError)
        FShowError(reason.isEmpty() ? kCopyFailedText : kCopyFailedText + u'\n' + reason,
                   kCopyFailedCaption);
}

namespace {

// The previous version's files as the trusted record describes them.
TPreviousFiles PreviousFilesOf(const TParsedRecord& previous, const QString& productName) {
    TPreviousFiles files;
    files.ProductFolder = previous.ProductFolder(productName);
    if (files.ProductFolder.isEmpty())
        return files;
    files.Mode = previous.Manifest ? TOldFiles::Manifest : TOldFiles::Legacy;
    if (previous.Manifest)
        files.Manifest = *previous.Manifest;
    return files;
}

QString MenuFolderOf(const QString& link) {
    return link.isEmpty() ? QString() : ParentOf(link);
}

} // namespace

void TInstallSequence::Run(const QString& pathText, IProgressDisplay& display,
                           const std::function<QIODevice*()>& open) {
    FInstallSuccess = false;
    TInstallRecord record(FServices.Registry(), FSettings, FState);
    TShellIntegration shell(FServices.Links(), FServices.Folders(), FServices.Launcher(),
                            FServices.RegistrationTool(), FSettings, FState);
    IRegistryStore& store = FServices.Registry();

    // A relative text would be recorded as it is and then resolved against whatever folder
    // the uninstaller or the next install happens to run in.
    const QString absoluteText = AbsolutePathText(pathText);
    QString programFiles;
    if (absoluteText.size() < 3) {
        programFiles = record.GetProgramFilesDir();
        // Without a readable store the scope's own folder stands in, never the root.
        if (programFiles.isEmpty())
            programFiles = FServices.Roots().ProgramFiles;
    }
    // Cleaned, so the record holds the one spelling of the folder that is checked later.
    QString folder = InstallFolderFor(absoluteText, programFiles, FSettings.PublisherFolder);
    if (folder.startsWith(u'/')) {
        folder = QDir::cleanPath(folder);
        if (folder != u"/"_qs)
            folder += u'/';
    }
    FState.InstallFolder = folder;
    FState.ProductFolder = FState.InstallFolder + FSettings.ProductName + u'/';
    PumpMessages(kPumpBetweenSteps);

    // The payload's table is checked before anything is touched, and the whole stream before
    // anything is removed: a damaged installer must leave a working previous installation
    // (and its record) alone.
    QIODevice* source = open();
    if (source == nullptr) {
        Fail();
        return;
    }
    // Inflated on a second thread from here on, while the record is read, the install
    // planned and the files staged; nothing is published before its end has passed.
    TInflatingPayload payload(*source);
    const std::optional<std::vector<TPayloadEntry>> entries = payload.ReadTable();
    if (!entries) {
        Fail();
        return;
    }

    const TTransactionContext context{
        store, FServices.Links(), shell, FSettings,
        TTransactionJournal::PathFor(FServices.Roots().RegistryStoreFile, FSettings.ProgramKey())};
    QString error;
    // An install stopped half-way is finished or undone before anything else is looked at.
    if (!RecoverInterruptedInstall(context, error)) {
        WriteInstallLog(u"InstallSoftware:上次中断的安装无法恢复\r\n"_qs + error);
        Fail(error);
        return;
    }

    // A store that cannot be read (busy past its wait, damaged) is not one without a record,
    // and one that cannot be written could not take the new record: nothing is touched then.
    TParsedRecord previous;
    try {
        previous = ParseInstallRecord(ReadRawRecord(store, FSettings),
                                      InstallRecordRules(FSettings, FServices.Folders()));
    } catch (const EVelmoraError& failure) {
        WriteInstallLog(u"ReadSoftwareInstallInfoFromRegistry:读取上次安装信息\r\n"_qs +
                        failure.Message());
        Fail(failure.Message());
        return;
    }
    if (!store.IsWritable()) {
        WriteInstallLog(u"当前用户没有读写注册表的权限"_qs);
        Fail(u"当前用户没有读写注册表的权限"_qs);
        return;
    }
    // A value that fails its checks is never acted on; the install goes on and writes a
    // sound record.
    for (const TRecordProblem& problem : std::as_const(previous.Problems))
        WriteInstallLog(u"UnInstallLastVersion:安装信息中的值不可信，未使用\r\n"_qs +
                        problem.Value + u": "_qs + problem.Reason);
    FState.PreviousVersionFound = previous.Present;
    FState.PreviousRecord = previous.Record;
    const TPreviousInstallRecord& last = previous.Record;

    // Everything that would stop the install half-way is found before the previous version
    // is touched, so a refused install changes nothing.
    TInstallPlan plan;
    if (const std::optional<TPreflightProblem> problem =
            PlanInstall(*entries, FState.InstallFolder, FSettings.ProductName,
                        PreviousFilesOf(previous, FSettings.ProductName),
                        QFileInfo(FServices.Roots().RegistryStoreFile).absolutePath(), plan)) {
        LogPreflightProblem(*problem);
        Fail(problem->Path + u": "_qs + problem->Reason);
        return;
    }

    const QString oldMenu =
        last.IsCreateProgramsShortCut ? MenuFolderOf(last.ProgramsStartUpFileName) : QString();
    TInstallTransaction transaction(context, plan, oldMenu);
    // An empty why: the payload failed, and its own line is in the log.
    const auto undo = [&](const QString& head, const QString& why) {
        if (!why.isEmpty())
            WriteInstallLog(head + u"\r\n"_qs + why);
        transaction.Undo();
        Fail(why);
    };
    if (!transaction.Begin(error))
        return undo(u"CopyInstallFiles:写入安装日志出错"_qs, error);

    display.SetStatusText(FSettings.StatusCopying);
    PumpMessages(kPumpBetweenSteps);
    if (!transaction.Stage(*entries, payload, display, FStageHook, error))
        return undo(u"CopyInstallFiles:写入安装文件出错"_qs, error);
    if (FStageHook)
        FStageHook(TInstallStage::Staged, FState.ProductFolder);

    // From here the previous version is touched; until the record is written everything can
    // still be put back.
    if (previous.Present) {
        display.SetStatusText(FSettings.StatusRemoving);
        display.SetProgressRange(0, 100);
        display.SetProgressPosition(0);
    }
    if (!transaction.Swap(previous.Present ? &display : nullptr, error))
        return undo(u"CopyInstallFiles:替换已安装版本出错"_qs, error);
    if (previous.Present)
        display.SetProgressPosition(100);
    if (FStageHook)
        FStageHook(TInstallStage::PreviousVersionRemoved, FState.ProductFolder);

    transaction.RegisterNewComFiles();
    FState.IsAutoRun = false;

    display.SetStatusText(FSettings.StatusShortcut);
    PumpMessages(kPumpBetweenSteps);
    const QString linkExtension = FServices.Links().Extension();
    // A shortcut is attempted only for a product program that is there; the record says it
    // was made only when it was.
    const QString target = FState.ProductFolder + FSettings.ProductExe;
    FState.IsCreateDeskTopShortCut = false;
    FState.ShortcutFileName.clear();
    if (QFileInfo(target).isFile()) {
        const QString desktop = shell.GetSpecialFolderPath(ISpecialFolders::Desktop);
        if (!desktop.isEmpty() &&
            !transaction.NoteLink(desktop + u'/' + FSettings.ProgramKey() + linkExtension, error))
            return undo(u"CreateShortcut:创建快捷方式"_qs, error);
        if (!shell.CreateShortcut(target, FState.ShortcutFileName, FSettings.ProgramKey(), -1,
                                  QString()))
            return undo(u"CreateShortcut:创建快捷方式"_qs,
                        u"桌面快捷方式未能创建: "_qs + FState.ShortcutFileName);
        FState.IsCreateDeskTopShortCut = true;
    }

    display.SetStatusText(FSettings.StatusProgramsMenu);
    PumpMessages(kPumpBetweenSteps);
    const QString programs = shell.GetSpecialFolderPath(ISpecialFolders::UserPrograms);
    const QString menu = programs + u'/' + FSettings.ProgramKey();
    if (!programs.isEmpty() && !QFileInfo::exists(menu) && !transaction.NoteMadeFolder(menu, error))
        return undo(u"CreateLinkToProgramsStartUp:创建快速启动栏"_qs, error);
    const QString uninstallName = u"卸载"_qs + FSettings.ProgramKey();
    for (const QString& name : {FSettings.ProgramKey(), uninstallName})
        if (!programs.isEmpty() && !transaction.NoteLink(menu + u'/' + name + linkExtension, error))
            return undo(u"CreateLinkToProgramsStartUp:创建快速启动栏"_qs, error);
    const bool menuMade =
        shell.CreateLinkToProgramsStartUp(target, FState.ProductFolder, FSettings.ProgramKey(),
                                          FSettings.ProgramKey(), true,
                                          FState.ProgramsStartUpFileName) &&
        shell.CreateLinkToProgramsStartUp(
            FState.ProductFolder + FSettings.UninstallerExe, FState.ProductFolder, uninstallName,
            FSettings.ProgramKey(), true, FState.ProgramsStartUpUnInstallFileName);
    if (!menuMade)
        return undo(u"CreateLinkToProgramsStartUp:创建快速启动栏"_qs,
                    u"程序菜单快捷方式未能创建: "_qs + menu);
    FState.IsCreateProgramsShortCut = true;

    // The previous version's shortcuts that the new ones did not replace go too.
    QStringList oldLinks;
    if (last.IsCreateDeskTopShortCut)
        oldLinks << last.ShortcutFileName;
    if (last.IsCreateProgramsShortCut)
        oldLinks << last.ProgramsStartUpFileName << last.ProgramsStartUpUnInstallFileName;
    for (const QString& link : std::as_const(oldLinks)) {
        if (link.isEmpty() || link == FState.ShortcutFileName ||
            link == FState.ProgramsStartUpFileName ||
            link == FState.ProgramsStartUpUnInstallFileName)
            continue;
        if (!transaction.NoteLink(link, error))
            return undo(u"DeleteShortCut:删除快捷方式"_qs + link, error);
        shell.DeleteShortCut(link);
        if (FServices.Links().Snapshot(link).Kind != TShortcutSnapshot::TKind::Absent)
            return undo(u"DeleteShortCut:删除快捷方式"_qs + link, u"快捷方式未能删除: "_qs + link);
    }
    shell.RefreshProgramsMenu(programs);

    display.SetStatusText(FSettings.StatusRecord);
    PumpMessages(kPumpBetweenSteps);
    if (FStageHook)
        FStageHook(TInstallStage::BeforeRecord, FState.ProductFolder);
    // The record, the list of what it owns and the end of an old autorun entry are stored
    // together, last: the install is complete exactly when they are there.
    const QString key = UninstallRecordKey(FSettings);
    TRegistryChanges changes = {TRegistryChange::DeleteKeyTree(key),
                                TRegistryChange::Write(key, InstallRecordValues(FSettings, FState)),
                                TRegistryChange::Write(InstallManifestKey(FSettings),
                                                       InstallManifestValues(plan.Manifest))};
    if (last.IsAutoRun)
        changes.append(TRegistryChange::DeleteNamedValue(AutoRunKey(), FSettings.ProgramKey()));
    if (!transaction.Commit(changes, error))
        return undo(u"RegisterSoftwareInfoToRegistry:将软件安装信息写入注册表"_qs, error);

    const TProductRemoval removal = transaction.Finish();
    if (!removal.Left.isEmpty())
        WriteInstallLog(u"UnInstallLastVersion:已安装版本的文件未能删除 ("_qs +
                        QString::number(removal.Left.size()) + u" 个)\r\n"_qs +
                        removal.Left.join(u"\r\n"_qs));
    if (!removal.Kept.isEmpty())
        WriteInstallLog(u"UnInstallLastVersion:已保留非本程序安装的文件 ("_qs +
                        QString::number(removal.Kept.size()) + u" 个)\r\n"_qs +
                        removal.Kept.join(u"\r\n"_qs));
    FInstallSuccess = true;
}

} // namespace velmora
