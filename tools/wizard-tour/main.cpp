// wizard-tour [--out DIR]: walks the wizard's main window with every system root below DIR
// (default: a fresh folder under /tmp), writes a PNG of every step to DIR/pictures and prints
// the pictures and the installed files.
#include "installer/InstallerSettings.h"
#include "platform/graphics/SkinApplication.h"
#include "platform/system/ImageHeap.h"
#include "platform/system/InstallerUmask.h"
#include "platform/system/LogFile.h"
#include "platform/system/SessionBus.h"
#include "skin/data/SkinMng.h"
#include "tools/common/CommandLine.h"
#include "tools/wizard-tour/WizardTour.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>

namespace velmora {
int SkinResourceAnchor();
}

using namespace velmora;

namespace {

const char* const KHelp =
    "usage: wizard-tour [--out DIR]\n"
    "Walks the wizard's main window (notice, options with the agreement off and on, custom\n"
    "install into a typed path, install, finished with launching switched off) with the\n"
    "registry store, program files, desktop, menus and log below DIR, and writes a PNG of\n"
    "each step and of each dialog (a message box of type 0x123, both running dialogs, the\n"
    "cancel question, the licence viewer) to DIR/pictures. DIR defaults to a fresh folder\n"
    "under /tmp.\n";

} // namespace

int main(int argc, char** argv) {
    PrepareImageHeap();
    UseInstallerUmask();
    PreventSessionBusAutolaunch();
    TSkinApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (WantsHelp(args))
        return Help(KHelp);
    QString stage;
    const qsizetype out = args.indexOf(QStringLiteral("--out"));
    if (out >= 0) {
        if (out + 1 >= args.size())
            return Usage(KHelp);
        stage = QDir(args.at(out + 1)).absolutePath();
        args.remove(out, 2);
    }
    if (!args.isEmpty())
        return Usage(KHelp);
    if (stage.isEmpty()) {
        QTemporaryDir fresh(QDir::tempPath() + QStringLiteral("/wizard-tour-XXXXXX"));
        fresh.setAutoRemove(false);
        stage = fresh.path();
    }
    if (!QDir().mkpath(stage + QStringLiteral("/log"))) {
        PrintLine(stderr, QStringLiteral("wizard-tour: cannot create ") + stage);
        return kExitFailed;
    }
    SetLogFolders(stage + QStringLiteral("/log"), stage + QStringLiteral("/log"));
    FillInstallerSettings();
    SkinResourceAnchor();
    SkinMng().SetIsPrepareBuildBackGndImage(false);
    SkinMng().ChangeSkinRes(QStringLiteral("SKIN"), false);

    TWizardTour tour(stage);
    const bool ok = tour.Run();
    PrintLine(stdout, QStringLiteral("Pictures:"));
    for (const QString& picture : tour.Pictures())
        PrintLine(stdout, QStringLiteral("  ") + picture);
    PrintLine(stdout, QStringLiteral("Installed below ") + tour.InstallFolder() + u':');
    QDirIterator files(tour.InstallFolder(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        PrintLine(stdout, QStringLiteral("  ") + files.next().mid(tour.InstallFolder().size() + 1));
    if (!ok)
        PrintLine(stderr,
                  QStringLiteral("wizard-tour: the walk did not end on a finished install"));
    return ok ? kExitOk : kExitFailed;
}
