#include "skin/widgets/SkinHotKey.h"

#include "skin/controls/SkinFont.h"
#include "skin/drawing/DefaultSkinFont.h"
#include "skin/widgets/SkinFieldClass.h"

#include <QEvent>
#include <QLayout>
#include <QLineEdit>
#include <QPainter>

namespace velmora {

TSkinHotKey::TSkinHotKey(QWidget* parent) : QKeySequenceEdit(parent) {
    TSkinFieldClass<TSkinHotKey>::Add(this);
    const TDefaultSkinFont face = DefaultSkinFont();
    QFont font = this->font();
    font.setFamily(face.Family);
    font.setPointSize(face.Size);
    setFont(font);
    setAttribute(Qt::WA_Hover);
    // The capture happens in an inner line edit; it gives up its own frame and leaves the
    // 4-pixel ring to this field.
    if (QLayout* inner = layout())
        inner->setContentsMargins(4, 4, 4, 4);
    if (auto* edit = findChild<QLineEdit*>())
        edit->setFrame(false);
    FColor = palette().color(QPalette::Base);
}

TSkinHotKey::~TSkinHotKey() {
    TSkinFieldClass<TSkinHotKey>::Remove(this);
}

void TSkinHotKey::SetInsideFrameColor(const QColor& Value) {
    if (FFrame.SetInsideFrameColor(Value))
        update();
}

void TSkinHotKey::SetouterFrameColor(const QColor& Value) {
    FFrame.SetOuterFrameColor(Value);
}

void TSkinHotKey::Loaded() {
    ApplySkinManagerFont(*this);
}

void TSkinHotKey::ChangeSkinFile() {
    ApplySkinManagerFont(*this);
}

bool TSkinHotKey::event(QEvent* event) {
    if ((event->type() == QEvent::HoverEnter || event->type() == QEvent::HoverLeave) &&
        FFrame.SetMouseInControl(event->type() == QEvent::HoverEnter))
        update();
    return QKeySequenceEdit::event(event);
}

void TSkinHotKey::paintEvent(QPaintEvent* event) {
    QKeySequenceEdit::paintEvent(event);
    QPainter painter(this);
    FFrame.RedrawBorder(*this, painter, FColor);
}

} // namespace velmora
