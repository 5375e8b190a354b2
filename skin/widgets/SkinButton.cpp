#include "skin/widgets/SkinButton.h"

#include "skin/data/SkinBackGroundItems.h"
#include "skin/data/SkinMng.h"
#include "skin/drawing/GDIIMGADV.h"
#include "skin/drawing/GDIText.h"
#include "skin/drawing/GdiSkinHelper.h"
#include "skin/widgets/ButtonGeometry.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QShortcutEvent>

namespace velmora {

VELMORA_DECLARE_ERROR(ESkinStyleNotFound, EVelmoraError);

namespace {

enum : int { biNormal = 0, biHover = 1, biDown = 2, biDisabled = 3, biFocused = 4 };

const char* const KGetterNames[] = {"GetNormalBitmapElement", "GetHoverBitmapElement",
                                    "GetDownBitmapElement", "GetDisabledBitmapElement",
                                    "GetFocusedBitmapElement"};
const char* const KSetterNames[] = {nullptr, "SetHoverBitmap", "SetDownBitmap", "SetDisabledBitmap",
                                    "SetFocusedBitmap"};

} // namespace

TSkinButton::TSkinButton(QWidget* parent)
    : TSkinCustomControl(parent), FCaptionText(std::make_unique<TGDIText>()) {
    FCaptionText->SetPrintStyle(psLayoutRect);
    FIsNeedAppendPaint = true;
    // Every button is reachable from the keyboard; the mouse never moves the focus.
    SetControlAction(TControlAction::Press);
    AssignFontToText(*FCaptionText, *this);
    EnsureSkinWidgetClassRegistered();
}

TSkinButton::~TSkinButton() = default;

// --- style and images ---------------------------------------------------------------------

void TSkinButton::SetButtonStyle(const QString& Value) {
    GuardedStep(*this, QStringLiteral("SetButtonStyle"), [&] {
        FButtonStyle = Value;
        LoadSkinResource();
    });
}

void TSkinButton::SetButtonStyleItem() {
    FButtonStyleItem = nullptr;
    const TSkinMng& mng = SkinMng();
    FButtonStyleItem = mng.SkinButtonStyles().GetItem(FButtonStyle);
    if (FButtonStyleItem == nullptr && !FButtonStyle.isEmpty() && mng.Loaded())
        throw ESkinStyleNotFound(
            QStringLiteral("the skin has no button style \"%1\"").arg(FButtonStyle));
}

void TSkinButton::LoadSkinResource() {
    GuardedStep(*this, QStringLiteral("LoadSkinResource"), [&] {
        const bool found =
            GuardedStep(*this, QStringLiteral("SetButtonStyleItem"), [&] { SetButtonStyleItem(); });
        if (found && FButtonStyleItem != nullptr && SkinMng().Loaded()) {
            SetNormalBitmap(FButtonStyleItem->NormalBitmap());
            SetHoverBitmap(FButtonStyleItem->HoverBitmap());
            SetDownBitmap(FButtonStyleItem->DownBitmap());
            SetDisabledBitmap(FButtonStyleItem->DisabledBitmap());
            SetFocusedBitmap(FButtonStyleItem->FocusedBitmap());
        }
    });
    // The images (or the style's elements behind them) may have changed.
    RepaintSelfImage();
}

void TSkinButton::SetStateBitmap(int AIndex, const IGPBitmap& Value) {
    if (FBitmaps[AIndex] == Value)
        return;
    FBitmaps[AIndex] = Value;
    FReInitElement[AIndex] = true;
}

void TSkinButton::SetNormalBitmap(const IGPBitmap& Value) {
    SetStateBitmap(biNormal, Value);
}

void TSkinButton::SetHoverBitmap(const IGPBitmap& Value) {
    GuardedStep(*this, QLatin1String(KSetterNames[biHover]),
                [&] { SetStateBitmap(biHover, Value); });
}

void TSkinButton::SetDownBitmap(const IGPBitmap& Value) {
    GuardedStep(*this, QLatin1String(KSetterNames[biDown]), [&] { SetStateBitmap(biDown, Value); });
}

void TSkinButton::SetDisabledBitmap(const IGPBitmap& Value) {
    GuardedStep(*this, QLatin1String(KSetterNames[biDisabled]),
                [&] { SetStateBitmap(biDisabled, Value); });
}

void TSkinButton::SetFocusedBitmap(const IGPBitmap& Value) {
    GuardedStep(*this, QLatin1String(KSetterNames[biFocused]),
                [&] { SetStateBitmap(biFocused, Value); });
}

TGDIIMGADV* TSkinButton::GetBitmapElement(int AIndex) {
    TGDIIMGADV* result = nullptr;
    GuardedStep(*this, QLatin1String(KGetterNames[AIndex]), [&] {
        const IGPBitmap& bitmap = FBitmaps[AIndex];
        if (!bitmap)
            return;
        if (bitmap->IsNull() || bitmap->Width() <= 0 || bitmap->Height() <= 0)
            throw EGPBitmapError(QStringLiteral("the image has no pixels"));
        if (FButtonStyleItem != nullptr &&
            bitmap == FButtonStyleItem->Bitmap(static_cast<TSkinButtonState>(AIndex))) {
            result = FButtonStyleItem->BitmapElement(static_cast<TSkinButtonState>(AIndex));
            return;
        }
        if (!FElements[AIndex])
            FElements[AIndex] = std::make_unique<TGDIIMGADV>();
        if (FReInitElement[AIndex]) {
            TSkinHelper::InitGdiImgAdv(FElements[AIndex].get(), bitmap, FHorzBitmapMargin,
                                       FVertBitmapMargin);
            FReInitElement[AIndex] = false;
        }
        result = FElements[AIndex].get();
    });
    return result;
}

TGDIIMGADV* TSkinButton::GetNormalBitmapElement() {
    return GetBitmapElement(biNormal);
}
TGDIIMGADV* TSkinButton::GetHoverBitmapElement() {
    return GetBitmapElement(biHover);
}
TGDIIMGADV* TSkinButton::GetDownBitmapElement() {
    return GetBitmapElement(biDown);
}
TGDIIMGADV* TSkinButton::GetDisabledBitmapElement() {
    return GetBitmapElement(biDisabled);
}
TGDIIMGADV* TSkinButton::GetFocusedBitmapElement() {
    return GetBitmapElement(biFocused);
}

// --- properties -----------------------------------------------------------------------------

void TSkinButton::SetHorzBitmapMargin(int Value) {
    if (FHorzBitmapMargin == Value)
        return;
    FHorzBitmapMargin = Value;
    FReInitElement.fill(true);
    RepaintSelfImage();
}

void TSkinButton::SetVertBitmapMargin(int Value) {
    if (FVertBitmapMargin == Value)
        return;
    FVertBitmapMargin = Value;
    FReInitElement.fill(true);
    RepaintSelfImage();
}

void TSkinButton::SetTransprent(bool Value) {
    if (FTransprent == Value)
        return;
    FTransprent = Value;
    RepaintSelfImage();
}

void TSkinButton::SetIsDrawIconCaption(bool Value) {
    if (FIsDrawIconCaption == Value)
        return;
    FIsDrawIconCaption = Value;
    RepaintSelfImage();
}

void TSkinButton::SetCaption(const QString& Value) {
    if (FCaption == Value)
        return;
    FCaption = Value;
    UpdateShortcut();
    RepaintSelfImage();
    NotifyAccessibleNameChanged(this);
}

void TSkinButton::SetTabStop(bool Value) {
    if (FTabStop == Value)
        return;
    FTabStop = Value;
    setFocusPolicy(Value ? Qt::TabFocus : Qt::NoFocus);
}

void TSkinButton::UpdateShortcut() {
    if (FShortcutId != 0) {
        releaseShortcut(FShortcutId);
        FShortcutId = 0;
    }
    const QKeySequence sequence = QKeySequence::mnemonic(FCaption);
    if (!sequence.isEmpty())
        FShortcutId = grabShortcut(sequence, Qt::WindowShortcut);
}

// --- painting -------------------------------------------------------------------------------

void TSkinButton::CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    TSkinCustomControl::CustomPaint(Graphics, ADrawRect);
    GuardedStep(*this, QStringLiteral("CustomPaint"), [&] {
        auto draw = [&](int AIndex) {
            if (FBitmaps[AIndex])
                TSkinHelper::DrawButtonFrame(Graphics, GetBitmapElement(AIndex), ADrawRect);
        };
        if (!isEnabled()) {
            if (!FTransprent)
                draw(biDisabled);
        } else if (IsDown()) {
            draw(biDown);
        } else if (IsFocused()) {
            draw(biFocused);
            if (MouseInControl())
                draw(biHover);
        } else if (MouseInControl()) {
            if (!FTransprent)
                draw(biNormal);
            draw(biHover);
        } else if (!FTransprent) {
            draw(biNormal);
        }
    });
}

