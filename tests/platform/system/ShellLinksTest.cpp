#include "platform/system/ShellLinks.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;

namespace {

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes, QFile::Permissions permissions = {}) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
    file.close();
    if (permissions)
        QFile::setPermissions(path, permissions);
}

TShellLink Link(const QString& target, const QString& folder) {
    return TShellLink{target, folder, QString(), QString(), QString()};
}

struct stat Stat(const QString& path) {
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

} // namespace

TEST(ShellLinksTest, SavesAnExecutableDesktopEntry) {
    QTemporaryDir dir;
    TDesktopEntryLinks links;
    const QString path = dir.path() + QStringLiteral("/Velmora3.0.desktop");
    const TShellLink link{QStringLiteral("/opt/Norvane/Velmora/Corvex.exe"),
                          QStringLiteral("/opt/Norvane/Velmora/"),
                          QStringLiteral("/opt/Norvane/Velmora/Corvex.png"),
                          u"启动 Velmora V3.0"_qs, QStringLiteral("Utility;")};
    ASSERT_TRUE(links.Save(link, path));
    EXPECT_EQ(QString::fromUtf8(Read(path)), u"[Desktop Entry]\nType=Application\nName=Velmora3.0\n"
                                             "Comment=启动 Velmora V3.0\n"
                                             "Exec=\"/opt/Norvane/Velmora/Corvex.exe\"\n"
                                             "Path=/opt/Norvane/Velmora/\n"
                                             "Icon=/opt/Norvane/Velmora/Corvex.png\n"
                                             "Terminal=false\n"
                                             "Categories=Utility;\n"
                                             "StartupWMClass=Corvex.exe\n"_qs);
    EXPECT_TRUE(QFile::permissions(path) & QFile::ExeOwner);
    EXPECT_TRUE(QFile::permissions(path) & QFile::ExeOther);
    EXPECT_EQ(links.Extension(), QStringLiteral(".desktop"));
}

// What a desktop reads must be what the freedesktop rules allow, whatever the paths hold.
TEST(ShellLinksTest, EntriesValidate) {
    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed (package desktop-file-utils)";
    QTemporaryDir dir;
    struct TCase {
        QString File;
        TShellLink Link;
    };
    const TCase cases[] = {
        {QStringLiteral("Velmora3.0.desktop"),
         {QStringLiteral("/opt/Norvane/Velmora/Corvex.exe"),
          QStringLiteral("/opt/Norvane/Velmora/"),
          QStringLiteral("/opt/Norvane/Velmora/Corvex.png"), u"启动 Velmora V3.0"_qs,
          QStringLiteral("Utility;")}},
        {u"卸载Velmora3.0.desktop"_qs,
         {QStringLiteral("/opt/Norvane/Velmora/Uninstall.exe"),
          QStringLiteral("/opt/Norvane/Velmora/"), QString(), u"卸载 Velmora V3.0"_qs,
          QStringLiteral("Utility;")}},
        {QStringLiteral("odd.desktop"),
         Link(QStringLiteral("/a b/\"q\"$x`y`\\z%1;c/软件.exe"), QStringLiteral("/w\\d\n"))},
    };
    for (const TCase& c : cases) {
        const QString path = dir.path() + u'/' + c.File;
        ASSERT_TRUE(TDesktopEntryLinks().Save(c.Link, path));
        QProcess validate;
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start(validator, {path});
        ASSERT_TRUE(validate.waitForFinished(30000));
        EXPECT_EQ(validate.exitCode(), 0) << c.File.toStdString();
        EXPECT_EQ(validate.readAll(), QByteArray()) << Read(path).toStdString();
    }
}

