#include "tests/support/PayloadImageBuilder.h"
#include "tests/support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using velmora::test::ReadFile;
using velmora::test::ReadTree;
using velmora::test::WriteFile;

namespace {

using TRun = velmora::test::TProcessRun;

TRun Tool(const QStringList& args) {
    return velmora::test::RunProcess(QStringLiteral(PAYLOAD_TOOL), args);
}

TEST(PayloadToolTest, BuildListVerifyExtractRoundTrip) {
    QTemporaryDir dir;
    const QString source = dir.filePath(u"release"_qs);
    WriteFile(source + u"/Velmora/Corvex.exe"_qs, "program");
    WriteFile(source + u"/Velmora/Docs/快速入门.txt"_qs, "入门");
    WriteFile(source + u"/Velmora/Data/empty.lock"_qs, "");
    const QString archive = dir.filePath(u"payload.bin"_qs);

    ASSERT_EQ(Tool({u"build"_qs, source, u"-o"_qs, archive}).Exit, 0);
    const QByteArray first = ReadFile(archive);
    ASSERT_EQ(Tool({u"build"_qs, source, u"-o"_qs, archive}).Exit, 0);
    EXPECT_EQ(ReadFile(archive), first); // deterministic

    const TRun list = Tool({u"list"_qs, archive});
    EXPECT_EQ(list.Exit, 0);
    EXPECT_EQ(list.Out, u"7\tVelmora\\Corvex.exe\n0\tVelmora\\Data\\empty.lock\n"
                        u"6\tVelmora\\Docs\\快速入门.txt\n"_qs);

    const TRun verify = Tool({u"verify"_qs, archive});
    EXPECT_EQ(verify.Exit, 0);
    EXPECT_TRUE(verify.Out.startsWith(u"ok: 3 entries, 13 bytes"_qs)) << verify.Out.toStdString();

    const QString install = dir.filePath(u"install"_qs);
    const TRun extract = Tool({u"extract"_qs, archive, install});
    EXPECT_EQ(extract.Exit, 0) << extract.Err.toStdString();
    EXPECT_EQ(ReadTree(install), ReadTree(source));
    EXPECT_TRUE(extract.Err.contains(u"[3/3]"_qs));
}

TEST(PayloadToolTest, BadInputGivesAClearMessageAndNonZeroExit) {
    QTemporaryDir dir;
    const QString archive = dir.filePath(u"payload.bin"_qs);

    WriteFile(archive, "this is not a zlib stream");
    for (const QString& command : {u"list"_qs, u"verify"_qs}) {
        const TRun run = Tool({command, archive});
        EXPECT_EQ(run.Exit, 1);
        EXPECT_TRUE(
            run.Err.contains(u"ZDecompressStream:提取安装包出错!: incorrect header check"_qs))
            << run.Err.toStdString();
    }
    const TRun extract = Tool({u"extract"_qs, archive, dir.filePath(u"install"_qs)});
    EXPECT_EQ(extract.Exit, 1);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"install"_qs)));

    EXPECT_EQ(Tool({u"list"_qs, dir.filePath(u"missing.bin"_qs)}).Exit, 1);

    // A name GBK cannot hold is refused, and no archive is left behind.
    WriteFile(dir.filePath(u"release/Velmora/😀.txt"_qs), "x");
    const TRun build =
        Tool({u"build"_qs, dir.filePath(u"release"_qs), u"-o"_qs, dir.filePath(u"out.bin"_qs)});
    EXPECT_EQ(build.Exit, 1);
    EXPECT_TRUE(build.Err.contains(u"cannot be encoded in GBK"_qs));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"out.bin"_qs)));
    EXPECT_EQ(
        Tool({u"build"_qs, dir.filePath(u"nothing"_qs), u"-o"_qs, dir.filePath(u"out.bin"_qs)})
            .Exit,
        1);
}