void TSkinButton::AppendPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    TSkinCustomControl::AppendPaint(Graphics, ADrawRect);
    if (FIsDrawIconCaption)
        DrawIconCaption(Graphics, ADrawRect);
}

void TSkinButton::DrawIconCaption(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    GuardedStep(*this, QStringLiteral("DrawIconCaption"), [&] {
        AdjustDrawCaptionRect(Graphics, ADrawRect);
        DrawCaption(Graphics);
    });
}

void TSkinButton::AdjustDrawCaptionRect(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    GuardedStep(*this, QStringLiteral("AdjustDrawCaptionRect"), [&] {
        const QString caption = StripAccelerator(FCaption);
        FCaptionRect =
            ButtonCaptionRect(ADrawRect, QSize(FCaptionText->GetFontWidth(Graphics, caption),
                                               FCaptionText->GetFontHeight(Graphics)));
    });
}

void TSkinButton::DrawCaption(TGPGraphics& Graphics) {
    GuardedStep(*this, QStringLiteral("DrawCaption"), [&] {
        TSkinHelper::DrawGDIText(Graphics, FCaptionText.get(), FCaptionRect,
                                 StripAccelerator(FCaption));
    });
}

// --- skin -----------------------------------------------------------------------------------

void TSkinButton::Loaded() {
    TSkinCustomControl::Loaded();
    ChangeSkinFile();
}

