// Malformed input: the fixed errors, the state they leave, and never a byte read outside.
#include "skin/document/BinaryTreeDocument100.h"
#include "tests/skin/document/EveryKindDocument.h"
#include "tests/skin/document/RawRecords.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace velmora {
namespace {

using testing::Encode;
using testing::RawRecord;
using testing::Version;

// Loads from a heap copy of exactly the given length, so the sanitizer sees any overread.
QString LoadError(TBinaryTreeDocument100& doc, const QByteArray& bytes) {
    const std::vector<char> exact(bytes.begin(), bytes.end());
    try {
        doc.WriteBuffer(exact.data(), static_cast<std::int64_t>(exact.size()));
    } catch (const EBinaryTreeError& error) {
        return error.Message();
    }
    return {};
}

QByteArray Root(std::uint32_t children) {
    return Encode({.Children = children, .Name = "ROOT"});
}

class BinTreeMalformedTest : public ::testing::Test {
protected:
    void SetUp() override { new TDirectoryNode100(doc.TopNode(), "Before"); }
    TBinaryTreeDocument100 doc;
};

TEST_F(BinTreeMalformedTest, ShortBufferIsNoDocumentAndChangesNothing) {
    for (int length = 0; length < 4; ++length)
        EXPECT_EQ(LoadError(doc, QByteArray(length, 'd')), "Invalid Binary Tree Document");
    EXPECT_EQ(doc.Nodes().Count(), 1);
    QByteArray three("\x64\0\0", 3);
    QBuffer stream(&three);
    stream.open(QIODevice::ReadOnly);
    EXPECT_THROW(doc.LoadFromStream(stream), EInvalidBinaryTreeDocument);
    EXPECT_EQ(doc.Nodes().Count(), 1);
}

TEST_F(BinTreeMalformedTest, UnknownVersionLeavesOnlyTheTopNode) {
    EXPECT_EQ(LoadError(doc, Version(101) + Root(0)), "Unknown Version");
    EXPECT_EQ(doc.Nodes().Count(), 0);
    EXPECT_EQ(doc.TopNode()->NodeName(), "ROOT");
}

TEST_F(BinTreeMalformedTest, TopHeadCutShortIsNoDocument) {
    const QByteArray full = Version() + Root(0);
    for (int length = 4; length < 28; ++length)
        EXPECT_EQ(LoadError(doc, full.left(length)), "Invalid Binary Tree Document") << length;
}

TEST_F(BinTreeMalformedTest, UnknownTagKeepsTheNodesReadSoFar) {
    const QByteArray bytes = Version() + Root(3) + Encode({.Name = "a"}) +
                             Encode({.Type = 24, .Name = "bad"}) + Encode({.Name = "c"});
    EXPECT_EQ(LoadError(doc, bytes), "Invalid Node");
    ASSERT_EQ(doc.Nodes().Count(), 1);
    EXPECT_EQ(doc.Nodes()[0]->NodeName(), "a");
}

TEST_F(BinTreeMalformedTest, WrongValueWidthIsAnAssertionAndTheNodeIsNotKept) {
    const QByteArray bytes = Version() + Root(2) + Encode({.Name = "a"}) +
                             Encode({.Type = nt100_Int32, .Name = "b", .Data = "xyz"});
    EXPECT_EQ(LoadError(doc, bytes), "Assertion failure");
    ASSERT_EQ(doc.Nodes().Count(), 1);
    EXPECT_EQ(doc.Nodes()[0]->NodeName(), "a");
}

TEST_F(BinTreeMalformedTest, NameOrValueRunningPastTheEndIsRejected) {
    const QByteArray head = Version() + Root(1);
    EXPECT_EQ(LoadError(doc, head + Encode({.Name = "abc", .NameSize = 9})),
              "Invalid Binary Tree Document");
    EXPECT_EQ(
        LoadError(doc,
                  head + Encode({.Type = nt100_Binary, .Name = "b", .Data = "12", .DataSize = 3})),
        "Invalid Binary Tree Document");
    EXPECT_EQ(LoadError(doc, head + Encode({.Name = "x", .NameSize = 0xFFFFFFFF})),
              "Invalid Binary Tree Document");
    // Sizes whose sum wraps a 32-bit counter must not pass as small.
    EXPECT_EQ(LoadError(doc, head + Encode({.Type = nt100_Binary,
                                            .Name = "x",
                                            .NameSize = 0x80000000,
                                            .DataSize = 0x80000000})),
              "Invalid Binary Tree Document");
}

TEST_F(BinTreeMalformedTest, EveryTruncationFailsCleanlyOrLoadsAPrefix) {
    TBinaryTreeDocument100 source;
    testing::FillEveryKind(source);
    const QByteArray full = source.SaveToByteArray();
    for (qsizetype length = 0; length < full.size(); ++length) {
        TBinaryTreeDocument100 target;
        const QString error = LoadError(target, full.left(length));
        if (error.isEmpty()) {
            // Only whole records made it in, so saving gives a document no larger.
            EXPECT_LE(target.DataSize(), static_cast<std::uint64_t>(full.size()));
            TBinaryTreeDocument100 again;
            EXPECT_EQ(LoadError(again, target.SaveToByteArray()), "");
        } else {
            EXPECT_TRUE(error == "Invalid Binary Tree Document") << length << error.toStdString();
        }
    }
}

TEST_F(BinTreeMalformedTest, EveryOverlongSizeFieldIsRejected) {
    TBinaryTreeDocument100 source;
    testing::FillEveryKind(source);
    const QByteArray full = source.SaveToByteArray();
    // Walk the records and, one at a time, make the name or value claim one byte too many.
    qsizetype pos = 4;
    int records = 0;
    while (pos < full.size()) {
        const auto n = qFromLittleEndian<std::uint32_t>(full.constData() + pos + 16);
        const auto d = qFromLittleEndian<std::uint32_t>(full.constData() + pos + 20);
        const auto rest = static_cast<std::uint32_t>(full.size() - pos - 24);
        for (const auto& [offset, value] : {std::pair{16, rest + 1}, std::pair{20, rest - n + 1}}) {
            QByteArray broken = full;
            qToLittleEndian<std::uint32_t>(value, broken.data() + pos + offset);
            TBinaryTreeDocument100 target;
            EXPECT_EQ(LoadError(target, broken), "Invalid Binary Tree Document") << pos;
        }
        pos += 24 + n + d;
        ++records;
    }
    EXPECT_EQ(records, 31);
}

TEST_F(BinTreeMalformedTest, MissingChildrenEndQuietlyAtTheEndOfTheBuffer) {
    EXPECT_EQ(LoadError(doc, Version() + Root(5) + Encode({.Name = "only"})), "");
    ASSERT_EQ(doc.Nodes().Count(), 1);
    // A few stray bytes where the next head would be are not a record either.
    EXPECT_EQ(LoadError(doc, Version() + Root(2) + Encode({.Name = "a"}) + "tail"), "");
    EXPECT_EQ(doc.Nodes().Count(), 1);
}

TEST_F(BinTreeMalformedTest, ADirectoryRecordWithValueBytesSkipsThem) {
    EXPECT_EQ(LoadError(doc, Version() + Root(2) + Encode({.Name = "dir", .Data = "ignored"}) +
                                 Encode({.Name = "next"})),
              "");
    ASSERT_EQ(doc.Nodes().Count(), 2);
    EXPECT_EQ(doc.Nodes()[0]->DataSize(), 0u);
    EXPECT_EQ(doc.Nodes()[1]->NodeName(), "next");
}

TEST_F(BinTreeMalformedTest, BytesAfterTheTreeAreIgnored) {
    EXPECT_EQ(LoadError(doc, Version() + Root(1) + Encode({.Name = "a"}) + Encode({.Name = "b"})),
              "");
    EXPECT_EQ(doc.Nodes().Count(), 1);
}

TEST_F(BinTreeMalformedTest, AFinalRecordOfExactlyTwentyFourBytesIsRead) {
    EXPECT_EQ(LoadError(doc, Version() + Root(2) + Encode({.Name = "a"}) + Encode({})), "");
    ASSERT_EQ(doc.Nodes().Count(), 2);
    EXPECT_EQ(doc.Nodes()[1]->NodeName(), "NONAME");
}

TEST_F(BinTreeMalformedTest, LongNamesAreCutToSixtyFourUnitsAndReadingGoesOn) {
    const QString longName(100, QChar(u'n'));
    EXPECT_EQ(
        LoadError(doc, Version() + Root(2) + Encode({.Name = longName}) + Encode({.Name = "next"})),
        "");
    ASSERT_EQ(doc.Nodes().Count(), 2);
    EXPECT_EQ(doc.Nodes()[0]->NodeName(), QString(64, QChar(u'n')));
    EXPECT_EQ(doc.Nodes()[1]->NodeName(), "next");
}

TEST_F(BinTreeMalformedTest, NamesWithoutTerminatorOrWithAnOddSizeStayInside) {
    EXPECT_EQ(LoadError(doc, Version() + Root(1) + Encode({.Name = "abc", .NameSize = 5})), "");
    ASSERT_EQ(doc.Nodes().Count(), 1);
    EXPECT_EQ(doc.Nodes()[0]->NodeName(), "ab");
}

QByteArray Chain(int depth) {
    QByteArray bytes = Version() + Root(1);
    for (int i = 0; i < depth; ++i)
        bytes += Encode({.Children = i + 1 < depth ? 1u : 0u, .Name = "d"});
    return bytes;
}

TEST_F(BinTreeMalformedTest, NestingIsBoundedWithAClearError) {
    EXPECT_EQ(LoadError(doc, Chain(256)), "");
    EXPECT_EQ(LoadError(doc, Chain(257)), "Binary Tree Document nested too deeply");
    // Far deeper than any stack could follow by recursion.
    EXPECT_EQ(LoadError(doc, Chain(200000)), "Binary Tree Document nested too deeply");
    doc.SetReadLimits({.MaxDepth = 3, .MaxNodes = 1000});
    EXPECT_EQ(LoadError(doc, Chain(3)), "");
    EXPECT_EQ(LoadError(doc, Chain(4)), "Binary Tree Document nested too deeply");
}

TEST_F(BinTreeMalformedTest, NodeCountIsBoundedWithAClearError) {
    doc.SetReadLimits({.MaxDepth = 256, .MaxNodes = 10});
    QByteArray bytes = Version() + Root(9);
    for (int i = 0; i < 9; ++i)
        bytes += Encode({.Name = "n"});
    EXPECT_EQ(LoadError(doc, bytes), "");
    bytes = Version() + Root(10);
    for (int i = 0; i < 10; ++i)
        bytes += Encode({.Name = "n"});
    EXPECT_EQ(LoadError(doc, bytes), "Binary Tree Document holds too many nodes");
    EXPECT_EQ(doc.Nodes().Count(), 9);
}

TEST_F(BinTreeMalformedTest, HugeChildCountsAllocateNothingAhead) {
    EXPECT_EQ(LoadError(doc, Version() + Root(0xFFFFFFFF) + Encode({.Name = "a"})), "");
    EXPECT_EQ(doc.Nodes().Count(), 1);
}

} // namespace
} // namespace velmora
