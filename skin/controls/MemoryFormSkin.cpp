#include "skin/controls/MemoryFormSkin.h"

#include "skin/controls/SkinControl.h"
#include "skin/drawing/DefaultSkinFont.h"

#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QWidget>
#include <algorithm>

namespace velmora {

TMemoryFormSkin::TMemoryFormSkin() {
    const TDefaultSkinFont font = DefaultSkinFont();
    FFont = QFont(font.Family);
    FFont.setPointSize(font.Size);
}

TMemoryFormSkin::~TMemoryFormSkin() {
    if (SkinFormStyleSource() == this)
        SetSkinFormStyleSource(nullptr);
}

void TMemoryFormSkin::Install() {
    SetSkinFormStyleSource(this);
}

void TMemoryFormSkin::RegisterListener(QWidget* window) {
    if (std::find(FListeners.begin(), FListeners.end(), window) == FListeners.end())
        FListeners.push_back(window);
}

void TMemoryFormSkin::UnregisterListener(QWidget* window) {
    FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), window), FListeners.end());
}

void TMemoryFormSkin::LoadStyle(std::unique_ptr<TSkinFormStyle> style) {
    if (FStyle)
        FOldStyles.push_back(std::move(FStyle));
    FStyle = std::move(style);
    TSkinCustomControl::AllMembersChangeSkinFile();
    TFormDrawSkinCustomControl::AllMembersChangeSkinFile();
    const std::vector<QWidget*> listeners = FListeners;
    for (QWidget* window : listeners) {
        TSkinChangeEvent message(SkinFileChangedEvent, 0, 0);
        QCoreApplication::sendEvent(window, &message);
    }
}

void TMemoryFormSkin::SetUserBackGround(std::unique_ptr<TSkinBackGround> item,
                                        QEvent::Type message) {
    if (FUserBackGround)
        FOldBackGrounds.push_back(std::move(FUserBackGround));
    FUserBackGround = std::move(item);
    const std::vector<QWidget*> listeners = FListeners;
    for (QWidget* window : listeners) {
        TSkinChangeEvent event(message, reinterpret_cast<quintptr>(FUserBackGround.get()), 0);
        QCoreApplication::sendEvent(window, &event);
    }
}

// --- the style drawn in code -----------------------------------------------------------------

namespace {

constexpr int ButtonWidth = 26;
constexpr int TitleBand = 31;
constexpr int ButtonHeight = 20;

enum class TGlyph { Minimise, Maximise, Restore, Close };
enum class TButtonState { Normal, Hover, Down };

IGPBitmap DrawButton(TGlyph glyph, TButtonState state) {
    QImage image(ButtonWidth, ButtonHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (state != TButtonState::Normal) {
        QColor back = glyph == TGlyph::Close ? QColor(0xE0, 0x3C, 0x31) : QColor(255, 255, 255);
        back.setAlpha(glyph == TGlyph::Close ? (state == TButtonState::Hover ? 230 : 255)
                                             : (state == TButtonState::Hover ? 70 : 120));
        painter.setPen(Qt::NoPen);
        painter.setBrush(back);
        painter.drawRoundedRect(QRectF(1, 1, ButtonWidth - 2, ButtonHeight - 2), 3, 3);
    }
    painter.setPen(QPen(QColor(255, 255, 255), 1.4));
    painter.setBrush(Qt::NoBrush);
    const QPointF c(ButtonWidth / 2.0, ButtonHeight / 2.0);
    switch (glyph) {
    case TGlyph::Minimise:
        painter.drawLine(QPointF(c.x() - 5, c.y() + 3.5), QPointF(c.x() + 5, c.y() + 3.5));
        break;
    case TGlyph::Maximise:
        painter.drawRect(QRectF(c.x() - 5, c.y() - 4.5, 10, 9));
        break;
    case TGlyph::Restore:
        painter.drawRect(QRectF(c.x() - 5, c.y() - 2, 8, 7));
        painter.drawPolyline(
            QPolygonF({QPointF(c.x() - 2, c.y() - 2), QPointF(c.x() - 2, c.y() - 5),
                       QPointF(c.x() + 6, c.y() - 5), QPointF(c.x() + 6, c.y() + 2),
                       QPointF(c.x() + 3, c.y() + 2)}));
        break;
    case TGlyph::Close:
        painter.drawLine(QPointF(c.x() - 4.5, c.y() - 4.5), QPointF(c.x() + 4.5, c.y() + 4.5));
        painter.drawLine(QPointF(c.x() + 4.5, c.y() - 4.5), QPointF(c.x() - 4.5, c.y() + 4.5));
        break;
    }
    painter.end();
    return std::make_shared<TGPBitmap>(image.convertToFormat(QImage::Format_ARGB32));
}

// A soft shadow 10 pixels wide around a rounded rectangle, for nine-slice drawing with
// margins 12.
IGPBitmap DrawShadow() {
    constexpr int side = 40;
    constexpr int spread = 10;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int ring = 0; ring < spread; ++ring) {
        const qreal t = qreal(ring + 1) / spread;
        painter.setBrush(QColor(0, 0, 0, int(9 * t * t + 1)));
        const qreal inset = spread - ring - 1;
        painter.drawRoundedRect(QRectF(inset, inset + 1, side - 2 * inset, side - 2 * inset - 1),
                                spread - inset + 3, spread - inset + 3);
    }
    painter.end();
    return std::make_shared<TGPBitmap>(image.convertToFormat(QImage::Format_ARGB32));
}

IGPBitmap DrawBackGroundPicture(QColor title, QColor top, QColor bottom) {
    constexpr int width = 64;
    constexpr int height = 371;
    QImage image(width, height, QImage::Format_ARGB32);
    QPainter painter(&image);
    QLinearGradient body(0, 0, 0, height);
    body.setColorAt(0, top);
    body.setColorAt(1, bottom);
    painter.fillRect(image.rect(), body);
    QLinearGradient band(0, 0, 0, TitleBand);
    band.setColorAt(0, title.lighter(115));
    band.setColorAt(1, title);
    painter.fillRect(QRect(0, 0, width, TitleBand), band);
    painter.end();
    return std::make_shared<TGPBitmap>(image);
}

} // namespace

