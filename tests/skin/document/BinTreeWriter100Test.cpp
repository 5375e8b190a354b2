// The file format byte for byte, and round trips of every kind.
#include "skin/document/BinaryTreeDocument100.h"
#include "tests/skin/document/EveryKindDocument.h"
#include "tests/skin/document/RawRecords.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace velmora {
namespace {

using testing::Encode;
using testing::RawRecord;
using testing::Version;

QByteArray Save(const TBinaryTreeDocument100& doc) {
    return doc.SaveToByteArray();
}

void Load(TBinaryTreeDocument100& doc, const QByteArray& bytes) {
    doc.WriteBuffer(bytes.constData(), bytes.size());
}

TEST(BinTreeFormat, NewDocumentIs38Bytes) {
    TBinaryTreeDocument100 doc;
    EXPECT_EQ(doc.Version(), 100u);
    EXPECT_EQ(doc.DataSize(), 38u);
    EXPECT_EQ(Save(doc), Version() + Encode({.Name = "ROOT"}));
    EXPECT_EQ(Save(doc).left(4), QByteArray("\x64\0\0\0", 4));
}

TEST(BinTreeFormat, RecordsFollowInPreOrderWithCurrentChildCounts) {
    TBinaryTreeDocument100 doc;
    TBinTreeNode100* info = doc.CreateNode(nt100_Directory, doc.TopNode(), "SkinInfo");
    auto* name = new TWideStringNode100(info, "SkinName");
    name->SetData("Default");
    doc.CreateNode(nt100_Directory, doc.TopNode(), "Next")->SetNodeID(9);
    const QByteArray expected =
        Version() + Encode({.Children = 2, .Name = "ROOT"}) +
        Encode({.Children = 1, .Name = "SkinInfo"}) +
        Encode({.Type = 4, .Name = "SkinName", .Data = testing::NameBytes("Default")}) +
        Encode({.Id = 9, .Name = "Next"});
    EXPECT_EQ(Save(doc), expected);
    EXPECT_EQ(doc.DataSize(), static_cast<std::uint64_t>(expected.size()));
    EXPECT_EQ(expected.mid(4, 24).toHex(), "000000000000000000000000020000000a00000000000000");
}

TEST(BinTreeFormat, EveryKindRoundTripsByteForByte) {
    TBinaryTreeDocument100 doc;
    testing::FillEveryKind(doc);
    const QByteArray first = Save(doc);
    TBinaryTreeDocument100 again;
    Load(again, first);
    EXPECT_EQ(Save(again), first);

    auto path = [&again](const char* p) { return again.FindNodeByPath(p); };
    EXPECT_EQ(static_cast<TWideStringNode100*>(path("SkinInfo\\SkinName"))->Data(), "Default");
    EXPECT_EQ(static_cast<TAnsiStringNode100*>(path("SkinInfo\\Author"))->Data(),
              QString::fromUtf8("Grün"));
    EXPECT_EQ(path("SkinInfo\\Empty")->DataSize(), 0u);
    EXPECT_EQ(path("Values")->NodeID(), 7u);
    EXPECT_EQ(static_cast<TInt64Node100*>(path("Values\\Int64"))->Data(), -6464646464646464LL);
    EXPECT_EQ(static_cast<TUInt32Node100*>(path("Values\\UInt32"))->Data(), 4000000000U);
    EXPECT_EQ(static_cast<TReal80Node100*>(path("Values\\Real80"))->Data(), 3.75L);
    EXPECT_EQ(static_cast<TReal48Node100*>(path("Values\\Real48"))->Bytes()[0], 0x81);
    EXPECT_EQ(static_cast<TTimeStampNode100*>(path("Values\\TimeStamp"))->Data().Date, 738000);
    EXPECT_EQ(static_cast<TGUIDNode100*>(path("Values\\Guid"))->Data(),
              QUuid("{01234567-89ab-cdef-0123-456789abcdef}"));
    EXPECT_EQ(path("Images\\Logo")->NodeSubType(), 1u);
    EXPECT_EQ(path("Images\\Nothing")->DataSize(), 0u);
    EXPECT_EQ(path("Images\\Deeper\\Deepest")->NodeSubType(), 2u);
}

TEST(BinTreeFormat, FixedKindWithoutValueLoadsAsZeroAndSavesFullWidth) {
    for (std::uint32_t tag = 1; tag < KNodeTypeCount100; ++tag) {
        const int width = FixedWidthOf(tag);
        if (width < 0)
            continue;
        TBinaryTreeDocument100 doc;
        Load(doc, Version() + Encode({.Children = 1, .Name = "ROOT"}) +
                      Encode({.Type = tag, .Name = "v"}));
        TBinTreeNode100* node = doc.Nodes()[0];
        ASSERT_EQ(node->NodeType(), tag);
        EXPECT_EQ(node->DataSize(), static_cast<std::uint32_t>(width));
        EXPECT_EQ(Save(doc), Version() + Encode({.Children = 1, .Name = "ROOT"}) +
                                 Encode({.Type = tag, .Name = "v", .Data = QByteArray(width, 0)}));
    }
}

TEST(BinTreeFormat, EmptyWideStringIsWrittenWithoutValue) {
    TBinaryTreeDocument100 doc;
    auto* s = new TWideStringNode100(doc.TopNode(), "S");
    s->SetData("");
    const QByteArray bytes = Save(doc);
    EXPECT_EQ(bytes, Version() + Encode({.Children = 1, .Name = "ROOT"}) +
                         Encode({.Type = 4, .Name = "S"}));
    TBinaryTreeDocument100 again;
    Load(again, bytes);
    EXPECT_EQ(static_cast<TWideStringNode100*>(again.Nodes()[0])->Data(), "");
}

TEST(BinTreeFormat, ReaderDropsCarriageReturnsFromNames) {
    TBinaryTreeDocument100 doc;
    new TDirectoryNode100(doc.TopNode(), "Line\rBreak");
    const QByteArray bytes = Save(doc);
    EXPECT_TRUE(bytes.contains(testing::NameBytes("Line\rBreak")));
    TBinaryTreeDocument100 again;
    Load(again, bytes);
    EXPECT_EQ(again.Nodes()[0]->NodeName(), "LineBreak");
}

TEST(BinTreeFormat, EmptyNameIsWrittenWithoutNameBytesAndReadAsNoName) {
    TBinaryTreeDocument100 doc;
    doc.TopNode()->SetNodeName("");
    EXPECT_EQ(doc.DataSize(), 28u);
    TBinaryTreeDocument100 again;
    Load(again, Save(doc));
    EXPECT_EQ(again.TopNode()->NodeName(), "NONAME");
}

TEST(BinTreeFormat, NameOfOnlyATerminatorReadsAsEmpty) {
    TBinaryTreeDocument100 doc;
    Load(doc, Version() + Encode({.NameSize = 2}) + QByteArray(2, '\0'));
    EXPECT_EQ(doc.TopNode()->NodeName(), "");
}

TEST(BinTreeFormat, LoadingReplacesTheTopNodeWithItsKindAndName) {
    TBinaryTreeDocument100 doc;
    Load(doc, Version() + Encode({.Id = 5,
                                  .Type = 7,
                                  .SubType = 3,
                                  .Name = "Top",
                                  .Data = QByteArray("\x2A\0\0\0", 4)}));
    EXPECT_EQ(doc.TopNode()->NodeType(), 7u);
    EXPECT_EQ(doc.TopNode()->NodeName(), "Top");
    EXPECT_EQ(doc.TopNode()->NodeID(), 5u);
    EXPECT_EQ(doc.TopNode()->NodeSubType(), 3u);
    EXPECT_EQ(static_cast<TInt32Node100*>(doc.TopNode())->Data(), 42);
    doc.Clear();
    EXPECT_EQ(doc.TopNode()->NodeName(), "Top");
}

TEST(BinTreeFormat, ReadBufferRefusesASmallBufferAndWritesNothing) {
    TBinaryTreeDocument100 doc;
    QByteArray buffer(37, '\x55');
    try {
        doc.ReadBuffer(buffer.data(), buffer.size());
        FAIL();
    } catch (const EBufferOverflow& error) {
        EXPECT_EQ(error.Message(), "Buffer Overflow");
    }
    EXPECT_EQ(buffer, QByteArray(37, '\x55'));
    QByteArray roomy(40, '\x55');
    doc.ReadBuffer(roomy.data(), roomy.size());
    EXPECT_EQ(roomy.right(2), QByteArray(2, '\x55'));
}

TEST(BinTreeFormat, StreamsAndFilesCarryTheSameBytes) {
    TBinaryTreeDocument100 doc;
    testing::FillEveryKind(doc);
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    doc.SaveToStream(stream);
    EXPECT_EQ(stream.data(), Save(doc));
    stream.seek(0);
    TBinaryTreeDocument100 fromStream;
    fromStream.LoadFromStream(stream);
    EXPECT_EQ(Save(fromStream), Save(doc));

    QTemporaryDir dir;
    doc.SaveToFile(dir.filePath("skin.btd"));
    TBinaryTreeDocument100 fromFile;
    fromFile.LoadFromFile(dir.filePath("skin.btd"));
    EXPECT_EQ(Save(fromFile), Save(doc));
    EXPECT_THROW(fromFile.LoadFromFile(dir.filePath("missing.btd")), EFileError);
}

TEST(BinTreeFormat, AStreamThatRefusesWritesIsAFileError) {
    TBinaryTreeDocument100 doc;
    QByteArray storage;
    QBuffer readOnly(&storage);
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_THROW(doc.SaveToStream(readOnly), EFileError);
    QTemporaryDir dir;
    EXPECT_THROW(doc.SaveToFile(dir.filePath("no/such/folder/skin.btd")), EFileError);
}

} // namespace
} // namespace velmora