// Names that would be lost or act on a terminal never get into an archive.
TEST(PayloadToolTest, BuildRefusesTemporaryNamesAndControlCharacters) {
    const struct {
        const char* What;
        QString File;
        const char* Message;
    } cases[] = {
        {"temporary name", u"Velmora/docs/.notes.txt.velmora-new"_qs,
         "Velmora\\docs\\.notes.txt.velmora-new: entry name has the form of the installer's "
         "temporary files"},
        {"terminal title escape", u"Velmora/a\x1b]0;owned\x07.txt"_qs,
         "Velmora\\a\\x1b]0;owned\\x07.txt: entry name has a control character"},
        {"line break in a folder", u"Velmora/a\nb/c.txt"_qs,
         "Velmora\\a\\x0ab\\c.txt: entry name has a control character"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        QTemporaryDir dir;
        WriteFile(dir.filePath(u"release/Velmora/notes.txt"_qs), "notes");
        WriteFile(dir.filePath(u"release/"_qs + c.File), "x");
        const QString archive = dir.filePath(u"out.bin"_qs);
        const TRun build = Tool({u"build"_qs, dir.filePath(u"release"_qs), u"-o"_qs, archive});
        EXPECT_EQ(build.Exit, 1);
        EXPECT_TRUE(build.Err.contains(QString::fromUtf8(c.Message))) << build.Err.toStdString();
        EXPECT_FALSE(build.Err.contains(QChar(0x1b)));
        EXPECT_FALSE(QFileInfo::exists(archive));
    }
}

// An archive made by hand with such names is refused by every command; the line naming
// the entry shows its control characters and goes on past a NUL.
TEST(PayloadToolTest, ArchivesWithControlCharactersAreRefusedWithTheNameEscaped) {
    QTemporaryDir dir;
    const struct {
        QByteArray Name;
        const char* Shown;
    } cases[] = {
        {"Velmora\\\x1b]0;owned\x07\x1b[2J.txt", "Velmora\\\\x1b]0;owned\\x07\\x1b[2J.txt"},
        {QByteArray("Velmora\\a\0b.txt", 15), "Velmora\\a\\x00b.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Shown);
        const QString archive = dir.filePath(u"crafted.bin"_qs);
        WriteFile(archive, velmora::test::TImageBuilder()
                               .Add("Velmora\\readme.txt", "ok")
                               .Add(c.Name, "x")
                               .Archive());
        const QString expected = u"payload-tool: CopyInstallFiles:安装包文件表无效: entry 1 ("_qs +
                                 QString::fromUtf8(c.Shown) +
                                 u"): entry name has a control character\n"_qs;
        for (const QStringList& args :
             {QStringList{u"list"_qs, archive}, QStringList{u"verify"_qs, archive},
              QStringList{u"extract"_qs, archive, dir.filePath(u"install"_qs)}}) {
            const TRun run = Tool(args);
            EXPECT_EQ(run.Exit, 1) << args.first().toStdString();
            EXPECT_EQ(run.Err.toStdString(), expected.toStdString()) << args.first().toStdString();
            EXPECT_TRUE(run.Out.isEmpty());
        }
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"install"_qs)));
    }
}

TEST(PayloadToolTest, UsageErrorsAndHelp) {
    EXPECT_EQ(Tool({}).Exit, 2);
    EXPECT_EQ(Tool({u"frobnicate"_qs}).Exit, 2);
    EXPECT_EQ(Tool({u"extract"_qs, u"only-one"_qs}).Exit, 2);
    EXPECT_EQ(Tool({u"build"_qs, u"a"_qs, u"b"_qs}).Exit, 2);
    for (const QString& command : {u"build"_qs, u"list"_qs, u"verify"_qs, u"extract"_qs}) {
        const TRun help = Tool({command, u"--help"_qs});
        EXPECT_EQ(help.Exit, 0);
        EXPECT_TRUE(help.Out.startsWith(u"usage: payload-tool "_qs + command))
            << command.toStdString();
    }
    EXPECT_EQ(Tool({u"--help"_qs}).Exit, 0);
}

} // namespace
