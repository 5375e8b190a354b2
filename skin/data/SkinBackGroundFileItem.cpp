#include "skin/data/SkinBackGroundFileItem.h"

#include "skin/data/SkinBackGroundXml.h"
#include "skin/data/SkinMng.h"
#include "skin/drawing/GdiSkinHelper.h"

#include <QBuffer>
#include <QFileInfo>

namespace velmora {

namespace {

// "dir" + "name", with one separator between them.
QString JoinRoot(const QString& ARoot, const QString& AName) {
    if (ARoot.isEmpty() || ARoot.endsWith(QLatin1Char('/')))
        return ARoot + AName;
    return ARoot + QLatin1Char('/') + AName;
}

} // namespace

TSkinBackGroundFileItem::TSkinBackGroundFileItem() {
    FNodeType = KSkinBackFileKind;
}

const TSkinMng& TSkinBackGroundFileItem::Skin() const {
    return FSkinMng != nullptr ? *FSkinMng : SkinMng();
}

TGPColor TSkinBackGroundFileItem::CalcAverageGPColor() {
    const IGPBitmap& image = GPImage();
    if (!image)
        return 0xFFFFFFFFu;
    quint64 red = 0;
    quint64 green = 0;
    quint64 blue = 0;
    quint64 count = 0;
    const QImage pixels = image->Image().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < pixels.height(); y += 2) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); x += 2) {
            red += qRed(line[x]);
            green += qGreen(line[x]);
            blue += qBlue(line[x]);
            ++count;
        }
    }
    if (count == 0)
        return 0;
    return qRgba(static_cast<int>(red / count), static_cast<int>(green / count),
                 static_cast<int>(blue / count), 255);
}

void TSkinBackGroundFileItem::LoadGPImage() {
    TBaseSkinItem::LoadGPImage();
    if (FFileStoredPosition == fspFile) {
        if (QFileInfo(FPictureFile).isFile())
            FGPImage = TSkinHelper::CreateBitmap(FPictureFile);
    } else {
        try {
            Skin().GetSkinImageByName(FPictureFile, FGPImage);
        } catch (const std::exception& error) {
            FGPImage.reset();
            LogFailure(error, QStringLiteral("LoadGPImage"));
        }
    }
}

void TSkinBackGroundFileItem::LoadGPPreviewImage() {
    TBaseSkinItem::LoadGPPreviewImage();
    if (FFileStoredPosition == fspFile) {
        if (QFileInfo(FPictureFile).isFile())
            FGPPreviewImage =
                TSkinHelper::CreateBitmapBySize(FPictureFile, KPreviewWidth, KPreviewHeight);
        return;
    }
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    if (!Skin().GetSkinStreamByName(FPictureFile, stream))
        return;
    stream.seek(0);
    FGPPreviewImage = TSkinHelper::CreateBitmapBySize(&stream, KPreviewWidth, KPreviewHeight);
}

void TSkinBackGroundFileItem::SaveToXMLNode(QDomElement& ANode) const {
    TBaseSkinItem::SaveToXMLNode(ANode);
    const QString stored =
        FFileStoredPosition == fspFile ? QFileInfo(FPictureFile).fileName() : FPictureFile;
    AppendSkinXmlText(ANode, QStringLiteral("PictureFile"), stored);
    AppendSkinXmlText(ANode, QStringLiteral("FileStoredPosition"),
                      QString::number(static_cast<int>(FFileStoredPosition)));
}

bool TSkinBackGroundFileItem::LoadFromXMLNode(const QDomElement& ANode) {
    if (!TBaseSkinItem::LoadFromXMLNode(ANode))
        return false;
    try {
        if (const auto text = SkinXmlChildText(ANode, QStringLiteral("FileStoredPosition"))) {
            const int position = SkinXmlIntValue(*text);
            if (position != fspFile && position != fspInSkinFile)
                throw ESkinParseError(QStringLiteral("Unknown stored position"));
            FFileStoredPosition = static_cast<TFileStoredPosition>(position);
        }
        const QString stored =
            SkinXmlChildText(ANode, QStringLiteral("PictureFile")).value_or(QString());
        if (FFileStoredPosition == fspFile) {
            // Only a bare name is ever written; anything with a folder would reach outside
            // the configuration folder.
            if (stored.isEmpty() || QFileInfo(stored).fileName() != stored ||
                stored == QLatin1String("..") || stored.contains(QLatin1Char('\\')))
                return false;
            const QString full = JoinRoot(FFileRootPath, stored);
            if (!QFileInfo(full).isFile())
                return false;
            FPictureFile = full;
            return true;
        }
        if (Skin().SkinFile().GetSkinBinaryByName(stored) == nullptr)
            return false;
        FPictureFile = stored;
        return true;
    } catch (const std::exception& error) {
        LogFailure(error, QStringLiteral("LoadFromXMLNode"));
    }
    return false;
}

bool TSkinBackGroundFileItem::IsEqual(const TBaseSkinItem* AItem) const {
    const auto* other = dynamic_cast<const TSkinBackGroundFileItem*>(AItem);
    if (other == nullptr)
        return false;
    if (other->IsSystemSkin())
        return FPictureFile == other->FPictureFile;
    return CreateTime() == other->CreateTime();
}

} // namespace velmora
