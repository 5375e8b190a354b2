#include "skin/drawing/GDIText.h"

#include "skin/drawing/DefaultSkinFont.h"
#include "skin/drawing/GDIXml.h"
#include "skin/drawing/SkinColors.h"
#include "skin/drawing/TextGlow.h"

#include <cmath>

namespace velmora {
namespace {

constexpr int CutOffPadding = 10;
const QString Ellipsis = QStringLiteral("...");

int MeanChannel(TGPColor color) {
    return static_cast<int>((((color >> 16) & 0xFFu) + ((color >> 8) & 0xFFu) + (color & 0xFFu)) /
                            3);
}

} // namespace

TGDIText::TGDIText() : FText(QStringLiteral("未知")) {
    FNodeName = QStringLiteral("TEXT");
    const TDefaultSkinFont skinFont = DefaultSkinFont();
    FFontSize = skinFont.Size;
    FFontFamilyName = skinFont.Family;
    FHoveredFontSize = skinFont.Size;
    FHoveredFontFamilyName = skinFont.Family;
    ReBuildFont();
    ReBuildHoveredFont();
}

void TGDIText::ReBuildFont() {
    try {
        FFont = MakeFont({FFontFamilyName, static_cast<float>(FFontSize),
                          FFontStyle & FontStyleMask, FFontUnitPoint});
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("ReBuildFont"));
    }
}

void TGDIText::ReBuildHoveredFont() {
    try {
        FHoveredFont = MakeFont({FHoveredFontFamilyName, static_cast<float>(FHoveredFontSize),
                                 FHoveredFontStyle & FontStyleMask, FHoveredFontUnitPoint});
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("ReBuildHoveredFont"));
    }
}

void TGDIText::RefreshAutoShadowColor() {
    if (FIsDrawShadow && FIsAutoShadowColor)
        FShadowColor = MeanChannel(FFontColor) > 99 ? 0xFF000000u : 0xFFFFFFFFu;
}

void TGDIText::SetFontSize(int Value) {
    if (FFontSize == Value)
        return;
    FFontSize = Value;
    ReBuildFont();
}

void TGDIText::SetFontFamilyName(const QString& Value) {
    if (FFontFamilyName == Value)
        return;
    FFontFamilyName = Value;
    ReBuildFont();
}

void TGDIText::SetFontStyle(int Value) {
    if (FFontStyle == Value)
        return;
    FFontStyle = Value;
    ReBuildFont();
}

void TGDIText::SetFontColor(TGPColor Value) {
    if (FFontColor == Value)
        return;
    FFontColor = Value;
    RefreshAutoShadowColor();
}

void TGDIText::SetFontUnitPoint(int Value) {
    if (FFontUnitPoint == Value)
        return;
    FFontUnitPoint = Value;
    ReBuildFont();
}

void TGDIText::SetHoveredFontSize(int Value) {
    if (FHoveredFontSize == Value)
        return;
    FHoveredFontSize = Value;
    ReBuildHoveredFont();
}

void TGDIText::SetHoveredFontFamilyName(const QString& Value) {
    if (FHoveredFontFamilyName == Value)
        return;
    FHoveredFontFamilyName = Value;
    ReBuildHoveredFont();
}

void TGDIText::SetHoveredFontStyle(int Value) {
    if (FHoveredFontStyle == Value)
        return;
    FHoveredFontStyle = Value;
    ReBuildHoveredFont();
}

void TGDIText::SetHoveredFontColor(TGPColor Value) {
    FHoveredFontColor = Value;
}

void TGDIText::SetHoveredFontUnitPoint(int Value) {
    if (FHoveredFontUnitPoint == Value)
        return;
    FHoveredFontUnitPoint = Value;
    ReBuildHoveredFont();
}

void TGDIText::SetFont(const TFrameworkFont& AFont) {
    FFontStyle = AFont.Style & FontStyleMask;
    FFontColor = ColorToGPColor(AFont.Color);
    ReBuildFont();
    RefreshAutoShadowColor();
}

void TGDIText::SetHoverFont(const TFrameworkFont& AFont) {
    FHoveredFontStyle = AFont.Style & FontStyleMask;
    FHoveredFontColor = ColorToGPColor(AFont.Color);
    ReBuildHoveredFont();
}

