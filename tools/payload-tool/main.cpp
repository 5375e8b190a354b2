// payload-tool: builds, lists, verifies and extracts the installer's payload archive with
// the installer's own code, so what a vendor checks here is what users get.
#include "installer/InstallerSettings.h"
#include "installer/PayloadArchive.h"
#include "installer/PayloadStreamExtract.h"
#include "installer/PayloadTable.h"
#include "installer/PayloadWriter.h"
#include "installer/ProgressDisplay.h"
#include "platform/system/DebugOutput.h"
#include "platform/system/LogFile.h"
#include "tools/common/CommandLine.h"
#include "tools/common/TerminalProgress.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <cstdio>
#include <functional>

using namespace velmora;

namespace {

const char* const kMainHelp =
    "usage: payload-tool <command> [arguments]\n"
    "\n"
    "commands:\n"
    "  build <folder> -o <archive>          pack <folder>/Velmora/ into an archive\n"
    "  list <archive>                       print each entry's size and name\n"
    "  verify <archive>                     inflate and check the whole table; writes nothing\n"
    "  extract <archive> <install-folder>   write every entry below <install-folder>\n"
    "\n"
    "'payload-tool <command> --help' describes one command.\n";

const char* const kBuildHelp =
    "usage: payload-tool build <folder> -o <archive>\n"
    "Packs every file below <folder>/Velmora/ into a payload archive, the exact bytes the\n"
    "installer embeds. Entries are named Velmora\\<path> in GBK, sorted by path, so the\n"
    "same tree always gives the same archive. Names that GBK cannot encode or that hold\n"
    "control characters, names of the installer's temporary form (.<name>.velmora-new),\n"
    "names longer than the file system takes, symbolic links and special files are\n"
    "refused. Empty folders are not carried.\n";

const char* const kListHelp =
    "usage: payload-tool list <archive>\n"
    "Prints one line per entry in table order: the data size in bytes, a tab, the name.\n"
    "Control characters in anything printed are shown as \\xHH, never sent raw.\n";

const char* const kVerifyHelp =
    "usage: payload-tool verify <archive>\n"
    "Inflates the archive and checks every entry (names, ranges) the way the installer\n"
    "does before it writes anything. Writes no file. Exit 0 when the archive is sound.\n";

const char* const kExtractHelp =
    "usage: payload-tool extract <archive> <install-folder>\n"
    "Writes every entry below <install-folder> exactly as the installer does (the product\n"
    "folder Velmora/ appears inside it), showing progress. An existing\n"
    "Velmora/Config/LogedinUsers.XML is kept. Nothing is written into <install-folder>\n"
    "before the whole archive has passed every check; a damaged archive leaves it as it\n"
    "was. Exit 0 on success.\n";

// Every text printed here may carry a name from an archive or a packed tree: its control
// characters are shown, never sent to the terminal raw.
int Fail(const QString& text) {
    PrintLine(stderr, QStringLiteral("payload-tool: ") + EscapeControlCharacters(text));
    return kExitFailed;
}

// The extraction's status lines name entries; they reach the terminal escaped.
class TEscapedProgress : public IProgressDisplay {
public:
    explicit TEscapedProgress(IProgressDisplay& target) : FTarget(target) {}
    void SetStatusText(const QString& text) override {
        FTarget.SetStatusText(EscapeControlCharacters(text));
    }
    void SetProgressRange(int minimum, int maximum) override {
        FTarget.SetProgressRange(minimum, maximum);
    }
    void SetProgressPosition(int position) override { FTarget.SetProgressPosition(position); }

private:
    IProgressDisplay& FTarget;
};

// Opens and validates an archive; the installer's log line explains any failure and is
// echoed to the terminal by the log observer.
std::optional<TPayloadImage> Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    return LoadPayload(file);
}

int Build(const QStringList& args) {
    if (WantsHelp(args))
        return Help(kBuildHelp);
    if (args.size() != 3 || args.at(1) != QStringLiteral("-o"))
        return Usage(kBuildHelp);
    try {
        const QByteArray archive =
            CompressPayload(BuildPayloadImage(args.at(0), InstallerSettings().ProductName));
        QSaveFile out(args.at(2));
        if (!out.open(QIODevice::WriteOnly) || out.write(archive) != archive.size() ||
            !out.commit())
            return Fail(QStringLiteral("cannot write %1: %2").arg(args.at(2), out.errorString()));
        return kExitOk;
    } catch (const EVelmoraError& error) {
        return Fail(error.Message());
    }
}

// The commands that read an archive share their argument handling: help, the argument
// count, and loading the archive (whose failure is already reported) before `run`.
int WithArchive(const QStringList& args, const char* help, qsizetype argumentCount,
                const std::function<int(const TPayloadImage&)>& run) {
    if (WantsHelp(args))
        return Help(help);
    if (args.size() != argumentCount)
        return Usage(help);
    const std::optional<TPayloadImage> payload = Load(args.at(0));
    return payload ? run(*payload) : kExitFailed;
}

int List(const QStringList& args) {
    return WithArchive(args, kListHelp, 1, [](const TPayloadImage& payload) {
        for (const TPayloadEntry& entry : payload.Entries)
            PrintLine(stdout, QStringLiteral("%1\t%2")
                                  .arg(entry.DataSize)
                                  .arg(EscapeControlCharacters(entry.Name)));
        return kExitOk;
    });
}

int Verify(const QStringList& args) {
    return WithArchive(args, kVerifyHelp, 1, [](const TPayloadImage& payload) {
        quint64 bytes = 0;
        for (const TPayloadEntry& entry : payload.Entries)
            bytes += entry.DataSize;
        PrintLine(stdout, QStringLiteral("ok: %1 entries, %2 bytes of file data, %3 bytes inflated")
                              .arg(payload.Entries.size())
                              .arg(bytes)
                              .arg(payload.Image.size()));
        return kExitOk;
    });
}

// Extraction inflates and writes at the same time; what it writes stays out of sight
// until the whole archive has passed, so a damaged one leaves the folder as it was.
int Extract(const QStringList& args) {
    if (WantsHelp(args))
        return Help(kExtractHelp);
    if (args.size() != 2)
        return Usage(kExtractHelp);
    QFile file(args.at(0));
    if (!file.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("cannot open %1: %2").arg(args.at(0), file.errorString()));
    std::optional<qsizetype> written;
    {
        TTerminalProgress terminal(stderr);
        TEscapedProgress progress(terminal);
        written = ExtractPayloadStream(file, args.at(1), &progress);
    }
    if (!written)
        return kExitFailed;
    PrintLine(stdout,
              QStringLiteral("extracted %1 entries below %2").arg(*written).arg(args.at(1)));
    return kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    FillInstallerSettings();
    // Every install log line is a failure; say it on the terminal as well as in the log.
    // The debugger copy (one line per written file) would only tear the progress bar.
    EchoLogToTerminal(QStringLiteral("payload-tool"));

    return DispatchCommand(u"payload-tool"_qs, app.arguments().mid(1), kMainHelp,
                           {{u"build"_qs, Build},
                            {u"list"_qs, List},
                            {u"verify"_qs, Verify},
                            {u"extract"_qs, Extract}});
}
