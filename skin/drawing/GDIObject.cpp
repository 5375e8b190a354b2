#include "skin/drawing/GDIObject.h"

#include "skin/drawing/GDIHintWindow.h"
#include "skin/drawing/GDIXml.h"
#include "skin/drawing/SkinEngineLog.h"
#include "skin/drawing/SkinTimer.h"

namespace velmora {

TGDIObject::TGDIObject() : FName(QStringLiteral("未知")) {}

TGDIObject::~TGDIObject() = default;

void TGDIObject::LogFailure(const std::exception* error, const QString& tag) const {
    LogSkinFailure(ClassName(), &FName, error, tag);
}

void TGDIObject::SetPosX(int value) {
    FPosX = value;
    FRect.X = static_cast<float>(value);
    FPoint.X = static_cast<float>(value);
}

void TGDIObject::SetPosY(int value) {
    FPosY = value;
    FRect.Y = static_cast<float>(value);
    FPoint.Y = static_cast<float>(value);
}

void TGDIObject::SetWidth(int value) {
    FWidth = value;
    FRect.Width = static_cast<float>(value);
}

void TGDIObject::SetHeight(int value) {
    FHeight = value;
    FRect.Height = static_cast<float>(value);
}

void TGDIObject::SetBounds(int APosX, int APosY, int AWidth, int AHeight) {
    SetPosX(APosX);
    SetPosY(APosY);
    SetWidth(AWidth);
    SetHeight(AHeight);
}

void TGDIObject::SetHintInterval(int value) {
    if (FHintInterval == value)
        return;
    FHintInterval = value;
    if (FHintTimer)
        FHintTimer->SetInterval(value);
}

void TGDIObject::MouseHover(int X, int Y) {
    if (OnMouseHover)
        OnMouseHover(this, X, Y);
}

void TGDIObject::Click(int X, int Y) {
    if (OnClick)
        OnClick(this, X, Y);
}

void TGDIObject::MouseMove(int X, int Y, bool) {
    if (OnMouseMove)
        OnMouseMove(this, X, Y);
}

void TGDIObject::Paint(TGPGraphics* AGPGraph, int AOriginX, int AOriginY) {
    if (FVisible && AGPGraph != nullptr)
        Draw(*AGPGraph, AOriginX, AOriginY);
}

void TGDIObject::Draw(TGPGraphics&, int, int) {}

bool TGDIObject::IsInRegion(int X, int Y) {
    try {
        const QRectF region = GetRegion();
        const bool inside =
            X >= region.left() && X < region.right() && Y >= region.top() && Y < region.bottom();
        if (!inside) {
            FIsHovered = false;
            HideHint();
            return false;
        }
        FHoveredPosX = X;
        FHoveredPosY = Y;
        FIsHovered = true;
        if (FEnableHint && !FIsStartHintTimer) {
            if (!FHintTimer) {
                FHintTimer = CreateSkinTimer();
                FHintTimer->SetInterval(FHintInterval);
                FHintTimer->OnTimer = [this] { OnHintTimerTimer(); };
            }
            FIsStartHintTimer = true;
            FHintTimer->Start();
        }
        return true;
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("IsInRegion"));
    }
    return false;
}

void TGDIObject::OnHintTimerTimer() {
    try {
        FIsStartHintTimer = false;
        FHintTimer->Stop();
        if (FEnableHint && FIsHovered) {
            MouseHover(FHoveredPosX, FHoveredPosY);
            if (FShowHint)
                ShowHintAtPoint(FFormLeft + FHoveredPosX + 20, FFormTop + FHoveredPosY + 20);
        }
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("OnHintTimerTimer"));
    }
}

void TGDIObject::ShowHintAtPoint(int X, int Y) {
    if (FHint.isEmpty())
        return;
    try {
        if (!FHintWindow)
            FHintWindow = std::make_unique<TGDIHintWindow>();
        FHintWindow->ActivateHint(FHintWindow->CalcHintRect(X, Y, FHint), FHint);
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("ShowHintAtPoint"));
    }
}

void TGDIObject::HideHint() {
    try {
        if (FHintWindow)
            FHintWindow->ReleaseHandle();
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("HideHint"));
    }
}

bool TGDIObject::LoadFromXMLNode(const QDomElement& AXMLNode) {
    try {
        ReadXml(AXMLNode);
        return true;
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("LoadFromXMLNode"));
    }
    return false;
}

bool TGDIObject::SaveToXMLNode(QDomElement& AXMLNode) {
    try {
        if (AXMLNode.isNull())
            throw ESkinXmlError(QStringLiteral("no element to write to"));
        WriteXml(AXMLNode);
        return true;
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("SaveToXMLNode"));
    }
    return false;
}

void TGDIObject::ReadXml(const QDomElement& node) {
    QString text;
    int number = 0;
    bool flag = false;
    if (ReadXmlString(node, QStringLiteral("Name"), text))
        SetName(text);
    if (ReadXmlString(node, QStringLiteral("Hint"), text))
        SetHint(text);
    if (ReadXmlString(node, QStringLiteral("LinkedURL"), text))
        FLinkedUrl = text;
    if (ReadXmlBool(node, QStringLiteral("EnableHovered"), flag))
        FEnableHoverd = flag;
    if (ReadXmlBool(node, QStringLiteral("EnableClick"), flag))
        FEnableClick = flag;
    if (ReadXmlInt(node, QStringLiteral("PosX"), number))
        SetPosX(number);
    if (ReadXmlInt(node, QStringLiteral("PosY"), number))
        SetPosY(number);
    if (ReadXmlInt(node, QStringLiteral("Width"), number))
        SetWidth(number);
    if (ReadXmlInt(node, QStringLiteral("Height"), number))
        SetHeight(number);
    if (ReadXmlBool(node, QStringLiteral("Visible"), flag))
        SetVisible(flag);
    if (ReadXmlBool(node, QStringLiteral("ShowHint"), flag))
        FShowHint = flag;
    if (ReadXmlBool(node, QStringLiteral("EnableHint"), flag))
        FEnableHint = flag;
    if (ReadXmlInt(node, QStringLiteral("HintInterval"), number))
        SetHintInterval(number);
}

void TGDIObject::WriteXml(QDomElement& node) const {
    node.setAttribute(QStringLiteral("Name"), FName);
    node.setAttribute(QStringLiteral("Hint"), FHint);
    node.setAttribute(QStringLiteral("LinkedURL"), FLinkedUrl);
    WriteXmlBool(node, QStringLiteral("EnableHovered"), FEnableHoverd);
    WriteXmlBool(node, QStringLiteral("EnableClick"), FEnableClick);
    WriteXmlInt(node, QStringLiteral("PosX"), FPosX);
    WriteXmlInt(node, QStringLiteral("PosY"), FPosY);
    WriteXmlInt(node, QStringLiteral("Width"), FWidth);
    WriteXmlInt(node, QStringLiteral("Height"), FHeight);
    WriteXmlBool(node, QStringLiteral("Visible"), FVisible);
    WriteXmlBool(node, QStringLiteral("ShowHint"), FShowHint);
    WriteXmlBool(node, QStringLiteral("EnableHint"), FEnableHint);
    WriteXmlInt(node, QStringLiteral("HintInterval"), FHintInterval);
}

} // namespace velmora
