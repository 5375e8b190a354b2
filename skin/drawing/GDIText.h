#pragma once

#include "skin/drawing/GDIObject.h"

#include <QFont>

namespace velmora {

// Print styles of a text element.
enum TGDIPrintStyle : int {
    psLayoutRect = 0, // laid out in the element's rectangle with the string format
    psPoint = 1,      // from the element's corner, no string format
    psPointFormat = 2 // from the element's corner with the string format
};

// A piece of text: normal and hovered fonts and colours, print style, optional glow with an
// automatic colour, optional cut-off with "...".
class TGDIText : public TGDIObject {
public:
    TGDIText();
    QString ClassName() const override { return QStringLiteral("TGDIText"); }

    const QString& Text() const { return FText; }
    void SetText(const QString& Value) { FText = Value; }
    int PrintStyle() const { return FPrintStyle; }
    void SetPrintStyle(int Value) { FPrintStyle = Value; }
    bool IsDrawShadow() const { return FIsDrawShadow; }
    void SetIsDrawShadow(bool Value) { FIsDrawShadow = Value; }
    TGPColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TGPColor Value) { FShadowColor = Value; }
    bool IsAutoShadowColor() const { return FIsAutoShadowColor; }
    void SetIsAutoShadowColor(bool Value) { FIsAutoShadowColor = Value; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) { FAutoSize = Value; }
    bool EnableCutOff() const { return FEnableCutOff; }
    void SetEnableCutOff(bool Value) { FEnableCutOff = Value; }
    bool DoneClick() const { return FDoneClick; }

    int FontSize() const { return FFontSize; }
    const QString& FontFamilyName() const { return FFontFamilyName; }
    int FontStyle() const { return FFontStyle; }
    TGPColor FontColor() const { return FFontColor; }
    int FontUnitPoint() const { return FFontUnitPoint; }
    int HoveredFontSize() const { return FHoveredFontSize; }
    const QString& HoveredFontFamilyName() const { return FHoveredFontFamilyName; }
    int HoveredFontStyle() const { return FHoveredFontStyle; }
    TGPColor HoveredFontColor() const { return FHoveredFontColor; }
    int HoveredFontUnitPoint() const { return FHoveredFontUnitPoint; }
    const QFont& Font() const { return FFont; }
    const QFont& HoveredFont() const { return FHoveredFont; }
    const TGPStringFormat& StringFormat() const { return FStringFormat; }

    virtual void SetFontSize(int Value);
    virtual void SetFontFamilyName(const QString& Value);
    virtual void SetFontStyle(int Value);
    virtual void SetFontColor(TGPColor Value);
    virtual void SetFontUnitPoint(int Value);
    virtual void SetHoveredFontSize(int Value);
    virtual void SetHoveredFontFamilyName(const QString& Value);
    virtual void SetHoveredFontStyle(int Value);
    virtual void SetHoveredFontColor(TGPColor Value);
    virtual void SetHoveredFontUnitPoint(int Value);

    // Style bits and colour (not family or size) of a framework font.
    void SetFont(const TFrameworkFont& AFont);
    void SetHoverFont(const TFrameworkFont& AFont);
    void SetStringAlign(int Horizontal, int Vertical);
    void SetHoveredStringAlign(int Horizontal, int Vertical);

    int GetFontHeight(TGPGraphics& AGraphics) const;
    int GetHoverFontHeight(TGPGraphics& AGraphics) const;
    int GetFontWidth(TGPGraphics& AGraphics, const QString& S) const;
    int GetHoverFontWidth(TGPGraphics& AGraphics, const QString& S) const;

    // Print style 0: the layout rectangle; 1 and 2: the measured box of the text.
    virtual QRectF GetTextRegion(TGPGraphics& AGraphics) const;
    // The draw point and layout rectangle for an origin.
    virtual void GetDrawOrigin(int AOriginX, int AOriginY, QPointF& APoint, QRectF& ALayout) const;
    // The text as drawn with cut-off in a layout of layoutWidth: whole when it fits in
    // layoutWidth - 10, otherwise the longest prefix that fits with "..." appended.
    QString CutOffText(TGPGraphics& AGraphics, const QFont& AFont, float layoutWidth) const;

    void Draw(TGPGraphics& AGPGraph, int AOriginX, int AOriginY) override;

    // Two common ideographs measured for font heights.
    static QString HeightSample() { return QStringLiteral("安装"); }

protected:
    void ReadXml(const QDomElement& node) override;
    void WriteXml(QDomElement& node) const override;

private:
    void ReBuildFont();
    void ReBuildHoveredFont();
    void RefreshAutoShadowColor();
    void DrawStyled(TGPGraphics& graphics, const QString& text, const QFont& font, TGPColor brush,
                    const QPointF& point, const QRectF& layout);

    QString FText;
    int FPrintStyle = psLayoutRect;
    bool FIsDrawShadow = false;
    TGPColor FShadowColor = 0x64FFFFFFu;
    bool FIsAutoShadowColor = true;
    bool FAutoSize = false;
    bool FEnableCutOff = false;
    int FFontSize = 9;
    QString FFontFamilyName;
    int FFontStyle = 0;
    TGPColor FFontColor = 0xFF000000u;
    int FFontUnitPoint = UnitPoint;
    int FHoveredFontSize = 9;
    QString FHoveredFontFamilyName;
    int FHoveredFontStyle = FontStyleUnderline;
    TGPColor FHoveredFontColor = 0xFF0000FFu;
    int FHoveredFontUnitPoint = UnitPoint;
    TGPStringFormat FStringFormat;
    TGPStringFormat FHoveredStringFormat;
    QFont FFont;
    QFont FHoveredFont;
    int FTextWidth = 0;
    bool FDoneClick = false;
};

} // namespace velmora
