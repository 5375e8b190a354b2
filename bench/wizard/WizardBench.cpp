// What the wizard window costs against what it stands beside:
//  - the first fully painted frame of TfrmInstallerMain (all five pages built, the notice
//    page shown) against a plain window with the same content in stock widgets and the same
//    pictures;
//  - installing a payload through the window's own InstallSoftware, with every system root
//    below a temporary folder, against `payload-tool extract` of the same archive followed by
//    a sync of its file system (the install makes its files durable too), with the
//    longest stall of the event loop during the window's install (a 1 ms timer notes the
//    largest gap between its ticks).
// The payload is the benchmark release made by make-payload.py at run time (MAKE_PAYLOAD, or
// ../shared/bench/make-payload.py beside the source tree), packed by payload-tool; without
// that script the built demo payload is used. The run says which.
// Prints the ratios. Runs on the offscreen platform unless another is chosen.
#include "bench/support/SkinBench.h"
#include "bench/support/StockWizardWindow.h"
#include "installer/InstallerSettings.h"
#include "installer/wizard/FormPictures.h"
#include "installer/wizard/InstallerMain.h"
#include "platform/system/ImageHeap.h"
#include "platform/system/LogFile.h"
#include "platform/system/PlatformServices.h"
#include "skin/data/SkinMng.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

using namespace velmora;

// The window starts nothing: a benchmark must never open the product or a browser.
class TNoLauncher final : public IProcessLauncher {
public:
    QString FindProgram(const QString&) const override { return QString(); }
    void StartHidden(const QString&) override {}
    void Open(const QString&) override {}
};

QTemporaryDir* GWork = nullptr;
QString GPayload;

QString Work(const QString& relative) {
    return GWork->path() + u'/' + relative;
}

void FirstFrameWizard(benchmark::State& state) {
    int round = 0;
    for (auto _ : state) {
        TPlatformServices services(
            TSystemRoots::Below(Work(QStringLiteral("frame/%1").arg(round++))), QString());
        TNoLauncher launcher;
        TInstallState installState;
        TfrmInstallerMain window(services, launcher, installState);
        window.show();
        const QPixmap frame = window.grab();
        benchmark::DoNotOptimize(frame.cacheKey());
    }
}

// The same window from stock widgets, with the same pictures decoded the same way.
void FirstFramePlainWidgets(benchmark::State& state) {
    for (auto _ : state) {
        auto form = MakeStockWizardWindow([](const QString& name) {
            return FormPicture(QStringLiteral("TfrmInstallerMain"), name).Image();
        });
        form->show();
        const QPixmap frame = form->grab();
        benchmark::DoNotOptimize(frame.cacheKey());
    }
}

// Largest gap between ticks of a 1 ms timer, over the whole run.
double GLongestGapMs = 0;

void InstallThroughWindow(benchmark::State& state) {
    SettleImageHeap();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString stage = Work(QStringLiteral("window/%1").arg(round++));
        TPlatformServices services(TSystemRoots::Below(stage + QStringLiteral("/root")), QString());
        TNoLauncher launcher;
        TInstallState installState;
        TfrmInstallerMain window(services, launcher, installState);
        window.OnShowInstallError = [](const QString& text, const QString&) {
            std::fprintf(stderr, "install error: %s\n", qPrintable(text));
        };
        window.PayloadSource = [] {
            auto file = std::make_unique<QFile>(GPayload);
            file->open(QIODevice::ReadOnly);
            return std::unique_ptr<QIODevice>(std::move(file));
        };
        window.findChild<QLineEdit*>(QStringLiteral("edtInstallPath"))
            ->setText(stage + QStringLiteral("/custom"));
        window.show();
        QApplication::processEvents();
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        ticker.start();
        clock.start();
        state.ResumeTiming();

        window.InstallSoftware();

        state.PauseTiming();
        longest = std::max(longest, clock.nsecsElapsed() - last);
        ticker.stop();
        GLongestGapMs = std::max(GLongestGapMs, longest / 1e6);
        if (!window.InstallSuccess())
            state.SkipWithError("the install failed");
        QDir(stage).removeRecursively();
        state.ResumeTiming();
    }
    state.counters["longest_gap_ms"] = GLongestGapMs;
}

QString GPayloadTool;

