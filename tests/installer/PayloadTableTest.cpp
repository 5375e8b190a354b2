#include "installer/PayloadTable.h"

#include "installer/ZDecompress.h"
#include "platform/system/ReplaceFile.h"
#include "tests/support/PayloadImageBuilder.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::test::TImageBuilder;

namespace {

QByteArray Repeat(const QByteArray& part, int times) {
    QByteArray repeated;
    for (int i = 0; i < times; ++i)
        repeated += part;
    return repeated;
}

QString TableError(const QByteArray& image) {
    try {
        ReadPayloadTable(image, u"Velmora"_qs);
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

// Inflates as the installer does, bounded by the table; the error, or "<inflated>", and how
// much of the archive was read.
struct TBoundedInflation {
    QString Outcome;
    qint64 Read = 0;
};
TBoundedInflation InflateBounded(const QByteArray& archive, qint64 limit = kMaxPayloadImageBytes) {
    QBuffer buffer;
    buffer.setData(archive);
    buffer.open(QIODevice::ReadOnly);
    QByteArray out;
    TBoundedInflation result{QStringLiteral("<inflated>")};
    try {
        ZDecompressStream(buffer, out, limit, DeclaredImageSize);
    } catch (const EDecompressionError& error) {
        result.Outcome = error.Message();
        EXPECT_TRUE(out.isEmpty());
    }
    result.Read = buffer.pos();
    return result;
}

TEST(PayloadTableTest, ReadsRecordsDecodingNamesBeforeSplitting) {
    const QByteArray trailingBackslash("Velmora\\\x81\x5c.txt", 14); // 乗.txt
    const QByteArray image = TImageBuilder()
                                 .Add("Velmora\\a.txt", "alpha")
                                 .Add(trailingBackslash, "")
                                 .AddSharing("Velmora\\Docs\\b.txt", 0)
                                 .Image();
    const std::vector<TPayloadEntry> entries = ReadPayloadTable(image, u"Velmora"_qs);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].Components, (QStringList{u"Velmora"_qs, u"a.txt"_qs}));
    EXPECT_EQ(image.mid(entries[0].DataOffset, entries[0].DataSize), QByteArray("alpha"));
    EXPECT_EQ(entries[1].Components, (QStringList{u"Velmora"_qs, u"乗.txt"_qs}));
    EXPECT_EQ(entries[1].DataSize, 0u);
    EXPECT_EQ(entries[2].DataOffset, entries[0].DataOffset);
    EXPECT_EQ(entries[2].Components.size(), 3);
    EXPECT_TRUE(ReadPayloadTable(TImageBuilder().Image(), u"Velmora"_qs).empty()); // N = 0
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
        {"slash inside a component", B().Add("Velmora\\a/../../x", "x").Image(),
         "entry name has a '/' character"},
        // Control characters are refused, and shown escaped in the line naming the entry,
        // which a NUL does not cut short.
        {"NUL inside a name", B().Add(QByteArray("Velmora\\a\0b", 11), "x").Image(),
         "entry 0 (Velmora\\a\\x00b): entry name has a control character"},
        {"terminal title escape", B().Add("Velmora\\\x1b]0;owned\x07.txt", "x").Image(),
         "entry 0 (Velmora\\\\x1b]0;owned\\x07.txt): entry name has a control character"},
        {"screen clear in a folder", B().Add("Velmora\\\x1b[2J\\a.txt", "x").Image(),
         "control character"},
        {"DEL", B().Add("Velmora\\a\x7f", "x").Image(), "control character"},
        {"line break", B().Add("Velmora\\a\r\nb", "x").Image(), "(Velmora\\a\\x0d\\x0ab)"},
        // Everything goes below the product folder: nothing lands beside it in a home folder.
        {"dot file beside the product", B().Add(ok, "x").Add(".profile", "y").Image(),
         "entry 1 (.profile): entry lies outside the product folder Velmora\\"},
        {"other folder", B().Add("Other\\x.txt", "x").Image(),
         "entry 0 (Other\\x.txt): entry lies outside the product folder Velmora\\"},
        {"product folder as a file", B().Add("Velmora", "x").Image(), "outside the product folder"},
        {"product folder in other case", B().Add("velmora\\x.txt", "x").Image(),
         "outside the product folder"},
        // The extraction's temporary names: writing the neighbour would remove such a file.
        {"temporary name",
         B().Add("Velmora\\notes.txt", "x").Add("Velmora\\.notes.txt.velmora-new", "y").Image(),
         "entry 1 (Velmora\\.notes.txt.velmora-new): entry name has the form of the "
         "installer's temporary files"},
        {"temporary name in other case", B().Add("Velmora\\.a.VELMORA-NEW", "x").Image(),
         "temporary files"},
        {"hashed temporary name", B().Add("Velmora\\.velmora-new-0a1b", "x").Image(),
         "temporary files"},
        {"temporary name as a folder", B().Add("Velmora\\.d.velmora-new\\x", "x").Image(),
         "temporary files"},
        // What the file system takes, counted in the UTF-8 it is written in: 86 Chinese
        // characters are 172 GBK bytes but 258 UTF-8 bytes.
        {"folder name too long", B().Add("Velmora\\" + Repeat("\xb0\xa1", 86), "x").Image(),
         "longer than the file system takes"},
        {"path too long, shown shortened",
         B().Add("Velmora\\" + Repeat("a\\", 2044) + "b", "x").Image(),
         "entry 0 (Velmora\\a\\a\\a"},
        {"path too long", B().Add("Velmora\\" + Repeat("a\\", 2044) + "b", "x").Image(),
         "\\... [4097 bytes]): entry name is longer than the file system takes"},
        {"names overlapping past the image",
         B().Add("Velmora\\" + Repeat("a", 200), "")
             .Add("Velmora\\b", "")
             .Add("Velmora\\c", "")
             .Patch(1, B::kNameOffset, 2 + 14 * 3)
             .Patch(1, B::kNameLength, 208)
             .Image(),
         "entry 1 (?): entry names together are longer than the payload"},
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
            << c.What << ": " << TableError(c.Image).left(400).toStdString();
}

TEST(PayloadTableTest, NamesJustInsideTheRulesAreAccepted) {
    const QByteArray deepest = "Velmora\\" + Repeat("a\\", 2043) + "b"; // 4095 bytes
    const QByteArray widest = "Velmora\\" + Repeat("\xb0\xa1", 85);     // 255 UTF-8 bytes
    const QByteArray image = TImageBuilder()
                                 .Add(deepest, "")
                                 .Add(widest, "")
                                 .Add("Velmora\\notes.velmora-new", "") // no leading dot
                                 .Add("Velmora\\.velmora-newer", "")
                                 .Add("Velmora\\.profile", "") // hidden, but in the product
                                 .Add("Velmora\\Velmora\\x", "")
                                 .Image();
    const std::vector<TPayloadEntry> entries = ReadPayloadTable(image, u"Velmora"_qs);
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[0].Components.size(), 2045);
    EXPECT_EQ(entries[1].Components.last(), QString(85, QChar(0x554A)));
}