std::unique_ptr<TSkinFormStyle> MakeCodeFormStyle() {
    auto style = std::make_unique<TSkinFormStyle>();
    using G = TGlyph;
    using S = TButtonState;
    style->MinBtnBmp_Normal = DrawButton(G::Minimise, S::Normal);
    style->MinBtnBmp_Hover = DrawButton(G::Minimise, S::Hover);
    style->MinBtnBmp_Down = DrawButton(G::Minimise, S::Down);
    style->MaxBtnBmp_Normal = DrawButton(G::Maximise, S::Normal);
    style->MaxBtnBmp_Hover = DrawButton(G::Maximise, S::Hover);
    style->MaxBtnBmp_Down = DrawButton(G::Maximise, S::Down);
    style->RestoreBtnBmp_Normal = DrawButton(G::Restore, S::Normal);
    style->RestoreBtnBmp_Hover = DrawButton(G::Restore, S::Hover);
    style->RestoreBtnBmp_Down = DrawButton(G::Restore, S::Down);
    style->CloseBtnBmp_Normal = DrawButton(G::Close, S::Normal);
    style->CloseBtnBmp_Hover = DrawButton(G::Close, S::Hover);
    style->CloseBtnBmp_Down = DrawButton(G::Close, S::Down);
    style->CloseBtnRight = 30;
    style->CloseBtnTop = 4;
    style->MaxBtnRight = 56;
    style->MaxBtnTop = 4;
    style->MinBtnRight = 82;
    style->MinBtnTop = 4;
    style->AppCaptionX = 10;
    style->AppCaptionY = 3;
    style->EnabledShadow = true;
    style->ShadowBitmap = DrawShadow();
    style->ShadowDrawMargin = TShadowMargins{12, 12, 12, 12};
    style->ShadowSizeMargin = TShadowMargins{10, 10, 10, 10};
    style->SufferBackGrounds.push_back(std::make_unique<TPictureBackGround>(
        QStringLiteral("Default"),
        DrawBackGroundPicture(QColor(0x1F, 0x5F, 0x8B), QColor(0xF4, 0xF8, 0xFB),
                              QColor(0xDD, 0xE8, 0xF0)),
        QColor(0xEE, 0xF3, 0xF7), TitleBand));
    return style;
}

std::unique_ptr<TSkinBackGround> MakeCodeBackGround(const QString& name) {
    return std::make_unique<TPictureBackGround>(name,
                                                DrawBackGroundPicture(QColor(0x2B, 0x57, 0x7A),
                                                                      QColor(0xFA, 0xFB, 0xFC),
                                                                      QColor(0xE4, 0xEA, 0xF0)),
                                                QColor(0xF0, 0xF3, 0xF6));
}

} // namespace velmora
