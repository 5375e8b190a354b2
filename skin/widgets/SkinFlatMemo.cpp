#include "skin/widgets/SkinFlatMemo.h"

#include "skin/controls/SkinFont.h"
#include "skin/drawing/DefaultSkinFont.h"
#include "skin/drawing/SkinEngineLog.h"
#include "skin/widgets/SkinFieldClass.h"

#include <QPainter>

namespace velmora {

namespace {
constexpr int FrameWidth = 4;
} // namespace

TSkinFlatMemo::TSkinFlatMemo(QWidget* parent) : QPlainTextEdit(parent) {
    TSkinFieldClass<TSkinFlatMemo>::Add(this);
    const TDefaultSkinFont face = DefaultSkinFont();
    QFont font = this->font();
    font.setFamily(face.Family);
    font.setPointSize(face.Size);
    setFont(font);
    setFrameStyle(QFrame::NoFrame);
    setViewportMargins(FrameWidth, FrameWidth, FrameWidth, FrameWidth);
    setAttribute(Qt::WA_Hover);
    FColor = palette().color(QPalette::Base);
}

TSkinFlatMemo::~TSkinFlatMemo() {
    TSkinFieldClass<TSkinFlatMemo>::Remove(this);
}

void TSkinFlatMemo::SetColor(const QColor& Value) {
    if (FColor == Value)
        return;
    FColor = Value;
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Value);
    setPalette(colours);
    update();
    viewport()->update();
}

void TSkinFlatMemo::Loaded() {
    ApplySkinManagerFont(*this);
    if (isReadOnly())
        SetColor(palette().color(QPalette::Button));
}

void TSkinFlatMemo::ChangeSkinFile() {
    ApplySkinManagerFont(*this);
}

bool TSkinFlatMemo::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
        if (FFrame.SetMouseInControl(event->type() == QEvent::HoverEnter)) {
            viewport()->update();
            update();
        }
        break;
    case QEvent::Paint: {
        // The scroll area's own surface is the frame around the text; it is drawn after
        // whatever the platform paints there.
        const bool handled = QPlainTextEdit::event(event);
        try {
            QPainter painter(this);
            FFrame.RedrawBorder(*this, painter, FColor);
        } catch (const std::exception& error) {
            const QString name = objectName();
            LogSkinFailure(ClassName(), &name, &error, QStringLiteral("RedrawBorder"));
        }
        return handled;
    }
    default:
        break;
    }
    return QPlainTextEdit::event(event);
}

} // namespace velmora
