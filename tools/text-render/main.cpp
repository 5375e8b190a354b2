// text-render: lays out a UTF-8 text file as a picture of a fixed width, so texts that forms
// show as pictures stay editable and searchable in the repository.
#include "tools/text-render/TextRender.h"

#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStringConverter>
#include <cstdio>

namespace {

constexpr const char* KUsage =
    "Usage: text-render <text.txt> <picture.png> [--width N] [--min-height N] [--point-size N]\n"
    "                   [--scale F]\n"
    "Lays out the UTF-8 text (\"# \" title, \"## \" headings, blank lines between paragraphs)\n"
    "in an installed CJK font on a white picture N pixels wide. With --scale (1.5, 2) the\n"
    "same layout is drawn with F pixels per pixel: same line breaks, F times the pixels.\n";

int Usage(const char* AMessage) {
    if (AMessage)
        std::fprintf(stderr, "text-render: %s\n", AMessage);
    std::fputs(KUsage, AMessage ? stderr : stdout);
    return AMessage ? 2 : 0;
}

QString ReadUtf8(const QString& APath) {
    QFile file(APath);
    if (!file.open(QIODevice::ReadOnly))
        throw velmora::ETextRenderError(APath + QStringLiteral(": cannot be read"));
    const QByteArray bytes = file.readAll();
    auto decode = QStringDecoder(QStringDecoder::Utf8);
    QString text = decode(bytes);
    if (decode.hasError())
        throw velmora::ETextRenderError(APath + QStringLiteral(": not UTF-8 text"));
    return text;
}

} // namespace

int main(int argc, char** argv) {
    // Build machines have no display; laying out text needs fonts only.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments().mid(1);
    if (arguments.contains(QStringLiteral("--help")))
        return Usage(nullptr);

    velmora::TTextPictureStyle style;
    double scale = 1;
    QStringList paths;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        int* target = argument == QLatin1String("--width")        ? &style.Width
                      : argument == QLatin1String("--min-height") ? &style.MinHeight
                      : argument == QLatin1String("--point-size") ? &style.PointSize
                                                                  : nullptr;
        if (argument == QLatin1String("--scale")) {
            bool ok = false;
            scale = i + 1 < arguments.size() ? arguments[++i].toDouble(&ok) : 0;
            if (!ok || !(scale >= 0.25 && scale <= 8))
                return Usage("--scale takes a number from 0.25 to 8, for example 1.5");
        } else if (target != nullptr) {
            bool ok = false;
            *target = i + 1 < arguments.size() ? arguments[++i].toInt(&ok) : 0;
            if (!ok || *target < 1 || *target > 8192)
                return Usage("a size option takes a number from 1 to 8192");
        } else if (argument.startsWith(QLatin1String("--"))) {
            return Usage("unknown option");
        } else {
            paths.append(argument);
        }
    }
    if (paths.size() != 2)
        return Usage("give one text file and one picture");
    try {
        const QString text = ReadUtf8(paths[0]);
        style.Family = velmora::CjkFamilyFor(text);
        const QImage picture =
            velmora::PaintTextPicture(velmora::LayoutTextPicture(text, style), style, scale);
        QSaveFile file(paths[1]);
        if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit())
            throw velmora::ETextRenderError(paths[1] + QStringLiteral(": cannot be written"));
    } catch (const velmora::ETextRenderError& error) {
        std::fprintf(stderr, "text-render: %s\n", error.what());
        return 1;
    }
    return 0;
}
