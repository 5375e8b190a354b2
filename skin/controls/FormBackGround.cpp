#include "skin/controls/FormBackGround.h"

#include "platform/graphics/GPBitmap.h"
#include "skin/data/SkinFormStyleItem.h"
#include "skin/drawing/GDIBIGIMGPro.h"

namespace velmora {

QImage ComposeFormBackGround(TSufferBackGroundItem* AItem, TGDIBIGIMGPro* ATexture, QSize ASize,
                             qreal ARatio) {
    if (AItem == nullptr)
        return {};
    // Told every time, so the item never keeps a texture whose owner has gone; the same
    // texture again keeps the composed picture cached.
    AItem->SetTextureGdiImage(ATexture);
    if (ATexture == nullptr || ASize.isEmpty())
        return {};
    AItem->BuildBackgroundImage(ASize.width(), ASize.height(), ARatio);
    TGDIBIGIMGPro* picture = AItem->BackgroundGdiImage();
    if (picture == nullptr || !picture->Image())
        return {};
    picture->SetBounds(0, 0, ASize.width(), ASize.height());
    picture->SetDeviceRatio(ARatio);
    picture->Build();
    // The element keeps its picture in one of two forms, by its buffer style.
    QImage result;
    if (!picture->BufferBitmap().isNull())
        result = picture->BufferBitmap();
    else if (picture->BufferGPBitmap())
        result =
            picture->BufferGPBitmap()->Image().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return LogicalSize(result) == ASize ? result : QImage();
}

} // namespace velmora
