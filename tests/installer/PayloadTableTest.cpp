#include "installer/PayloadTable.h"

#include "installer/ZDecompress.h"
#include "tests/support/PayloadImageBuilder.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::test::TImageBuilder;

namespace {

QString TableError(const QByteArray& image) {
    try {
        ReadPayloadTable(image);
    } catch (const EPayloadFormatError& error) {
        return error.Message();
    }
    return QStringLiteral("<accepted>");
}

QByteArray Inflate(const QByteArray& archive, qint64 limit = kMaxPayloadImageBytes) {
    QBuffer buffer;
    buffer.setData(archive);
    buffer.open(QIODevice::ReadOnly);
    QByteArray out;
    ZDecompressStream(buffer, out, limit);
    return out;
}

QString InflateError(const QByteArray& archive, qint64 limit = kMaxPayloadImageBytes) {
    try {
        Inflate(archive, limit);
    } catch (const EDecompressionError& error) {
        return error.Message();
    }
    return QStringLiteral("<inflated>");
}

TEST(PayloadTableTest, ReadsRecordsDecodingNamesBeforeSplitting) {
    const QByteArray trailingBackslash("Velmora\\\x81\x5c.txt", 14); // 乗.txt
    const QByteArray image = TImageBuilder()
                                 .Add("Velmora\\a.txt", "alpha")
                                 .Add(trailingBackslash, "")
                                 .AddSharing("Velmora\\Docs\\b.txt", 0)
                                 .Image();
    const std::vector<TPayloadEntry> entries = ReadPayloadTable(image);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].Components, (QStringList{u"Velmora"_qs, u"a.txt"_qs}));
    EXPECT_EQ(image.mid(entries[0].DataOffset, entries[0].DataSize), QByteArray("alpha"));
    EXPECT_EQ(entries[1].Components, (QStringList{u"Velmora"_qs, u"乗.txt"_qs}));
    EXPECT_EQ(entries[1].DataSize, 0u);
    EXPECT_EQ(entries[2].DataOffset, entries[0].DataOffset);
    EXPECT_EQ(entries[2].Components.size(), 3);
    EXPECT_TRUE(ReadPayloadTable(TImageBuilder().Image()).empty()); // N = 0
}

TEST(PayloadTableTest, RejectsEveryUnsafeOrOutOfRangeEntryNamingIt) {
    using B = TImageBuilder;
    const QByteArray ok("Velmora\\ok.txt");
    struct TCase {
        const char* What;
        QByteArray Image;
        const char* Expected;
    };
    const std::vector<TCase> cases = {
        {"empty image", QByteArray(), "payload table is truncated"},
        {"count past the image", B().Add(ok, "x").Count(3).Image(), "payload table is truncated"},
        {"empty name", B().Add(ok, "x").Add("", "y").Image(), "entry 1 (): entry name is empty"},
        {"rooted name", B().Add("\\etc\\passwd", "x").Image(), "entry name is an absolute path"},
        {"slash-rooted name", B().Add("/etc/passwd", "x").Image(),
         "entry name is an absolute path"},
        {"drive name", B().Add("C:\\Windows\\x.dll", "x").Image(),
         "entry name is an absolute path"},
        {"doubled separator", B().Add("Velmora\\\\x", "x").Image(), "empty folder or file name"},
        {"trailing separator", B().Add("Velmora\\", "x").Image(), "empty folder or file name"},
        {"parent step", B().Add("Velmora\\..\\..\\x", "x").Image(), "'.' or '..' component"},
        {"slash inside a component", B().Add("Velmora\\a/../../x", "x").Image(), "'/' or NUL"},
        {"NUL inside a name", B().Add(QByteArray("Velmora\\a\0b", 11), "x").Image(), "'/' or NUL"},
        {"not GBK", B().Add(ok, "x").Add("Velmora\\\xff\xfe", "x").Image(),
         "entry 1 (Velmora\\\\xff\\xfe): entry name is not valid GBK"},
        {"cut GBK character", B().Add("Velmora\\\x81", "x").Image(), "not valid GBK"},
        {"name past the end", B().Add(ok, "x").Patch(0, B::kNameLength, 0xFFFF).Image(),
         "entry 0 (?): entry name lies outside the payload"},
        {"name offset past the end", B().Add(ok, "x").Patch(0, B::kNameOffset, 0xFFFFFFF0u).Image(),
         "entry name lies outside the payload"},
        {"data past the end", B().Add(ok, "x").Patch(0, B::kDataSize, 2).Image(),
         "entry 0 (Velmora\\ok.txt): entry data lies outside the payload"},
        {"data range wrapping 32 bits",
         B().Add(ok, "x").Patch(0, B::kDataOffset, 0xFFFFFFFFu).Patch(0, B::kDataSize, 2).Image(),
         "entry data lies outside the payload"},
        {"file then folder", B().Add("Velmora\\a", "x").Add("Velmora\\a\\b", "y").Image(),
         "entry 1 (Velmora\\a\\b): entry path is both a file and a folder"},
        {"folder then file", B().Add("Velmora\\a\\b", "x").Add("Velmora\\a", "y").Image(),
         "entry path is both a file and a folder"},
    };
    for (const TCase& c : cases)
        EXPECT_TRUE(TableError(c.Image).contains(QString::fromUtf8(c.Expected)))
            << c.What << ": " << TableError(c.Image).toStdString();
}

TEST(PayloadTableTest, InflationFailsWithZlibsMessageOnDamagedStreams) {
    const QByteArray archive = TImageBuilder().Add("Velmora\\a", QByteArray(100000, 'a')).Archive();
    ASSERT_TRUE(archive.startsWith("\x78\x9c"));
    EXPECT_EQ(Inflate(archive), TImageBuilder().Add("Velmora\\a", QByteArray(100000, 'a')).Image());

    EXPECT_EQ(InflateError(archive.left(archive.size() - 4)), u"buffer error"_qs); // no trailer
    EXPECT_EQ(InflateError(archive.left(archive.size() / 2)), u"buffer error"_qs);
    EXPECT_EQ(InflateError(QByteArray()), u"buffer error"_qs);
    EXPECT_EQ(InflateError(QByteArray("PK\x03\x04 not zlib")), u"incorrect header check"_qs);
    QByteArray flipped = archive;
    flipped[flipped.size() - 2] = static_cast<char>(flipped[flipped.size() - 2] ^ 0x55);
    EXPECT_EQ(InflateError(flipped), u"incorrect data check"_qs);
    EXPECT_EQ(InflateError(archive + "junk"), u"data follows the end of the compressed stream"_qs);
    EXPECT_EQ(InflateError(archive, 4096), u"payload inflates past the size limit"_qs);
    // A header asking for a preset dictionary: an error, not an endless wait for progress.
    EXPECT_EQ(InflateError(QByteArray("\x78\xbb\x00\x00\x00\x00", 6)), u"need dictionary"_qs);
    EXPECT_EQ(InflateError(QByteArray("\x78\xbb\x00\x00\x00\x01", 6) + archive.mid(2)),
              u"need dictionary"_qs);
}

} // namespace
