#include "installer/InstallSequence.h"

#include "installer/InstallPreflight.h"
#include "installer/InstallRecord.h"
#include "installer/PreviousVersionRemoval.h"
#include "installer/ShellIntegration.h"
#include "platform/system/MessagePump.h"
#include "platform/system/PlatformServices.h"

#include <QDir>

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
    Run(pathText, display, [] { return LoadEmbeddedPayload(); });
}

void TInstallSequence::InstallSoftware(const QString& pathText, IProgressDisplay& display,
                                       QIODevice& source) {
    Run(pathText, display, [&source] { return LoadPayload(source); });
}

QString TInstallSequence::FolderTheRemovalCleans() const {
    try {
        IRegistryStore& store = FServices.Registry();
        const QString key = UninstallRecordKey(FSettings);
        // Without rights the removal reads no record and so cleans nothing.
        if (!store.IsWritable() || !store.KeyExists(key))
            return QString();
        const std::optional<TRegistryValue> location =
            store.ReadValue(key, QStringLiteral("InstallLocation"));
        if (!location || location->Type != TRegistryValueType::String)
            return QString();
        return TPreviousVersionRemoval::ProductFolderToClean(location->Text, FSettings.ProductName);
    } catch (const EVelmoraError&) {
        return QString();
    }
}

void TInstallSequence::Fail() {
    FInstallSuccess = false;
    if (FShowError)
        FShowError(kCopyFailedText, kCopyFailedCaption);
}

void TInstallSequence::Run(const QString& pathText, IProgressDisplay& display,
                           const std::function<std::optional<TPayloadImage>()>& load) {
    FInstallSuccess = false;
    TInstallRecord record(FServices.Registry(), FSettings, FState);
    TShellIntegration shell(FServices.Links(), FServices.Folders(), FServices.Launcher(),
                            FServices.RegistrationTool(), FSettings, FState);

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
    FState.InstallFolder = InstallFolderFor(absoluteText, programFiles, FSettings.PublisherFolder);
    FState.ProductFolder = FState.InstallFolder + FSettings.ProductName + u'/';
    PumpMessages(kPumpBetweenSteps);

    // The payload is inflated and its table checked before anything is removed: a damaged
    // installer must leave a working previous installation (and its record) alone.
    const std::optional<TPayloadImage> payload = load();
    if (!payload) {
        Fail();
        return;
    }

    // Whatever would stop the extraction half-way is found before the previous version is
    // removed, so a refused install changes nothing.
    if (const std::optional<TPreflightProblem> problem =
            CheckInstallTarget(*payload, FState.InstallFolder, FolderTheRemovalCleans())) {
        LogPreflightProblem(*problem);
        Fail();
        return;
    }

    TPreviousVersionRemoval removal(record, shell, FSettings, FState);
    removal.RemoveLastVersion(display);
    if (FStageHook)
        FStageHook(TInstallStage::PreviousVersionRemoved, FState.ProductFolder);

    display.SetStatusText(FSettings.StatusCopying);
    PumpMessages(kPumpBetweenSteps);
    if (!WritePayload(*payload, FState.InstallFolder, &display, FStageHook)) {
        Fail();
        return;
    }

    shell.RegisterComFiles();
    FState.IsAutoRun = false;

    display.SetStatusText(FSettings.StatusShortcut);
    PumpMessages(kPumpBetweenSteps);
    FState.IsCreateDeskTopShortCut = true;
    shell.CreateShortcut(FState.ProductFolder + FSettings.ProductExe, FState.ShortcutFileName,
                         FSettings.ProgramKey(), -1, QString());

    display.SetStatusText(FSettings.StatusProgramsMenu);
    PumpMessages(kPumpBetweenSteps);
    FState.IsCreateProgramsShortCut = true;
    shell.CreateLinkToProgramsStartUp(FState.ProductFolder + FSettings.ProductExe,
                                      FState.ProductFolder, FSettings.ProgramKey(),
                                      FSettings.ProgramKey(), true, FState.ProgramsStartUpFileName);
    shell.CreateLinkToProgramsStartUp(FState.ProductFolder + FSettings.UninstallerExe,
                                      FState.ProductFolder, u"卸载"_qs + FSettings.ProgramKey(),
                                      FSettings.ProgramKey(), true,
                                      FState.ProgramsStartUpUnInstallFileName);
    shell.RefreshProgramsMenu(shell.GetSpecialFolderPath(ISpecialFolders::UserPrograms));

    display.SetStatusText(FSettings.StatusRecord);
    PumpMessages(kPumpBetweenSteps);
    if (FStageHook)
        FStageHook(TInstallStage::BeforeRecord, FState.ProductFolder);
    record.RegisterSoftwareInfoToRegistry();

    FInstallSuccess = true;
}

} // namespace velmora
