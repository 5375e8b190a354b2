// build -> dump -> build gives back the very same bytes, whatever the values hold.
#include "tests/skin/document/EveryKindDocument.h"
#include "tests/tools/skin-tool/SkinToolHarness.h"
#include "tools/skin-tool/SkinManifest.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace velmora {
namespace {

using testing::ReadAll;
using testing::RunTool;

class SkinToolRoundTrip : public ::testing::Test {
protected:
    // Saves doc, dumps it, builds the dump, and returns the rebuilt bytes.
    QByteArray DumpAndRebuild(const TBinaryTreeDocument100& doc) {
        const QString original = dir.filePath("original.btd");
        doc.SaveToFile(original);
        EXPECT_EQ(RunTool({"dump", original, "-o", dir.filePath("dump")}).Code, 0);
        const testing::ToolRun run =
            RunTool({"build", dir.filePath("dump/skin.json"), "-o", dir.filePath("again.btd")});
        EXPECT_EQ(run.Code, 0) << run.Err.toStdString();
        return ReadAll(dir.filePath("again.btd"));
    }
    QJsonObject Manifest() {
        return QJsonDocument::fromJson(ReadAll(dir.filePath("dump/skin.json"))).object();
    }
    QTemporaryDir dir;
};

TEST_F(SkinToolRoundTrip, EveryKindComesBackByteForByte) {
    TBinaryTreeDocument100 doc;
    testing::FillEveryKind(doc);
    EXPECT_EQ(DumpAndRebuild(doc), doc.SaveToByteArray());
    // Readable values where they exist, raw bytes only where none is faithful.
    const QByteArray manifest = ReadAll(dir.filePath("dump/skin.json"));
    EXPECT_TRUE(manifest.contains("\"value\": \"Default\""));
    EXPECT_TRUE(manifest.contains("\"value\": \"-6464646464646464\""));
    EXPECT_TRUE(manifest.contains("\"value\": \"12.3456\""));
    EXPECT_TRUE(manifest.contains("\"hex\": \"810000000040\""));
    EXPECT_TRUE(QFile::exists(dir.filePath("dump/files/0001-Logo.png")));
}

TEST_F(SkinToolRoundTrip, ValuesWithoutAFaithfulReadableFormFallBackToHex) {
    TBinaryTreeDocument100 doc;
    TBinTreeNode100* top = doc.TopNode();
    (new TReal64Node100(top, "nan"))->SetData(std::numeric_limits<double>::quiet_NaN());
    (new TReal64Node100(top, "negzero"))->SetData(-0.0);
    (new TReal32Node100(top, "tenth"))->SetData(0.1f);
    (new TReal80Node100(top, "precise"))
        ->WriteBuffer("\x01\x00\x00\x00\x00\x00\x00\x80\xFF\x3F", 10);
    (new TWideStringNode100(top, "unterminated"))->WriteBuffer("A\0B\0", 4);
    (new TAnsiStringNode100(top, "twoNuls"))->WriteBuffer("a\0\0", 3);
    (new TBool32Node100(top, "one"))->WriteBuffer("\x01\0\0\0", 4);
    (new TAnsiCharNode100(top, "high"))->SetData(0xE9);
    (new TWideCharNode100(top, "surrogate"))->SetData(0xD800);
    (new TAnsiStringNode100(top, "badUtf8"))->WriteBuffer("\xC3\0", 2);
    (new TDirectoryNode100(top, " spaced "))->SetNodeID(4000000000U);
    top->SetNodeSubType(77);
    EXPECT_EQ(DumpAndRebuild(doc), doc.SaveToByteArray());
    EXPECT_TRUE(ReadAll(dir.filePath("dump/skin.json")).contains("\"value\": 0.1\n"));
}

TEST_F(SkinToolRoundTrip, ATopNodeOfAnotherKindSurvives) {
    TBinaryTreeDocument100 doc;
    auto top = std::make_unique<TInt32Node100>(nullptr, "Top");
    top->SetData(-5);
    new TBinaryNode100(top.get(), "child");
    doc.SetTopNode(std::move(top));
    EXPECT_EQ(DumpAndRebuild(doc), doc.SaveToByteArray());
    EXPECT_EQ(Manifest().value("root").toObject().value("type").toString(), "Int32");
}

TEST_F(SkinToolRoundTrip, TheManifestIsWhatAnAuthorWouldWrite) {
    TBinaryTreeDocument100 doc;
    testing::FillEveryKind(doc);
    DumpAndRebuild(doc);
    const QJsonObject root = Manifest().value("root").toObject();
    EXPECT_EQ(root.value("name").toString(), "ROOT");
    const QJsonObject info = root.value("children").toArray().at(0).toObject();
    EXPECT_EQ(info.value("name").toString(), "SkinInfo");
    const QJsonObject values = root.value("children").toArray().at(1).toObject();
    EXPECT_EQ(values.value("id").toInt(), 7);
    for (const QJsonValue child : values.value("children").toArray()) {
        const QJsonObject node = child.toObject();
        if (node.value("type") == "Real48")
            continue;
        EXPECT_TRUE(node.contains("value")) << node.value("name").toString().toStdString();
    }
}

} // namespace
} // namespace velmora
