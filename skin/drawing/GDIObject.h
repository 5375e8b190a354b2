#pragma once

#include "platform/graphics/GPGraphics.h"
#include "skin/drawing/SkinTypes.h"

#include <QDomElement>
#include <QRectF>
#include <QString>
#include <functional>
#include <memory>

namespace velmora {

class TGDIObject;
class TGDIHintWindow;
class TSkinTimer;

using TGDINotifyEvent = std::function<void(TGDIObject* Sender, int X, int Y)>;

// A windowless element that a control or form owns and paints at an origin: its rectangle,
// visibility, hover and click state, tooltip and XML persistence. Owners drive hit tests
// from their own mouse handling; elements never repaint themselves.
class TGDIObject {
public:
    TGDIObject();
    virtual ~TGDIObject();
    TGDIObject(const TGDIObject&) = delete;
    TGDIObject& operator=(const TGDIObject&) = delete;

    virtual QString ClassName() const { return QStringLiteral("TGDIObject"); }

    int FormLeft() const { return FFormLeft; }
    int FormTop() const { return FFormTop; }
    void SetFormLeft(int value) { FFormLeft = value; }
    void SetFormTop(int value) { FFormTop = value; }
    bool IsHovered() const { return FIsHovered; }
    bool IsClicked() const { return FIsClicked; }
    void SetIsClicked(bool value) { FIsClicked = value; }
    const TGPPointF& Point() const { return FPoint; }

    int PosX() const { return FPosX; }
    int PosY() const { return FPosY; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    virtual void SetPosX(int value);
    virtual void SetPosY(int value);
    virtual void SetWidth(int value);
    virtual void SetHeight(int value);
    void SetBounds(int APosX, int APosY, int AWidth, int AHeight);

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool value) { FVisible = value; }
    const QString& Name() const { return FName; }
    virtual void SetName(const QString& value) { FName = value; }
    const QString& Hint() const { return FHint; }
    virtual void SetHint(const QString& value) { FHint = value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value) { FShowHint = value; }
    bool EnableHovered() const { return FEnableHoverd; }
    void SetEnableHovered(bool value) { FEnableHoverd = value; }
    const QString& LinkedURL() const { return FLinkedUrl; }
    void SetLinkedURL(const QString& value) { FLinkedUrl = value; }
    bool EnableClick() const { return FEnableClick; }
    void SetEnableClick(bool value) { FEnableClick = value; }
    const QString& NodeName() const { return FNodeName; }
    int HintInterval() const { return FHintInterval; }
    void SetHintInterval(int value);
    bool EnableHint() const { return FEnableHint; }
    void SetEnableHint(bool value) { FEnableHint = value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value) { FEnabled = value; }

    virtual TGPRectF GetRect() const { return FRect; }
    // The hit-test area: the object's rectangle, integer points inside it count.
    virtual QRectF GetRegion() const { return GetRect().ToQRectF(); }

    virtual void MouseHover(int X, int Y);
    virtual void Click(int X, int Y);
    virtual void MouseMove(int X, int Y, bool IsMouseDown);

    // Calls Draw when visible and a surface is given; owners always paint through here.
    void Paint(TGPGraphics* AGPGraph, int AOriginX, int AOriginY);
    virtual void Draw(TGPGraphics& AGPGraph, int AOriginX, int AOriginY);

    // The hover hit test; inside starts the hint delay when hints are enabled.
    bool IsInRegion(int X, int Y);
    bool IsStartHintTimer() const { return FIsStartHintTimer; }
    TGDIHintWindow* HintWindow() const { return FHintWindow.get(); }
    void ShowHintAtPoint(int X, int Y);
    void HideHint();

    // XML persistence: false (and a log entry) when an attribute cannot be read or written.
    bool LoadFromXMLNode(const QDomElement& AXMLNode);
    bool SaveToXMLNode(QDomElement& AXMLNode);

    TGDINotifyEvent OnClick;
    TGDINotifyEvent OnMouseMove;
    TGDINotifyEvent OnMouseHover;
    std::function<void(TGDIObject*)> OnRepaint;
    void* Data = nullptr;

protected:
    // One skin engine log entry with this object's class and name.
    void LogFailure(const std::exception* error, const QString& tag) const;
    // Subclasses read and write their own attributes after the base ones.
    virtual void ReadXml(const QDomElement& node);
    virtual void WriteXml(QDomElement& node) const;

    QString FNodeName;

private:
    void OnHintTimerTimer();

    int FFormLeft = 0;
    int FFormTop = 0;
    bool FIsHovered = false;
    int FHoveredPosX = 0;
    int FHoveredPosY = 0;
    TGPRectF FRect;
    TGPPointF FPoint;
    bool FIsClicked = false;
    std::unique_ptr<TGDIHintWindow> FHintWindow;
    std::unique_ptr<TSkinTimer> FHintTimer;
    bool FIsStartHintTimer = false;
    int FPosX = 0;
    int FPosY = 0;
    int FWidth = 0;
    int FHeight = 0;
    bool FVisible = true;
    QString FName;
    QString FHint;
    bool FShowHint = false;
    bool FEnableHoverd = false;
    QString FLinkedUrl;
    bool FEnableClick = false;
    int FHintInterval = 1000;
    bool FEnableHint = false;
    bool FEnabled = true;
};

} // namespace velmora
