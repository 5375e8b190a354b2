#include "installer/PayloadArchive.h"

#include "installer/InstallerSettings.h"
#include "installer/PayloadWriter.h"
#include "installer/ProgressDisplay.h"
#include "platform/system/LogFile.h"
#include "tests/support/PayloadImageBuilder.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

using namespace velmora;
using velmora::test::ReadFile;
using velmora::test::ReadTree;
using velmora::test::TImageBuilder;
using velmora::test::WriteFile;

namespace {

// Records what the progress display was told, in order.
class TRecordingDisplay : public IProgressDisplay {
public:
    QStringList Calls;
    void SetStatusText(const QString& text) override { Calls << u"text "_qs + text; }
    void SetProgressRange(int minimum, int maximum) override {
        Calls << QStringLiteral("range %1..%2").arg(minimum).arg(maximum);
    }
    void SetProgressPosition(int position) override {
        Calls << QStringLiteral("position %1").arg(position);
    }
};

class PayloadArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        FillInstallerSettings();
        SetLogFolders(FLogs.path(), FLogs.path());
        FInstall = FRoot.filePath(QStringLiteral("Program Files/Norvane/"));
    }
    void TearDown() override { SetLogFolders({}, {}); }

    bool Extract(const QByteArray& archive, IProgressDisplay* display = nullptr) {
        QBuffer buffer;
        buffer.setData(archive);
        buffer.open(QIODevice::ReadOnly);
        return CopyInstallFiles(FInstall, display, buffer);
    }
    QString Log() const {
        const QString path = FLogs.filePath(u"InstallLog.log"_qs);
        return QFile::exists(path) ? QString::fromUtf8(ReadFile(path)) : QString();
    }

    QTemporaryDir FRoot;
    QTemporaryDir FLogs;
    QString FInstall;
};

TEST_F(PayloadArchiveTest, PackedTreeExtractsIdenticallyWithProgressInTableOrder) {
    QTemporaryDir source;
    const QMap<QString, QByteArray> tree = {
        {u"Velmora/Corvex.exe"_qs, QByteArray("\x7f"
                                              "ELF fake program")},
        {u"Velmora/Config/LogedinUsers.XML"_qs, "<LogedinUsers/>"},
        {u"Velmora/Data/empty.lock"_qs, ""},
        {u"Velmora/Docs/使用说明.txt"_qs, "说明"},
        {u"Velmora/Users/default/profile.ini"_qs, QByteArray(70000, 'p')},
    };
    for (auto it = tree.cbegin(); it != tree.cend(); ++it)
        WriteFile(source.filePath(it.key()), it.value());

    const QByteArray archive = CompressPayload(BuildPayloadImage(source.path(), u"Velmora"_qs));
    EXPECT_EQ(archive, CompressPayload(BuildPayloadImage(source.path(), u"Velmora"_qs)));

    TRecordingDisplay display;
    ASSERT_TRUE(Extract(archive, &display));
    EXPECT_EQ(ReadTree(FInstall.chopped(1)), tree);
    EXPECT_EQ(display.Calls.first(), u"range 0..5"_qs);
    EXPECT_EQ(display.Calls.at(1), u"position 0"_qs);
    EXPECT_EQ(display.Calls.at(2), u"text 正在复制文件: Velmora/Config/LogedinUsers.XML"_qs);
    EXPECT_EQ(display.Calls.at(3), u"position 1"_qs);
    EXPECT_EQ(display.Calls.last(), u"position 5"_qs);
    EXPECT_EQ(display.Calls.size(), 2 + 2 * 5);

    // Programs stay runnable; data files do not become executable.
    EXPECT_TRUE(QFileInfo(FInstall + u"Velmora/Corvex.exe"_qs).isExecutable());
    EXPECT_FALSE(QFileInfo(FInstall + u"Velmora/Docs/使用说明.txt"_qs).isExecutable());
    EXPECT_TRUE(Log().isEmpty());
}

