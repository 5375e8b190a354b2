#include "tests/desktop/InstallCheck.h"

#include "installer/InstallerSettings.h"
#include "installer/PayloadArchive.h"

namespace velmora::testing {

TInstallCheck::TInstallCheck(const TRealProcessSandbox& ASandbox)
    : FSandbox(ASandbox), FInstallTo(ASandbox.Path(QStringLiteral("home/Apps/Tools"))) {
    FillInstallerSettings();
    FSetupCli = FSandbox.Install(QStringLiteral(SETUP_CLI_PROGRAM), QStringLiteral("setup-cli"));
    // The web address must reach no browser, and the shortcut's trust mark needs a desktop
    // metadata store (gvfs), which these machines lack (gio then refuses every attribute):
    // stand-ins note what they were given, each in a file of its name in the home.
    for (const char* tool : {"xdg-open", "gio"}) {
        QFile standIn(FSandbox.Path(QStringLiteral("bin/") + QLatin1String(tool)));
        EXPECT_TRUE(standIn.open(QIODevice::WriteOnly));
        standIn.write(QByteArray("#!/bin/sh\nprintf '%s\\n' \"$*\" >> \"$HOME/") + tool +
                      ".txt\"\n");
        standIn.close();
        standIn.setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                               QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    }
}

QHash<QString, QString> TInstallCheck::Record() const {
    QProcess cli;
    FSandbox.Start(cli, FSetupCli, QStringLiteral("offscreen"), QString(),
                   {QStringLiteral("status")});
    cli.waitForFinished(30000);
    QHash<QString, QString> values;
    if (cli.exitCode() != 0)
        return values;
    for (const QString& line : QString::fromUtf8(cli.readAllStandardOutput()).split(u'\n'))
        if (const qsizetype at = line.indexOf(u'='); at > 0)
            values.insert(line.left(at), line.mid(at + 1));
    return values;
}

QString TInstallCheck::InstallLogs() const {
    QString text;
    for (const QString& log : {FSandbox.Path(QStringLiteral("bin/InstallLog.log")),
                               FSandbox.Path(QStringLiteral("state/Velmora/InstallLog.log"))}) {
        QFile file(log);
        if (file.open(QIODevice::ReadOnly))
            text += QString::fromUtf8(file.readAll());
    }
    return text;
}

QString TInstallCheck::Opened() const {
    QFile file(FSandbox.Path(QStringLiteral("home/xdg-open.txt")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void TInstallCheck::ExpectInstalled() const {
    QFile archive(QStringLiteral(PAYLOAD_ARCHIVE));
    ASSERT_TRUE(archive.open(QIODevice::ReadOnly));
    const std::optional<TPayloadImage> payload = LoadPayload(archive);
    ASSERT_TRUE(payload.has_value());
    ASSERT_FALSE(payload->Entries.empty());
    for (const TPayloadEntry& entry : payload->Entries) {
        QFile file(FInstallTo + u'/' + entry.Components.join(u'/'));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        EXPECT_EQ(file.readAll(), payload->Image.mid(entry.DataOffset, entry.DataSize))
            << file.fileName().toStdString();
    }
    EXPECT_TRUE(QFileInfo(Product()).isExecutable());
    EXPECT_FALSE(QFileInfo::exists(FSandbox.Path(QStringLiteral("home/.local/opt/Norvane"))))
        << "the default path was used instead of the one given";

    const QHash<QString, QString> record = Record();
    const auto value = [&record](const char* AName) {
        return record.value(QString::fromLatin1(AName)).toStdString();
    };
    EXPECT_EQ(value("InstallLocation"), (FInstallTo + u'/').toStdString());
    EXPECT_EQ(value("DisplayName"), InstallerSettings().DisplayName.toStdString());
    EXPECT_EQ(value("IsCreateDeskTopShortCut"), "1");
    EXPECT_EQ(value("IsCreateProgramsShortCut"), "1");
    const QString desktopEntry = record.value(QStringLiteral("ShortcutFileName"));
    const QString menuEntry = record.value(QStringLiteral("ProgramsStartUpFileName"));
    const QString uninstallEntry = record.value(QStringLiteral("ProgramsStartUpUnInstallFileName"));
    EXPECT_TRUE(desktopEntry.startsWith(FSandbox.Path(QStringLiteral("home/Desktop/"))))
        << desktopEntry.toStdString();
    EXPECT_TRUE(menuEntry.startsWith(FSandbox.Path(QStringLiteral("data/applications/"))))
        << menuEntry.toStdString();
    EXPECT_TRUE(uninstallEntry.startsWith(FSandbox.Path(QStringLiteral("data/applications/"))))
        << uninstallEntry.toStdString();
    QFile gio(FSandbox.Path(QStringLiteral("home/gio.txt")));
    EXPECT_TRUE(gio.open(QIODevice::ReadOnly) &&
                QString::fromUtf8(gio.readAll())
                    .contains(QStringLiteral("set ") + desktopEntry +
                              QStringLiteral(" metadata::trusted true")))
        << "the desktop's shortcut was not marked trusted";
    for (const QString& entry : {desktopEntry, menuEntry}) {
        QFile file(entry);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << entry.toStdString();
        EXPECT_TRUE(QString::fromUtf8(file.readAll()).contains(Product())) << entry.toStdString();
    }
    EXPECT_EQ(InstallLogs().toStdString(), "");
}

} // namespace velmora::testing
