// What the wizard window costs against what it stands beside:
//  - the first fully painted frame of TfrmInstallerMain (all five pages built, the notice
//    page shown) against a plain window with the same content in stock widgets and the same
//    pictures;
//  - installing a payload through the window's own InstallSoftware, with every system root
//    below a temporary folder, against `payload-tool extract` of the same archive, with the
//    longest stall of the event loop during the window's install (a 1 ms timer notes the
//    largest gap between its ticks).
// The payload is the benchmark release made by make-payload.py at run time (MAKE_PAYLOAD, or
// ../shared/bench/make-payload.py beside the source tree), packed by payload-tool; without
// that script the built demo payload is used. The run says which.
// Prints the ratios. Runs on the offscreen platform unless another is chosen.
#include "bench/support/SkinBench.h"
#include "installer/InstallerSettings.h"
#include "installer/wizard/FormPictures.h"
#include "installer/wizard/InstallerMain.h"
#include "platform/system/LogFile.h"
#include "platform/system/PlatformServices.h"
#include "skin/data/SkinMng.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

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

QLabel* Picture(QWidget* parent, const QString& name, const QRect& bounds) {
    auto* label = new QLabel(parent);
    label->setGeometry(bounds);
    label->setScaledContents(true);
    label->setPixmap(
        QPixmap::fromImage(FormPicture(QStringLiteral("TfrmInstallerMain"), name).Image()));
    return label;
}

// The same window from stock widgets: the five pages with the same pictures, fields,
// buttons and check boxes at the same places, the bottom bar with its links, one page shown.
void FirstFramePlainWidgets(benchmark::State& state) {
    for (auto _ : state) {
        auto form = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
        form->resize(562, 371);
        auto* title = new QLabel(QStringLiteral("Velmora V3.0 安装"), form.get());
        title->setGeometry(8, 4, 300, 20);
        auto* pages = new QStackedWidget(form.get());
        pages->setGeometry(3, 28, 556, 310);
        auto* notice = new QWidget;
        Picture(notice, QStringLiteral("imgAnnounce"), QRect(20, 10, 516, 232));
        (new QPushButton(QStringLiteral("下一步"), notice))->setGeometry(218, 254, 120, 36);
        pages->addWidget(notice);
        auto* options = new QWidget;
        Picture(options, QStringLiteral("imgOption"), QRect(20, 10, 516, 200));
        (new QPushButton(QStringLiteral("快速安装"), options))->setGeometry(194, 226, 168, 44);
        pages->addWidget(options);
        auto* path = new QWidget;
        Picture(path, QStringLiteral("imgPathInfo"), QRect(20, 10, 516, 124));
        Picture(path, QStringLiteral("imgPathFrame"), QRect(40, 152, 384, 32));
        (new QLineEdit(QStringLiteral("/opt/Norvane"), path))->setGeometry(52, 157, 362, 22);
        (new QPushButton(QStringLiteral("浏览"), path))->setGeometry(432, 152, 84, 32);
        (new QPushButton(QStringLiteral("安装"), path))->setGeometry(218, 226, 120, 36);
        pages->addWidget(path);
        auto* installing = new QWidget;
        Picture(installing, QStringLiteral("imgInstalling"), QRect(20, 10, 516, 180));
        (new QLabel(QStringLiteral("正在卸载已安装版本..."), installing))
            ->setGeometry(40, 206, 476, 20);
        auto* bar = new QProgressBar(installing);
        bar->setGeometry(40, 234, 476, 14);
        bar->setTextVisible(false);
        pages->addWidget(installing);
        auto* finished = new QWidget;
        Picture(finished, QStringLiteral("imgFinished"), QRect(20, 10, 516, 150));
        (new QLabel(QStringLiteral("安装完成"), finished))->setGeometry(44, 168, 472, 30);
        (new QCheckBox(QStringLiteral("立即运行"), finished))->setGeometry(44, 214, 200, 20);
        (new QCheckBox(QStringLiteral("访问Velmo网站"), finished))->setGeometry(44, 242, 200, 20);
        (new QPushButton(QStringLiteral("完成"), finished))->setGeometry(396, 230, 120, 36);
        pages->addWidget(finished);
        pages->setCurrentIndex(0);
        Picture(form.get(), QStringLiteral("imgBar"), QRect(3, 338, 556, 30));
        form->show();
        const QPixmap frame = form->grab();
        benchmark::DoNotOptimize(frame.cacheKey());
    }
}

// Largest gap between ticks of a 1 ms timer, over the whole run.
double GLongestGapMs = 0;

void InstallThroughWindow(benchmark::State& state) {
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
    std::printf("first frame: wizard window / plain window with stock widgets = %.2f\n",
                reporter.Ratio("FirstFrameWizard", "FirstFramePlainWidgets"));
    std::printf(
        "install: wizard's InstallSoftware / payload-tool extract = %.2f (target <= 1.10)\n",
        reporter.RealRatio("InstallThroughWindow/iterations:5/real_time",
                           "PayloadToolExtract/iterations:5/real_time"));
    std::printf("longest event-loop gap during the wizard's install = %.1f ms (target <= 100)\n",
                GLongestGapMs);
    benchmark::Shutdown();
    return 0;
}
