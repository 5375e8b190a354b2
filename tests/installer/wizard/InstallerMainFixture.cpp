#include "tests/installer/wizard/InstallerMainFixture.h"

#include "platform/system/LogFile.h"
#include "skin/data/SkinMng.h"
#include "tests/support/PayloadImageBuilder.h"

#include <QBuffer>
#include <QEnterEvent>
#include <QTest>

namespace velmora {
int SkinResourceAnchor();
}

namespace velmora::testing {

void InstallerMainTest::SetUp() {
    SkinTest::SetUp();
    // Qt's own dialogs remember folders under home: it must be the test's.
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
        qputenv(name, FDir.path().toUtf8() + "/home");
    QDir().mkpath(Path(QStringLiteral("home")));
    QDir().mkpath(Path(QStringLiteral("log")));
    SetLogFolders(Path(QStringLiteral("log")), Path(QStringLiteral("log")));
    FillInstallerSettings();
    SkinResourceAnchor();
    if (!SkinMng().Loaded()) {
        SkinMng().SetIsPrepareBuildBackGndImage(false);
        ASSERT_TRUE(SkinMng().ChangeSkinRes(QStringLiteral("SKIN"), false));
    }
    FRoots = TSystemRoots::Below(Path(QStringLiteral("root")));
    FServices = std::make_unique<TPlatformServices>(FRoots, QString());
    FClock = std::make_unique<TVirtualClock>();
}

void InstallerMainTest::TearDown() {
    FWindow.reset();
    FClock.reset();
    SetLogFolders(QString(), QString());
}

TfrmInstallerMain& InstallerMainTest::Window() {
    if (!FWindow) {
        FWindow = std::make_unique<TfrmInstallerMain>(*FServices, FLauncher, FState);
        FWindow->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));
    }
    return *FWindow;
}

void InstallerMainTest::Click(const char* name) {
    QWidget* widget = Child<QWidget>(name);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void InstallerMainTest::Enter(const char* name) {
    QWidget* widget = Child<QWidget>(name);
    QEnterEvent event(QPointF(2, 2), QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(widget, &event);
}

void InstallerMainTest::Leave(const char* name) {
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(Child<QWidget>(name), &event);
}

void InstallerMainTest::Press(const char* name) {
    QWidget* widget = Child<QWidget>(name);
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void InstallerMainTest::UsePayload(const QByteArray& archive) {
    Window().PayloadSource = [archive] {
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(archive);
        buffer->open(QIODevice::ReadOnly);
        return std::unique_ptr<QIODevice>(std::move(buffer));
    };
}

QByteArray InstallerMainTest::Release() {
    test::TImageBuilder release;
    release.Add("Velmora\\Corvex.exe", "#!/bin/sh\nexit 0\n")
        .Add("Velmora\\Uninstall.exe", "#!/bin/sh\nexit 0\n")
        .Add("Velmora\\Config\\settings.ini", "[Velmora]\n")
        .Add("Velmora\\Data\\big.bin", QByteArray(300000, 'v'));
    return release.Archive();
}

QString InstallerMainTest::Log() const {
    QFile file(Path(QStringLiteral("log/InstallLog.log")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace velmora::testing
