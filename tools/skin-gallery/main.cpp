// skin-gallery: opens a skinned form with the framework's own look so it can be seen and
// screenshotted.
//
//   skin-gallery [--pages | --widgets | --zones] [--fade] [--maximized] [--screenshot FILE
//   [--root]]
//                [--wait MS]
//
// The form wears the embedded default skin, loaded by the skin manager. --pages shows the page
// control form, --widgets every skinned widget in each of its states, --zones a zone view of
// 10,000 zones in three levels, instead of the controls form.
// --screenshot writes what the screen shows around the form (shadow included) after --wait
// milliseconds (default 1200) and quits; with --root it grabs the whole real screen instead,
// which shows how the window system stacked the form and its shadow.

#include "platform/graphics/SkinApplication.h"
#include "skin/data/SkinMng.h"
#include "tools/skin-gallery/GalleryForm.h"
#include "tools/skin-gallery/GalleryPages.h"
#include "tools/skin-gallery/GalleryZones.h"
#include "tools/skin-gallery/WidgetGallery.h"

#include <QCommandLineParser>
#include <QScreen>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    velmora::TSkinApplication app(argc, argv);
    velmora::TSkinApplication::SetOnException(
        [](const QString& message) { std::fprintf(stderr, "%s\n", qPrintable(message)); });

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("pages"), QStringLiteral("Show the page control form.")});
    parser.addOption(
        {QStringLiteral("widgets"), QStringLiteral("Show every skinned widget in each state.")});
    parser.addOption({QStringLiteral("zones"),
                      QStringLiteral("Show a zone view of 10,000 zones in three levels.")});
    parser.addOption({QStringLiteral("fade"), QStringLiteral("Fade the form in.")});
    parser.addOption({QStringLiteral("maximized"), QStringLiteral("Show the form maximised.")});
    parser.addOption({QStringLiteral("screenshot"), QStringLiteral("Write a PNG and quit."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("root"), QStringLiteral("Grab the whole screen.")});
    parser.addOption({QStringLiteral("wait"), QStringLiteral("Delay before the screenshot."),
                      QStringLiteral("MS"), QStringLiteral("1200")});
    parser.process(app);

    velmora::SkinMng().SetIsPrepareBuildBackGndImage(false);
    if (!velmora::SkinMng().ChangeSkinRes(QStringLiteral("SKIN"), false))
        std::fprintf(stderr, "the default skin did not load; the forms show their own colours\n");

    auto form = parser.isSet(QStringLiteral("pages")) ? velmora::gallery::MakePagesForm()
                : parser.isSet(QStringLiteral("widgets"))
                    ? velmora::gallery::MakeWidgetGalleryForm()
                : parser.isSet(QStringLiteral("zones")) ? velmora::gallery::MakeZonesForm()
                                                        : velmora::gallery::MakeGalleryForm();
    form->SetNotDelayShow(!parser.isSet(QStringLiteral("fade")));
    form->move(120, 100);
    if (parser.isSet(QStringLiteral("maximized")))
        form->showMaximized();
    else
        form->show();

    if (parser.isSet(QStringLiteral("screenshot"))) {
        const QString file = parser.value(QStringLiteral("screenshot"));
        const bool root = parser.isSet(QStringLiteral("root"));
        QTimer::singleShot(parser.value(QStringLiteral("wait")).toInt(), &app,
                           [&app, &form, file, root] {
                               const QImage picture =
                                   root ? QGuiApplication::primaryScreen()->grabWindow(0).toImage()
                                        : velmora::gallery::ComposeScreen(*form);
                               const bool saved = picture.save(file);
                               std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write",
                                            qPrintable(file));
                               app.exit(saved ? 0 : 1);
                           });
    }
    return app.exec();
}
