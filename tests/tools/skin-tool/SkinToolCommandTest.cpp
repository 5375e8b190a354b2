// The command line: help, get, manifest faults and malformed documents.
#include "skin/document/BinaryTreeDocument100.h"
#include "tests/skin/document/EveryKindDocument.h"
#include "tests/tools/skin-tool/SkinToolHarness.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace velmora {
namespace {

using testing::ReadAll;
using testing::RunTool;
using testing::WriteAll;

class SkinToolCommand : public ::testing::Test {
protected:
    void SetUp() override {
        TBinaryTreeDocument100 doc;
        testing::FillEveryKind(doc);
        skin = dir.filePath("skin.btd");
        doc.SaveToFile(skin);
    }
    // Builds a manifest whose root has the given children and returns the run.
    testing::ToolRun BuildChildren(const QByteArray& children) {
        WriteAll(dir.filePath("m.json"),
                 R"({"format": "binary-tree-document-manifest", "root": {"name": "ROOT",
                     "type": "Directory", "children": [)" +
                     children + "]}}");
        return RunTool({"build", dir.filePath("m.json"), "-o", dir.filePath("out.btd")});
    }
    QTemporaryDir dir;
    QString skin;
};

TEST_F(SkinToolCommand, EveryCommandHasHelp) {
    for (const QStringList& arguments :
         {QStringList{"--help"}, {"build", "--help"}, {"dump", "--help"}, {"get", "--help"}}) {
        const testing::ToolRun run = RunTool(arguments);
        EXPECT_EQ(run.Code, 0);
        EXPECT_TRUE(run.Out.startsWith("Usage: skin-tool")) << run.Out.constData();
    }
}

TEST_F(SkinToolCommand, MalformedCommandLinesExitWithTwo) {
    for (const QStringList& arguments : {QStringList{},
                                         {"frobnicate"},
                                         {"build", "m.json"},
                                         {"dump", skin},
                                         {"get", skin},
                                         {"get", skin, "a", "b"},
                                         {"build", "m.json", "-o"},
                                         {"dump", skin, "-x", "o"}}) {
        const testing::ToolRun run = RunTool(arguments);
        EXPECT_EQ(run.Code, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.Err.startsWith("skin-tool: ") || run.Err.startsWith("Usage"));
    }
}

TEST_F(SkinToolCommand, GetPrintsReadableValues) {
    EXPECT_EQ(RunTool({"get", skin, "SkinInfo\\SkinName"}).Out, "Default\n");
    EXPECT_EQ(RunTool({"get", skin, " \\SkinInfo\\SkinName\\ "}).Out, "Default\n");
    EXPECT_EQ(RunTool({"get", skin, "Values\\Int32"}).Out, "-32323232\n");
    EXPECT_EQ(RunTool({"get", skin, "Values\\Bool32"}).Out, "true\n");
    EXPECT_EQ(RunTool({"get", skin, "Values\\Real32"}).Out, "1.5\n");
    EXPECT_EQ(RunTool({"get", skin, "Values\\Currency"}).Out, "12.3456\n");
    EXPECT_EQ(RunTool({"get", skin, "Values\\TimeStamp"}).Out,
              "{\"date\":738000,\"time\":43200000}\n");
    EXPECT_EQ(RunTool({"get", skin, "Values\\Real48"}).Out, "81 00 00 00 00 40\n");
    EXPECT_EQ(RunTool({"get", skin, "Values\\Guid"}).Out,
              "{01234567-89ab-cdef-0123-456789abcdef}\n");
    EXPECT_EQ(RunTool({"get", skin, "SkinInfo"}).Out,
              "SkinName\tWideString\nAuthor\tAnsiString\nEmpty\tWideString\n");
}

TEST_F(SkinToolCommand, GetRawWritesTheValueBytes) {
    const testing::ToolRun run = RunTool({"get", skin, "Images\\Logo", "--raw"});
    EXPECT_EQ(run.Code, 0);
    EXPECT_TRUE(run.Out.startsWith("\x89PNG"));
    EXPECT_EQ(run.Out.size(), 29);
}

TEST_F(SkinToolCommand, GetOfAMissingPathFails) {
    const testing::ToolRun run = RunTool({"get", skin, "SkinInfo\\\\SkinName"});
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Err, "skin-tool: no node at path \"SkinInfo\\\\SkinName\"\n");
}

TEST_F(SkinToolCommand, MalformedDocumentsReportTheDocumentsOwnMessage) {
    const QByteArray good = ReadAll(skin);
    struct Case {
        QByteArray bytes;
        const char* message;
    };
    QByteArray badTag = good;
    badTag[4 + 24 + 10 + 4] = 30; // type of the first child record
    QByteArray overlong = good;
    overlong[4 + 24 + 10 + 19] = '\x7F'; // top byte of the first child's name size
    for (const Case& c :
         {Case{good.left(3), "Invalid Binary Tree Document"},
          Case{QByteArray("\x65\0\0\0", 4) + good.mid(4), "Unknown Version"},
          Case{good.left(20), "Invalid Binary Tree Document"}, Case{badTag, "Invalid Node"},
          Case{overlong, "Invalid Binary Tree Document"}}) {
        WriteAll(dir.filePath("bad.btd"), c.bytes);
        for (const char* command : {"get", "dump"}) {
            const QStringList arguments =
                QString(command) == "get"
                    ? QStringList{"get", dir.filePath("bad.btd"), "SkinInfo"}
                    : QStringList{"dump", dir.filePath("bad.btd"), "-o", dir.filePath("d")};
            const testing::ToolRun run = RunTool(arguments);
            EXPECT_EQ(run.Code, 1) << c.message;
            EXPECT_EQ(run.Err, QString("skin-tool: %1\n").arg(c.message));
        }
    }
}