void TGDIText::SetStringAlign(int Horizontal, int Vertical) {
    FStringFormat.Alignment = Horizontal;
    FStringFormat.LineAlignment = Vertical;
}

void TGDIText::SetHoveredStringAlign(int Horizontal, int Vertical) {
    FHoveredStringFormat.Alignment = Horizontal;
    FHoveredStringFormat.LineAlignment = Vertical;
}

int TGDIText::GetFontHeight(TGPGraphics& AGraphics) const {
    return static_cast<int>(
        std::ceil(AGraphics.MeasureString(HeightSample(), FFont, QPointF()).height()));
}

int TGDIText::GetHoverFontHeight(TGPGraphics& AGraphics) const {
    return static_cast<int>(
        AGraphics.MeasureString(HeightSample(), FHoveredFont, QPointF()).height());
}

int TGDIText::GetFontWidth(TGPGraphics& AGraphics, const QString& S) const {
    if (S.isEmpty())
        return 0;
    return static_cast<int>(AGraphics.MeasureString(S, FFont, QPointF()).width());
}

int TGDIText::GetHoverFontWidth(TGPGraphics& AGraphics, const QString& S) const {
    if (S.isEmpty())
        return 0;
    return static_cast<int>(AGraphics.MeasureString(S, FHoveredFont, QPointF()).width());
}

QRectF TGDIText::GetTextRegion(TGPGraphics& AGraphics) const {
    try {
        if (FPrintStyle == psLayoutRect)
            return GetRect().ToQRectF();
        return AGraphics.MeasureString(FText, FFont, QPointF(Point().X, Point().Y), &FStringFormat);
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("GetRegion"));
    }
    return {};
}

void TGDIText::GetDrawOrigin(int AOriginX, int AOriginY, QPointF& APoint, QRectF& ALayout) const {
    APoint = QPointF(Point().X + AOriginX, Point().Y + AOriginY);
    ALayout = GetRect().ToQRectF().translated(AOriginX, AOriginY);
}

QString TGDIText::CutOffText(TGPGraphics& AGraphics, const QFont& AFont, float layoutWidth) const {
    auto width = [&](const QString& s) {
        return s.isEmpty() ? 0.0 : AGraphics.MeasureString(s, AFont, QPointF()).width();
    };
    if (width(FText) <= layoutWidth - CutOffPadding)
        return FText;
    const double limit = std::ceil(layoutWidth) - width(Ellipsis) - CutOffPadding;
    QString kept;
    qsizetype i = 0;
    while (i < FText.size()) {
        // Whole characters only: a surrogate pair is taken together.
        const qsizetype length = FText.at(i).isHighSurrogate() && i + 1 < FText.size() ? 2 : 1;
        const QString candidate = kept + FText.mid(i, length);
        if (width(candidate) > limit)
            break;
        kept = candidate;
        i += length;
    }
    return kept + Ellipsis;
}

void TGDIText::DrawStyled(TGPGraphics& graphics, const QString& text, const QFont& font,
                          TGPColor brush, const QPointF& point, const QRectF& layout) {
    const QPointF unmoved(PosX(), PosY());
    switch (FPrintStyle) {
    case psPoint:
        if (FIsDrawShadow)
            DrawTextGlow(graphics, text, font, brush, point, nullptr, FShadowColor);
        graphics.DrawString(text, font, brush, point);
        break;
    case psPointFormat:
        if (FIsDrawShadow) {
            // The text goes where its glow was measured: aligned by the string format.
            DrawTextGlow(graphics, text, font, brush, unmoved, &FStringFormat, FShadowColor);
            graphics.DrawString(text, font, brush, unmoved, &FStringFormat);
        } else {
            graphics.DrawString(text, font, brush, point, &FStringFormat);
        }
        break;
    case psLayoutRect:
        if (FIsDrawShadow) {
            DrawTextGlow(graphics, text, font, brush, unmoved, nullptr, FShadowColor);
            graphics.DrawString(text, font, brush, unmoved);
        } else {
            graphics.DrawString(text, font, brush, layout, &FStringFormat);
        }
        break;
    default:
        break;
    }
}

