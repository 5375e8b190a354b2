// Where the wizard's start-up time goes: VelmoraSetup's start-up steps in its own order
// (installer/wizard/SetupStartUp.cpp), timed one by one, up to the first painted frame of
// the main window; then, apart, the parts of that work that can be measured alone (the main
// window's pictures decoded, the licence viewer's picture, painting the whole window once
// more). Prints "phase <name> <milliseconds>" lines for bench/startup/startup_bench.py.
//
// VELMORA_BENCH_STARTED_NS, when set, is CLOCK_MONOTONIC in nanoseconds at the moment the
// program was started, so the time to main (the loader, relocations, static initialisers)
// is known too. Run it as the wizard is run, on a display, with a private HOME.
#include "installer/InstallerSettings.h"
#include "installer/SingleInstance.h"
#include "installer/wizard/FormPicture.h"
#include "installer/wizard/FormPictures.h"
#include "installer/wizard/MainWindowFactory.h"
#include "installer/wizard/frmAgreement.h"
#include "platform/graphics/FontSubstitution.h"
#include "platform/graphics/QtTranslations.h"
#include "platform/graphics/SkinApplication.h"
#include "platform/system/ImageHeap.h"
#include "platform/system/InstallerUmask.h"
#include "platform/system/SessionBus.h"
#include "skin/data/SkinMng.h"
#include "skin/drawing/GdiSkinHelper.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPixmap>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

namespace velmora {
int SkinResourceAnchor();
}

namespace {

using namespace velmora;

double NowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

class TPhases {
public:
    explicit TPhases(double AStart) : FLast(AStart) {}
    void Done(const char* AName) {
        const double now = NowMs();
        std::printf("phase %s %.2f\n", AName, now - FLast);
        std::fflush(stdout);
        FLast = now;
    }
    void Restart() { FLast = NowMs(); }

private:
    double FLast;
};

// Notes the first paint of a widget.
class TPaintSeen : public QObject {
public:
    bool Seen = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            Seen = true;
        return QObject::eventFilter(watched, event);
    }
};

// The pictures the main window decodes as it is built, in its order (InstallerMain.cpp):
// the page pictures, the three states of each image button, the bar twice (the operate bar's
// bitmap and the back bar's picture).
const char* const KMainWindowPictures[] = {
    "imgAnnounce",    "imgOKNor",       "imgOKHov",        "imgOKDown",     "imgOption",
    "imgFastNor",     "imgFastHov",     "imgFastDown",     "imgPathInfo",   "imgPathFrame",
    "imgSelectNor",   "imgSelectHov",   "imgSelectDown",   "imgInstalling", "imgFinished",
    "imgFinishedNor", "imgFinishedHov", "imgFinishedDown", "imgBar",        "imgBar"};

} // namespace

int main(int argc, char** argv) {
    const double entered = NowMs();
    if (const char* started = std::getenv("VELMORA_BENCH_STARTED_NS"))
        std::printf("phase exec_to_main %.2f\n", entered - std::atof(started) / 1e6);
    TPhases phases(entered);

    PrepareImageHeap();
    PreventSessionBusAutolaunch();
    TSkinApplication app(argc, argv);
    phases.Done("application_object");
    UseInstallerUmask();
    InstallCjkFontSubstitutions();
    phases.Done("fonts");
    TSkinMng& skins = SkinMng();
    FillInstallerSettings();
    phases.Done("skin_manager_and_settings");
    skins.SetIsPrepareBuildBackGndImage(false);
    SkinResourceAnchor();
    skins.ChangeSkinRes(QStringLiteral("SKIN"), false);
    phases.Done("skin_load");
    app.setQuitOnLastWindowClosed(false);
    app.setApplicationName(InstallerSettings().ProgramKey());
    InstallChineseQtTranslations(app);
    phases.Done("qt_translations");
    const bool installerRunning = CheckInstallerIsRunning();
    const bool productRunning = CheckInstanceIsRunning(InstallerSettings().ProductExe);
    phases.Done("single_instance_tests");
    if (installerRunning || productRunning) {
        std::fprintf(stderr, "startup-phases: another installer or the product is running\n");
        return 1;
    }
    std::unique_ptr<TDefaultSkinForm> window = CreateMainWindow();
    phases.Done("main_window");
    TfrmAgreement agreement;
    SetAgreementForm(&agreement);
    phases.Done("licence_viewer");
    TPaintSeen paint;
    window->installEventFilter(&paint);
    window->show();
    while (!paint.Seen)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    phases.Done("first_frame");

    // Apart: what parts of the above cost on their own.
    phases.Restart();
    std::vector<QImage> pictures;
    for (const char* name : KMainWindowPictures)
        pictures.push_back(
            FormPicture(QStringLiteral("TfrmInstallerMain"), QString::fromLatin1(name)).Image());
    phases.Done("apart_main_window_pictures");
    // What each picture box then does with its picture: the skin helper's bitmap from an
    // image (TSkinHelper::CreateBitmap), and the same pixels taken over directly.
    for (const QImage& picture : pictures)
        TSkinHelper::CreateBitmap(picture);
    phases.Done("apart_main_window_pictures_to_bitmaps");
    for (const QImage& picture : pictures)
        std::make_shared<TGPBitmap>(picture.convertToFormat(QImage::Format_ARGB32));
    phases.Done("apart_main_window_pictures_taken_over");
    FormPicture(QStringLiteral("TfrmInstallerMain"), QStringLiteral("imgBar")).Image().cacheKey();
    phases.Done("apart_bar_picture_once");
    const QImage licence =
        LoadFormPicture(QStringLiteral("Agreement/Licence.png"), QStringLiteral("TfrmAgreement"),
                        QStringLiteral("frmAgreement"))
            .Image();
    phases.Done("apart_licence_picture_decoded");
    const QPixmap licencePixmap = QPixmap::fromImage(licence);
    phases.Done("apart_licence_picture_converted");
    const QPixmap frame = window->grab();
    phases.Done("apart_main_window_painted_again");
    std::printf("size licence %dx%d\n", licence.width(), licence.height());
    SetAgreementForm(nullptr);
    return frame.isNull() || licencePixmap.isNull() ? 1 : 0;
}
