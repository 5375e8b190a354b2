#include "skin/data/SkinBackGroundItems.h"

#include "skin/data/SkinBackGroundXml.h"
#include "skin/data/SkinDefaultPalette.h"
#include "skin/data/SkinMng.h"
#include "skin/drawing/SkinColors.h"
#include "skin/drawing/SkinEngineLog.h"

#include <QFileInfo>
#include <limits>
#include <memory>

namespace velmora {

TSkinBackGroundItems::TSkinBackGroundItems(TBackGroundType AType, TItemOwnership AOwnership)
    : FBackGroundType(AType), FItemOwnership(AOwnership) {}

TSkinBackGroundItems::~TSkinBackGroundItems() {
    ClearItemList();
}

TSkinBackGroundFileItem* TSkinBackGroundItems::NewFileItem() const {
    auto* item = new TSkinBackGroundFileItem();
    item->SetFileRootPath(FUserSkinConfigPath);
    item->SetSkinSource(FSkinMng);
    return item;
}

TSkinBackGroundColorItem* TSkinBackGroundItems::AddBackColor() {
    auto* item = new TSkinBackGroundColorItem();
    FItemList.Add(item);
    return item;
}

TSkinBackGroundFileItem* TSkinBackGroundItems::AddBackFile() {
    TSkinBackGroundFileItem* item = NewFileItem();
    FItemList.Add(item);
    return item;
}

TBaseSkinItem* TSkinBackGroundItems::AddImage() {
    auto* item = new TBaseSkinItem();
    FItemList.Add(item);
    return item;
}

void TSkinBackGroundItems::AddSKinItem(TBaseSkinItem* AItem) {
    if (AItem != nullptr)
        FItemList.Add(AItem);
}

TSkinBackGroundColorItem* TSkinBackGroundItems::AddSkinColor(TGPColor AColor) {
    TSkinBackGroundColorItem* item = AddBackColor();
    item->SetBackGroundColor(AColor);
    return item;
}

TSkinBackGroundFileItem* TSkinBackGroundItems::AddSkinPictureFile(const QString& AFileName) {
    TSkinBackGroundFileItem* item = AddBackFile();
    item->SetPictureFile(AFileName);
    return item;
}

TSkinBackGroundColorItem* TSkinBackGroundItems::InsertBackColor() {
    auto* item = new TSkinBackGroundColorItem();
    FItemList.Insert(0, item);
    return item;
}

TSkinBackGroundFileItem* TSkinBackGroundItems::InsertBackFile(int AIndex) {
    TSkinBackGroundFileItem* item = NewFileItem();
    FItemList.Insert(AIndex, item);
    return item;
}

void TSkinBackGroundItems::InsertSKinItem(TBaseSkinItem* AItem, int AIndex) {
    if (AItem == nullptr)
        return;
    if (AIndex >= Count())
        FItemList.Add(AItem);
    else
        FItemList.Insert(AIndex, AItem);
}

void TSkinBackGroundItems::DeleteItem(TBaseSkinItem* AItem) {
    FItemList.Remove(AItem);
}

void TSkinBackGroundItems::ClearItemList() {
    if (FItemOwnership == ioOwned)
        for (TBaseSkinItem* item : FItemList) {
            if (OnItemDestroying)
                OnItemDestroying(item);
            delete item;
        }
    FItemList.Clear();
}

void TSkinBackGroundItems::SortByUsedTime() {
    FItemList.Sort([](const TBaseSkinItem* A, const TBaseSkinItem* B) {
        // An item never used sorts after every used one.
        const qint64 a = A->LastUsedTime().isValid() ? A->LastUsedTime().toMSecsSinceEpoch()
                                                     : std::numeric_limits<qint64>::min();
        const qint64 b = B->LastUsedTime().isValid() ? B->LastUsedTime().toMSecsSinceEpoch()
                                                     : std::numeric_limits<qint64>::min();
        return a > b ? -1 : (a < b ? 1 : 0);
    });
}

void TSkinBackGroundItems::LoadFromXMLFile(const QString& AXMLFile) {
    ClearItemList();
    if (!QFileInfo(AXMLFile).isFile()) {
        if (FBackGroundType == bgtPicture)
            LoadDefaultBackPictures();
        else if (FBackGroundType == bgtColor)
            LoadDefaultBackColors();
        return;
    }
    QDomDocument doc;
    if (!ParseSkinXmlFile(AXMLFile, doc)) {
        const ESkinParseError error(QStringLiteral("Invalid XML document"));
        LogSkinFailure(ClassName(), nullptr, &error, QStringLiteral("LoadFromXMLFile"));
        return;
    }
    for (QDomElement node = doc.documentElement().firstChildElement(); !node.isNull();
         node = node.nextSiblingElement()) {
        const QString kind = node.attribute(KSkinNodeTypeAttr);
        std::unique_ptr<TBaseSkinItem> item;
        if (kind == KSkinBackFileKind)
            item.reset(NewFileItem());
        else if (kind == KSkinBackColorKind)
            item = std::make_unique<TSkinBackGroundColorItem>();
        else
            continue;
        if (item->LoadFromXMLNode(node))
            FItemList.Add(item.release());
    }
}

bool TSkinBackGroundItems::SaveToXMLFile(const QString& AXMLFile) const {
    QDomDocument doc;
    QDomElement root;
    if (QFileInfo(AXMLFile).isFile() && ParseSkinXmlFile(AXMLFile, doc) &&
        !doc.documentElement().isNull()) {
        root = doc.documentElement();
        while (root.hasChildNodes())
            root.removeChild(root.firstChild());
        // The bytes are written as GBK, so the declaration must say so whatever it said.
        for (QDomNode child = doc.firstChild(); !child.isNull(); child = child.nextSibling())
            if (child.isProcessingInstruction()) {
                doc.removeChild(child);
                break;
            }
    } else {
        doc = QDomDocument();
        root = doc.createElement(KSkinNodesElement);
        doc.appendChild(root);
    }
    for (const TBaseSkinItem* item : FItemList) {
        QDomElement node = doc.createElement(KSkinNodeElement);
        item->SaveToXMLNode(node);
        root.appendChild(node);
    }
    QFile file(AXMLFile);
    // The declaration is written here: the DOM writer knows no GB2312 and would warn.
    const QByteArray bytes = EncodeSkinXmlGbk(
        QStringLiteral("<?xml version=\"1.0\" encoding=\"GB2312\"?>\n") + doc.toString(2));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        const ESkinLoadError error(QStringLiteral("Cannot write XML file"));
        LogSkinFailure(ClassName(), nullptr, &error, QStringLiteral("SaveToXMLFile"));
        return false;
    }
    return true;
}

