#pragma once

#include "platform/graphics/GPGraphics.h"
#include "platform/system/Errors.h"

#include <QAccessible>
#include <QImage>
#include <QString>
#include <exception>
#include <memory>

class QWidget;

namespace velmora {

class TGDIText;
class TSkinCustomControl;
class TBaseSkinItem;

// Raised where a Pascal integer division by zero would have been.
VELMORA_DECLARE_ERROR(EDivByZero, EVelmoraError);

// One skin engine log entry for a control: its class, its name, the error and the step.
void LogControlFailure(const TSkinCustomControl& AControl, const std::exception& AError,
                       const QString& ATag);

// Runs AStep; a failure is logged with ATag and swallowed, so the control keeps working.
template <typename TStep>
bool GuardedStep(const TSkinCustomControl& AControl, const QString& ATag, TStep&& AStep) {
    try {
        AStep();
        return true;
    } catch (const std::exception& error) {
        LogControlFailure(AControl, error, ATag);
        return false;
    }
}

// A text element takes a widget's font as a framework font assignment does: family, size,
// style bits and the colour (the palette's window-text colour).
void AssignFontToText(TGDIText& AText, const QWidget& AWidget);

// A drawing surface for measuring text outside a paint (what a control's canvas is for):
// one pixel at the skin resolution.
class TMeasureSurface {
public:
    TMeasureSurface();
    TGPGraphics& Graphics() { return *FGraphics; }

private:
    QImage FImage;
    std::unique_ptr<TGPGraphics> FGraphics;
};

// The caption with Qt's mnemonic markers removed ("&&" stays one "&").
QString StripAccelerator(const QString& ACaption);
// The accelerator character of a caption in Qt's convention ("&x"), or a null character.
QChar AcceleratorOf(const QString& ACaption);

// True when AControl's parent is a skinned form with a transparent title that reaches below
// AControl's top; then AItem's text colour applies to labels, check boxes and buttons.
bool UnderTransparentTitle(const QWidget& AControl);

// Makes sure the skin manager tells the skinned control class about a new skin even when no
// form source registered it: every widget calls it on construction.
void EnsureSkinWidgetClassRegistered();

// What a widget tells assistive technology: its role, its name, its state, and the words a
// picture carries. Actions come from the control's TControlAction: press, toggle or jump,
// performed as a click, plus moving the focus there.
class ISkinAccessible {
public:
    virtual ~ISkinAccessible() = default;
    virtual QAccessible::Role AccessibleRole() const = 0;
    virtual QString AccessibleText() const = 0;
    virtual void AccessibleState(QAccessible::State& AState) const { (void)AState; }
    // Text a screen reader can read (the text interface); empty for none.
    virtual QString AccessibleWords() const { return QString(); }
};

// The name assistive technology hears: the one set on the widget, else the widget's own, with
// the surrounding spaces a layout needs removed.
QString AccessibleNameOf(const QWidget& AWidget, const QString& AOwn);

// Installs (once) the accessibility factory that serves every ISkinAccessible widget.
void InstallSkinAccessibleFactory();
// Tells assistive technology that a widget's name or state changed.
void NotifyAccessibleNameChanged(QWidget* AWidget);
void NotifyAccessibleStateChanged(QWidget* AWidget, const QAccessible::State& AChanged);

} // namespace velmora
