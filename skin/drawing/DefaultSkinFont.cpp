#include "skin/drawing/DefaultSkinFont.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>
#include <optional>

namespace velmora {
namespace {

// a * b / c rounded half away from zero, as the system's integer scaling does.
int MulDiv(int a, int b, int c) {
    const double exact = static_cast<double>(a) * b / c;
    return static_cast<int>(std::lround(exact));
}

int SystemCaptionHeight(int dpi) {
    const QFont caption = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    if (caption.pixelSize() > 0)
        return -caption.pixelSize();
    return -static_cast<int>(std::lround(caption.pointSizeF() * dpi / 72.0));
}

} // namespace

int DefaultSkinFontSizeFor(int captionHeight, int dpi) {
    const int size = -MulDiv(captionHeight, 72, dpi > 0 ? dpi : 96);
    if (size <= 0)
        return 9;
    return size > 12 ? 12 : size;
}

TDefaultSkinFont DefaultSkinFont() {
    static std::optional<TDefaultSkinFont> cached;
    if (cached)
        return *cached;
    TDefaultSkinFont font{QStringLiteral("微软雅黑"), 9};
    if (qGuiApp == nullptr)
        return font; // no system values yet; computed for real once an application runs
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int dpi = screen != nullptr ? qRound(screen->logicalDotsPerInchY()) : 96;
    font.Size = DefaultSkinFontSizeFor(SystemCaptionHeight(dpi), dpi);
    cached = font;
    return font;
}

} // namespace velmora
