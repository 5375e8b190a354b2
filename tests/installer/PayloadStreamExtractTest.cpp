// Extraction while the stream inflates must end exactly as loading the whole image and then
// writing it does, for sound and damaged archives alike, except that a damaged one never
// leaves anything behind: not a file, not a folder.
#include "installer/PayloadStreamExtract.h"

#include "installer/InstallerSettings.h"
#include "installer/PayloadArchive.h"
#include "installer/ZDecompress.h"
#include "platform/system/LogFile.h"
#include "tests/support/PayloadImageBuilder.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QDirIterator>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

using namespace velmora;
using velmora::test::ReadFile;
using velmora::test::TImageBuilder;
using velmora::test::WriteFile;

namespace {

// Every file and folder below root, relative, with each file's mode and bytes.
QStringList Listing(const QString& root) {
    QStringList listing;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.nextFileInfo());
        const QString name = QDir(root).relativeFilePath(info.filePath());
        if (info.isDir())
            listing << name + u'/';
        else
            listing << QStringLiteral("%1 %2 %3")
                           .arg(name)
                           .arg(int(info.permissions()), 0, 16)
                           .arg(QString::fromLatin1(ReadFile(info.filePath()).toHex().left(64)));
    }
    listing.sort();
    return listing;
}

QBuffer* Source(const QByteArray& archive, QObject* owner) {
    auto* buffer = new QBuffer(owner);
    buffer->setData(archive);
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}

class PayloadStreamExtractTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        FillInstallerSettings();
        SetLogFolders(FLogs.path(), FLogs.path());
    }
    void TearDown() override { SetLogFolders({}, {}); }

    // The install log written since the last call, with the folder it names made neutral.
    QString TakeLog(const QString& folder) {
        const QString path = FLogs.filePath(u"InstallLog.log"_qs);
        QString text = QFile::exists(path) ? QString::fromUtf8(ReadFile(path)) : QString();
        QFile::remove(path);
        // Each line starts with the time it was written, which may differ between two runs.
        static const QRegularExpression time(
            QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d"),
            QRegularExpression::MultilineOption);
        return text.replace(time, u"<time>"_qs).replace(folder, u"<folder>"_qs);
    }

    // A folder holding what a user had there before: an older file and the signed-in list.
    QString UsedFolder(const QString& name) {
        const QString folder = FRoot.filePath(name) + u'/';
        WriteFile(folder + u"Velmora/old.txt"_qs, "from before");
        WriteFile(folder + u"Velmora/Config/LogedinUsers.XML"_qs, "<the user's own/>");
        return folder;
    }

    QTemporaryDir FRoot;
    QTemporaryDir FLogs;
};

TEST_F(PayloadStreamExtractTest, EveryArchiveEndsAsLoadingThenWritingEndsAndDamageLeavesNoTrace) {
    QByteArray noise(3 << 20, Qt::Uninitialized);
    QRandomGenerator(27).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    const TImageBuilder sound = TImageBuilder()
                                    .Add("Velmora\\Corvex.exe", "\x7f"
                                                                "ELF a program")
                                    .Add("Velmora\\big.bin", noise)
                                    .Add("Velmora\\Config\\LogedinUsers.XML", "<shipped/>")
                                    .Add("Velmora\\empty.txt", "")
                                    .AddSharing("Velmora\\Docs\\copy.bin", 1);
    const QByteArray archive = sound.Archive();
    QByteArray badCheck = archive;
    badCheck[badCheck.size() - 1] = char(badCheck.at(badCheck.size() - 1) ^ 0x5a);
    // The first entry's bytes are the last of the image: its writer waits for all of it.
    const quint32 imageEnd = quint32(sound.Image().size());
    const TImageBuilder lastFirst =
        TImageBuilder(sound).Patch(0, TImageBuilder::kDataOffset, imageEnd - 4);

    const struct {
        const char* What;
        QByteArray Archive;
    } cases[] = {
        {"sound", archive},
        {"data read last", lastFirst.Archive()},
        {"cut inside the table", archive.left(12)},
        {"cut inside the big entry", archive.left(archive.size() / 2)},
        {"cut before the checksum", archive.left(archive.size() - 3)},
        {"a wrong checksum", badCheck},
        {"bytes after the end", archive + QByteArray(40, 'x')},
        {"an escaping name", TImageBuilder(sound).Add("Velmora\\..\\..\\evil", "x").Archive()},
        {"data past the image",
         TImageBuilder(sound).Patch(3, TImageBuilder::kDataSize, imageEnd).Archive()},
        {"not a zlib stream", QByteArray("not compressed at all")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        const QString loaded = UsedFolder(QStringLiteral("loaded-%1").arg(c.What));
        const QString streamed = UsedFolder(QStringLiteral("streamed-%1").arg(c.What));
        const QStringList before = Listing(streamed);
        QObject owner;

        const bool loadedOk = CopyInstallFiles(loaded, nullptr, *Source(c.Archive, &owner));
        const QString loadedLog = TakeLog(loaded);
        const std::optional<qsizetype> count =
            ExtractPayloadStream(*Source(c.Archive, &owner), streamed, nullptr);
        const QString streamedLog = TakeLog(streamed);

        EXPECT_EQ(count.has_value(), loadedOk);
        EXPECT_EQ(streamedLog.toStdString(), loadedLog.toStdString());
        EXPECT_EQ(Listing(streamed), Listing(loaded));
        if (!loadedOk) {
            EXPECT_EQ(Listing(streamed), before);
        } else {
            EXPECT_EQ(count, 5);
        }
    }
}

TEST_F(PayloadStreamExtractTest, FoldersMadeForADamagedArchiveGoAgain) {
    const QByteArray archive = TImageBuilder().Add("Velmora\\a\\b\\c.txt", "c").Archive();
    const QString folder = FRoot.filePath(u"new/deeper/"_qs);
    QObject owner;

    EXPECT_FALSE(
        ExtractPayloadStream(*Source(archive.left(archive.size() - 2), &owner), folder, nullptr));
    EXPECT_EQ(Listing(FRoot.path()), QStringList());

    EXPECT_EQ(ExtractPayloadStream(*Source(archive, &owner), folder, nullptr), 1);
    EXPECT_EQ(ReadFile(folder + u"Velmora/a/b/c.txt"_qs), "c");
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{u"Velmora"_qs});
}

TEST(ZDecompressStreamTest, AReaderBesideTheInflationIsToldOneGrowingPlace) {
    QByteArray noise(2 << 20, Qt::Uninitialized);
    QRandomGenerator(9).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    const QByteArray image = TImageBuilder().Add("Velmora\\n.bin", noise).Image();
    QBuffer source;
    source.setData(CompressPayload(image));
    source.open(QIODevice::ReadOnly);

    QByteArray target;
    std::set<const char*> places;
    std::vector<qsizetype> sizes;
    ZDecompressStream(
        source, target, kMaxPayloadImageBytes, DeclaredImageSize, [&](QByteArrayView inflated) {
            places.insert(inflated.data());
            // What the reader was told stays as it was told.
            if (!sizes.empty()) {
                EXPECT_EQ(std::memcmp(inflated.data(), image.constData(), size_t(sizes.back())), 0);
            }
            sizes.push_back(inflated.size());
        });
    EXPECT_EQ(target, image);
    EXPECT_EQ(places, std::set<const char*>{target.constData()});
    ASSERT_GT(sizes.size(), 10u);
    EXPECT_TRUE(std::is_sorted(sizes.begin(), sizes.end()));
    EXPECT_EQ(sizes.back(), image.size());
}

} // namespace
