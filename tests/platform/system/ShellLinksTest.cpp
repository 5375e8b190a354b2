#include "platform/system/ShellLinks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace velmora;

namespace {

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(ShellLinksTest, SavesAnExecutableDesktopEntry) {
    QTemporaryDir dir;
    TDesktopEntryLinks links;
    const QString path = dir.path() + QStringLiteral("/Velmora3.0.desktop");
    ASSERT_TRUE(links.Save({QStringLiteral("/opt/Norvane/Velmora/Corvex.exe"),
                            QStringLiteral("/opt/Norvane/Velmora/")},
                           path));
    EXPECT_EQ(Read(path), QByteArray("[Desktop Entry]\nType=Application\nName=Velmora3.0\n"
                                     "Exec=\"/opt/Norvane/Velmora/Corvex.exe\"\n"
                                     "Path=/opt/Norvane/Velmora/\n"));
    EXPECT_TRUE(QFile::permissions(path) & QFile::ExeOwner);
    EXPECT_TRUE(QFile::permissions(path) & QFile::ExeOther);
    EXPECT_EQ(links.Extension(), QStringLiteral(".desktop"));
}

TEST(ShellLinksTest, ExecStaysOneArgumentWhateverThePathHolds) {
    const QByteArray text = TDesktopEntryLinks::EntryText(
        {QStringLiteral("/a b/\"q\"$x`y`\\z%1"), QStringLiteral("/w\\d\n")},
        QStringLiteral("/m/卸载Velmora3.0.desktop"));
    EXPECT_TRUE(text.contains("Name=卸载Velmora3.0\n"));
    // Quote level escapes ", `, $ and \ and doubles %; string level then doubles every \.
    EXPECT_TRUE(text.contains("Exec=\"/a b/\\\\\"q\\\\\"\\\\$x\\\\`y\\\\`\\\\\\\\z%%1\"\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Path=/w\\\\d\\n\n")) << text.toStdString();
}

TEST(ShellLinksTest, NameKeepsAnyOtherExtension) {
    const QByteArray text = TDesktopEntryLinks::EntryText({QStringLiteral("/t"), QString()},
                                                          QStringLiteral("/m/A.LNK"));
    EXPECT_TRUE(text.contains("Name=A.LNK\n"));
}

TEST(ShellLinksTest, SavingIntoAMissingFolderFailsAndCreatesNothing) {
    QTemporaryDir dir;
    TDesktopEntryLinks links;
    const QString path = dir.path() + QStringLiteral("/missing/x.desktop");
    EXPECT_FALSE(links.Save({QStringLiteral("/t"), QStringLiteral("/")}, path));
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/missing")));
}

TEST(ShellLinksTest, ALinkAtTheShortcutPathIsReplacedNeverFollowed) {
    QTemporaryDir dir;
    const QString outside = dir.path() + QStringLiteral("/outside.conf");
    QFile file(outside);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("precious");
    file.close();
    ASSERT_TRUE(QFile::setPermissions(outside, QFile::ReadOwner | QFile::WriteOwner));
    const QString path = dir.path() + QStringLiteral("/Velmora3.0.desktop");
    ASSERT_TRUE(QFile::link(outside, path));

    const mode_t saved = ::umask(077);
    const bool ok = TDesktopEntryLinks().Save({QStringLiteral("/t"), QStringLiteral("/")}, path);
    ::umask(saved);
    ASSERT_TRUE(ok);
    EXPECT_EQ(Read(outside), QByteArray("precious"));
    EXPECT_EQ(QFile::permissions(outside),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_TRUE(Read(path).startsWith("[Desktop Entry]\n"));
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0755u);
    EXPECT_EQ(QDir(dir.path())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{QStringLiteral("Velmora3.0.desktop"), QStringLiteral("outside.conf")}))
        << "no temporary file stays behind";
}