void TSkinBackGroundItems::LoadDefaultBackPictures(const QString&) {
    ClearItemList();
    const QDateTime now = QDateTime::currentDateTime();
    TSkinBackGroundFileItem* first = AddBackFile();
    first->SetSkinName(QStringLiteral("DefaultSkins"));
    first->SetFileStoredPosition(fspInSkinFile);
    first->SetPictureFile(QStringLiteral("SkinMgr\\DefaultSkins\\main_bkg.gft"));
    first->SetCreateTime(now);
    first->SetIsDefaultSkin(true);
    first->SetIsSystemSkin(true);
    first->SetIsCurrentSkin(true);
    const QString skins = QStringLiteral("SkinMgr\\Skins");
    const TSkinMng& skin = FSkinMng != nullptr ? *FSkinMng : SkinMng();
    for (const QString& name : skin.GetSkinNodesByName(skins)) {
        TSkinBackGroundFileItem* item = AddBackFile();
        item->SetSkinName(name);
        item->SetFileStoredPosition(fspInSkinFile);
        item->SetPictureFile(skins + QLatin1Char('\\') + name + QStringLiteral("\\main.jpg"));
        item->SetCreateTime(now);
        item->SetIsSystemSkin(true);
    }
}

void TSkinBackGroundItems::LoadDefaultBackColors() {
    ClearItemList();
    const QDateTime now = QDateTime::currentDateTime();
    for (const quint32 colour : KDefaultBackColors) {
        TSkinBackGroundColorItem* item = AddBackColor();
        item->SetSkinName(QString());
        item->SetCreateTime(now);
        item->SetIsCustom(false);
        item->SetBackGroundColor(ColorToGPColor(colour));
    }
}

} // namespace velmora
