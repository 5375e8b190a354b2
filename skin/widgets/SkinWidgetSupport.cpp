#include "skin/widgets/SkinWidgetSupport.h"

#include "skin/controls/SkinControl.h"
#include "skin/controls/SkinForms.h"
#include "skin/drawing/GDIText.h"
#include "skin/drawing/SkinEngineLog.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace velmora {

void LogControlFailure(const TSkinCustomControl& AControl, const std::exception& AError,
                       const QString& ATag) {
    const QString name = AControl.objectName();
    LogSkinFailure(AControl.ClassName(), &name, &AError, ATag);
}

void AssignFontToText(TGDIText& AText, const QWidget& AWidget) {
    const QFont font = AWidget.font();
    AText.SetFontFamilyName(font.family());
    AText.SetFontSize(std::max(1, font.pointSize()));
    int style = 0;
    if (font.bold())
        style |= FontStyleBold;
    if (font.italic())
        style |= FontStyleItalic;
    if (font.underline())
        style |= FontStyleUnderline;
    if (font.strikeOut())
        style |= FontStyleStrikeout;
    AText.SetFontStyle(style);
    AText.SetFontColor(AWidget.palette().color(QPalette::WindowText).rgba());
}

TMeasureSurface::TMeasureSurface() : FImage(1, 1, QImage::Format_ARGB32_Premultiplied) {
    SetSkinResolution(FImage);
    FImage.fill(Qt::transparent);
    FGraphics = std::make_unique<TGPGraphics>(FImage);
}