void PayloadToolExtract(benchmark::State& state) {
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString target = Work(QStringLiteral("tool/%1/custom/").arg(round++));
        QProcess tool;
        tool.setStandardOutputFile(QProcess::nullDevice());
        state.ResumeTiming();
        tool.start(GPayloadTool, {QStringLiteral("extract"), GPayload, target});
        tool.waitForFinished(-1);
        // The install makes every file durable before it publishes it; the peer writes the
        // same tree and waits for it to be on the disk too, so the ratio is what the window's
        // install adds, not what durability costs (bench/upgrade measures that).
        if (const int fd = ::open(QFile::encodeName(target).constData(), O_RDONLY | O_DIRECTORY);
            fd >= 0) {
            ::syncfs(fd);
            ::close(fd);
        }
        state.PauseTiming();
        if (tool.exitCode() != 0)
            state.SkipWithError("payload-tool extract failed");
        QDir(target).removeRecursively();
        state.ResumeTiming();
    }
}

// The benchmark release, generated and packed here, or the demo payload; the text says which.
QString PreparePayload(QString& description) {
    QString script = qEnvironmentVariable("MAKE_PAYLOAD");
    if (script.isEmpty())
        script = QStringLiteral(VELMORA_SOURCE_DIR "/../shared/bench/make-payload.py");
    if (QFileInfo::exists(script)) {
        const QString tree = Work(QStringLiteral("release"));
        const QString archive = Work(QStringLiteral("payload.bin"));
        if (QProcess::execute(QStringLiteral("python3"), {script, tree}) == 0 &&
            QProcess::execute(GPayloadTool, {QStringLiteral("build"), tree, QStringLiteral("-o"),
                                             archive}) == 0) {
            QDir(tree).removeRecursively();
            description = QStringLiteral("the benchmark release made by %1").arg(script);
            return archive;
        }
    }
    description = QStringLiteral("the built demo payload (no make-payload.py found)");
    return QStringLiteral(VELMORA_DEMO_PAYLOAD);
}

} // namespace

BENCHMARK(FirstFrameWizard)->Unit(benchmark::kMillisecond);
BENCHMARK(FirstFramePlainWidgets)->Unit(benchmark::kMillisecond);
BENCHMARK(InstallThroughWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(PayloadToolExtract)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

int main(int argc, char** argv) {
    // As the wizard does first thing; both sides of each figure run on the same heap.
    PrepareImageHeap();
    UseOffscreenUnlessChosen();
    QApplication application(argc, argv);
    QTemporaryDir work;
    GWork = &work;
    // The install log goes with everything else into the temporary folder.
    SetLogFolders(work.path(), work.path());
    FillInstallerSettings();
    if (!LoadDefaultSkin())
        return 1;
    GPayloadTool = QStringLiteral(VELMORA_PAYLOAD_TOOL);
    QString description;
    GPayload = PreparePayload(description);
    std::printf("payload: %s, %lld bytes\n", qPrintable(description),
                static_cast<long long>(QFileInfo(GPayload).size()));

    TRatioReporter reporter;
    RunBenchmarks(argc, argv, reporter);
    const std::string install = "InstallThroughWindow/iterations:5/real_time";
    const std::string extract = "PayloadToolExtract/iterations:5/real_time";
    std::printf(
        "first frame: wizard window / plain window with stock widgets = %s (target <= 4.00)\n",
        Shown(reporter.Ratio("FirstFrameWizard", "FirstFramePlainWidgets")).c_str());
    std::printf("install: wizard's InstallSoftware / payload-tool extract + sync = %s (target "
                "<= 1.10)\n",
                Shown(reporter.RealRatio(install, extract)).c_str());
    const std::optional<double> gap =
        reporter.RealTime(install) ? std::optional<double>(GLongestGapMs) : std::nullopt;
    std::printf("longest event-loop gap during the wizard's install = %s ms (target <= 100)\n",
                Shown(gap, 1).c_str());
    ReportFigure("wizard.first_frame", reporter.Time("FirstFrameWizard"),
                 reporter.Time("FirstFramePlainWidgets"));
    ReportFigure("wizard.install", reporter.RealTime(install), reporter.RealTime(extract));
    ReportAbsolute("wizard.longest_gap_ms", gap);
    benchmark::Shutdown();
    const auto frame = reporter.Ratio("FirstFrameWizard", "FirstFramePlainWidgets");
    const auto sequence = reporter.RealRatio(install, extract);
    const bool met = frame && *frame <= 4 && sequence && *sequence <= 1.1 && gap && *gap <= 100;
    return met && GMissingSides == 0 ? 0 : 1;
}
