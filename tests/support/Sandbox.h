#pragma once

#include "installer/InstallRecord.h"
#include "installer/ShellIntegration.h"
#include "platform/system/LogFile.h"
#include "platform/system/PlatformServices.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace velmora::testing {

// Records what would be started instead of starting it.
class TRecordingLauncher final : public IProcessLauncher {
public:
    QString FindProgram(const QString& name) const override {
        return ToolPresent ? QStringLiteral("/fake/bin/") + name : QString();
    }
    void StartHidden(const QString& commandLine) override {
        Started << commandLine;
        if (Fail)
            throw ELaunchError(QStringLiteral("spawn failed"));
    }
    void Open(const QString& path) override {
        Opened << path;
        if (Fail)
            throw ELaunchError(QStringLiteral("no opener"));
    }

    bool ToolPresent = true;
    bool Fail = false;
    QStringList Started;
    QStringList Opened;
};

// Every root of the system below a temporary folder, the log redirected beside it.
class SandboxTest : public ::testing::Test {
protected:
    SandboxTest()
        : FRoots(TSystemRoots::Below(FDir.path() + QStringLiteral("/root"))),
          FServices(FRoots, FDir.path() + QStringLiteral("/bin")),
          FSettings(DefaultInstallerSettings()), FTool(FLauncher),
          FRecord(FServices.Registry(), FSettings, FState),
          FShell(FServices.Links(), FServices.Folders(), FLauncher, FTool, FSettings, FState) {
        QDir().mkpath(LogFolder());
        SetLogFolders(LogFolder(), LogFolder());
    }
    ~SandboxTest() override { SetLogFolders(QString(), QString()); }

    QString LogFolder() const { return FDir.path() + QStringLiteral("/log"); }
    QString Path(const QString& relative) const { return FDir.path() + u'/' + relative; }

    // The install log's entries without their time stamps.
    QString Log() const {
        QFile file(LogFolder() + QStringLiteral("/InstallLog.log"));
        if (!file.open(QIODevice::ReadOnly))
            return QString();
        static const QRegularExpression stamp(
            QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  "),
            QRegularExpression::MultilineOption);
        return QString::fromUtf8(file.readAll()).remove(stamp);
    }

    static void WriteFile(const QString& path, const QByteArray& bytes = "x") {
        QDir().mkpath(path.left(path.lastIndexOf(u'/')));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(bytes);
    }

    static QByteArray ReadFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir FDir;
    TSystemRoots FRoots;
    TPlatformServices FServices;
    TInstallerSettings FSettings;
    TInstallState FState;
    TRecordingLauncher FLauncher;
    TRegistrationTool FTool;
    TInstallRecord FRecord;
    TShellIntegration FShell;
};

} // namespace velmora::testing
