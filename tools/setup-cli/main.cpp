// setup-cli: unattended install, uninstall and status for administrators. It runs the
// wizard's own install sequence, removal and record reading, without a window.
#include "installer/InstallRecord.h"
#include "installer/InstallSequence.h"
#include "installer/InstallerSettings.h"
#include "installer/RecordParser.h"
#include "installer/SingleInstance.h"
#include "installer/Uninstaller.h"
#include "platform/system/DebugOutput.h"
#include "platform/system/InstallerUmask.h"
#include "platform/system/LogFile.h"
#include "platform/system/PlatformServices.h"
#include "tools/common/CommandLine.h"
#include "tools/common/RootOption.h"
#include "tools/common/TerminalProgress.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <csignal>
#include <cstdio>

using namespace velmora;

namespace {

const char* const kMainHelp =
    "usage: setup-cli <command> [arguments] [--root DIR | --machine-root DIR]\n"
    "\n"
    "commands:\n"
    "  install <archive> <path-text>   install the product below <path-text>\n"
    "  uninstall                       remove the installed product (Users and Config stay)\n"
    "  status                          print the install record of the product\n"
    "\n"
    "--root DIR moves the registry store, program files, desktop, menus and the log below\n"
    "DIR, for staging an install or trying it out. --machine-root DIR moves only the\n"
    "registry store, program files, the menus and the log, and keeps the real desktop (run\n"
    "through sudo or pkexec: the desktop of the user who asked, their shortcut theirs).\n"
    "'setup-cli <command> --help' says more.\n";

const char* const kInstallHelp =
    "usage: setup-cli install <archive> <path-text> [--root DIR]\n"
    "Runs the wizard's install sequence with the payload archive <archive> (as written by\n"
    "payload-tool build): removes an installed copy of the same version, writes the product\n"
    "folder Velmora/ inside <path-text>, creates the shortcuts and the install record.\n"
    "A <path-text> shorter than three characters (for example \"\") installs to the program\n"
    "files folder + Norvane/. A relative <path-text> is taken from the current folder.\n";

const char* const kUninstallHelp =
    "usage: setup-cli uninstall [--root DIR]\n"
    "Removes the installed product exactly as a reinstall removes its previous version:\n"
    "COM registration, the files the installer wrote (folders named Users and Config and\n"
    "files it did not write stay), shortcuts and the install record. Refuses while a\n"
    "program of the product runs, while another installer runs, and when the record holds\n"
    "a value that fails its checks. Exit 1 when no install record exists or anything it\n"
    "meant to remove is still there.\n";

const char* const kStatusHelp =
    "usage: setup-cli status [--root DIR]\n"
    "Prints the install record of the product, one value per line (control characters\n"
    "escaped). An install that was stopped half-way is finished or undone first, unless\n"
    "another installer runs. Exit 1 when the product is not installed or the record cannot\n"
    "be read.\n";

// Fault tests: with VELMORA_SETUP_CLI_STOP_AT naming a stage ("mid-file", "staged",
// "removed", "before-record"), the install says so on standard error when it first gets there and
// stops itself, so that the test can kill it at exactly that point.
TInstallStageHook StopAtRequestedStage() {
    const QString wanted = qEnvironmentVariable("VELMORA_SETUP_CLI_STOP_AT");
    if (wanted.isEmpty())
        return {};
    return [wanted, stopped = false](TInstallStage stage, const QString&) mutable {
        if (stopped || InstallStageName(stage) != wanted)
            return;
        stopped = true;
        PrintLine(stderr, u"setup-cli: stopped at "_qs + wanted);
        std::fflush(stderr);
        ::raise(SIGSTOP);
    };
}

// The wizard's single-instance name, held for the rest of the process; false (after saying
// so) when another installer or uninstaller holds it.
bool HoldName(const TSystemRoots& roots) {
    if (HoldInstallerName(roots) != TSystemWideName::TResult::AlreadyHeld)
        return true;
    PrintLine(stderr, u"setup-cli: "_qs + InstallerSettings().InstallerRunningMessage);
    return false;
}

int Install(const QStringList& args, const TSystemRoots& roots) {
    if (WantsHelp(args))
        return Help(kInstallHelp);
    if (args.size() != 2)
        return Usage(kInstallHelp);
    if (!HoldName(roots))
        return kExitFailed;
    QFile archive(args.at(0));
    if (!archive.open(QIODevice::ReadOnly)) {
        PrintLine(
            stderr,
            QStringLiteral("setup-cli: cannot open %1: %2").arg(args.at(0), archive.errorString()));
        return kExitFailed;
    }
    TPlatformServices services(roots);
    TInstallSequence sequence(services, InstallerSettings(), InstallState(),
                              [](const QString& text, const QString& caption) {
                                  PrintLine(stderr, caption + u": "_qs + text);
                              });
    sequence.SetStageHook(StopAtRequestedStage());
    try {
        TTerminalProgress progress(stdout);
        sequence.InstallSoftware(args.at(1), progress, archive);
    } catch (const std::exception& error) {
        // What would reach the wizard's application-wide handler: logged, then reported.
        WriteLogFile(QString::fromUtf8(error.what()), InstallerSettings().LogFileName);
        return kExitFailed;
    }
    if (!sequence.InstallSuccess())
        return kExitFailed;
    PrintLine(stdout,
              InstallerSettings().DisplayName + u" 已安装到 "_qs + InstallState().ProductFolder);
    return kExitOk;
}

int Uninstall(const QStringList& args, const TSystemRoots& roots) {
    if (WantsHelp(args))
        return Help(kUninstallHelp);
    if (!args.isEmpty())
        return Usage(kUninstallHelp);
    if (!HoldName(roots))
        return kExitFailed;
    TPlatformServices services(roots);
    const TUninstallOutcome outcome =
        UninstallProduct(services, InstallerSettings(), InstallState());
    PrintLine(UninstallComplete(outcome) ? stdout : stderr,
              DescribeUninstall(outcome, InstallerSettings()));
    return UninstallComplete(outcome) ? kExitOk : kExitFailed;
}

int Status(const QStringList& args, const TSystemRoots& roots) {
    if (WantsHelp(args))
        return Help(kStatusHelp);
    if (!args.isEmpty())
        return Usage(kStatusHelp);
    TPlatformServices services(roots);
    const TInstallerSettings& settings = InstallerSettings();
    // Finishing or undoing a stopped install changes things, so only when no other installer
    // runs; beside one the record is shown as it is.
    if (HoldInstallerName(roots) == TSystemWideName::TResult::Acquired) {
        QString error;
        if (!RecoverInterruptedInstall(services, settings, error))
            PrintLine(stderr, u"setup-cli: 上次中断的安装无法完成或撤销: "_qs + error);
    }
    TRawRecord raw;
    try {
        raw = ReadRawRecord(services.Registry(), settings);
    } catch (const EVelmoraError& error) {
        // A busy or damaged store says nothing about whether the product is installed.
        PrintLine(stderr, settings.DisplayName + u": 无法读取安装信息: "_qs + error.Message());
        return kExitFailed;
    }
    if (!raw.Present) {
        PrintLine(stderr, settings.DisplayName + u" 未安装。"_qs);
        return kExitFailed;
    }
    const TParsedRecord parsed =
        ParseInstallRecord(raw, InstallRecordRules(settings, services.Folders()));
    for (const TRecordProblem& problem : parsed.Problems)
        PrintLine(stderr, u"setup-cli: 安装信息中的值不可信: "_qs + problem.Value + u": "_qs +
                              problem.Reason);
    // Shown as stored, so a person sees what a refused value holds, escaped.
    QHash<QString, QString> stored;
    for (const auto& [name, value] : raw.Values)
        stored.insert(name.toCaseFolded(), value.Type == TRegistryValueType::Integer
                                               ? QString::number(value.Number != 0 ? 1 : 0)
                                               : EscapeForDisplay(value.Text));
    const auto get = [&stored](const char* name) {
        return stored.value(QString::fromLatin1(name).toCaseFolded(),
                            QString::fromLatin1(name).startsWith(u"Is"_qs) ? u"0"_qs : QString());
    };
    const QList<std::pair<const char*, QString>> values = {
        {"InstallLocation", get("InstallLocation")},
        {"DisplayName", get("DisplayName")},
        {"DisplayIcon", get("DisplayIcon")},
        {"UninstallString", get("UninstallString")},
        {"Publisher", get("Publisher")},
        {"URLInfoAbout", get("URLInfoAbout")},
        {"HelpLink", get("HelpLink")},
        {"URLUpdateInfo", get("URLUpdateInfo")},
        {"ShortcutFileName", get("ShortcutFileName")},
        {"ProgramsStartUpFileName", get("ProgramsStartupFileName")},
        {"ProgramsStartUpUnInstallFileName", get("ProgramsStartupUnInstallFileName")},
        {"IsSetStartPage", get("IsSetStartPage")},
        {"IsCreateDeskTopShortCut", get("IsCreateDeskTopShortCut")},
        {"IsCreateProgramsShortCut", get("IsCreateProgramsShortCut")},
        {"IsAutoRun", get("IsAutoRun")},
    };
    for (const auto& [name, value] : values)
        PrintLine(stdout, QString::fromLatin1(name) + u'=' + value);
    return kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    UseInstallerUmask();
    QCoreApplication app(argc, argv);
    FillInstallerSettings();
    EchoLogToTerminal(QStringLiteral("setup-cli"));

    QStringList args = app.arguments().mid(1);
    const std::optional<TSystemRoots> roots = TakeRootOption(args);
    if (!roots)
        return Usage(kMainHelp);
    const TSystemRoots& on = *roots;
    return DispatchCommand(
        u"setup-cli"_qs, args, kMainHelp,
        {{u"install"_qs, [&on](const QStringList& rest) { return Install(rest, on); }},
         {u"uninstall"_qs, [&on](const QStringList& rest) { return Uninstall(rest, on); }},
         {u"status"_qs, [&on](const QStringList& rest) { return Status(rest, on); }}});
}