void TSkinButton::ChangeSkinFile() {
    TSkinCustomControl::ChangeSkinFile();
    // The old style item died with the old skin: look it up again by name.
    FButtonStyleItem = nullptr;
    SetButtonStyle(FButtonStyle);
}

void TSkinButton::ChangeSkinBackGroundItem(TBaseSkinItem* AItem) {
    TSkinCustomControl::ChangeSkinBackGroundItem(AItem);
    if (AItem == nullptr || !FTransprent || !UnderTransparentTitle(*this))
        return;
    FCaptionText->SetIsDrawShadow(true);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, QColor::fromRgba(AItem->TextGPColor()));
    setPalette(colours);
    FCaptionText->SetFontColor(AItem->TextGPColor());
    RepaintSelfImage();
}

// --- input ----------------------------------------------------------------------------------

bool TSkinButton::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut) {
        auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (shortcut->shortcutId() == FShortcutId && FShortcutId != 0) {
            // Alt+letter: Alt has reached the button together with its accelerator.
            if (isVisible() && isEnabled()) {
                FAltKey = true;
                Click();
                FAltKey = false;
            }
            return true;
        }
    }
    return TSkinCustomControl::event(event);
}

void TSkinButton::focusInEvent(QFocusEvent* event) {
    TSkinCustomControl::focusInEvent(event);
    RepaintSelfImage();
}

void TSkinButton::focusOutEvent(QFocusEvent* event) {
    TSkinCustomControl::focusOutEvent(event);
    RepaintSelfImage();
}

void TSkinButton::changeEvent(QEvent* event) {
    TSkinCustomControl::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        RepaintSelfImage();
        break;
    case QEvent::FontChange:
    case QEvent::PaletteChange:
        AssignFontToText(*FCaptionText, *this);
        RepaintSelfImage();
        break;
    default:
        break;
    }
}

void TSkinButton::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Alt) {
        FAltKey = true;
        TSkinCustomControl::keyPressEvent(event);
        return;
    }
    // The dialog character: the caption's accelerator after Alt has reached the button.
    const QChar accelerator = AcceleratorOf(FCaption);
    const QString text = event->text();
    if (FAltKey && !accelerator.isNull() && text.size() == 1 &&
        text[0].toUpper() == accelerator.toUpper() && isVisible() && isEnabled()) {
        Click();
        FAltKey = false;
        event->accept();
        return;
    }
    // Space and Return: the shared button behaviour.
    TSkinCustomControl::keyPressEvent(event);
}

QSize TSkinButton::sizeHint() const {
    if (!FIsDrawIconCaption)
        return TSkinCustomControl::sizeHint();
    TMeasureSurface surface;
    const QString caption = StripAccelerator(FCaption);
    return ButtonSizeFor(QSize(FCaptionText->GetFontWidth(surface.Graphics(), caption),
                               FCaptionText->GetFontHeight(surface.Graphics())));
}

QRect TSkinButton::FocusCueRect() const {
    return rect().adjusted(2, 2, -2, -2);
}

void TSkinButton::AccessibleState(QAccessible::State& AState) const {
    AState.pressed = IsDown();
    AState.focusable = focusPolicy() != Qt::NoFocus;
}

} // namespace velmora
