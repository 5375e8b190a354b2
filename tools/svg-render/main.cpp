// svg-render: renders one SVG drawing into a PNG or JPEG picture.
#include "tools/svg-render/SvgRender.h"

#include <QGuiApplication>
#include <cstdio>

namespace {

constexpr const char* KUsage =
    "Usage: svg-render <drawing.svg> <picture.png|picture.jpg> [--size WxH] [--scale F]\n"
    "                  [--quality 1-100]\n"
    "Renders the drawing at the size it declares, or at WxH pixels, times F (1.5, 2: the\n"
    "picture for screens of that many device pixels per logical pixel; sides round up).\n"
    "A .png keeps the alpha channel; a .jpg is flattened onto white.\n";

int Usage(const char* AMessage) {
    if (AMessage)
        std::fprintf(stderr, "svg-render: %s\n", AMessage);
    std::fputs(KUsage, AMessage ? stderr : stdout);
    return AMessage ? 2 : 0;
}

} // namespace

int main(int argc, char** argv) {
    // Build machines have no display; the drawings need fonts and painting only.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList arguments = QGuiApplication::arguments().mid(1);
    if (arguments.contains(QStringLiteral("--help")))
        return Usage(nullptr);

    QSize size;
    qreal scale = 1;
    int quality = 92;
    QStringList paths;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--size") || argument == QLatin1String("--quality") ||
            argument == QLatin1String("--scale")) {
            if (i + 1 >= arguments.size())
                return Usage("an option lacks its value");
            const QString value = arguments[++i];
            if (argument == QLatin1String("--size")) {
                size = velmora::ParseSize(value);
                if (size.isEmpty())
                    return Usage("--size takes WxH, for example 562x371");
            } else if (argument == QLatin1String("--scale")) {
                scale = velmora::ParseScale(value);
                if (scale == 0)
                    return Usage("--scale takes a number from 0.25 to 8, for example 1.5");
            } else {
                bool ok = false;
                quality = value.toInt(&ok);
                if (!ok || quality < 1 || quality > 100)
                    return Usage("--quality takes a number from 1 to 100");
            }
        } else if (argument.startsWith(QLatin1String("--"))) {
            return Usage("unknown option");
        } else {
            paths.append(argument);
        }
    }
    if (paths.size() != 2)
        return Usage("give one drawing and one picture");
    try {
        velmora::SavePicture(velmora::RenderSvg(paths[0], size, scale), paths[1], quality);
    } catch (const velmora::ESvgRenderError& error) {
        std::fprintf(stderr, "svg-render: %s\n", error.what());
        return 1;
    }
    return 0;
}