TEST_F(PayloadArchiveTest, EmptyArchiveSucceedsWritingNothing) {
    TRecordingDisplay display;
    ASSERT_TRUE(Extract(TImageBuilder().Archive(), &display));
    EXPECT_EQ(display.Calls, (QStringList{u"range 0..0"_qs, u"position 0"_qs}));
    EXPECT_TRUE(ReadTree(FRoot.path()).isEmpty());
}

TEST_F(PayloadArchiveTest, ExistingFilesAreOverwrittenOrTruncatedExceptTheUsersList) {
    WriteFile(FInstall + u"Velmora/readme.txt"_qs, "old readme, longer than the new one");
    WriteFile(FInstall + u"Velmora/Data/empty.lock"_qs, "stale lock");
    WriteFile(FInstall + u"Velmora/Config/LogedinUsers.XML"_qs,
              "<LogedinUsers><u>li</u></LogedinUsers>");
    WriteFile(FInstall + u"Velmora/config/LogedinUsers.XML"_qs, "other case: not protected");

    ASSERT_TRUE(Extract(TImageBuilder()
                            .Add("Velmora\\readme.txt", "new")
                            .Add("Velmora\\Data\\empty.lock", "")
                            .Add("Velmora\\Config\\LogedinUsers.XML", "<LogedinUsers/>")
                            .Add("Velmora\\config\\LogedinUsers.XML", "shipped")
                            .Add("Velmora\\Config\\logedinusers.xml", "shipped")
                            .Archive()));
    EXPECT_EQ(ReadFile(FInstall + u"Velmora/readme.txt"_qs), "new");
    EXPECT_EQ(ReadFile(FInstall + u"Velmora/Data/empty.lock"_qs), "");
    EXPECT_EQ(ReadFile(FInstall + u"Velmora/Config/LogedinUsers.XML"_qs),
              "<LogedinUsers><u>li</u></LogedinUsers>");
    EXPECT_EQ(ReadFile(FInstall + u"Velmora/config/LogedinUsers.XML"_qs), "shipped");
    EXPECT_EQ(ReadFile(FInstall + u"Velmora/Config/logedinusers.xml"_qs), "shipped");

    // Absent, the protected file is written like any other.
    QFile::remove(FInstall + u"Velmora/Config/LogedinUsers.XML"_qs);
    ASSERT_TRUE(
        Extract(TImageBuilder().Add("Velmora\\Config\\LogedinUsers.XML", "<new/>").Archive()));
    EXPECT_EQ(ReadFile(FInstall + u"Velmora/Config/LogedinUsers.XML"_qs), "<new/>");
}

TEST_F(PayloadArchiveTest, SharedDataIsWrittenForEachEntryInTableOrder) {
    TRecordingDisplay display;
    ASSERT_TRUE(Extract(TImageBuilder()
                            .Add("Velmora\\z-first.bin", "shared bytes")
                            .AddSharing("Velmora\\a-second.bin", 0)
                            .Archive(),
                        &display));
    EXPECT_EQ(ReadFile(FInstall + u"Velmora/a-second.bin"_qs), "shared bytes");
    EXPECT_EQ(ReadFile(FInstall + u"Velmora/z-first.bin"_qs), "shared bytes");
    EXPECT_EQ(display.Calls.filter(u"text "_qs),
              (QStringList{u"text 正在复制文件: Velmora/z-first.bin"_qs,
                           u"text 正在复制文件: Velmora/a-second.bin"_qs}));
}

TEST_F(PayloadArchiveTest, DamagedArchivesFailBeforeAnyFileIsWritten) {
    const QByteArray good =
        TImageBuilder().Add("Velmora\\a.txt", "a").Add("Velmora\\b.txt", "b").Archive();

    ASSERT_FALSE(Extract(good.left(good.size() - 3)));
    EXPECT_TRUE(Log().contains(u"  ZDecompressStream:提取安装包出错!\r\nbuffer error\r\n"_qs))
        << Log().toStdString();
    EXPECT_FALSE(QFileInfo::exists(FInstall));

    // The first entry is sound, the second escapes: neither is written.
    ASSERT_FALSE(Extract(
        TImageBuilder().Add("Velmora\\a.txt", "a").Add("Velmora\\..\\..\\evil", "x").Archive()));
    EXPECT_TRUE(
        Log().contains(u"CopyInstallFiles:安装包文件表无效\r\nentry 1 (Velmora\\..\\..\\evil)"_qs));
    EXPECT_FALSE(QFileInfo::exists(FInstall));
    EXPECT_TRUE(ReadTree(FRoot.path()).isEmpty());
}

