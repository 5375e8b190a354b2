#include "platform/system/LogFile.h"

#include "installer/InstallLog.h"
#include "installer/InstallerSettings.h"
#include "tests/support/TestSupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::test::ReadFile;
using velmora::test::WriteFile;

namespace {

class LogFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FDir.isValid());
        FPrimary = FDir.filePath(QStringLiteral("exe"));
        FFallback = FDir.filePath(QStringLiteral("state"));
        QDir().mkpath(FPrimary);
        SetLogFolders(FPrimary, FFallback);
    }
    void TearDown() override { SetLogFolders({}, {}); }

    QTemporaryDir FDir;
    QString FPrimary;
    QString FFallback;
};

TEST_F(LogFileTest, EachCallAppendsOneStampedCrLfEntryAndCreatesAMissingFile) {
    FillInstallerSettings();
    const QString path = FPrimary + QStringLiteral("/InstallLog.log");
    ASSERT_FALSE(QFile::exists(path));

    WriteInstallLog(QStringLiteral("first"));
    WriteInstallLog(u"CheckIsHasLastVer:检查是否已经安装了软件\r\n拒绝访问"_qs);

    const QString text = QString::fromUtf8(ReadFile(path));
    const QRegularExpression entry(QStringLiteral(
        "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  first\\r\\n"
        "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  CheckIsHasLastVer:检查是否已经安装了软件\\r\\n"
        "拒绝访问\\r\\n$"));
    EXPECT_TRUE(entry.match(text).hasMatch()) << text.toStdString();
    EXPECT_EQ(LastLogFilePath(QStringLiteral("InstallLog.log")), path);
}

TEST_F(LogFileTest, EmptyFileNameWritesNoFile) {
    WriteLogFile(QStringLiteral("only to the debugger"), QString());
    EXPECT_TRUE(QDir(FPrimary).isEmpty());
}

TEST_F(LogFileTest, UnwritableFolderFallsBackThenDegradesWithoutFailing) {
    // A regular file where the folder should be: no process, root or not, can write there.
    const QString blocked = FDir.filePath(QStringLiteral("not-a-folder"));
    WriteFile(blocked, "x");
    SetLogFolders(blocked, FFallback);

    WriteLogFile(QStringLiteral("kept"), QStringLiteral("SkinEngine.log"));
    const QString fallbackFile = FFallback + QStringLiteral("/SkinEngine.log");
    EXPECT_TRUE(ReadFile(fallbackFile).endsWith("  kept\r\n"));
    EXPECT_EQ(LastLogFilePath(QStringLiteral("SkinEngine.log")), fallbackFile);

    // Nowhere to write at all: the call still returns normally and reports no file.
    SetLogFolders(blocked, blocked + QStringLiteral("/below"));
    WriteLogFile(QStringLiteral("lost to stderr only"), QStringLiteral("SkinEngine.log"));
    EXPECT_TRUE(LastLogFilePath(QStringLiteral("SkinEngine.log")).isEmpty());
}

TEST_F(LogFileTest, ALinkAtTheLogPathIsNotFollowed) {
    const QString outside = FDir.filePath(QStringLiteral("outside.txt"));
    WriteFile(outside, "precious");
    ASSERT_TRUE(QFile::link(outside, FPrimary + QStringLiteral("/InstallLog.log")));

    WriteLogFile(QStringLiteral("entry"), QStringLiteral("InstallLog.log"));
    EXPECT_EQ(ReadFile(outside), "precious");
    EXPECT_TRUE(ReadFile(FFallback + QStringLiteral("/InstallLog.log")).endsWith("  entry\r\n"));
}

TEST_F(LogFileTest, ObserverSeesEveryMessageWithItsFile) {
    QStringList seen;
    SetLogObserver(
        [&](const QString& message, const QString& file) { seen << file + u'|' + message; });
    WriteLogFile(QStringLiteral("a"), QStringLiteral("One.log"));
    WriteLogFile(QStringLiteral("b"), QString());
    SetLogObserver({});
    WriteLogFile(QStringLiteral("c"), QStringLiteral("One.log"));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("One.log|a"), QStringLiteral("|b")}));
}

} // namespace