TEST(ShellLinksTest, ExecStaysOneArgumentWhateverThePathHolds) {
    const QByteArray text = TDesktopEntryLinks::EntryText(
        Link(QStringLiteral("/a b/\"q\"$x`y`\\z%1"), QStringLiteral("/w\\d\n")),
        QStringLiteral("/m/卸载Velmora3.0.desktop"));
    EXPECT_TRUE(text.contains("Name=卸载Velmora3.0\n"));
    // Quote level escapes ", `, $ and \ and doubles %; string level then doubles every \.
    EXPECT_TRUE(text.contains("Exec=\"/a b/\\\\\"q\\\\\"\\\\$x\\\\`y\\\\`\\\\\\\\z%%1\"\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Path=/w\\\\d\\n\n")) << text.toStdString();
    EXPECT_FALSE(text.contains("Icon=") || text.contains("Comment=") ||
                 text.contains("Categories="))
        << "keys without a value are left out";
}

TEST(ShellLinksTest, NameKeepsAnyOtherExtension) {
    const QByteArray text =
        TDesktopEntryLinks::EntryText(Link(QStringLiteral("/t"), QString()), u"/m/A.LNK"_qs);
    EXPECT_TRUE(text.contains("Name=A.LNK\n"));
}

TEST(ShellLinksTest, SavingIntoAMissingFolderFailsAndCreatesNothing) {
    QTemporaryDir dir;
    TDesktopEntryLinks links;
    const QString path = dir.path() + QStringLiteral("/missing/x.desktop");
    EXPECT_FALSE(links.Save(Link(QStringLiteral("/t"), QStringLiteral("/")), path));
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/missing")));
}

TEST(ShellLinksTest, ALinkAtTheShortcutPathIsReplacedNeverFollowed) {
    QTemporaryDir dir;
    const QString outside = dir.path() + QStringLiteral("/outside.conf");
    Write(outside, "precious", QFile::ReadOwner | QFile::WriteOwner);
    const QString path = dir.path() + QStringLiteral("/Velmora3.0.desktop");
    ASSERT_TRUE(QFile::link(outside, path));

    const mode_t saved = ::umask(077);
    const bool ok = TDesktopEntryLinks().Save(Link(QStringLiteral("/t"), u"/"_qs), path);
    ::umask(saved);
    ASSERT_TRUE(ok);
    EXPECT_EQ(Read(outside), QByteArray("precious"));
    EXPECT_EQ(QFile::permissions(outside),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_TRUE(Read(path).startsWith("[Desktop Entry]\n"));
    EXPECT_EQ(Stat(path).st_mode & 07777, 0755u);
    EXPECT_EQ(QDir(dir.path())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{QStringLiteral("Velmora3.0.desktop"), QStringLiteral("outside.conf")}))
        << "no temporary file stays behind";
    EXPECT_EQ(TDesktopEntryLinks().Remove(path), 0);
    EXPECT_EQ(TDesktopEntryLinks().Remove(path), 0) << "a missing file is no error";
}

// Root writing to a desktop user's desktop: the shortcut and a desktop folder it had to make
// are that user's, and a link the user planted in the way is never followed.
class OnBehalfTest : public ::testing::Test {
protected:
    static constexpr uid_t KUser = 65534;

    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "needs root to write on another user's behalf";
        ::chmod(QFile::encodeName(FDir.path()).constData(), 0755);
        FOwner = TDesktopUser{KUser, KUser, u"nobody"_qs, FDir.path() + u"/home"_qs, u"/bin/sh"_qs};
        ASSERT_TRUE(QDir().mkpath(FOwner.Home + u"/.config"_qs));
        ASSERT_EQ(::chown(QFile::encodeName(FOwner.Home).constData(), KUser, KUser), 0);
        FDesktop = FOwner.Home + u"/桌面"_qs;
    }

    TDesktopEntryLinks Links(const QString& tools = QString()) const {
        return TDesktopEntryLinks(FDesktop, FOwner, tools, FDir.path() + u"/run-user"_qs);
    }

    QTemporaryDir FDir;
    TDesktopUser FOwner;
    QString FDesktop;
};