TEST_F(PayloadArchiveTest, PlantedLinksStopTheExtractionBeforeAnyWrite) {
    QTemporaryDir outside;
    WriteFile(outside.filePath(u"canary.txt"_qs), "untouched");
    const struct {
        const char* Link;
        QString Target;
        QByteArray Entry;
        const char* Reason;
    } cases[] = {
        {"Velmora/Config", outside.path(), "Velmora\\Config\\canary.txt",
         "symbolic link where a folder must go"},
        {"Velmora/readme.txt", outside.filePath(u"canary.txt"_qs), "Velmora\\readme.txt",
         "symbolic link where a file must go"},
    };
    for (const auto& planted : cases) {
        SCOPED_TRACE(planted.Link);
        QDir(FInstall).removeRecursively();
        QDir().mkpath(FInstall + u"Velmora"_qs);
        const QString link = FInstall + QLatin1String(planted.Link);
        ASSERT_TRUE(QFile::link(planted.Target, link));

        EXPECT_FALSE(Extract(TImageBuilder()
                                 .Add("Velmora\\a.txt", "a")
                                 .Add(planted.Entry, "overwritten")
                                 .Archive()));
        EXPECT_TRUE(Log().endsWith(u"  CopyInstallFiles:安装目录检查失败\r\n"_qs + link + u": "_qs +
                                   QLatin1String(planted.Reason) + u"\r\n"_qs))
            << Log().toStdString();
        EXPECT_FALSE(QFileInfo::exists(FInstall + u"Velmora/a.txt"_qs));
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        EXPECT_EQ(ReadTree(outside.path()),
                  (QMap<QString, QByteArray>{{u"canary.txt"_qs, "untouched"}}));
    }
}

TEST_F(PayloadArchiveTest, PayloadLargerThanTheFreeSpaceIsRefusedBeforeAnyWrite) {
    // Entries may share their data, so a small image can declare about a terabyte.
    constexpr int kEntries = 65535;
    TPayloadImage payload;
    payload.Image = QByteArray(16 << 20, 'x');
    for (int i = 0; i < kEntries; ++i) {
        TPayloadEntry entry;
        entry.Name = QStringLiteral("Velmora\\f%1").arg(i);
        entry.Components = entry.Name.split(u'\\');
        entry.DataSize = static_cast<quint32>(payload.Image.size());
        payload.Entries.push_back(entry);
    }
    QDir().mkpath(FInstall);
    struct statvfs info {};
    ASSERT_EQ(::statvfs(QFile::encodeName(FInstall).constData(), &info), 0);
    if (quint64(info.f_bavail) * info.f_frsize > quint64(kEntries) * (16 << 20))
        GTEST_SKIP() << "more than a terabyte free";

    EXPECT_FALSE(WritePayload(payload, FInstall, nullptr));
    EXPECT_TRUE(Log().contains(u"  CopyInstallFiles:安装目录检查失败\r\n"_qs + FInstall.chopped(1) +
                               u": not enough free space: "_qs))
        << Log().toStdString();
    EXPECT_TRUE(QDir(FInstall).isEmpty());
}