TEST_F(SkinToolCommand, ManifestFaultsNameTheNode) {
    const struct {
        QByteArray children;
        const char* message;
    } cases[] = {
        {R"({"name": "a", "type": "Int33"})", "ROOT\\a: unknown \"type\""},
        {R"({"name": "a", "type": "Int8", "colour": 1})", "ROOT\\a: unknown key \"colour\""},
        {R"({"name": "a", "type": "Int8", "value": 300})", "ROOT\\a: expected an integer"},
        {R"({"name": "a", "type": "Int8", "value": 1.5})", "ROOT\\a: expected an integer"},
        {R"({"name": "a", "type": "Int32", "hex": "0102"})", "ROOT\\a: a Int32 value takes 4"},
        {R"({"name": "a", "type": "Int32", "hex": "zz"})", "ROOT\\a: \"hex\" must be"},
        {R"({"name": "a", "type": "Bool8", "value": "yes"})", "ROOT\\a: expected true or false"},
        {R"({"name": "a", "type": "Guid", "value": "{nonsense}"})", "ROOT\\a: expected a GUID"},
        {R"({"name": "a", "type": "Currency", "value": "1.23456"})", "ROOT\\a: expected an amount"},
        {R"({"name": "a", "type": "Int8", "value": 1, "hex": "01"})", "ROOT\\a: give only one"},
        {R"({"name": "a", "type": "Directory", "hex": "01"})", "ROOT\\a: a directory holds"},
        {R"({"name": "a", "type": "Real48", "value": 1})", "ROOT\\a: this node type has no"},
        {R"({"type": "Int8"})", "ROOT: a node needs a \"name\""},
        {R"({"name": "a", "type": "Directory", "children": {}})", "ROOT\\a: \"children\" must"},
        {R"({"name": "a", "type": "Int8", "id": -1})", "ROOT\\a: \"id\" must be an integer"},
    };
    for (const auto& c : cases) {
        const testing::ToolRun run = BuildChildren(c.children);
        EXPECT_EQ(run.Code, 1) << c.children.constData();
        EXPECT_TRUE(run.Err.startsWith(QString("skin-tool: %1").arg(c.message)))
            << run.Err.toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath("out.btd")));
    }
}

TEST_F(SkinToolCommand, ManifestFilesAndJsonFaultsAreReported) {
    const testing::ToolRun missing =
        BuildChildren(R"({"name": "a", "type": "Binary", "file": "nowhere.png"})");
    EXPECT_EQ(missing.Code, 1);
    EXPECT_TRUE(missing.Err.contains("Cannot open file")) << missing.Err.toStdString();
    WriteAll(dir.filePath("broken.json"), "{\"format\": ");
    const testing::ToolRun broken =
        RunTool({"build", dir.filePath("broken.json"), "-o", dir.filePath("x.btd")});
    EXPECT_EQ(broken.Code, 1);
    EXPECT_TRUE(broken.Err.contains("not JSON"));
    WriteAll(dir.filePath("other.json"), R"({"format": "something else", "root": {}})");
    EXPECT_TRUE(RunTool({"build", dir.filePath("other.json"), "-o", dir.filePath("x.btd")})
                    .Err.contains("\"format\" must be"));
}

TEST_F(SkinToolCommand, BinaryValuesComeFromFilesBesideTheManifest) {
    WriteAll(dir.filePath("logo.png"), "\x89PNG fake");
    const testing::ToolRun run = BuildChildren(
        R"({"name": "Logo", "type": "Binary", "subType": 1, "file": "logo.png"},
           {"name": "Mark", "type": "Binary"})");
    ASSERT_EQ(run.Code, 0) << run.Err.toStdString();
    TBinaryTreeDocument100 doc;
    doc.LoadFromFile(dir.filePath("out.btd"));
    auto* logo = static_cast<TBinaryNode100*>(doc.FindNodeByPath("Logo"));
    EXPECT_EQ(logo->Bytes(), "\x89PNG fake");
    EXPECT_EQ(logo->NodeSubType(), 1u);
    EXPECT_EQ(doc.FindNodeByPath("Mark")->DataSize(), 0u);
}

TEST_F(SkinToolCommand, TheExecutableExitsCleanlyOnGarbage) {
    WriteAll(dir.filePath("garbage.btd"), QByteArray("\x64\0\0\0", 4) + QByteArray(30, '\xFF'));
    QProcess process;
    process.start(SKIN_TOOL_EXECUTABLE, {"dump", dir.filePath("garbage.btd"), "-o", dir.path()});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_EQ(process.readAllStandardError(), "skin-tool: Invalid Node\n");
}

} // namespace
} // namespace velmora
