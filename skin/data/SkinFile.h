#pragma once

#include "platform/graphics/GPBitmap.h"
#include "skin/document/BinaryTreeDocument100.h"

#include <QIODevice>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <cstdint>
#include <memory>
#include <vector>

namespace velmora {

// One loaded skin and typed questions about it by path. A getter asked for another kind than
// the node holds treats the node as absent: it answers the default and false, and never reads
// a byte beyond the node's own value.
class TSkinFile {
public:
    TSkinFile();
    ~TSkinFile();
    TSkinFile(const TSkinFile&) = delete;
    TSkinFile& operator=(const TSkinFile&) = delete;

    static QString ClassName() { return QStringLiteral("TSkinFile"); }

    // Both read the whole skin into a fresh document and adopt it only when it parsed, so a
    // failed load leaves the previous skin, Loaded, FileName and ResName as they were. Beside
    // the skin, each reads its 2x pictures when there are any (VariantPath).
    bool LoadSkinFile(const QString& AFileName);
    // Reads the Qt resource ":/DATA/<AResName>".
    bool LoadSkinRes(const QString& AResName);
    // Takes a document built in memory, as the two loaders do after parsing; it has no
    // variants until LoadVariantDocument gives it some.
    void LoadSkinDocument(std::unique_ptr<TBinaryTreeDocument100> ADoc);

    // The pictures of a skin at a higher ratio live in a document of their own beside it,
    // under the same paths, so the skin itself stays what every reader of the format knows.
    // "skin.btd" has "skin@2x.btd", the resource "SKIN" has "SKIN@2x".
    static QString VariantPath(const QString& APath, int ARatio);
    // Adopts a document of pictures at ARatio times the skin's (a second document of the
    // same ratio replaces the first); a document that does not parse is logged and changes
    // nothing, the skin keeps its own pictures.
    bool LoadVariantDocument(const QByteArray& ABytes, int ARatio);
    int VariantDocumentCount() const { return static_cast<int>(FVariantDocs.size()); }
    // Whether the loaders read the document beside the skin (yes unless told otherwise): the
    // manager reads it only when a screen draws from it.
    void SetReadsVariants(bool AValue) { FReadsVariants = AValue; }
    bool ReadsVariants() const { return FReadsVariants; }

    bool GetSkinStringByName(const QString& AName, QString& AValue,
                             const QString& ADefault = {}) const;
    bool GetSkinInt32ByName(const QString& AName, std::int32_t& AValue,
                            std::int32_t ADefault = 0) const;
    bool GetSkinFloatByName(const QString& AName, float& AValue, float ADefault = 0) const;
    bool GetSkinDoubleByName(const QString& AName, double& AValue, double ADefault = 0) const;
    bool GetSkinBoolByName(const QString& AName, bool& AValue, bool ADefault = false) const;
    bool GetSkinGuidByName(const QString& AName, QUuid& AValue) const;
    bool GetSkinStreamByName(const QString& AName, QIODevice& AStream, bool ADefault = false) const;
    // The picture's bytes decoded; empty when the node is absent. Decoding errors propagate to
    // the item loaders, which log them under their own names. The picture carries the
    // renderings of the variant documents at the same path as variants; one that fails to
    // decode or has another logical size is logged and left out.
    bool GetSkinImageByName(const QString& AName, IGPBitmap& ABitmap, bool ADefault = false) const;
    bool FetchSkinImageByName(const QString& AName, IGPBitmap& ABitmap,
                              bool ADefault = false) const;
    // Loads into a caller's picture; a decoding error is logged and swallowed.
    void GetSkinImageByName(const QString& AName, QImage& AGraphic, bool ADefault = false) const;
    // The binary node's bytes, or nullptr when the path names no binary node.
    const QByteArray* GetSkinBinaryByName(const QString& AName) const;
    QStringList GetSkinNodesByName(const QString& AName) const;

    const QString& FileName() const { return FFileName; }
    const QString& ResName() const { return FResName; }
    bool Loaded() const { return FLoaded; }
    const QString& SkinName() const { return FSkinName; }
    const QString& SkinVersion() const { return FSkinVersion; }

private:
    bool LoadFromBytes(const QByteArray& ABytes);
    TBinTreeNode100* Find(const QString& AName) const;
    void LoadVariantsBeside(const QString& APath);
    void AddVariants(const QString& AName, TGPBitmap& ABitmap) const;

    struct TVariantDocument {
        int Ratio = 2;
        std::unique_ptr<TBinaryTreeDocument100> Doc;
    };

    std::unique_ptr<TBinaryTreeDocument100> FSkinDoc;
    std::vector<TVariantDocument> FVariantDocs;
    QString FFileName;
    QString FResName;
    bool FLoaded = false;
    bool FReadsVariants = true;
    QString FSkinName;
    QString FSkinVersion;
};

} // namespace velmora