void TGDIText::Draw(TGPGraphics& AGPGraph, int AOriginX, int AOriginY) {
    if (FText.isEmpty())
        return;
    try {
        const bool hovered = EnableHovered() && IsHovered();
        const QFont& font = hovered ? FHoveredFont : FFont;
        const TGPColor brush = hovered ? FHoveredFontColor : FFontColor;
        QPointF point;
        QRectF layout;
        GetDrawOrigin(AOriginX, AOriginY, point, layout);
        const QString text =
            FEnableCutOff ? CutOffText(AGPGraph, font, static_cast<float>(layout.width())) : FText;
        DrawStyled(AGPGraph, text, font, brush, point, layout);
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("Draw"));
    }
}

void TGDIText::ReadXml(const QDomElement& node) {
    TGDIObject::ReadXml(node);
    QString text;
    int number = 0;
    quint32 color = 0;
    bool flag = false;
    if (ReadXmlString(node, QStringLiteral("Text"), text))
        SetText(text);
    if (ReadXmlInt(node, QStringLiteral("FontSize"), number))
        SetFontSize(number);
    if (ReadXmlInt(node, QStringLiteral("HoveredFontSize"), number))
        SetHoveredFontSize(number);
    if (ReadXmlString(node, QStringLiteral("FontFamilyName"), text))
        SetFontFamilyName(text);
    if (ReadXmlString(node, QStringLiteral("HoveredFontFamilyName"), text))
        SetHoveredFontFamilyName(text);
    if (ReadXmlInt(node, QStringLiteral("FontStyle"), number))
        SetFontStyle(number & FontStyleMask);
    if (ReadXmlInt(node, QStringLiteral("HoveredFontStyle"), number))
        SetHoveredFontStyle(number & FontStyleMask);
    if (ReadXmlUInt32Low(node, QStringLiteral("FontColor"), color))
        SetFontColor(color);
    if (ReadXmlUInt32Low(node, QStringLiteral("HoveredFontColor"), color))
        SetHoveredFontColor(color);
    if (ReadXmlUInt32Low(node, QStringLiteral("ShadowColor"), color))
        FShadowColor = color;
    if (ReadXmlInt(node, QStringLiteral("FontUnitPoint"), number))
        SetFontUnitPoint(number);
    if (ReadXmlInt(node, QStringLiteral("HoveredFontUnitPoint"), number))
        SetHoveredFontUnitPoint(number);
    if (ReadXmlInt(node, QStringLiteral("PrintStyle"), number))
        FPrintStyle = number;
    if (ReadXmlBool(node, QStringLiteral("IsDrawShadow"), flag))
        FIsDrawShadow = flag;
    if (ReadXmlBool(node, QStringLiteral("IsAutoShadowColor"), flag))
        FIsAutoShadowColor = flag;
    if (ReadXmlBool(node, QStringLiteral("AutoSize"), flag))
        FAutoSize = flag;
}

void TGDIText::WriteXml(QDomElement& node) const {
    TGDIObject::WriteXml(node);
    node.setAttribute(QStringLiteral("Text"), FText);
    WriteXmlInt(node, QStringLiteral("FontSize"), FFontSize);
    WriteXmlInt(node, QStringLiteral("HoveredFontSize"), FHoveredFontSize);
    node.setAttribute(QStringLiteral("FontFamilyName"), FFontFamilyName);
    node.setAttribute(QStringLiteral("HoveredFontFamilyName"), FHoveredFontFamilyName);
    WriteXmlInt(node, QStringLiteral("FontStyle"), FFontStyle & FontStyleMask);
    WriteXmlInt(node, QStringLiteral("HoveredFontStyle"), FHoveredFontStyle & FontStyleMask);
    WriteXmlInt(node, QStringLiteral("FontColor"), FFontColor);
    WriteXmlInt(node, QStringLiteral("HoveredFontColor"), FHoveredFontColor);
    WriteXmlInt(node, QStringLiteral("ShadowColor"), FShadowColor);
    WriteXmlInt(node, QStringLiteral("FontUnitPoint"), FFontUnitPoint);
    WriteXmlInt(node, QStringLiteral("HoveredFontUnitPoint"), FHoveredFontUnitPoint);
    WriteXmlInt(node, QStringLiteral("PrintStyle"), FPrintStyle);
    WriteXmlBool(node, QStringLiteral("IsDrawShadow"), FIsDrawShadow);
    WriteXmlBool(node, QStringLiteral("IsAutoShadowColor"), FIsAutoShadowColor);
    WriteXmlBool(node, QStringLiteral("AutoSize"), FAutoSize);
}

} // namespace velmora
