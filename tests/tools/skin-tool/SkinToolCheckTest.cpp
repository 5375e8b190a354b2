// skin-tool check: every picture of a skin decoded with the installer's decoder.
#include "skin/document/BinaryNode100.h"
#include "skin/document/BinaryTreeDocument100.h"
#include "skin/document/VariableNodes100.h"
#include "tests/tools/skin-tool/SkinToolHarness.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace velmora {
namespace {

QByteArray Encoded(int width, int height, const char* format) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(0xFF3366CC);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data();
}

void AddPicture(TBinTreeNode100* parent, const QString& name, const QByteArray& bytes) {
    (new TBinaryNode100(parent, name))->WriteBuffer(bytes.constData(), bytes.size());
}

using testing::RunTool;

TEST(SkinToolCheck, ListsEveryPictureAndFailsOnTheOneThatCannotDecode) {
    QTemporaryDir dir;
    TBinaryTreeDocument100 doc;
    auto* form = new TDirectoryNode100(doc.TopNode(), "SkinForm");
    auto* buttons = new TDirectoryNode100(form, "SysBtns");
    AddPicture(buttons, "Close.png", Encoded(28, 20, "PNG"));
    new TWideStringNode100(form, "Caption"); // not a picture: not listed
    auto* mgr = new TDirectoryNode100(doc.TopNode(), "SkinMgr");
    AddPicture(mgr, "Back.jpg", Encoded(64, 32, "JPEG"));
    const QString good = dir.filePath("good.btd");
    doc.SaveToFile(good);

    const testing::ToolRun ok = RunTool({"check", good});
    EXPECT_EQ(ok.Code, 0) << ok.Err.toStdString();
    EXPECT_EQ(ok.Out, QByteArray("SkinForm\\SysBtns\\Close.png\tPNG\t28x20\n"
                                 "SkinMgr\\Back.jpg\tJPEG\t64x32\n"));

    // A truncated PNG and bytes that are no picture at all.
    AddPicture(buttons, "Max.png", Encoded(28, 20, "PNG").left(40));
    AddPicture(mgr, "Notes.bin", "plain text, not a picture");
    const QString bad = dir.filePath("bad.btd");
    doc.SaveToFile(bad);
    const testing::ToolRun failed = RunTool({"check", bad});
    EXPECT_EQ(failed.Code, 1);
    EXPECT_TRUE(failed.Out.contains("SkinForm\\SysBtns\\Max.png\tERROR\t"))
        << failed.Out.toStdString();
    EXPECT_TRUE(failed.Out.contains("SkinMgr\\Notes.bin\tERROR\t"));
    EXPECT_TRUE(failed.Err.contains("2 of 4 pictures cannot be decoded"));

    EXPECT_EQ(RunTool({"check"}).Code, 2);
    EXPECT_EQ(RunTool({"check", "--help"}).Code, 0);
    testing::WriteAll(dir.filePath("junk.btd"), "not a document");
    const testing::ToolRun junk = RunTool({"check", dir.filePath("junk.btd")});
    EXPECT_EQ(junk.Code, 1);
    EXPECT_EQ(junk.Err, QStringLiteral("skin-tool: Unknown Version\n"));
}

} // namespace
} // namespace velmora
