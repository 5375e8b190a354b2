// Typed values of every kind, as they sit in the value bytes.
#include "skin/document/BinaryTreeDocument100.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

namespace velmora {
namespace {

template <typename Node> QByteArray ValueBytes(const Node& node) {
    QByteArray bytes(static_cast<qsizetype>(node.DataSize()), '\0');
    node.ReadBuffer(bytes.data());
    return bytes;
}

class BinTreeValueTest : public ::testing::Test {
protected:
    std::unique_ptr<TDirectoryNode100> root = std::make_unique<TDirectoryNode100>(nullptr, "ROOT");
};

TEST_F(BinTreeValueTest, IntegersAreLittleEndian) {
    auto* i32 = new TInt32Node100(root.get(), "i");
    i32->SetData(-2);
    EXPECT_EQ(ValueBytes(*i32), QByteArray("\xFE\xFF\xFF\xFF", 4));
    auto* u16 = new TUInt16Node100(root.get(), "u");
    u16->SetData(0x1234);
    EXPECT_EQ(ValueBytes(*u16), QByteArray("\x34\x12", 2));
    auto* i64 = new TInt64Node100(root.get(), "l");
    i64->WriteBuffer("\x01\x02\x03\x04\x05\x06\x07\x88", 8);
    EXPECT_EQ(i64->Data(), static_cast<std::int64_t>(0x8807060504030201ULL));
}

TEST_F(BinTreeValueTest, FixedKindsRefuseAnyOtherWidthAndKeepTheirValue) {
    auto* i32 = new TInt32Node100(root.get(), "i");
    i32->SetData(77);
    const char bytes[16] = {};
    for (std::int64_t count : {0, 1, 3, 5, 16, -1}) {
        EXPECT_THROW(i32->WriteBuffer(bytes, count), EAssertionFailed) << count;
        EXPECT_EQ(i32->Data(), 77);
        EXPECT_EQ(i32->DataSize(), 4u);
    }
    auto* guid = new TGUIDNode100(root.get(), "g");
    EXPECT_THROW(guid->WriteBuffer(bytes, 15), EAssertionFailed);
}

TEST_F(BinTreeValueTest, BooleansReadAnyNonZeroAsTrueAndWriteAllBits) {
    auto* b32 = new TBool32Node100(root.get(), "b");
    b32->SetData(true);
    EXPECT_EQ(ValueBytes(*b32), QByteArray("\xFF\xFF\xFF\xFF", 4));
    b32->WriteBuffer("\x00\x00\x00\x01", 4);
    EXPECT_TRUE(b32->Data());
    b32->SetData(false);
    EXPECT_FALSE(b32->Data());
    auto* b8 = new TBool8Node100(root.get(), "c");
    b8->WriteBuffer("\x02", 1);
    EXPECT_TRUE(b8->Data());
    auto* b16 = new TBool16Node100(root.get(), "d");
    b16->SetData(true);
    EXPECT_EQ(ValueBytes(*b16), QByteArray("\xFF\xFF", 2));
}

TEST_F(BinTreeValueTest, RealsKeepTheirBitPatterns) {
    auto* r32 = new TReal32Node100(root.get(), "f");
    r32->SetData(1.0f);
    EXPECT_EQ(ValueBytes(*r32), QByteArray("\x00\x00\x80\x3F", 4));
    auto* r64 = new TReal64Node100(root.get(), "d");
    r64->SetData(-0.0);
    EXPECT_TRUE(std::signbit(r64->Data()));
    auto* r48 = new TReal48Node100(root.get(), "r48");
    r48->WriteBuffer("\x81\x01\x02\x03\x04\x85", 6);
    EXPECT_EQ(ValueBytes(*r48), QByteArray("\x81\x01\x02\x03\x04\x85", 6));
}

TEST_F(BinTreeValueTest, Real80MatchesTheX87Layout) {
    auto* r80 = new TReal80Node100(root.get(), "e");
    r80->SetData(1.0L);
    EXPECT_EQ(ValueBytes(*r80), QByteArray("\x00\x00\x00\x00\x00\x00\x00\x80\xFF\x3F", 10));
    r80->SetData(-3.75L);
    EXPECT_EQ(r80->Data(), -3.75L);
    r80->SetData(0.0L);
    EXPECT_EQ(ValueBytes(*r80), QByteArray(10, '\0'));
    r80->SetData(std::numeric_limits<long double>::infinity());
    EXPECT_TRUE(std::isinf(r80->Data()));
    r80->SetData(std::numeric_limits<long double>::quiet_NaN());
    EXPECT_TRUE(std::isnan(r80->Data()));
    r80->SetData(1e-4940L); // below the normal range: a denormal on x87
    EXPECT_GT(r80->Data(), 0.0L);
    EXPECT_NEAR(static_cast<double>(r80->Data() / 1e-4940L), 1.0, 1e-6);
}

TEST_F(BinTreeValueTest, TimeStampIsTimeThenDate) {
    auto* ts = new TTimeStampNode100(root.get(), "t");
    ts->SetData({1000, 2});
    EXPECT_EQ(ValueBytes(*ts), QByteArray("\xE8\x03\x00\x00\x02\x00\x00\x00", 8));
    EXPECT_EQ(ts->Data(), (TTimeStamp100{1000, 2}));
}

TEST_F(BinTreeValueTest, GuidUsesItsInMemoryLayout) {
    auto* g = new TGUIDNode100(root.get(), "g");
    const QUuid id("{00112233-4455-6677-8899-aabbccddeeff}");
    g->SetData(id);
    EXPECT_EQ(ValueBytes(*g).toHex(), "33221100554477668899aabbccddeeff");
    EXPECT_EQ(g->Data(), id);
}

TEST_F(BinTreeValueTest, WideStringCountsItsTerminator) {
    auto* s = new TWideStringNode100(root.get(), "s");
    s->SetData("Default");
    EXPECT_EQ(s->DataSize(), 16u);
    EXPECT_EQ(ValueBytes(*s).right(2), QByteArray(2, '\0'));
    EXPECT_EQ(s->Data(), "Default");
    s->SetData("");
    EXPECT_EQ(s->DataSize(), 0u);
    EXPECT_EQ(s->Data(), "");
}

TEST_F(BinTreeValueTest, WideStringStopsAtTheFirstNulAndIgnoresAnOddByte) {
    auto* s = new TWideStringNode100(root.get(), "s");
    s->WriteBuffer("A\0B\0\0\0C\0", 8);
    EXPECT_EQ(s->Data(), "AB");
    s->WriteBuffer("A\0B", 3);
    EXPECT_EQ(s->Data(), "A");
    s->WriteBuffer("Z", 1);
    EXPECT_EQ(s->Data(), "");
}

TEST_F(BinTreeValueTest, EmptyWritesLeaveStringsAloneButEmptyABinary) {
    auto* s = new TAnsiStringNode100(root.get(), "s");
    s->SetData("abc");
    s->WriteBuffer(nullptr, 0);
    EXPECT_EQ(s->Data(), "abc");
    auto* b = new TBinaryNode100(root.get(), "b");
    b->WriteBuffer("xyz", 3);
    ASSERT_NE(b->DataBuf(), nullptr);
    b->WriteBuffer(nullptr, 0);
    EXPECT_EQ(b->DataSize(), 0u);
    EXPECT_EQ(b->DataBuf(), nullptr);
}

TEST_F(BinTreeValueTest, AnsiStringIsUtf8WithOneNul) {
    auto* s = new TAnsiStringNode100(root.get(), "s");
    s->SetData(QString::fromUtf8("Grün"));
    EXPECT_EQ(ValueBytes(*s), QByteArray("Gr\xC3\xBCn\0", 6));
    EXPECT_EQ(s->Data(), QString::fromUtf8("Grün"));
    s->WriteBuffer("no terminator", 13);
    EXPECT_EQ(s->Data(), "no terminator");
}

TEST_F(BinTreeValueTest, ClearDataEmptiesVariableKindsOnly) {
    auto* b = new TBinaryNode100(root.get(), "b");
    b->WriteBuffer("abc", 3);
    b->ClearData();
    EXPECT_EQ(b->DataSize(), 0u);
    auto* i = new TInt16Node100(root.get(), "i");
    i->SetData(5);
    i->ClearData();
    EXPECT_EQ(i->DataSize(), 2u);
}

TEST_F(BinTreeValueTest, BinaryStreamsAndFilesCarryTheWholeValue) {
    auto* b = new TBinaryNode100(root.get(), "b");
    QByteArray source("\x89PNG\0data", 9);
    QBuffer in(&source);
    in.open(QIODevice::ReadOnly);
    b->LoadFromStream(in);
    EXPECT_EQ(b->Bytes(), source);
    QTemporaryDir dir;
    const QString path = dir.filePath("image.png");
    b->SaveToFile(path);
    auto* copy = new TBinaryNode100(root.get(), "copy");
    copy->LoadFromFile(path);
    EXPECT_EQ(copy->Bytes(), source);
    QByteArray empty;
    QBuffer none(&empty);
    none.open(QIODevice::ReadOnly);
    copy->LoadFromStream(none);
    EXPECT_EQ(copy->DataSize(), 0u);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    copy->SaveToStream(out);
    EXPECT_EQ(out.size(), 0);
}

TEST_F(BinTreeValueTest, MissingFilesRaiseTheFileLayersError) {
    auto* b = new TBinaryNode100(root.get(), "b");
    QTemporaryDir dir;
    EXPECT_THROW(b->LoadFromFile(dir.filePath("missing.png")), EFileError);
    EXPECT_THROW(b->SaveToFile(dir.filePath("no/such/folder.png")), EFileError);
}

} // namespace
} // namespace velmora
