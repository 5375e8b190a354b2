#pragma once

// Small skins built in memory, node by node, for the skin file and manager tests.
#include "skin/document/BinaryTreeDocument100.h"
#include "tests/support/PictureFixtures.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace velmora::testing {

class TSkinDocBuilder {
public:
    TSkinDocBuilder() : FDoc(std::make_unique<TBinaryTreeDocument100>()) {}

    // The directory at the backslash path, created with every missing parent.
    TBinTreeNode100* Dir(const QString& APath) {
        TBinTreeNode100* node = FDoc->TopNode();
        for (const QString& name : APath.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
            TBinTreeNode100* child = node->ChildNodes().FindByNodeName(name);
            node = child != nullptr ? child : FDoc->CreateNode(nt100_Directory, node, name);
        }
        return node;
    }
    TSkinDocBuilder& String(const QString& APath, const QString& AValue) {
        (new TWideStringNode100(Parent(APath), Leaf(APath)))->SetData(AValue);
        return *this;
    }
    TSkinDocBuilder& Int(const QString& APath, std::int32_t AValue) {
        (new TInt32Node100(Parent(APath), Leaf(APath)))->SetData(AValue);
        return *this;
    }
    TSkinDocBuilder& Bool(const QString& APath, bool AValue) {
        (new TBool32Node100(Parent(APath), Leaf(APath)))->SetData(AValue);
        return *this;
    }
    TSkinDocBuilder& Bytes(const QString& APath, const QByteArray& AValue) {
        auto* node = new TBinaryNode100(Parent(APath), Leaf(APath));
        node->WriteBuffer(AValue.constData(), AValue.size());
        return *this;
    }
    // A PNG of one colour.
    TSkinDocBuilder& Png(const QString& APath, int AWidth = 6, int AHeight = 4,
                         QRgb AColor = 0xFF336699) {
        return Bytes(APath, fixtures::EncodePng(fixtures::Solid(AWidth, AHeight, AColor)));
    }
    TSkinDocBuilder& Image(const QString& APath, const QImage& AImage) {
        return Bytes(APath, fixtures::EncodePng(AImage));
    }
    QByteArray Serialized() const { return FDoc->SaveToByteArray(); }
    // Writes the document into AFolder as AName and returns its path.
    QString SaveTo(const QTemporaryDir& AFolder, const QString& AName) const {
        const QString path = AFolder.filePath(AName);
        FDoc->SaveToFile(path);
        return path;
    }

private:
    TBinTreeNode100* Parent(const QString& APath) {
        const qsizetype cut = APath.lastIndexOf(QLatin1Char('\\'));
        return cut < 0 ? FDoc->TopNode() : Dir(APath.left(cut));
    }
    static QString Leaf(const QString& APath) {
        return APath.mid(APath.lastIndexOf(QLatin1Char('\\')) + 1);
    }
    std::unique_ptr<TBinaryTreeDocument100> FDoc;
};

// What the test resource ":/DATA/SKIN" (SkinResTest.btd) was written from; regenerate the file
// from here when the description changes.
inline TSkinDocBuilder ResourceSkin() {
    TSkinDocBuilder skin;
    skin.String("SkinInfo\\SkinName", "Resource");
    skin.String("SkinInfo\\SkinVersion", "2026-01-01");
    skin.Png("ControlStyle\\Button\\0\\Normal.png", 8, 8, 0xFF204080);
    skin.Int("SkinMgr\\DefaultSkins\\StretchMode", 4);
    skin.String("SkinMgr\\DefaultSkins\\Margin", "1,2,3,4");
    skin.Png("SkinMgr\\DefaultSkins\\Image", 4, 4, 0xFF102030);
    return skin;
}

} // namespace velmora::testing
