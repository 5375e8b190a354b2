// The start-up order of real VelmoraSetup processes on a virtual X display, driven by the
// mouse like a user would: the product test gates the wizard, and a second installer shows
// its dialog, then the product dialog, and ends without a wizard window.
#include "tests/installer/wizard/RealProcessSupport.h"

#include <QFileInfo>
#include <QPoint>
#include <QRegularExpression>
#include <QSize>
#include <optional>

using namespace velmora::testing;

namespace {

using TMatch = std::function<bool(const QString& title, QSize size)>;

// The wizard's window by its caption and size; the installer-running dialog by its caption
// (it fits its height to the text); the product dialog, which has no caption, by its size.
// The wizard window has no caption of its own (the window system shows the program's name);
// the licence viewer of the same size is only created at start-up, never shown.
const TMatch KMainWindow = [](const QString&, QSize size) { return size == QSize(562, 371); };
const TMatch KInstallerDialog = [](const QString& title, QSize size) {
    return title == u"安装检测"_qs && size.width() == 320;
};
const TMatch KProductDialog = [](const QString&, QSize size) { return size == QSize(506, 296); };

// A private X display for the test's lifetime.
class TVirtualDisplay {
public:
    TVirtualDisplay() {
        for (int number = 90 + ::getpid() % 200; number < 400 && FName.isEmpty(); ++number) {
            if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) ||
                QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
                continue;
            FServer.setProcessChannelMode(QProcess::MergedChannels);
            FServer.start(QStringLiteral("Xvfb"),
                          {QStringLiteral(":%1").arg(number), QStringLiteral("-screen"),
                           QStringLiteral("0"), QStringLiteral("1024x768x24"),
                           QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                           QStringLiteral("-ac")});
            if (!FServer.waitForStarted(10000))
                return;
            const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
            // A server that lost the race for the number ends on its own.
            WaitUntil([&] { return QFileInfo::exists(socket) || FServer.waitForFinished(50); },
                      10000);
            if (FServer.state() == QProcess::Running && QFileInfo::exists(socket))
                FName = QStringLiteral(":%1").arg(number);
            else
                StopServer();
        }
    }
    ~TVirtualDisplay() { StopServer(); }
    const QString& Name() const { return FName; }

private:
    // Asked to end, the server removes its socket and lock file.
    void StopServer() {
        if (FServer.state() == QProcess::NotRunning)
            return;
        FServer.terminate();
        if (!FServer.waitForFinished(10000))
            Stop(FServer);
    }

    QProcess FServer;
    QString FName;
};

class SetupStartUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(FDisplay.Name().isEmpty()) << "no virtual display could be started";
        FSetup =
            FSandbox.Install(QStringLiteral(VELMORA_SETUP_PROGRAM), QStringLiteral("VelmoraSetup"));
        FCorvex = FSandbox.Install(QStringLiteral(CORVEX_PROGRAM), QStringLiteral("Corvex.exe"));
    }
    void TearDown() override {
        for (QProcess* process : {&FSecond, &FFirst, &FProduct})
            Stop(*process);
    }

    QString Xdotool(const QStringList& AArguments) const {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), FDisplay.Name());
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral("xdotool"), AArguments);
        tool.waitForFinished(10000);
        return QString::fromUtf8(tool.readAllStandardOutput());
    }

    struct TWindow {
        QString Id;
        QString Title;
        QSize Size;
    };

    // The visible windows of AProcess, remembered for EverShowed.
    QList<TWindow> Windows(const QProcess& AProcess) const {
        QList<TWindow> windows;
        const QString ids =
            Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--pid"), QString::number(AProcess.processId())});
        static const QRegularExpression size(QStringLiteral("WIDTH=(\\d+)\\s+HEIGHT=(\\d+)"));
        for (QString id : ids.split(u'\n', Qt::SkipEmptyParts)) {
            id = id.trimmed();
            const auto match = size.match(
                Xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id}));
            if (!match.hasMatch())
                continue;
            TWindow window{id, Xdotool({QStringLiteral("getwindowname"), id}).trimmed(),
                           QSize(match.captured(1).toInt(), match.captured(2).toInt())};
            FSeen[AProcess.processId()].append(window);
            windows.append(window);
        }
        return windows;
    }

    std::optional<QString> FindWindow(const QProcess& AProcess, const TMatch& AMatch) const {
        for (const TWindow& window : Windows(AProcess))
            if (AMatch(window.Title, window.Size))
                return window.Id;
        return std::nullopt;
    }

    QString WaitForWindow(const QProcess& AProcess, const TMatch& AMatch) const {
        std::optional<QString> id;
        EXPECT_TRUE(WaitUntil([&] { return (id = FindWindow(AProcess, AMatch)).has_value(); }))
            << "the expected window did not appear";
        return id.value_or(QString());
    }

    bool EverShowed(const QProcess& AProcess, const TMatch& AMatch) const {
        for (const TWindow& window : FSeen.value(AProcess.processId()))
            if (AMatch(window.Title, window.Size))
                return true;
        return false;
    }

    void Click(const QString& AWindow, QPoint AAt) const {
        Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), AWindow,
                 QString::number(AAt.x()), QString::number(AAt.y()), QStringLiteral("click"),
                 QStringLiteral("1")});
    }

    void StartSetup(QProcess& AProcess) {
        FSandbox.Start(AProcess, FSetup, QStringLiteral("xcb"), FDisplay.Name());
    }

    TVirtualDisplay FDisplay;
    TRealProcessSandbox FSandbox;
    QString FSetup;
    QString FCorvex;
    QProcess FProduct;
    QProcess FFirst;
    QProcess FSecond;
    mutable QHash<qint64, QList<TWindow>> FSeen;
};

