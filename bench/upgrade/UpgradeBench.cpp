// Times an upgrade of an installed product done as one transaction (TInstallSequence: the new
// files staged and synced beside the old ones, published by renames, the record last)
// against the in-place upgrade the sequence did before it kept the previous version: delete
// the old product folder, then write the payload over it without syncing anything. Both
// start from the same installed tree (the same release reinstalled over itself, the common
// case), inflate the same archive and write the same shortcuts and record, alternately for
// several rounds, each after the file system has written back what the last one left. Prints the
// median times and their ratio; exits 1 when the transaction takes more than 1.2 times as long.
//
//   upgrade-bench ARCHIVE WORK_FOLDER [--rounds N]
#include "installer/InstallPreflight.h"
#include "installer/InstallRecord.h"
#include "installer/InstallSequence.h"
#include "installer/PreviousVersionRemoval.h"
#include "installer/ShellIntegration.h"
#include "platform/system/LogFile.h"
#include "platform/system/MessagePump.h"
#include "platform/system/PlatformServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

using namespace velmora;

namespace {

constexpr double KTarget = 1.2;
constexpr int KPump = 1000;

class TNoDisplay final : public IProgressDisplay {
public:
    void SetStatusText(const QString&) override {}
    void SetProgressRange(int, int) override {}
    void SetProgressPosition(int) override {}
};

// Where the transaction's time goes: up to staged, swapped, shortcuts made, the end.
std::vector<double> GPhases(4, 0.0);

bool Transactional(TPlatformServices& services, const QString& archive, const QString& folder) {
    QFile source(archive);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    TInstallState state;
    TInstallSequence sequence(services, InstallerSettings(), state, {});
    QElapsedTimer clock;
    clock.start();
    std::vector<double> marks;
    sequence.SetStageHook([&](TInstallStage stage, const QString&) {
        if (stage != TInstallStage::FileHalfWritten)
            marks.push_back(double(clock.nsecsElapsed()) / 1e9);
    });
    TNoDisplay display;
    sequence.InstallSoftware(folder, display, source);
    marks.push_back(double(clock.nsecsElapsed()) / 1e9);
    if (marks.size() == 4) {
        for (size_t i = 0; i < 4; ++i)
            GPhases[i] = marks[i] - (i == 0 ? 0.0 : marks[i - 1]);
    }
    return sequence.InstallSuccess();
}

// The steps of the earlier sequence, from the parts of it that are still here: the removal
// deletes the old folder first, the writer replaces files in place with no sync.
bool InPlace(TPlatformServices& services, const QString& archive, const QString& folder) {
    const TInstallerSettings& settings = InstallerSettings();
    TInstallState state;
    TInstallRecord record(services.Registry(), settings, state);
    TShellIntegration shell(services.Links(), services.Folders(), services.Launcher(),
                            services.RegistrationTool(), settings, state);
    state.InstallFolder = folder + u'/';
    state.ProductFolder = state.InstallFolder + settings.ProductName + u'/';
    PumpMessages(KPump);
    QFile source(archive);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const std::optional<TPayloadImage> payload = LoadPayload(source);
    if (!payload || CheckInstallTarget(*payload, state.InstallFolder, state.ProductFolder))
        return false;
    if (record.CheckIsHasLastVer()) {
        record.ReadSoftwareInstallInfoFromRegistry();
        const TPreviousInstallRecord& last = state.PreviousRecord;
        for (const QString& link : {last.ShortcutFileName, last.ProgramsStartUpFileName,
                                    last.ProgramsStartUpUnInstallFileName})
            if (!link.isEmpty())
                shell.DeleteShortCut(link);
        TPreviousVersionRemoval::CleanInstallLocation(last.InstallLocation, settings.ProductName);
        record.UnRegisterSoftwareInfoToRegistry();
    }
    PumpMessages(KPump);
    if (!WritePayload(*payload, state.InstallFolder, nullptr))
        return false;
    shell.RegisterComFiles();
    PumpMessages(KPump);
    state.IsCreateDeskTopShortCut =
        shell.CreateShortcut(state.ProductFolder + settings.ProductExe, state.ShortcutFileName,
                             settings.ProgramKey(), -1, QString());
    PumpMessages(KPump);
    state.IsCreateProgramsShortCut =
        shell.CreateLinkToProgramsStartUp(
            state.ProductFolder + settings.ProductExe, state.ProductFolder, settings.ProgramKey(),
            settings.ProgramKey(), true, state.ProgramsStartUpFileName) &&
        shell.CreateLinkToProgramsStartUp(state.ProductFolder + settings.UninstallerExe,
                                          state.ProductFolder, u"卸载"_qs + settings.ProgramKey(),
                                          settings.ProgramKey(), true,
                                          state.ProgramsStartUpUnInstallFileName);
    PumpMessages(KPump);
    record.RegisterSoftwareInfoToRegistry();
    return true;
}

void Quiesce(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
    }
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int rounds = 5;
    if (const qsizetype at = args.indexOf(u"--rounds"_qs); at >= 0 && at + 1 < args.size()) {
        rounds = std::max(1, args.at(at + 1).toInt());
        args.remove(at, 2);
    }
    if (args.size() != 2) {
        std::fputs("usage: upgrade-bench ARCHIVE WORK_FOLDER [--rounds N]\n", stderr);
        return 2;
    }
    const QString archive = args.at(0);
    const QString work = QDir(args.at(1)).absolutePath();
    FillInstallerSettings();
    QDir().mkpath(work + u"/log"_qs);
    SetLogFolders(work + u"/log"_qs, work + u"/log"_qs);
    TPlatformServices services(TSystemRoots::Below(work + u"/stage"_qs), QString());
    const QString folder = work + u"/Apps"_qs;

    // The installed version both sides start from.
    if (!Transactional(services, archive, folder)) {
        std::fputs("upgrade-bench: the first install failed (see the log)\n", stderr);
        return 1;
    }
    std::vector<double> ours, peers;
    for (int round = 0; round < rounds; ++round) {
        for (int side = 0; side < 2; ++side) {
            // Which one goes first alternates, so neither always finds the cache warmer.
            const bool transaction = (side == 0) == (round % 2 == 0);
            // Each run starts on a quiet disk: what the other left for the kernel to write
            // back later is written now, untimed, and never charged to the next run.
            Quiesce(work);
            QElapsedTimer clock;
            clock.start();
            const bool done = transaction ? Transactional(services, archive, folder)
                                          : InPlace(services, archive, folder);
            const double seconds = double(clock.nsecsElapsed()) / 1e9;
            if (!done) {
                std::fprintf(stderr, "upgrade-bench: the %s upgrade failed (see the log)\n",
                             transaction ? "transactional" : "in-place");
                return 1;
            }
            (transaction ? ours : peers).push_back(seconds);
            if (transaction)
                std::fprintf(stderr, "phases: %.3f %.3f %.3f %.3f\n", GPhases[0], GPhases[1],
                             GPhases[2], GPhases[3]);
        }
    }
    const double our = Median(ours), peer = Median(peers);
    const double ratio = our / peer;
    std::printf("upgrade of the installed product (median of %d): transaction %.3f s, "
                "in place %.3f s\n",
                rounds, our, peer);
    std::printf("ratio transaction / in place: %.2f (target <= %.2f)\n", ratio, KTarget);
    std::printf("velmora-bench upgrade.transaction %.6f %.6f\n", our, peer);
    return ratio <= KTarget ? 0 : 1;
}
