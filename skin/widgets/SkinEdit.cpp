#include "skin/widgets/SkinEdit.h"

#include "skin/controls/SkinFont.h"
#include "skin/drawing/DefaultSkinFont.h"
#include "skin/widgets/SkinFieldClass.h"

#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

namespace velmora {

namespace {

// Keys that would change the text: printable characters and the editing shortcuts.
bool ChangesText(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) ||
        event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
        event->matches(QKeySequence::Delete) || event->matches(QKeySequence::DeleteStartOfWord) ||
        event->matches(QKeySequence::DeleteEndOfWord) ||
        event->matches(QKeySequence::DeleteEndOfLine))
        return true;
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)
        return true;
    // Shortcuts such as select-all carry a letter too; only plain typing inserts it.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

} // namespace

TSkinEdit::TSkinEdit(QWidget* parent) : QLineEdit(parent) {
    TSkinFieldClass<TSkinEdit>::Add(this);
    const TDefaultSkinFont face = DefaultSkinFont();
    QFont font = this->font();
    font.setFamily(face.Family);
    font.setPointSize(face.Size);
    setFont(font);
    setFrame(false);
    setAttribute(Qt::WA_Hover);
    FColor = palette().color(QPalette::Base);
    ApplyMargins();
}

TSkinEdit::~TSkinEdit() {
    TSkinFieldClass<TSkinEdit>::Remove(this);
}

void TSkinEdit::SetBkgndTransparent(bool Value) {
    if (FBkgndTransparent == Value)
        return;
    FBkgndTransparent = Value;
    ApplyMargins();
    RefreshBackGroundBrush();
    update();
}

void TSkinEdit::SetBorderSingle(bool Value) {
    if (FBorderSingle == Value)
        return;
    FBorderSingle = Value;
    ApplyMargins();
    update();
}

QColor TSkinEdit::Color() const {
    return FColor;
}

void TSkinEdit::SetColor(const QColor& Value) {
    if (FColor == Value)
        return;
    FColor = Value;
    RefreshBackGroundBrush();
    update();
}

void TSkinEdit::Loaded() {
    ApplySkinManagerFont(*this);
    if (isReadOnly())
        SetColor(palette().color(QPalette::Button));
}

void TSkinEdit::ChangeSkinFile() {
    ApplySkinManagerFont(*this);
}

void TSkinEdit::ApplyMargins() {
    const int m = !FBorderSingle ? 0 : FBkgndTransparent ? 4 : 5;
    setTextMargins(m, m, m, m);
}

void TSkinEdit::RefreshBackGroundBrush() {
    QPalette colours = palette();
    if (FBkgndTransparent) {
        // The parent's picture under the field, so the text sits on the form itself.
        colours.setBrush(QPalette::Base, QBrush(FFrame.CaptureParent(*this)));
    } else {
        colours.setBrush(QPalette::Base, FColor);
    }
    setPalette(colours);
}

void TSkinEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (!FBorderSingle)
        return;
    // The frame goes over what the platform drew, as a non-client frame would.
    QPainter painter(this);
    FFrame.RedrawBorder(*this, painter, FColor, !FBkgndTransparent);
}

void TSkinEdit::enterEvent(QEnterEvent* event) {
    QLineEdit::enterEvent(event);
    if (FFrame.SetMouseInControl(true))
        update();
}

void TSkinEdit::leaveEvent(QEvent* event) {
    QLineEdit::leaveEvent(event);
    if (FFrame.SetMouseInControl(false))
        update();
}

void TSkinEdit::keyPressEvent(QKeyEvent* event) {
    if (FBkgndReadOnly && ChangesText(event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TSkinEdit::inputMethodEvent(QInputMethodEvent* event) {
    // A composed text is typing too.
    if (FBkgndReadOnly && !event->commitString().isEmpty()) {
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void TSkinEdit::contextMenuEvent(QContextMenuEvent* event) {
    if (!FBkgndReadOnly) {
        QLineEdit::contextMenuEvent(event);
        return;
    }
    // The same menu, with the entries that would change the text switched off.
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    for (QAction* action : menu->actions()) {
        const QString name = action->objectName();
        if (name == QLatin1String("edit-paste") || name == QLatin1String("edit-cut") ||
            name == QLatin1String("edit-delete") || name == QLatin1String("edit-undo") ||
            name == QLatin1String("edit-redo"))
            action->setEnabled(false);
    }
    menu->exec(event->globalPos());
}

void TSkinEdit::moveEvent(QMoveEvent* event) {
    QLineEdit::moveEvent(event);
    if (FBkgndTransparent)
        RefreshBackGroundBrush();
    update();
}

void TSkinEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    if (FBkgndTransparent)
        RefreshBackGroundBrush();
    update();
}

void TSkinEdit::showEvent(QShowEvent* event) {
    QLineEdit::showEvent(event);
    RefreshBackGroundBrush();
    update();
}

} // namespace velmora