TEST_F(PayloadArchiveTest, FilesAreReplacedWithTheirModeNeverWrittenThrough) {
    QTemporaryDir outside;
    const QString shared = outside.filePath(u"shared.txt"_qs);
    WriteFile(shared, "outside");
    QDir().mkpath(FInstall + u"Velmora"_qs);
    ASSERT_TRUE(::link(QFile::encodeName(shared).constData(),
                       QFile::encodeName(FInstall + u"Velmora/readme.txt"_qs).constData()) == 0);
    WriteFile(FInstall + u"Velmora/Corvex.exe"_qs, "old");
    ASSERT_TRUE(QFile::setPermissions(FInstall + u"Velmora/Corvex.exe"_qs, QFile::ReadOwner));

    const mode_t saved = ::umask(077);
    const bool extracted = Extract(TImageBuilder()
                                       .Add("Velmora\\Corvex.exe", "#!/bin/sh\n")
                                       .Add("Velmora\\readme.txt", "new")
                                       .Add("Velmora\\lib\\core.so", "core")
                                       .Archive());
    ::umask(saved);
    ASSERT_TRUE(extracted) << Log().toStdString();
    EXPECT_EQ(ReadFile(shared), "outside");
    EXPECT_EQ(ReadTree(FInstall + u"Velmora"_qs),
              (QMap<QString, QByteArray>{{u"Corvex.exe"_qs, "#!/bin/sh\n"},
                                         {u"lib/core.so"_qs, "core"},
                                         {u"readme.txt"_qs, "new"}}));
    const struct {
        const char* Path;
        mode_t Mode;
    } modes[] = {{"Velmora/Corvex.exe", 0755},
                 {"Velmora/readme.txt", 0644},
                 {"Velmora/lib", 0755},
                 {"Velmora/lib/core.so", 0644}};
    for (const auto& expected : modes) {
        struct stat info {};
        ASSERT_EQ(
            ::lstat(QFile::encodeName(FInstall + QLatin1String(expected.Path)).constData(), &info),
            0);
        EXPECT_EQ(info.st_mode & 07777, expected.Mode) << expected.Path;
    }
}

TEST_F(PayloadArchiveTest, ManyFoldersStayWithinTheDescriptorLimit) {
    TImageBuilder release;
    for (int i = 0; i < 600; ++i)
        release.Add(
            QStringLiteral("Velmora\\plugins\\p%1\\data.bin").arg(i, 4, 10, QChar(u'0')).toLatin1(),
            QByteArray::number(i));
    const QByteArray archive = release.Archive();
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = 200; // well below the number of folders
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    const bool extracted = Extract(archive);
    ::setrlimit(RLIMIT_NOFILE, &saved);
    ASSERT_TRUE(extracted) << Log().toStdString();
    EXPECT_EQ(ReadFile(FInstall + u"Velmora/plugins/p0599/data.bin"_qs), "599");
}

TEST_F(PayloadArchiveTest, ForceFolderPathCreatesEveryLevelBeforeTheLastSeparator) {
    const QString base = FRoot.path();
    EXPECT_TRUE(ForceFolderPath(base + u"/a/b/c/not-created"_qs));
    EXPECT_TRUE(QFileInfo(base + u"/a/b/c"_qs).isDir());
    EXPECT_FALSE(QFileInfo::exists(base + u"/a/b/c/not-created"_qs));
    EXPECT_TRUE(ForceFolderPath(u"relative-without-separator"_qs));
    EXPECT_FALSE(QFileInfo::exists(u"relative-without-separator"_qs));

    WriteFile(base + u"/file"_qs, "x");
    EXPECT_FALSE(ForceFolderPath(base + u"/file/below/"_qs));
}

