#include "tools/text-render/TextRender.h"

#include "platform/graphics/FontSubstitution.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>
#include <QTextOption>
#include <QtMath>

namespace velmora {

namespace {

struct TSourceParagraph {
    QString Text;
    int Level = 0; // 0 body, 1 title, 2 heading
};

std::vector<TSourceParagraph> SplitParagraphs(const QString& AText) {
    std::vector<TSourceParagraph> paragraphs;
    TSourceParagraph current;
    auto flush = [&] {
        if (!current.Text.isEmpty())
            paragraphs.push_back(current);
        current = TSourceParagraph();
    };
    for (QString line : AText.split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty()) {
            flush();
        } else if (line.startsWith(QLatin1String("## ")) || line.startsWith(QLatin1String("# "))) {
            flush();
            current.Level = line.startsWith(QLatin1String("## ")) ? 2 : 1;
            current.Text = line.mid(current.Level + 1).trimmed();
            flush();
        } else {
            // A line break inside a paragraph is a line of its own (the signature block).
            current.Text += current.Text.isEmpty() ? line : QChar(QChar::LineSeparator) + line;
        }
    }
    flush();
    return paragraphs;
}

QFont FontFor(const TTextPictureStyle& AStyle, int ALevel) {
    QFont font(AStyle.Family);
    font.setPixelSize(AStyle.PointSize * 96 / 72 + (ALevel == 1 ? 6 : 0));
    font.setBold(ALevel != 0);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace

QString CjkFamilyFor(const QString& AText) {
    const QStringList installed = QFontDatabase::families();
    for (const QString& candidate : CjkSubstituteCandidates()) {
        if (!installed.contains(candidate, Qt::CaseInsensitive))
            continue;
        const QFontMetricsF metrics{QFont(candidate)};
        bool covers = true;
        for (const char32_t ucs : AText.toUcs4())
            if (!QChar::isSpace(ucs) && !metrics.inFontUcs4(ucs)) {
                covers = false;
                break;
            }
        if (covers)
            return candidate;
    }
    throw ETextRenderError(QStringLiteral("no installed CJK font covers the text (tried %1)")
                               .arg(CjkSubstituteCandidates().join(QStringLiteral(", "))));
}

TTextPictureLayout LayoutTextPicture(const QString& AText, const TTextPictureStyle& AStyle) {
    const qreal lineWidth = AStyle.Width - 2 * AStyle.Margin;
    if (lineWidth < 40)
        throw ETextRenderError(QStringLiteral("the picture is too narrow for its margins"));
    TTextPictureLayout result;
    qreal y = AStyle.Margin;
    for (const TSourceParagraph& source : SplitParagraphs(AText)) {
        TPlacedParagraph placed;
        placed.Layout = std::make_unique<QTextLayout>(source.Text, FontFor(AStyle, source.Level));
        placed.Centred = source.Level == 1;
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setAlignment(placed.Centred ? Qt::AlignHCenter : Qt::AlignLeft);
        placed.Layout->setTextOption(option);
        const qreal leading = QFontMetricsF(placed.Layout->font()).height() * 0.45;
        placed.Layout->beginLayout();
        qreal height = 0;
        for (QTextLine line = placed.Layout->createLine(); line.isValid();
             line = placed.Layout->createLine()) {
            line.setLineWidth(lineWidth);
            line.setPosition(QPointF(0, height));
            height += line.height() + leading;
        }
        placed.Layout->endLayout();
        placed.Origin = QPointF(AStyle.Margin, y);
        y += height + (source.Level == 1 ? leading * 2 : leading);
        result.Paragraphs.push_back(std::move(placed));
    }
    result.Height = int(y + 0.999) + AStyle.Margin;
    return result;
}

QImage PaintTextPicture(const TTextPictureLayout& ALayout, const TTextPictureStyle& AStyle,
                        qreal AScale) {
    if (!(AScale > 0))
        throw ETextRenderError(QStringLiteral("the scale must be above 0"));
    const QSizeF logical(AStyle.Width, std::max(ALayout.Height, AStyle.MinHeight));
    const QSize pixels(qCeil(logical.width() * AScale - 1e-6),
                       qCeil(logical.height() * AScale - 1e-6));
    QImage picture(pixels, QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull())
        throw ETextRenderError(QStringLiteral("the picture is too large"));
    picture.fill(Qt::white);
    // The painter works in logical pixels and the glyphs are drawn at the picture's scale.
    picture.setDevicePixelRatio(AScale);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const TPlacedParagraph& paragraph : ALayout.Paragraphs) {
        painter.setPen(paragraph.Centred ? QColor(0x1E, 0x3A, 0x5F) : QColor(0x33, 0x33, 0x33));
        paragraph.Layout->draw(&painter, paragraph.Origin);
    }
    painter.end();
    // The picture is opaque: without an alpha channel its PNG is a tenth smaller, which counts
    // three times over in the one-file release.
    QImage result = picture.convertToFormat(QImage::Format_RGB32);
    result.setDevicePixelRatio(1);
    return result;
}

} // namespace velmora
