#pragma once

#include "platform/system/Errors.h"

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QString>
#include <QTextLayout>
#include <memory>
#include <vector>

namespace velmora {

// A text file that cannot be read, laid out or written; the message names the file.
VELMORA_DECLARE_ERROR(ETextRenderError, EVelmoraError);

// The look of a rendered text picture.
struct TTextPictureStyle {
    int Width = 541;
    int MinHeight = 0;
    int Margin = 18;
    int PointSize = 9;
    QString Family;
};

// One laid-out paragraph: its text layout and where it starts on the picture.
struct TPlacedParagraph {
    std::unique_ptr<QTextLayout> Layout;
    QPointF Origin;
    bool Centred = false;
};

// The paragraphs of a text laid out for AStyle.Width. Lines beginning with "# " are the
// centred title, "## " headings, blank lines end a paragraph; other lines join their
// paragraph. Height is where the last paragraph ends plus the bottom margin.
struct TTextPictureLayout {
    std::vector<TPlacedParagraph> Paragraphs;
    int Height = 0;
};
TTextPictureLayout LayoutTextPicture(const QString& AText, const TTextPictureStyle& AStyle);

// The laid-out text on an opaque white picture of AStyle.Width by at least AStyle.MinHeight
// logical pixels, with AScale pixels per logical pixel (sides rounded up): the same layout, so
// the same line breaks and logical size at every scale, only drawn with more pixels.
QImage PaintTextPicture(const TTextPictureLayout& ALayout, const TTextPictureStyle& AStyle,
                        qreal AScale = 1);

// The installed CJK family used when the style names none; throws when there is none, so
// that a build never ships a picture of empty boxes.
QString CjkFamilyFor(const QString& AText);

} // namespace velmora
