#pragma once

#include <QImage>
#include <QSize>

namespace velmora {

class TGDIBIGIMGPro;
class TSufferBackGroundItem;

// The picture a skinned form shows behind everything: the style's background item drawn over
// the texture of the skin's background item, at the client size. Null when there is no item,
// no texture, or nothing could be built; the form then fills with its colour. The picture has
// ARatio device pixels per logical pixel (the form's window's), and ASize is logical.
QImage ComposeFormBackGround(TSufferBackGroundItem* AItem, TGDIBIGIMGPro* ATexture, QSize ASize,
                             qreal ARatio = 1);

} // namespace velmora
