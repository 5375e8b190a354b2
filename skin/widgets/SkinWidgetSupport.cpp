#include "skin/widgets/SkinWidgetSupport.h"

#include "skin/controls/SkinControl.h"
#include "skin/controls/SkinForms.h"
#include "skin/drawing/GDIText.h"
#include "skin/drawing/SkinEngineLog.h"

#include <QAccessibleWidget>
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

namespace {

class TSkinAccessible : public QAccessibleWidget {
public:
    TSkinAccessible(QWidget* AWidget, const ISkinAccessible& ASource)
        : QAccessibleWidget(AWidget, ASource.AccessibleRole()), FSource(ASource) {}

    QString text(QAccessible::Text AText) const override {
        if (AText == QAccessible::Name) {
            const QString own = widget()->accessibleName();
            return own.isEmpty() ? FSource.AccessibleText() : own;
        }
        return QAccessibleWidget::text(AText);
    }
    QAccessible::Role role() const override { return FSource.AccessibleRole(); }
    QAccessible::State state() const override {
        QAccessible::State result = QAccessibleWidget::state();
        FSource.AccessibleState(result);
        return result;
    }

private:
    const ISkinAccessible& FSource;
};

QAccessibleInterface* SkinAccessibleFactory(const QString&, QObject* AObject) {
    auto* widget = qobject_cast<QWidget*>(AObject);
    if (widget == nullptr)
        return nullptr;
    if (const auto* source = dynamic_cast<const ISkinAccessible*>(widget))
        return new TSkinAccessible(widget, *source);
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
