#pragma once

#include "platform/graphics/GPBitmap.h"
#include "skin/data/SkinDataTypes.h"

namespace velmora {

// What the manager needs from a skinned control to lay it out from a skin node. The skinned
// controls implement it, so this library stays free of the framework.
class ISkinNodeControl {
public:
    virtual ~ISkinNodeControl() = default;
    // The client rectangle of the parent skinned form; false when the parent is not one.
    virtual bool ParentSkinClientRect(TRect& ARect) const = 0;
    // The control's AnchorMargin and AnchorMarginType fields.
    virtual TMargin GetAnchorMargin() const = 0;
    virtual void SetAnchorMargin(const TMargin& AValue) = 0;
    virtual int GetAnchorMarginType() const = 0;
    virtual void SetAnchorMarginType(int AValue) = 0;
    virtual void SetControlBounds(int ALeft, int ATop, int AWidth, int AHeight) = 0;
    virtual void SetSkinAnchors(TSkinAnchors AValue) = 0;
};

class ISkinNodePanel : public virtual ISkinNodeControl {
public:
    virtual void SetSkinBitmap(const IGPBitmap& AValue) = 0;
};

// Normal and active pictures.
class ISkinNodeImageBox : public virtual ISkinNodeControl {
public:
    virtual void SetNormalBitmap(const IGPBitmap& AValue) = 0;
    virtual void SetActiveBitmap(const IGPBitmap& AValue) = 0;
};

// Pictures by state index: normal 0, down 1, hover 2, disabled 3, focused 4.
class ISkinNodeSpeedButton : public virtual ISkinNodeControl {
public:
    virtual void SetStateBitmap(int AState, const IGPBitmap& AValue) = 0;
    virtual void SetIsDrawIconCaption(bool AValue) = 0;
    virtual void SetTransparent(bool AValue) = 0;
};

} // namespace velmora
