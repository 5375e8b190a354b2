#pragma once

#include "installer/wizard/InstallerMain.h"
#include "platform/system/PlatformServices.h"
#include "tests/support/Sandbox.h"
#include "tests/support/SkinTestSupport.h"
#include "tests/support/VirtualClock.h"

#include <QTemporaryDir>
#include <memory>

namespace velmora::testing {

// The main window in the embedded skin, with every system root, the log, home and the XDG
// folders below a temporary folder, the payload built in the test and launches recorded.
class InstallerMainTest : public SkinTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes and shows the window (the clock is virtual, so it stays transparent until the
    // test advances it).
    TfrmInstallerMain& Window();
    template <typename T> T* Child(const char* name) {
        T* child = Window().findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    void Click(const char* name);
    void Enter(const char* name);
    void Leave(const char* name);
    void Press(const char* name);

    // The payload the window installs: a small release, or bytes that do not inflate.
    void UsePayload(const QByteArray& archive);
    static QByteArray Release();

    QString Path(const QString& relative) const { return FDir.path() + u'/' + relative; }
    QString Log() const;

    QTemporaryDir FDir;
    TSystemRoots FRoots;
    std::unique_ptr<TPlatformServices> FServices;
    TRecordingLauncher FLauncher;
    TInstallState FState;
    std::unique_ptr<TVirtualClock> FClock;
    std::unique_ptr<TfrmInstallerMain> FWindow;
};

} // namespace velmora::testing