TEST(PayloadTableTest, EveryTemporaryNameOfTheExtractionIsReserved) {
    // The names the extraction writes before renaming, short ones and hashed long ones.
    for (const QString& name : {u"notes.txt"_qs, u"说明.txt"_qs, u".hidden"_qs, QString(250, u'n'),
                                QString(90, QChar(0x554A))}) {
        const QString temporary = QString::fromUtf8(ReplacementName(name.toUtf8()));
        EXPECT_TRUE(IsReservedTemporaryName(temporary)) << temporary.toStdString();
        EXPECT_EQ(CheckEntryName(u"Velmora\\"_qs + temporary, u"Velmora"_qs),
                  TNameProblem::ReservedName);
        EXPECT_EQ(CheckEntryComponents(u"Velmora\\docs\\"_qs + temporary),
                  TNameProblem::ReservedName)
            << "the packer refuses it too";
    }
}

TEST(PayloadTableTest, ControlCharactersAreRefusedAndShownEscaped) {
    // C1 controls cannot come out of GBK, but a name the packer is handed may hold them.
    for (const char16_t c : {u'\0', u'\x1b', u'\x7f', u'\x85', u'\x9b'})
        EXPECT_EQ(CheckEntryComponents(u"Velmora\\a"_qs + QChar(c) + u"b"_qs),
                  TNameProblem::ControlCharacter)
            << int(c);
    EXPECT_EQ(CheckEntryComponents(u"Velmora\\\u00a0\u4e2d"_qs), TNameProblem::Ok);
    EXPECT_EQ(EscapeControlCharacters(QStringLiteral("a\x1b[2Jb") + QChar(0x9b) + QChar(0) +
                                      u"c\u00e9"_qs),
              u"a\\x1b[2Jb\\x9b\\x00c\u00e9"_qs);
    EXPECT_EQ(DisplayName(QByteArray("Velmora\\\x1b]0;x\x07", 14)), u"Velmora\\\\x1b]0;x\\x07"_qs);
}