TEST_F(OnBehalfTest, ShortcutAndNewDesktopFolderBelongToTheUser) {
    const QString path = FDesktop + u"/Velmora3.0.desktop"_qs;
    ASSERT_TRUE(Links().Save(Link(u"/opt/x/Corvex.exe"_qs, u"/opt/x/"_qs), path));
    EXPECT_EQ(Stat(FDesktop).st_uid, KUser);
    EXPECT_EQ(Stat(path).st_uid, KUser);
    EXPECT_EQ(Stat(path).st_gid, KUser);
    EXPECT_EQ(Stat(path).st_mode & 07777, 0755u);
    EXPECT_EQ(Links().Remove(path), 0);
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(OnBehalfTest, ALinkedDesktopFolderIsNeitherWrittenNorCleanedThrough) {
    const QString outside = FDir.path() + u"/etc-like"_qs;
    ASSERT_TRUE(QDir().mkpath(outside));
    ASSERT_TRUE(QFile::link(outside, FDesktop));
    const QString victim = outside + u"/Velmora3.0.desktop"_qs;
    EXPECT_FALSE(Links().Save(Link(u"/t"_qs, u"/"_qs), FDesktop + u"/Velmora3.0.desktop"_qs));
    EXPECT_TRUE(QDir(outside).isEmpty());

    Write(victim, "root's own");
    EXPECT_NE(Links().Remove(FDesktop + u"/Velmora3.0.desktop"_qs), 0);
    EXPECT_EQ(Read(victim), QByteArray("root's own"));
}

// The desktop's helpers are told as the user whose desktop it is, once that user has a
// session bus; a menu refresh names the menu folder. Stand-ins on the search path write
// down who ran them with what.
TEST_F(OnBehalfTest, TrustIsGivenAndTakenBackAsTheUser) {
    const QString bin = FDir.path() + u"/bin"_qs;
    const QString record = FDir.path() + u"/record"_qs;
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QDir().mkpath(record));
    ::chmod(QFile::encodeName(record).constData(), 01777);
    const QFile::Permissions runnable = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                        QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup;
    for (const QString& tool : {u"gio"_qs, u"update-desktop-database"_qs})
        Write(bin + u'/' + tool,
              "#!/bin/sh\necho \"$(id -u) $HOME ${DBUS_SESSION_BUS_ADDRESS:-none} $0 $*\" >> " +
                  QFile::encodeName(record) + "/calls\n",
              runnable);

    const QString path = FDesktop + u"/Velmora3.0.desktop"_qs;
    TDesktopEntryLinks links = Links(bin);
    ASSERT_TRUE(links.Save(Link(u"/opt/x/Corvex.exe"_qs, u"/opt/x/"_qs), path));
    EXPECT_EQ(links.Trust(path), QString());
    EXPECT_FALSE(QFileInfo::exists(record + u"/calls"_qs)) << "no session, nobody to tell";
    const QString session = FDir.path() + u"/run-user/65534"_qs;
    ASSERT_TRUE(QDir().mkpath(session));
    Write(session + u"/bus"_qs, "");
    EXPECT_EQ(links.Trust(path), QString());
    const QString sum = QString::fromLatin1(
        QCryptographicHash::hash(Read(path), QCryptographicHash::Sha256).toHex());
    const QString menu = FDir.path() + u"/menu"_qs;
    EXPECT_EQ(links.Trust(menu + u"/Velmora3.0.desktop"_qs), QString()) << "not on the desktop";
    EXPECT_EQ(links.RefreshMenu(menu), QString());
    EXPECT_EQ(links.Remove(path), 0);

    const QString user =
        QStringLiteral("65534 %1 unix:path=%2/bus %3").arg(FOwner.Home, session, bin);
    EXPECT_EQ(
        QString::fromUtf8(Read(record + u"/calls"_qs)).split(u'\n', Qt::SkipEmptyParts),
        QStringList(
            {user + u"/gio set "_qs + path + u" metadata::trusted true"_qs,
             user + u"/gio set -t string "_qs + path + u" metadata::xfce-exe-checksum "_qs + sum,
             QStringLiteral("0 %1 %2 %3/update-desktop-database -q %4")
                 .arg(qEnvironmentVariable("HOME"),
                      qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS", u"none"_qs), bin, menu),
             user + u"/gio set -t unset "_qs + path + u" metadata::trusted"_qs,
             user + u"/gio set -t unset "_qs + path + u" metadata::xfce-exe-checksum"_qs}));
}
