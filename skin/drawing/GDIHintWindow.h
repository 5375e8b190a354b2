#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

namespace velmora {

// The tooltip rectangle at (x, y) for a text of textWidth x textHeight pixels: 10 pixels of
// padding on the width, at most 240 pixels wide, and one more text line for every full 240
// pixels of padded width beyond the first line.
QRect HintRectAt(int x, int y, int textWidth, int textHeight);

// The tooltip window of drawing objects: the info-background colour with a 1-pixel black
// frame and the hint text.
class TGDIHintWindow : public QWidget {
public:
    TGDIHintWindow();

    // Shows text in rect (screen coordinates).
    void ActivateHint(const QRect& rect, const QString& text);
    // Hides the window, as releasing its handle did.
    void ReleaseHandle();
    // The rectangle the hint text needs at (x, y), measured with the window's font.
    QRect CalcHintRect(int x, int y, const QString& text) const;
    const QString& Text() const { return FText; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString FText;
};

} // namespace velmora
