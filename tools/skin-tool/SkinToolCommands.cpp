#include "tools/skin-tool/SkinToolCommands.h"

#include "skin/document/BinaryTreeDocument100.h"
#include "tools/skin-tool/NodeValueJson.h"
#include "tools/skin-tool/SkinManifest.h"
#include "tools/skin-tool/SkinPictureCheck.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

namespace velmora {

namespace {

const char* const KMainHelp =
    "Usage: skin-tool <command> [arguments]\n"
    "\n"
    "Builds and inspects skins stored as binary tree documents.\n"
    "\n"
    "Commands:\n"
    "  build <manifest> -o <skin.btd>   write the document a manifest describes\n"
    "  dump <skin.btd> -o <folder>      write a document's manifest and binary values\n"
    "  get <skin.btd> <path> [--raw]    print the value at a skin path\n"
    "  check <skin.btd>                 decode every picture the way the installer does\n"
    "\n"
    "Run 'skin-tool <command> --help' for the details of one command.\n";

const char* const KBuildHelp =
    "Usage: skin-tool build <manifest> -o <skin.btd>\n"
    "\n"
    "Writes the binary tree document that a JSON manifest describes. The manifest holds\n"
    "{\"format\": \"binary-tree-document-manifest\", \"root\": <node>}; a node is an object with\n"
    "  \"name\"      the node's name (a string)\n"
    "  \"type\"      Directory, AnsiChar, WideChar, AnsiString, WideString, Int8, Int16, Int32,\n"
    "              Int64, UInt8, UInt16, UInt32, Real32, Real48, Real64, Real80, Currency,\n"
    "              DateTime, TimeStamp, Bool8, Bool16, Bool32, Guid or Binary\n"
    "  \"id\", \"subType\"  optional 32-bit unsigned integers (0 when left out)\n"
    "  \"children\"  optional array of nodes, in file order\n"
    "and at most one of\n"
    "  \"value\"     the value: a string, a number, true/false; Int64 and Currency as strings\n"
    "              (\"-12\", \"3.1416\"), Guid as \"{...}\", TimeStamp as {\"time\": ms, \"date\": "
    "day}\n"
    "  \"hex\"       the raw value bytes as hex digits\n"
    "  \"file\"      a file, relative to the manifest, holding the raw value bytes\n"
    "A fixed-size value left out is zero; a string or binary value left out is empty.\n";

const char* const KDumpHelp =
    "Usage: skin-tool dump <skin.btd> -o <folder>\n"
    "\n"
    "Writes skin.json and, under files/, one file per binary value into the folder. Building\n"
    "that manifest gives back the bytes the document saves to.\n";

const char* const KGetHelp =
    "Usage: skin-tool get <skin.btd> <path> [--raw]\n"
    "\n"
    "Prints the value at a backslash-separated skin path below the top node, such as\n"
    "SkinInfo\\SkinName. Values without a readable form are printed as hex bytes; a directory\n"
    "lists its children. --raw writes the value bytes unchanged instead.\n";

const char* const KCheckHelp =
    "Usage: skin-tool check <skin.btd>\n"
    "\n"
    "Decodes every binary node of the skin with the installer's own picture decoder and\n"
    "prints one line per picture: its path, format and size, or why it cannot be decoded.\n"
    "Exits 1 when any picture fails, so a skin can be checked before it ships.\n";

class TCommandLineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void Write(QIODevice& ADevice, const QString& AText) {
    ADevice.write(AText.toUtf8());
}

bool WantsHelp(const QStringList& AArguments) {
    return AArguments.contains(QStringLiteral("--help")) ||
           AArguments.contains(QStringLiteral("-h"));
}

// Splits "<input> [<more>] -o <output>" style arguments.
struct TParsed {
    QStringList Positional;
    QString Output;
    bool Raw = false;
};

TParsed Parse(const QStringList& AArguments, bool AAllowRaw) {
    TParsed parsed;
    for (qsizetype i = 0; i < AArguments.size(); ++i) {
        const QString& argument = AArguments[i];
        if (argument == QStringLiteral("-o") || argument == QStringLiteral("--output")) {
            if (i + 1 >= AArguments.size() || !parsed.Output.isEmpty())
                throw TCommandLineError("-o needs exactly one output");
            parsed.Output = AArguments[++i];
        } else if (AAllowRaw && argument == QStringLiteral("--raw")) {
            parsed.Raw = true;
        } else if (argument.startsWith(u'-') && argument.size() > 1) {
            throw TCommandLineError("unknown option " + argument.toStdString());
        } else {
            parsed.Positional << argument;
        }
    }
    return parsed;
}

int Build(const QStringList& AArguments, QIODevice& AOut) {
    const TParsed parsed = Parse(AArguments, false);
    if (parsed.Positional.size() != 1 || parsed.Output.isEmpty())
        throw TCommandLineError("build needs <manifest> -o <skin.btd>");
    TBinaryTreeDocument100 doc;
    BuildFromManifest(parsed.Positional[0], doc);
    doc.SaveToFile(parsed.Output);
    Write(AOut, QStringLiteral("wrote %1 (%2 bytes)\n").arg(parsed.Output).arg(doc.DataSize()));
    return 0;
}

int Dump(const QStringList& AArguments, QIODevice& AOut) {
    const TParsed parsed = Parse(AArguments, false);
    if (parsed.Positional.size() != 1 || parsed.Output.isEmpty())
        throw TCommandLineError("dump needs <skin.btd> -o <folder>");
    TBinaryTreeDocument100 doc;
    doc.LoadFromFile(parsed.Positional[0]);
    DumpToFolder(doc, parsed.Output);
    Write(AOut, QStringLiteral("wrote %1\n")
                    .arg(QDir(parsed.Output).filePath(QString::fromLatin1(KManifestFileName))));
    return 0;
}

int Get(const QStringList& AArguments, QIODevice& AOut, QIODevice& AErr) {
    const TParsed parsed = Parse(AArguments, true);
    if (parsed.Positional.size() != 2 || !parsed.Output.isEmpty())
        throw TCommandLineError("get needs <skin.btd> <path>");
    TBinaryTreeDocument100 doc;
    doc.LoadFromFile(parsed.Positional[0]);
    const TBinTreeNode100* node = doc.FindNodeByPath(parsed.Positional[1]);
    if (node == nullptr) {
        Write(AErr,
              QStringLiteral("skin-tool: no node at path \"%1\"\n").arg(parsed.Positional[1]));
        return 1;
    }
    if (parsed.Raw) {
        AOut.write(ValueBytesOf(*node));
    } else if (node->NodeType() == nt100_Directory) {
        for (const TBinTreeNode100* child : node->ChildNodes())
            Write(AOut, child->NodeName() + u'\t' + NodeTypeName(child->NodeType()) + u'\n');
    } else {
        Write(AOut, ValueText(*node) + u'\n');
    }
    return 0;
}

int Check(const QStringList& AArguments, QIODevice& AOut, QIODevice& AErr) {
    const TParsed parsed = Parse(AArguments, false);
    if (parsed.Positional.size() != 1 || !parsed.Output.isEmpty())
        throw TCommandLineError("check needs <skin.btd>");
    TBinaryTreeDocument100 doc;
    doc.LoadFromFile(parsed.Positional[0]);
    int failed = 0;
    const std::vector<TPictureCheck> checks = CheckSkinPictures(doc);
    for (const TPictureCheck& check : checks) {
        if (check.Error.isEmpty()) {
            Write(AOut, QStringLiteral("%1\t%2\t%3x%4%5\n")
                            .arg(check.Path, check.Format)
                            .arg(check.Width)
                            .arg(check.Height)
                            .arg(check.Frames > 1 ? QStringLiteral(" (%1 frames)").arg(check.Frames)
                                                  : QString()));
        } else {
            ++failed;
            Write(AOut, QStringLiteral("%1\tERROR\t%2\n").arg(check.Path, check.Error));
        }
    }
    if (failed > 0) {
        Write(AErr, QStringLiteral("skin-tool: %1 of %2 pictures cannot be decoded\n")
                        .arg(failed)
                        .arg(checks.size()));
        return 1;
    }
    return 0;
}

} // namespace

int RunSkinTool(const QStringList& AArguments, QIODevice& AOut, QIODevice& AErr) {
    const QString command = AArguments.value(0);
    const QStringList rest = AArguments.mid(1);
    try {
        if (command.isEmpty() || command == QStringLiteral("--help") ||
            command == QStringLiteral("-h")) {
            Write(command.isEmpty() ? AErr : AOut, QString::fromLatin1(KMainHelp));
            return command.isEmpty() ? 2 : 0;
        }
        if (command == QStringLiteral("build")) {
            if (WantsHelp(rest))
                return Write(AOut, QString::fromLatin1(KBuildHelp)), 0;
            return Build(rest, AOut);
        }
        if (command == QStringLiteral("dump")) {
            if (WantsHelp(rest))
                return Write(AOut, QString::fromLatin1(KDumpHelp)), 0;
            return Dump(rest, AOut);
        }
        if (command == QStringLiteral("get")) {
            if (WantsHelp(rest))
                return Write(AOut, QString::fromUtf8(KGetHelp)), 0;
            return Get(rest, AOut, AErr);
        }
        if (command == QStringLiteral("check")) {
            if (WantsHelp(rest))
                return Write(AOut, QString::fromLatin1(KCheckHelp)), 0;
            return Check(rest, AOut, AErr);
        }
        throw TCommandLineError("unknown command " + command.toStdString());
    } catch (const TCommandLineError& error) {
        Write(AErr, QStringLiteral("skin-tool: %1\nRun 'skin-tool --help' for usage.\n")
                        .arg(QString::fromStdString(error.what())));
        return 2;
    } catch (const EVelmoraError& error) {
        Write(AErr, QStringLiteral("skin-tool: %1\n").arg(error.Message()));
        return 1;
    } catch (const std::bad_alloc&) {
        Write(AErr, QStringLiteral("skin-tool: out of memory\n"));
        return 1;
    }
}

} // namespace velmora