TEST_F(PayloadArchiveTest, EmbeddedResourceIsTheBuiltArchiveAndExtracts) {
    QFile built(QStringLiteral(BUILT_PAYLOAD_ARCHIVE));
    ASSERT_TRUE(built.open(QIODevice::ReadOnly));
    QFile embedded(kPayloadResource);
    ASSERT_TRUE(embedded.open(QIODevice::ReadOnly));
    EXPECT_EQ(embedded.readAll(), built.readAll());

    ASSERT_TRUE(CopyInstallFiles(FInstall, nullptr));
    const QMap<QString, QByteArray> tree = ReadTree(FInstall + u"Velmora"_qs);
    EXPECT_TRUE(tree.contains(u"Corvex.exe"_qs));
    EXPECT_TRUE(tree.contains(u"Config/LogedinUsers.XML"_qs));
    // The product's icon ships as its drawing and as a 256 x 256 PNG (the IHDR size fields).
    EXPECT_TRUE(tree.value(u"Corvex.svg"_qs).contains("<svg"));
    const QByteArray icon = tree.value(u"Corvex.png"_qs);
    EXPECT_TRUE(icon.startsWith("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(icon.mid(16, 8), QByteArray::fromHex("0000010000000100"));
    EXPECT_EQ(tree.value(u"Data/empty.lock"_qs, "missing"), QByteArray());

    EXPECT_FALSE(LoadEmbeddedPayload(u":/DATA/NO-SUCH-RESOURCE"_qs).has_value());
    EXPECT_TRUE(
        Log().contains(u"CopyInstallFiles:打开安装包资源出错\r\n:/DATA/NO-SUCH-RESOURCE"_qs));
}

} // namespace

namespace {

// Event-loop passes while one large entry is inflated and then written: the window must get
// its messages inside both, not only between entries.
TEST_F(PayloadArchiveTest, LargeEntriesKeepTheEventLoopTurning) {
    // Incompressible, so the inflated size grows steadily with the input read.
    QByteArray big(8 << 20, '\0');
    QRandomGenerator(14).fillRange(reinterpret_cast<quint32*>(big.data()), big.size() / 4);
    const QByteArray archive = TImageBuilder().Add("Velmora\\big.bin", big).Archive();
    int passes = 0;
    QTimer counter;
    counter.setInterval(0);
    QObject::connect(&counter, &QTimer::timeout, [&] { ++passes; });
    counter.start();

    QBuffer buffer;
    buffer.setData(archive);
    buffer.open(QIODevice::ReadOnly);
    const std::optional<TPayloadImage> payload = LoadPayload(buffer);
    ASSERT_TRUE(payload.has_value());
    EXPECT_GE(passes, 7); // about one per MiB inflated
    passes = 0;
    ASSERT_TRUE(WritePayload(*payload, FInstall, nullptr));
    EXPECT_GE(passes, 2 + 7); // the entry's own two, and one between each MiB written
    EXPECT_EQ(ReadFile(FInstall + u"Velmora/big.bin"_qs), big);
}

} // namespace

namespace {

// An install folder that is a home folder: nothing of the user's beside the product folder
// may change, whatever the archive names.
TEST_F(PayloadArchiveTest, EntriesOutsideTheProductFolderLeaveTheHomeFolderUnchanged) {
    WriteFile(FInstall + u".profile"_qs, "export PATH=/usr/bin\n");
    WriteFile(FInstall + u"Other/x.txt"_qs, "the user's own");
    const QMap<QString, QByteArray> before = ReadTree(FRoot.path());
    for (const QByteArray& outside : {QByteArray(".profile"), QByteArray("Other\\x.txt")}) {
        SCOPED_TRACE(outside.constData());
        EXPECT_FALSE(Extract(TImageBuilder()
                                 .Add("Velmora\\a.txt", "a")
                                 .Add(outside, "replaced by the payload")
                                 .Archive()));
        EXPECT_TRUE(Log().contains(u"CopyInstallFiles:安装包文件表无效\r\nentry 1 ("_qs +
                                   QString::fromLatin1(outside) +
                                   u"): entry lies outside the product folder Velmora\\"_qs))
            << Log().toStdString();
        EXPECT_EQ(ReadTree(FRoot.path()), before);
        EXPECT_FALSE(QFileInfo::exists(FInstall + u"Velmora"_qs));
    }
}

// A file named as its neighbour's temporary name was silently lost: writing the neighbour
// removed it first. Such an archive is refused before anything is written.
TEST_F(PayloadArchiveTest, AnEntryNamedLikeATemporaryFileIsRefusedNotLost) {
    EXPECT_FALSE(Extract(TImageBuilder()
                             .Add("Velmora\\.notes.txt.velmora-new", "my notes")
                             .Add("Velmora\\notes.txt", "notes")
                             .Archive()));
    EXPECT_TRUE(Log().contains(u"entry 0 (Velmora\\.notes.txt.velmora-new): entry name has the "
                               u"form of the installer's temporary files"_qs))
        << Log().toStdString();
    EXPECT_FALSE(QFileInfo::exists(FInstall));
}

// A path deeper than the open-folder cache is walked with one more descriptor at a time.
TEST_F(PayloadArchiveTest, DeepPathsStayWithinTheDescriptorLimit) {
    QByteArray deep = "Velmora\\";
    for (int i = 0; i < 1000; ++i)
        deep += "d\\";
    const QByteArray archive =
        TImageBuilder().Add(deep + "first.txt", "1").Add(deep + "second.txt", "2").Archive();
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = 200; // far fewer than the folders on the path
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    const bool extracted = Extract(archive);
    ::setrlimit(RLIMIT_NOFILE, &saved);
    ASSERT_TRUE(extracted) << Log().toStdString();
    const QString folder = FInstall + QString::fromLatin1(deep).replace(u'\\', u'/');
    EXPECT_EQ(ReadFile(folder + u"first.txt"_qs), "1");
    EXPECT_EQ(ReadFile(folder + u"second.txt"_qs), "2");
}

// What loading a payload cost, measured in a child process so the peak is its own.
struct TLoadCost {
    bool Finished = false; // false: killed (by the watchdog) or crashed
    bool Loaded = false;
    long GrowthKiB = 0; // growth of the peak resident size while loading
    double Seconds = 0;
};

// Runs load in a child that a watchdog kills after watchdogSeconds: code that takes minutes
// and gigabytes fails the test instead of holding up the test run.
TLoadCost MeasureInChild(const std::function<bool()>& load, unsigned watchdogSeconds) {
    int channel[2];
    if (::pipe(channel) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        ::alarm(watchdogSeconds);
        rusage before{};
        ::getrusage(RUSAGE_SELF, &before);
        const auto start = std::chrono::steady_clock::now();
        const bool loaded = load();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        rusage after{};
        ::getrusage(RUSAGE_SELF, &after);
        const TLoadCost cost{true, loaded, after.ru_maxrss - before.ru_maxrss, took.count()};
        const bool sent = ::write(channel[1], &cost, sizeof cost) == sizeof cost;
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    TLoadCost cost;
    if (child > 0 && ::read(channel[0], &cost, sizeof cost) != sizeof cost)
        cost = {};
    ::close(channel[0]);
    int status = 0;
    if (child > 0)
        ::waitpid(child, &status, 0);
    return cost;
}

bool LoadFrom(QIODevice& source) {
    return LoadPayload(source).has_value();
}

bool LoadFrom(const QByteArray& archive) {
    QBuffer buffer;
    buffer.setData(archive);
    buffer.open(QIODevice::ReadOnly);
    return LoadFrom(buffer);
}

// Three entries whose 65,535-byte names are one folder chain "a\a\...": a 300-byte archive.
QByteArray DeepNamesArchive(const QByteArray& prefix) {
    TImageBuilder deep;
    for (const char last : {'x', 'y', 'z'}) {
        QByteArray name = prefix;
        while (name.size() < 65533)
            name += "a\\";
        deep.Add(name.left(65534) + last, "");
    }
    return deep.Archive();
}

constexpr long kBudgetKiB = 100 * 1024;
constexpr unsigned kWatchdogSeconds = 15;

TEST_F(PayloadArchiveTest, DeepNamesAreCheckedInLinearTimeAndMemory) {
    const QByteArray issueShape = DeepNamesArchive("");
    const QByteArray inProduct = DeepNamesArchive("Velmora\\");
    ASSERT_LT(issueShape.size(), 400);
    // As deep as a path may be (2,043 folders in 4,095 bytes), in 100 separate branches, so
    // no two entries share a folder prefix below the product folder.
    TImageBuilder branches;
    for (int i = 0; i < 100; ++i) {
        QByteArray name = QStringLiteral("Velmora\\%1\\").arg(i, 3, 10, QChar(u'0')).toLatin1();
        while (name.size() < 4094)
            name += "a\\";
        branches.Add(name + 'f', QByteArray::number(i));
    }
    const QByteArray deepest = branches.Archive();

    const struct {
        const char* What;
        const QByteArray& Archive;
        bool Loads;
        const char* Reason;
    } cases[] = {
        {"beside the product folder", issueShape, false,
         "a\\... [65535 bytes]): entry lies outside the product folder"},
        {"longer than a path may be", inProduct, false,
         "a\\... [65535 bytes]): entry name is longer than the file system takes"},
        {"100 deepest paths", deepest, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        const TLoadCost cost =
            MeasureInChild([&] { return LoadFrom(c.Archive); }, kWatchdogSeconds);
        ASSERT_TRUE(cost.Finished) << "no answer within " << kWatchdogSeconds << " s";
        EXPECT_EQ(cost.Loaded, c.Loads);
        EXPECT_LT(cost.GrowthKiB, kBudgetKiB) << cost.Seconds << " s";
        if (!c.Loads) {
            EXPECT_TRUE(Log().contains(QLatin1String(c.Reason))) << Log().toStdString();
        }
    }
}

// The zlib stream of a given number of zero bytes, compressed as it is read, so a bomb of
// gigabytes costs only what the reader takes of it.
class TZeroBomb : public QIODevice {
public:
    explicit TZeroBomb(qint64 inflatedSize) : FLeft(inflatedSize), FZeros(1 << 20, '\0') {
        deflateInit(&FStream, 9);
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    ~TZeroBomb() override { deflateEnd(&FStream); }
    bool isSequential() const override { return true; }
    qint64 Read() const { return FRead; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        while (FPending.size() < maxSize && !FEnded)
            Compress();
        const qint64 n = std::min<qint64>(maxSize, FPending.size());
        std::memcpy(data, FPending.constData(), static_cast<size_t>(n));
        FPending.remove(0, static_cast<qsizetype>(n));
        FRead += n;
        return n > 0 ? n : -1;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    void Compress() {
        const qint64 part = std::min<qint64>(FLeft, FZeros.size());
        FLeft -= part;
        FStream.next_in = reinterpret_cast<Bytef*>(FZeros.data());
        FStream.avail_in = static_cast<uInt>(part);
        const int flush = FLeft == 0 ? Z_FINISH : Z_NO_FLUSH;
        char out[65536];
        int result = Z_OK;
        do {
            FStream.next_out = reinterpret_cast<Bytef*>(out);
            FStream.avail_out = sizeof out;
            result = deflate(&FStream, flush);
            FPending.append(out, static_cast<qsizetype>(sizeof out - FStream.avail_out));
        } while (FStream.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
        FEnded = flush == Z_FINISH;
    }

    z_stream FStream{};
    qint64 FLeft;
    QByteArray FZeros;
    QByteArray FPending;
    qint64 FRead = 0;
    bool FEnded = false;
};

TEST_F(PayloadArchiveTest, DecompressionBombIsRefusedEarlyWithinAMemoryBudget) {
    // 9 GiB of zeros: a 9.4 MB archive. Zeros are a table of no entries, so the image is
    // over after two bytes and the stream is refused at once.
    constexpr qint64 kInflated = qint64(9) << 30;
    const TLoadCost cost = MeasureInChild(
        [] {
            TZeroBomb bomb(kInflated);
            return LoadFrom(bomb);
        },
        kWatchdogSeconds);
    ASSERT_TRUE(cost.Finished) << "no answer within " << kWatchdogSeconds << " s";
    EXPECT_FALSE(cost.Loaded);
    EXPECT_LT(cost.GrowthKiB, kBudgetKiB) << cost.Seconds << " s";
    EXPECT_TRUE(Log().contains(u"ZDecompressStream:提取安装包出错!\r\npayload inflates past the "
                               u"size its table declares"_qs))
        << Log().toStdString();
    EXPECT_FALSE(QFileInfo::exists(FInstall));

    // Of the 9.4 MB, the first of the 32 KB chunks read was enough.
    TZeroBomb bomb(kInflated);
    EXPECT_FALSE(LoadFrom(bomb));
    EXPECT_EQ(bomb.Read(), 32768);
}

} // namespace
