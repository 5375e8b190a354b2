#pragma once

#include "skin/drawing/GDIText.h"
#include "skin/widgets/SkinBtns.h"
#include "skin/widgets/SkinEdits.h"
#include "skin/widgets/SkinWidgetSupport.h"

#include <QLineEdit>
#include <QStringList>
#include <QWidget>
#include <cmath>
#include <vector>

namespace velmora::testing {

// What a user would see cut off or overlapping in AWindow as it is laid out now: shown text
// controls (labels, check boxes, skinned buttons drawing a caption, fields) whose text does not
// fit them, that reach outside their parent, or that overlap one another. Empty when all is
// readable.
inline QStringList TextProblems(QWidget& AWindow) {
    QStringList problems;
    TMeasureSurface surface;
    std::vector<QWidget*> texts;
    // Where the text goes: a control's contents margins (a link's room for its focus cue) may
    // lie over a neighbour's empty edge.
    const auto where = [&](const QWidget* widget) {
        const QRect text = widget->contentsRect();
        return QRect(widget->mapTo(&AWindow, text.topLeft()), text.size());
    };
    for (QWidget* widget : AWindow.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&AWindow))
            continue;
        const QString name = widget->objectName();
        if (widget->parentWidget() != nullptr &&
            !widget->parentWidget()->rect().contains(widget->geometry()))
            problems << name + u": reaches outside its parent"_qs;
        if (auto* label = dynamic_cast<TSkinLabel*>(widget)) {
            if (label->Caption().trimmed().isEmpty())
                continue;
            const int width =
                label->CaptionText()->GetFontWidth(surface.Graphics(), label->Caption());
            const int line = label->CaptionText()->GetFontHeight(surface.Graphics());
            const int lines =
                label->width() > 0 ? int(std::ceil(double(width) / label->width())) : 99;
            if (label->height() < lines * line)
                problems << name + u": text needs "_qs + QString::number(lines * line) +
                                u" pixels of height, has "_qs + QString::number(label->height());
            texts.push_back(widget);
        } else if (auto* box = dynamic_cast<TSkinCheckBox*>(widget)) {
            const int room = box->width() - box->SquareWidth() - 3;
            const int width = box->CaptionText()->GetFontWidth(surface.Graphics(), box->Caption());
            const int height = box->CaptionText()->GetFontHeight(surface.Graphics());
            // A square-only box (no room for a caption) shows no text by design.
            if (room > 0 && (width > room || height > box->height()))
                problems << name + u": caption does not fit"_qs;
            texts.push_back(widget);
        } else if (auto* button = dynamic_cast<TSkinButton*>(widget)) {
            if (!button->IsDrawIconCaption())
                continue;
            const QString caption = StripAccelerator(button->Caption());
            const int width = button->CaptionText()->GetFontWidth(surface.Graphics(), caption);
            const int height = button->CaptionText()->GetFontHeight(surface.Graphics());
            // The caption sits two pixels below the centre.
            const int top = (button->height() - height) / 2 + 2;
            if (width > button->width() - 4 || top < 0 || top + height > button->height())
                problems << name + u": caption "_qs + caption + u" does not fit "_qs +
                                QString::number(button->width()) + u'x' +
                                QString::number(button->height());
            texts.push_back(widget);
        } else if (auto* field = qobject_cast<QLineEdit*>(widget)) {
            if (field->fontMetrics().height() > field->height())
                problems << name + u": text taller than the field"_qs;
            texts.push_back(widget);
        }
    }
    for (size_t i = 0; i < texts.size(); ++i)
        for (size_t j = i + 1; j < texts.size(); ++j)
            if (where(texts[i]).intersects(where(texts[j])))
                problems << texts[i]->objectName() + u" overlaps "_qs + texts[j]->objectName();
    return problems;
}

} // namespace velmora::testing
