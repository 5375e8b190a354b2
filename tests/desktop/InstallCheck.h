#pragma once

#include "tests/installer/wizard/RealProcessSupport.h"

#include <QHash>
#include <QString>

namespace velmora::testing {

// An install made through the wizard, checked from outside as the user's system sees it: the
// product folder holds the payload byte for byte, setup-cli reads the record the wizard
// wrote, the desktop and menu entries start the product, and the install log is empty. Made
// before the wizard starts: it puts stand-ins in the sandbox's bin for the opener (which notes
// the web address instead of starting a browser) and for gio (which notes the trust mark).
class TInstallCheck {
public:
    explicit TInstallCheck(const TRealProcessSandbox& ASandbox);

    // Where the tests install to: a custom path below the sandbox's home.
    const QString& InstallTo() const { return FInstallTo; }
    QString Product() const { return FInstallTo + QStringLiteral("/Velmora/Corvex.exe"); }

    // The record as setup-cli reads it with the user's environment; empty when there is none.
    QHash<QString, QString> Record() const;
    // Every install log the program may have written.
    QString InstallLogs() const;
    // What the finish page asked the opener to open, one line each.
    QString Opened() const;

    // The installed tree, the record and the shortcuts, checked with EXPECT.
    void ExpectInstalled() const;

private:
    const TRealProcessSandbox& FSandbox;
    QString FSetupCli;
    QString FInstallTo;
};

} // namespace velmora::testing
