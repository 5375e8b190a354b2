#include "installer/wizard/InstallerMainStyle.h"

#include "installer/wizard/FirstEvent.h"
#include "skin/controls/SkinControl.h"

#include <QWidget>

namespace velmora::InstallerMainStyle {

namespace {

void Apply(TSkinCustomControl& AControl, const QFont& font, QRgb colour) {
    AControl.SetUseSkinFont(false);
    AControl.setFont(font);
    QPalette palette = AControl.palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgba(colour));
    palette.setColor(QPalette::Text, QColor::fromRgba(colour));
    AControl.setPalette(palette);
}

} // namespace

QFont FormFont() {
    return QFont(QStringLiteral("微软雅黑"), 9);
}

void PlainText(TSkinCustomControl& AControl) {
    Apply(AControl, FormFont(), Ink);
}

void Link(TSkinCustomControl& AControl, bool underline) {
    QFont font = FormFont();
    font.setUnderline(underline);
    Apply(AControl, font, Accent);
    AControl.setCursor(Qt::PointingHandCursor);
}

void Headline(TSkinCustomControl& AControl, bool success) {
    QFont font = FormFont();
    font.setPointSize(14);
    font.setBold(true);
    Apply(AControl, font, success ? Accent : Failure);
}

QString PathEditSheet() {
    return QStringLiteral("QLineEdit { border: none; background: transparent; color: #23363C;"
                          " selection-background-color: #0E7C72; selection-color: white; }");
}

QString ProgressSheet() {
    return QStringLiteral(
        "QProgressBar { border: 1px solid #BFD3D6; border-radius: 7px; background: #E4EEF0; }"
        "QProgressBar::chunk { border-radius: 6px; background: qlineargradient(x1:0, y1:0,"
        " x2:1, y2:0, stop:0 #0E7C72, stop:1 #1F5F8B); }");
}

void SheetWhenFirstShown(QWidget& AWidget, const QString& ASheet) {
    if (AWidget.isVisible()) {
        AWidget.setStyleSheet(ASheet);
        return;
    }
    OnFirstEvent(AWidget, QEvent::Show, [&AWidget, ASheet] { AWidget.setStyleSheet(ASheet); });
}

} // namespace velmora::InstallerMainStyle