QString StripAccelerator(const QString& ACaption) {
    QString out;
    out.reserve(ACaption.size());
    for (qsizetype i = 0; i < ACaption.size(); ++i) {
        if (ACaption[i] == QLatin1Char('&')) {
            if (i + 1 < ACaption.size() && ACaption[i + 1] == QLatin1Char('&')) {
                out += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        out += ACaption[i];
    }
    return out;
}

QChar AcceleratorOf(const QString& ACaption) {
    for (qsizetype i = 0; i + 1 < ACaption.size(); ++i) {
        if (ACaption[i] != QLatin1Char('&'))
            continue;
        if (ACaption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return ACaption[i + 1];
    }
    return QChar();
}

bool UnderTransparentTitle(const QWidget& AControl) {
    const auto* form = dynamic_cast<const TBaseSkinForm*>(AControl.parentWidget());
    return form != nullptr && form->IsEnabledTransparentTitle() &&
           AControl.y() < form->TransparentTitleTop();
}

void EnsureSkinWidgetClassRegistered() {
    // The control base registers the class with the skin manager itself; widgets add what
    // assistive technology reads.
    InstallSkinAccessibleFactory();
}

QString AccessibleNameOf(const QWidget& AWidget, const QString& AOwn) {
    const QString set = AWidget.accessibleName();
    return (set.isEmpty() ? AOwn : set).trimmed();
}

namespace {

const QString KJumpAction = QStringLiteral("jump");

// Assistive technology's view of a skinned control, title-bar button or form: role, name,
// state, the actions the control's behaviour offers (performed exactly as a click), and, for
// pictures that carry words, those words as read-only text.
class TSkinAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    TSkinAccessible(QWidget* AWidget, QAccessible::Role ARole)
        : QAccessibleWidget(AWidget, ARole) {}

    void* interface_cast(QAccessible::InterfaceType AType) override {
        if (AType == QAccessible::TextInterface && !Words().isEmpty())
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(AType);
    }

    // --- actions
    QStringList actionNames() const override {
        QStringList names;
        switch (Action()) {
        case TControlAction::Press:
            names << pressAction();
            break;
        case TControlAction::Toggle:
            names << toggleAction() << pressAction();
            break;
        case TControlAction::Jump:
            names << KJumpAction << pressAction();
            break;
        case TControlAction::None:
            break;
        }
        return names + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& AName) override {
        if (Action() != TControlAction::None &&
            (AName == pressAction() || AName == toggleAction() || AName == KJumpAction)) {
            // Acted on from the event loop, after the call returns: a press may start the
            // whole install, and a screen reader waits for doAction to return (hearing nothing
            // of the install meanwhile, and giving up after its call timeout).
            const QPointer<QWidget> target(widget());
            QTimer::singleShot(0, target.data(), [target] {
                if (auto* face = dynamic_cast<TSkinAccessible*>(
                        QAccessible::queryAccessibleInterface(target.data())))
                    face->Activate();
            });
            return;
        }
        QAccessibleWidget::doAction(AName);
    }
    QStringList keyBindingsForAction(const QString& AName) const override {
        if (AName == pressAction() || AName == toggleAction() || AName == KJumpAction)
            return {QStringLiteral("space")};
        return QAccessibleWidget::keyBindingsForAction(AName);
    }

    // --- read-only text
    void selection(int, int* AStart, int* AEnd) const override { *AStart = *AEnd = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int AStart, int AEnd) const override {
        const QString words = Words();
        AStart = std::clamp(AStart, 0, int(words.size()));
        AEnd = AEnd < 0 ? int(words.size()) : std::clamp(AEnd, AStart, int(words.size()));
        return words.mid(AStart, AEnd - AStart);
    }
    QString text(QAccessible::Text AText) const override = 0;
    int characterCount() const override { return int(Words().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* AStart, int* AEnd) const override {
        *AStart = 0;
        *AEnd = characterCount();
        return QString();
    }

protected:
    virtual TControlAction Action() const { return TControlAction::None; }
    virtual void Activate() {}
    virtual QString Words() const { return QString(); }
};

// A skinned windowed control that tells its own role, name, state and words.
class TSkinControlAccessible : public TSkinAccessible {
public:
    TSkinControlAccessible(QWidget* AWidget, const ISkinAccessible& ASource)
        : TSkinAccessible(AWidget, ASource.AccessibleRole()), FSource(ASource) {}

    QString text(QAccessible::Text AText) const override {
        if (AText == QAccessible::Name)
            return AccessibleNameOf(*widget(), FSource.AccessibleText());
        return QAccessibleWidget::text(AText);
    }
    QAccessible::Role role() const override { return FSource.AccessibleRole(); }
    QAccessible::State state() const override {
        QAccessible::State result = QAccessibleWidget::state();
        FSource.AccessibleState(result);
        return result;
    }

protected:
    TControlAction Action() const override {
        const auto* control = dynamic_cast<const TSkinCustomControl*>(widget());
        return control != nullptr ? control->ControlAction() : TControlAction::None;
    }
    void Activate() override {
        if (auto* control = dynamic_cast<TSkinCustomControl*>(widget()))
            control->Activate();
    }
    QString Words() const override { return FSource.AccessibleWords(); }

private:
    const ISkinAccessible& FSource;
};

// A title-bar button: a push button named by its tool tip ("关闭", "最小化", ...).
class TTitleButtonAccessible : public TSkinAccessible {
public:
    explicit TTitleButtonAccessible(TFormDrawSkinCustomControl* AButton)
        : TSkinAccessible(AButton, QAccessible::Button) {}

    QString text(QAccessible::Text AText) const override {
        if (AText == QAccessible::Name)
            return AccessibleNameOf(*widget(), widget()->toolTip());
        return QAccessibleWidget::text(AText);
    }

protected:
    TControlAction Action() const override { return TControlAction::Press; }
    void Activate() override {
        if (auto* button = dynamic_cast<TFormDrawSkinCustomControl*>(widget()))
            button->Activate();
    }
};

// A skinned form: a window (a dialog when it is a modal box) named by its accessible name,
// else its caption.
class TSkinFormAccessible : public TSkinAccessible {
public:
    explicit TSkinFormAccessible(TBaseSkinForm* AForm)
        : TSkinAccessible(AForm, QAccessible::Window) {}

    QString text(QAccessible::Text AText) const override {
        if (AText == QAccessible::Name)
            return AccessibleNameOf(*widget(), widget()->windowTitle());
        return QAccessibleWidget::text(AText);
    }
    QAccessible::Role role() const override {
        return widget()->isModal() || widget()->windowModality() != Qt::NonModal
                   ? QAccessible::Dialog
                   : QAccessible::Window;
    }
};

QAccessibleInterface* SkinAccessibleFactory(const QString&, QObject* AObject) {
    auto* widget = qobject_cast<QWidget*>(AObject);
    if (widget == nullptr)
        return nullptr;
    if (const auto* source = dynamic_cast<const ISkinAccessible*>(widget))
        return new TSkinControlAccessible(widget, *source);
    if (auto* button = dynamic_cast<TFormDrawSkinCustomControl*>(widget))
        return new TTitleButtonAccessible(button);
    if (auto* form = dynamic_cast<TBaseSkinForm*>(widget))
        return new TSkinFormAccessible(form);
    return nullptr;
}

} // namespace

void InstallSkinAccessibleFactory() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(SkinAccessibleFactory);
}

void NotifyAccessibleNameChanged(QWidget* AWidget) {
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(AWidget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void NotifyAccessibleStateChanged(QWidget* AWidget, const QAccessible::State& AChanged) {
    if (!QAccessible::isActive())
        return;
    QAccessibleStateChangeEvent event(AWidget, AChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace velmora
