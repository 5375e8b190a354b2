#pragma once

#include "skin/data/SkinControlClasses.h"
#include "skin/widgets/SkinFieldFrame.h"

#include <QLineEdit>

namespace velmora {

// A single-line edit that keeps the platform's own editing (selection, clipboard, input
// methods) and replaces only its look: a flat 4-pixel frame drawn over the native content. In
// transparent mode the text area shows the parent's skinned picture behind the text.
class TSkinEdit : public QLineEdit {
public:
    static constexpr TSkinControlClassOrder KClassOrder = sccSkinEdit;
    static QString ClassName() { return QStringLiteral("TSkinEdit"); }

    explicit TSkinEdit(QWidget* parent = nullptr);
    ~TSkinEdit() override;

    bool BkgndTransparent() const { return FBkgndTransparent; }
    void SetBkgndTransparent(bool Value);
    // While true typed and pasted text is refused; focus, selection and copying still work.
    bool BkgndReadOnly() const { return FBkgndReadOnly; }
    void SetBkgndReadOnly(bool Value) { FBkgndReadOnly = Value; }
    // Single (true) draws the frame; none keeps the platform's plain client area.
    void SetBorderSingle(bool Value);
    bool MouseInControl() const { return FFrame.MouseInControl(); }
    const QColor& InsideFrameColor() const { return FFrame.InsideFrameColor(); }
    const QColor& OuterFrameColor() const { return FFrame.OuterFrameColor(); }
    // The field's colour: the second and third frame rings and the text area.
    QColor Color() const;
    void SetColor(const QColor& Value);

    // After the form is built: the skin font, and the button-face colour when read-only.
    void Loaded();
    // A new skin: the skin font again.
    void ChangeSkinFile();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The text margins: the frame, plus a pixel of the field's colour when not transparent.
    void ApplyMargins();
    // The text area's brush: the parent's picture under the field while transparent.
    void RefreshBackGroundBrush();

    TSkinFieldFrame FFrame;
    bool FBkgndTransparent = false;
    bool FBkgndReadOnly = false;
    bool FBorderSingle = true;
    QColor FColor;
};

} // namespace velmora
