#include "tools/svg-render/SvgRender.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QtMath>

namespace velmora {

namespace {

// The width and height the drawing's root element declares in pixels, or an invalid size.
// The renderer would invent a size for a drawing without them, and skin pictures are cut
// into fixed pixel margins, so only a declared size is trusted.
QSize DeclaredSize(const QString& ASvgPath) {
    QFile file(ASvgPath);
    if (!file.open(QIODevice::ReadOnly))
        return QSize();
    QXmlStreamReader xml(&file);
    while (!xml.atEnd() && !xml.isStartElement())
        xml.readNext();
    static const QRegularExpression pixels(QStringLiteral("^([0-9]{1,5})(px)?$"));
    const QRegularExpressionMatch width =
        pixels.match(xml.attributes().value(QLatin1String("width")).toString().trimmed());
    const QRegularExpressionMatch height =
        pixels.match(xml.attributes().value(QLatin1String("height")).toString().trimmed());
    if (xml.name() != QLatin1String("svg") || !width.hasMatch() || !height.hasMatch())
        return QSize();
    return QSize(width.captured(1).toInt(), height.captured(1).toInt());
}

} // namespace

QImage RenderSvg(const QString& ASvgPath, QSize ASize, qreal AScale) {
    QSvgRenderer renderer;
    if (!renderer.load(ASvgPath))
        throw ESvgRenderError(QStringLiteral("%1: not a readable SVG drawing").arg(ASvgPath));
    if (!(AScale > 0))
        throw ESvgRenderError(QStringLiteral("%1: the scale must be above 0").arg(ASvgPath));
    const QSize logical = ASize.isEmpty() ? DeclaredSize(ASvgPath) : ASize;
    // Drawn at exactly the scale, on whole pixels rounded up (the noise term keeps an exact
    // product such as 17 x 2 from gaining a pixel): at 1.5 a 17-pixel drawing covers 25.5 of
    // 26 pixels, so its edges fall where the picture's logical edges fall on the screen.
    const QSizeF drawn = QSizeF(logical) * AScale;
    const QSize size(qCeil(drawn.width() - 1e-6), qCeil(drawn.height() - 1e-6));
    if (size.isEmpty() || size.width() > 8192 || size.height() > 8192)
        throw ESvgRenderError(
            QStringLiteral("%1: no usable size; give width and height in pixels").arg(ASvgPath));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(QPointF(0, 0), drawn));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

void SavePicture(const QImage& AImage, const QString& APath, int AJpegQuality) {
    const QString suffix = QFileInfo(APath).suffix().toLower();
    QImage picture;
    const char* format = nullptr;
    if (suffix == QLatin1String("png")) {
        picture = AImage.convertToFormat(QImage::Format_ARGB32);
        format = "PNG";
    } else if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) {
        picture = QImage(AImage.size(), QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.drawImage(0, 0, AImage);
        painter.end();
        format = "JPEG";
    } else {
        throw ESvgRenderError(
            QStringLiteral("%1: the file name must end in .png, .jpg or .jpeg").arg(APath));
    }
    if (!QDir().mkpath(QFileInfo(APath).absolutePath()))
        throw ESvgRenderError(QStringLiteral("%1: cannot create its folder").arg(APath));
    // Written through a temporary file so that an interrupted build never leaves a truncated
    // picture that a later build would take as up to date.
    QSaveFile file(APath);
    if (!file.open(QIODevice::WriteOnly) ||
        !picture.save(&file, format, format[0] == 'J' ? AJpegQuality : -1) || !file.commit())
        throw ESvgRenderError(QStringLiteral("%1: cannot write the picture").arg(APath));
}

qreal ParseScale(const QString& AText) {
    static const QRegularExpression pattern(QStringLiteral("^[0-9]{1,2}(\\.[0-9]{1,3})?$"));
    if (!pattern.match(AText).hasMatch())
        return 0;
    const qreal scale = AText.toDouble();
    return scale >= 0.25 && scale <= 8 ? scale : 0;
}

QSize ParseSize(const QString& AText) {
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,5})x([0-9]{1,5})$"));
    const QRegularExpressionMatch match = pattern.match(AText);
    if (!match.hasMatch())
        return QSize();
    return QSize(match.captured(1).toInt(), match.captured(2).toInt());
}

} // namespace velmora
