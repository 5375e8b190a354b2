#pragma once

#include "platform/graphics/GPBitmap.h"
#include "skin/drawing/GDIObject.h"

#include <QIODevice>
#include <QImage>

namespace velmora {

// An image element: drawn unscaled at its position, or stretched to its size with Stretch.
class TGDIIMG : public TGDIObject {
public:
    TGDIIMG();
    // Decodes the file at once.
    explicit TGDIIMG(const QString& AFileName);

    QString ClassName() const override { return QStringLiteral("TGDIIMG"); }

    const QString& FileName() const { return FFileName; }
    void SetFileName(const QString& Value);
    bool IsLocal() const { return FIsLocal; }
    void SetIsLocal(bool value) { FIsLocal = value; }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value) { FStretch = value; }
    const IGPBitmap& Image() const { return FImage; }
    int ImageWidth() const { return FImage ? FImage->Width() : 0; }
    int ImageHeight() const { return FImage ? FImage->Height() : 0; }

    virtual void SetImage(const IGPBitmap& Value);
    virtual void SetImageStream(QIODevice* Value);
    virtual void SetImageGraphic(const QImage& Value);
    virtual void DrawImageAt(TGPGraphics& AGPGraph, int X, int Y);
    virtual void SuitImageSize();

    void Draw(TGPGraphics& AGPGraph, int AOriginX, int AOriginY) override;

protected:
    void ReadXml(const QDomElement& node) override;
    void WriteXml(QDomElement& node) const override;

    IGPBitmap FImage;

private:
    QString FFileName;
    bool FStretch = false;
    bool FIsLocal = true;
};

// Decodes a whole picture (first frame) or throws EPictureDecodeError.
IGPBitmap DecodeImageData(const QByteArray& data);

} // namespace velmora
