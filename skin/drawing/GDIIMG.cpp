#include "skin/drawing/GDIIMG.h"

#include "platform/graphics/PictureDecoder.h"
#include "skin/drawing/GDIXml.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace velmora {

IGPBitmap DecodeImageData(const QByteArray& data) {
    TDecodedPicture picture = DecodePicture(data);
    if (!picture.Ok())
        throw EPictureDecodeError(picture.Error);
    return std::make_shared<TGPBitmap>(std::move(picture.Frames.front()));
}

TGDIIMG::TGDIIMG() {
    FNodeName = QStringLiteral("IMAGE");
}

TGDIIMG::TGDIIMG(const QString& AFileName) : TGDIIMG() {
    SetFileName(AFileName);
}

void TGDIIMG::SetFileName(const QString& Value) {
    try {
        FFileName = Value;
        if (!QFileInfo(Value).isFile()) {
            SetImage({});
            return;
        }
        QFile file(Value);
        if (!file.open(QIODevice::ReadOnly))
            throw EPictureDecodeError(QStringLiteral("cannot read %1").arg(Value));
        SetImage(DecodeImageData(file.readAll()));
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("SetFileName"));
    }
}

void TGDIIMG::SetImage(const IGPBitmap& Value) {
    try {
        FImage = Value;
    } catch (const std::exception& error) {
        FImage.reset();
        LogFailure(&error, QStringLiteral("SetImage"));
    }
}

void TGDIIMG::SetImageStream(QIODevice* Value) {
    try {
        if (Value == nullptr) {
            SetImage({});
            return;
        }
        if (!Value->isSequential())
            Value->seek(0);
        SetImage(DecodeImageData(Value->readAll()));
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("SetImageStream"));
    }
}

void TGDIIMG::SetImageGraphic(const QImage& Value) {
    try {
        if (Value.isNull()) {
            SetImage({});
            return;
        }
        QByteArray bytes;
        QBuffer stream(&bytes);
        stream.open(QIODevice::ReadWrite);
        if (!Value.save(&stream, "PNG"))
            throw EPictureDecodeError(QStringLiteral("picture cannot be encoded"));
        SetImageStream(&stream);
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("SetImageGraphic"));
    }
}

void TGDIIMG::SuitImageSize() {
    if (!FImage)
        return;
    SetWidth(FImage->Width());
    SetHeight(FImage->Height());
}

void TGDIIMG::DrawImageAt(TGPGraphics& AGPGraph, int X, int Y) {
    if (!FImage)
        return;
    if (FStretch)
        AGPGraph.DrawImage(*FImage, QRectF(X, Y, Width(), Height()));
    else
        AGPGraph.DrawImage(*FImage, X, Y);
}

void TGDIIMG::Draw(TGPGraphics& AGPGraph, int AOriginX, int AOriginY) {
    if (!FImage)
        return;
    try {
        DrawImageAt(AGPGraph, AOriginX + static_cast<int>(std::ceil(Point().X)),
                    AOriginY + static_cast<int>(std::ceil(Point().Y)));
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("Draw"));
    }
}

void TGDIIMG::ReadXml(const QDomElement& node) {
    TGDIObject::ReadXml(node);
    bool flag = false;
    QString text;
    if (ReadXmlBool(node, QStringLiteral("IsLocal"), flag))
        FIsLocal = flag;
    if (ReadXmlBool(node, QStringLiteral("Stretch"), flag))
        FStretch = flag;
    if (ReadXmlString(node, QStringLiteral("FileName"), text))
        SetFileName(text);
}

void TGDIIMG::WriteXml(QDomElement& node) const {
    TGDIObject::WriteXml(node);
    WriteXmlBool(node, QStringLiteral("IsLocal"), FIsLocal);
    WriteXmlBool(node, QStringLiteral("Stretch"), FStretch);
    node.setAttribute(QStringLiteral("FileName"), FFileName);
}

} // namespace velmora
