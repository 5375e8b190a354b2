#pragma once

#include "skin/data/BaseSkinItem.h"

namespace velmora {

class TSkinMng;

// A background picture: a file on disk or an image node of the skin.
class TSkinBackGroundFileItem : public TBaseSkinItem {
public:
    TSkinBackGroundFileItem();
    QString ClassName() const override { return QStringLiteral("TSkinBackGroundFileItem"); }
    TGPColor CalcAverageGPColor() override;
    void LoadGPImage() override;
    void LoadGPPreviewImage() override;
    void SaveToXMLNode(QDomElement& ANode) const override;
    bool LoadFromXMLNode(const QDomElement& ANode) override;
    bool IsEqual(const TBaseSkinItem* AItem) const override;

    TFileStoredPosition FileStoredPosition() const { return FFileStoredPosition; }
    void SetFileStoredPosition(TFileStoredPosition AValue) { FFileStoredPosition = AValue; }
    // A full file path for fspFile, a skin path for fspInSkinFile.
    const QString& PictureFile() const { return FPictureFile; }
    void SetPictureFile(const QString& AValue) { FPictureFile = AValue; }
    const QString& FileRootPath() const { return FFileRootPath; }
    void SetFileRootPath(const QString& AValue) { FFileRootPath = AValue; }
    // The manager whose skin fspInSkinFile pictures come from; nullptr is the global one.
    const TSkinMng* SkinSource() const { return FSkinMng; }
    void SetSkinSource(const TSkinMng* AValue) { FSkinMng = AValue; }

private:
    const TSkinMng& Skin() const;

    const TSkinMng* FSkinMng = nullptr;
    TFileStoredPosition FFileStoredPosition = fspFile;
    QString FPictureFile;
    QString FFileRootPath;
};

} // namespace velmora