TEST(PayloadTableTest, DeclaredImageSizeIsTheFurthestRangeOnceTheTableIsComplete) {
    using B = TImageBuilder;
    const QByteArray image = B().Add("Velmora\\a", "alpha").Add("Velmora\\b", "").Image();
    EXPECT_EQ(DeclaredImageSize(image), image.size());
    EXPECT_EQ(DeclaredImageSize(image.left(1)), -1);
    EXPECT_EQ(DeclaredImageSize(image.left(2 + 14 * 2 - 1)), -1); // one record not complete
    EXPECT_EQ(DeclaredImageSize(image.left(2 + 14 * 2)), image.size());
    EXPECT_EQ(DeclaredImageSize(B().Image()), 2);
    EXPECT_EQ(DeclaredImageSize(QByteArray(2, '\0')), 2); // a stream of zeros declares nothing
    // Both 32-bit fields at their largest: 2^33 - 2, computed without wrapping.
    EXPECT_EQ(DeclaredImageSize(B().Add("Velmora\\a", "x")
                                    .Patch(0, B::kDataOffset, 0xFFFFFFFFu)
                                    .Patch(0, B::kDataSize, 0xFFFFFFFFu)
                                    .Image()),
              (qint64(1) << 33) - 2);
    // The furthest range decides, whichever entry and whichever kind it is.
    EXPECT_EQ(DeclaredImageSize(B().Add("Velmora\\a", "x").Patch(0, B::kNameOffset, 1000).Image()),
              1000 + 9);
}

TEST(PayloadTableTest, TableBytesNeededGrowsToTheEndOfTheNamesNeverTheData) {
    using B = TImageBuilder;
    const QByteArray image = B().Add("Velmora\\a", "alpha").Add("Velmora\\bb", "").Image();
    const qint64 records = 2 + 14 * 2, names = records + 9 + 10;
    EXPECT_EQ(TableBytesNeeded({}), 2);
    EXPECT_EQ(TableBytesNeeded(image.left(1)), 2);
    EXPECT_EQ(TableBytesNeeded(image.left(2)), records);
    EXPECT_EQ(TableBytesNeeded(image.left(records - 1)), records);
    EXPECT_EQ(TableBytesNeeded(image.left(records)), names);
    EXPECT_EQ(TableBytesNeeded(image), names); // the data past the names is not waited for
    EXPECT_EQ(TableBytesNeeded(B().Image()), 2);
}

TEST(PayloadTableTest, InflationStopsWhereTheTableSaysTheImageEnds) {
    const QByteArray image = TImageBuilder().Add("Velmora\\a", QByteArray(100000, 'a')).Image();
    EXPECT_EQ(InflateBounded(CompressPayload(image)).Outcome, u"<inflated>"_qs);
    // One byte more than the table accounts for is refused.
    EXPECT_EQ(InflateBounded(CompressPayload(image + 'x')).Outcome,
              u"payload inflates past the size its table declares"_qs);
    // Zeros are a table of no entries: refused on the first chunk, not after 64 MB.
    const QByteArray zeros = CompressPayload(QByteArray(64 << 20, '\0'));
    const TBoundedInflation bomb = InflateBounded(zeros);
    EXPECT_EQ(bomb.Outcome, u"payload inflates past the size its table declares"_qs);
    EXPECT_LE(bomb.Read, 32768);
    EXPECT_GT(zeros.size(), 32768);
    // A table declaring more than the fixed limit is refused as soon as it is read.
    const QByteArray huge = TImageBuilder()
                                .Add("Velmora\\a", QByteArray(100000, 'a'))
                                .Patch(0, TImageBuilder::kDataSize, 0xF0000000u)
                                .Archive();
    EXPECT_EQ(InflateBounded(huge).Outcome, u"payload declares more than the size limit"_qs);
    EXPECT_EQ(InflateBounded(CompressPayload(image), image.size() - 1).Outcome,
              u"payload declares more than the size limit"_qs);
    // A stream shorter than its table is no inflation error: the table check refuses it.
    EXPECT_EQ(InflateBounded(CompressPayload(image.chopped(10))).Outcome, u"<inflated>"_qs);
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