// Centres of the controls the user clicks, in window coordinates.
const QPoint KRetry(95 + 52, 205 + 18);
const QPoint KProductCancel(299 + 52, 206 + 18);
const QPoint KInstallerOK(5 + 226 + 33, 28 + 53 + 10);

TEST_F(SetupStartUpTest, ProductTestGatesTheWizardAndASecondInstallerStopsAfterItsDialogs) {
    // The product runs: the first installer asks, and retry does nothing until it ended.
    FSandbox.Start(FProduct, FCorvex, QStringLiteral("offscreen"));
    StartSetup(FFirst);
    const QString productDialog = WaitForWindow(FFirst, KProductDialog);
    Click(productDialog, KRetry);
    QThread::msleep(700);
    EXPECT_TRUE(FindWindow(FFirst, KProductDialog).has_value());
    EXPECT_FALSE(EverShowed(FFirst, KMainWindow));
    Stop(FProduct);
    Click(productDialog, KRetry);
    WaitForWindow(FFirst, KMainWindow);
    EXPECT_TRUE(WaitUntil([&] { return !FindWindow(FFirst, KProductDialog); }));

    // A second installer while the first runs, and the product again: the installer dialog,
    // then the product dialog (the first stop does not skip it), then the end.
    FSandbox.Start(FProduct, FCorvex, QStringLiteral("offscreen"));
    StartSetup(FSecond);
    const QString installerDialog = WaitForWindow(FSecond, KInstallerDialog);
    Click(installerDialog, KInstallerOK);
    const QString secondProductDialog = WaitForWindow(FSecond, KProductDialog);
    Click(secondProductDialog, KProductCancel);
    ASSERT_TRUE(FSecond.waitForFinished(30000));
    EXPECT_EQ(FSecond.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(FSecond.exitCode(), 0);
    EXPECT_FALSE(EverShowed(FSecond, KMainWindow));

    // Without the product, a second installer shows its dialog and ends at once after it.
    Stop(FProduct);
    StartSetup(FSecond);
    Click(WaitForWindow(FSecond, KInstallerDialog), KInstallerOK);
    ASSERT_TRUE(FSecond.waitForFinished(30000));
    EXPECT_EQ(FSecond.exitCode(), 0);
    EXPECT_FALSE(EverShowed(FSecond, KMainWindow));
    EXPECT_FALSE(EverShowed(FSecond, KProductDialog));

    // The first installer still runs its wizard.
    EXPECT_EQ(FFirst.state(), QProcess::Running);
    EXPECT_TRUE(FindWindow(FFirst, KMainWindow).has_value());
}

} // namespace
