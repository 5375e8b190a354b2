#include "skin/data/SkinBackGroundItems.h"

#include "platform/system/GbkCodec.h"
#include "skin/data/SkinDefaultPalette.h"
#include "skin/data/SkinMng.h"
#include "skin/drawing/GdiSkinHelper.h"
#include "skin/drawing/SkinColors.h"
#include "skin/drawing/SkinEngineLog.h"

#include <QBuffer>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <limits>
#include <optional>
#include <typeinfo>

namespace velmora {
namespace {

const QString KFileKind = QStringLiteral("SkinBackFile");
const QString KColorKind = QStringLiteral("SkinBackColor");
const QString KDocumentElement = QStringLiteral("SkinNodes");
const QString KItemElement = QStringLiteral("SkinNode");
const QString KNodeTypeAttr = QStringLiteral("NodeType");

void AppendText(QDomElement& AParent, const QString& AName, const QString& AText) {
    QDomDocument doc = AParent.ownerDocument();
    QDomElement child = doc.createElement(AName);
    child.appendChild(doc.createTextNode(AText));
    AParent.appendChild(child);
}

// The child's text, or nothing when the element has no such child.
std::optional<QString> ChildText(const QDomElement& AParent, const QString& AName) {
    const QDomElement child = AParent.firstChildElement(AName);
    if (child.isNull())
        return std::nullopt;
    return child.text();
}

int ToInt(const QString& AText) {
    bool ok = false;
    const int value = AText.trimmed().toInt(&ok, 10);
    if (!ok)
        throw ESkinParseError(QStringLiteral("Item is not an integer"));
    return value;
}

// "dir" + "name", with one separator between them.
QString JoinRoot(const QString& ARoot, const QString& AName) {
    if (ARoot.isEmpty() || ARoot.endsWith(QLatin1Char('/')))
        return ARoot + AName;
    return ARoot + QLatin1Char('/') + AName;
}

// GBK bytes for the whole text; characters the code page lacks become character references,
// which every XML reader turns back into the same characters.
QByteArray EncodeXmlGbk(const QString& AText) {
    QByteArray out;
    out.reserve(AText.size() * 2);
    for (const uint code : AText.toUcs4()) {
        const QString one = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        if (const std::optional<QByteArray> bytes = EncodeGbk(one))
            out += *bytes;
        else
            out += QStringLiteral("&#x%1;").arg(code, 0, 16).toLatin1();
    }
    return out;
}

// The declared encoding of an XML file's first line, lower case; empty when none is declared.
QString DeclaredEncoding(const QByteArray& ABytes) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*<\\?xml[^>]*encoding\\s*=\\s*[\"']([A-Za-z0-9_.-]+)[\"']"));
    const QString head = QString::fromLatin1(ABytes.left(200));
    const QRegularExpressionMatch match = pattern.match(head);
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

bool ParseXmlFile(const QString& AFileName, QDomDocument& ADoc) {
    QFile file(AFileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    const QString encoding = DeclaredEncoding(bytes);
    if (encoding == QLatin1String("gb2312") || encoding == QLatin1String("gbk") ||
        encoding == QLatin1String("gb18030")) {
        const std::optional<QString> text = DecodeGbk(bytes);
        if (!text)
            return false;
        return static_cast<bool>(ADoc.setContent(*text));
    }
    return static_cast<bool>(ADoc.setContent(bytes));
}

} // namespace

QString SkinXmlBoolText(bool AValue) {
    return AValue ? QStringLiteral("-1") : QStringLiteral("0");
}

bool SkinXmlBoolValue(const QString& AText) {
    const QString text = AText.trimmed();
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    if (!ok)
        throw ESkinParseError(QStringLiteral("Item is not a Boolean"));
    return value != 0;
}

QString SkinXmlDateTimeText(const QDateTime& AValue) {
    return AValue.isValid() ? AValue.toString(Qt::ISODateWithMs) : QString();
}

QDateTime SkinXmlDateTimeValue(const QString& AText) {
    if (AText.trimmed().isEmpty())
        return {};
    const QDateTime value = QDateTime::fromString(AText.trimmed(), Qt::ISODateWithMs);
    if (!value.isValid())
        throw ESkinParseError(QStringLiteral("Item is not a date and time"));
    return value;
}

// ---- TBaseSkinItem ------------------------------------------------------------------------

TBaseSkinItem::TBaseSkinItem()
    : FSkinName(QStringLiteral("皮肤项")), FTextureGdiImage(std::make_unique<TGDIBIGIMGPro>()) {
    FTextureGdiImage->SetStretch(false);
    FTextureGdiImage->SetStrecthMode(smAvgColor);
}

TBaseSkinItem::~TBaseSkinItem() = default;

void TBaseSkinItem::LogFailure(const std::exception& AError, const QString& ATag) const {
    LogSkinFailure(ClassName(), &FSkinName, &AError, ATag);
}

TGPColor TBaseSkinItem::CalcAverageGPColor() {
    return 0xFFFFFFFFu;
}

void TBaseSkinItem::LoadGPImage() {
    FGPImage.reset();
    FAverageGPColorCalculated = false;
    FTextGPColorCalculated = false;
}

void TBaseSkinItem::LoadGPPreviewImage() {
    FGPPreviewImage.reset();
}

void TBaseSkinItem::SaveToXMLNode(QDomElement& ANode) const {
    ANode.setAttribute(KNodeTypeAttr, FNodeType);
    AppendText(ANode, QStringLiteral("IsUsed"), SkinXmlBoolText(FIsUsed));
    AppendText(ANode, QStringLiteral("SkinName"), FSkinName);
    AppendText(ANode, QStringLiteral("IsSystemSkin"), SkinXmlBoolText(FIsSystemSkin));
    AppendText(ANode, QStringLiteral("CreateTime"), SkinXmlDateTimeText(FCreateTime));
    AppendText(ANode, QStringLiteral("LastUsedTime"), SkinXmlDateTimeText(FLastUsedTime));
    AppendText(ANode, QStringLiteral("IsDefaultSkin"), SkinXmlBoolText(FIsDefaultSkin));
    AppendText(ANode, QStringLiteral("IsDeleted"), SkinXmlBoolText(FIsDeleted));
    AppendText(ANode, QStringLiteral("IsCurrentSkin"), SkinXmlBoolText(FIsCurrentSkin));
}

bool TBaseSkinItem::LoadFromXMLNode(const QDomElement& ANode) {
    try {
        auto boolean = [&](const char* AName, bool& AField) {
            if (const auto text = ChildText(ANode, QLatin1String(AName)))
                AField = SkinXmlBoolValue(*text);
        };
        boolean("IsUsed", FIsUsed);
        if (const auto text = ChildText(ANode, QStringLiteral("SkinName")))
            FSkinName = *text;
        boolean("IsSystemSkin", FIsSystemSkin);
        if (const auto text = ChildText(ANode, QStringLiteral("CreateTime")))
            FCreateTime = SkinXmlDateTimeValue(*text);
        if (const auto text = ChildText(ANode, QStringLiteral("LastUsedTime")))
            FLastUsedTime = SkinXmlDateTimeValue(*text);
        boolean("IsDefaultSkin", FIsDefaultSkin);
        boolean("IsDeleted", FIsDeleted);
        boolean("IsCurrentSkin", FIsCurrentSkin);
        return !FIsDeleted;
    } catch (const std::exception& error) {
        LogFailure(error, QStringLiteral("LoadFromXMLNode"));
    }
    return false;
}

bool TBaseSkinItem::IsEqual(const TBaseSkinItem* AItem) const {
    return AItem != nullptr && typeid(*AItem) == typeid(*this);
}

const IGPBitmap& TBaseSkinItem::GPImage() {
    if (!FGPImage || !FImageLoaded) {
        LoadGPImage();
        FImageLoaded = true;
    }
    return FGPImage;
}

const IGPBitmap& TBaseSkinItem::GPPreviewImage() {
    if (!FGPPreviewImage || !FPreviewLoaded) {
        LoadGPPreviewImage();
        FPreviewLoaded = true;
    }
    return FGPPreviewImage;
}

void TBaseSkinItem::FreeImage() {
    try {
        if (FImageLoaded) {
            FGPImage.reset();
            if (FTextureGdiImage->Image()) {
                FTextureGdiImage->UnBuild();
                // The element would otherwise keep the released picture alive.
                FTextureGdiImage->SetImage(IGPBitmap());
            }
        }
        FImageLoaded = false;
    } catch (const std::exception& error) {
        LogFailure(error, QStringLiteral("FreeImage"));
    }
}

TGPColor TBaseSkinItem::AverageGPColor() {
    if (!FAverageGPColorCalculated) {
        FAverageGPColor = CalcAverageGPColor();
        FAverageGPColorCalculated = true;
    }
    return FAverageGPColor;
}

quint32 TBaseSkinItem::AverageColor() {
    FAverageColor = GPColorToColor(AverageGPColor());
    return FAverageColor;
}

TGPColor TBaseSkinItem::TextGPColor() {
    if (!FTextGPColorCalculated) {
        FTextGPColor = GetTextColorByGPColor(AverageGPColor());
        FTextGPColorCalculated = true;
    }
    return FTextGPColor;
}

quint32 TBaseSkinItem::TextColor() {
    FTextColor = GPColorToColor(TextGPColor());
    return FTextColor;
}

TGDIBIGIMGPro* TBaseSkinItem::TextureGdiImage() {
    if (!FTextureGdiImage->Image())
        FTextureGdiImage->SetImage(GPImage());
    return FTextureGdiImage.get();
}

void TBaseSkinItem::SetMargin(const TMargin& AValue) {
    if (FMargin == AValue)
        return;
    FMargin = AValue;
    FTextureGdiImage->SetMargin(AValue.LeftMargin, AValue.TopMargin, AValue.RightMargin,
                                AValue.BottomMargin);
}

void TBaseSkinItem::SetClipMargin(const TMargin& AValue) {
    if (FClipMargin == AValue)
        return;
    FClipMargin = AValue;
    FTextureGdiImage->SetClipMargin(AValue.LeftMargin, AValue.TopMargin, AValue.RightMargin,
                                    AValue.BottomMargin);
}

void TBaseSkinItem::SetStretchMode(TStretchMode AValue) {
    if (FStretchMode == AValue)
        return;
    FStretchMode = AValue;
    FTextureGdiImage->SetStrecthMode(AValue);
}

void TBaseSkinItem::SetIsUsed(bool AValue) {
    FIsUsed = AValue;
    if (AValue)
        FLastUsedTime = QDateTime::currentDateTime();
}

// ---- TSkinBackGroundFileItem ---------------------------------------------------------------

TSkinBackGroundFileItem::TSkinBackGroundFileItem() {
    FNodeType = KFileKind;
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
    AppendText(ANode, QStringLiteral("PictureFile"), stored);
    AppendText(ANode, QStringLiteral("FileStoredPosition"),
               QString::number(static_cast<int>(FFileStoredPosition)));
}

bool TSkinBackGroundFileItem::LoadFromXMLNode(const QDomElement& ANode) {
    if (!TBaseSkinItem::LoadFromXMLNode(ANode))
        return false;
    try {
        if (const auto text = ChildText(ANode, QStringLiteral("FileStoredPosition"))) {
            const int position = ToInt(*text);
            if (position != fspFile && position != fspInSkinFile)
                throw ESkinParseError(QStringLiteral("Unknown stored position"));
            FFileStoredPosition = static_cast<TFileStoredPosition>(position);
        }
        const QString stored = ChildText(ANode, QStringLiteral("PictureFile")).value_or(QString());
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

// ---- TSkinBackGroundColorItem --------------------------------------------------------------

TSkinBackGroundColorItem::TSkinBackGroundColorItem() {
    FNodeType = KColorKind;
}

TGPColor TSkinBackGroundColorItem::CalcAverageGPColor() {
    return FBackGroundColor | 0xFF000000u;
}

void TSkinBackGroundColorItem::LoadGPImage() {
    TBaseSkinItem::LoadGPImage();
    FGPImage = NewGPBitmap(KColorPictureSize, KColorPictureSize);
    if (FGPImage)
        FGPImage->Image().fill(FBackGroundColor);
}

void TSkinBackGroundColorItem::LoadGPPreviewImage() {
    TBaseSkinItem::LoadGPPreviewImage();
    FGPPreviewImage = NewGPBitmap(KPreviewWidth, KPreviewHeight);
    if (FGPPreviewImage)
        FGPPreviewImage->Image().fill(FBackGroundColor);
}

void TSkinBackGroundColorItem::SaveToXMLNode(QDomElement& ANode) const {
    TBaseSkinItem::SaveToXMLNode(ANode);
    AppendText(ANode, QStringLiteral("IsCustom"), SkinXmlBoolText(FIsCustom));
    AppendText(ANode, QStringLiteral("BackGroundColor"), QString::number(FBackGroundColor));
    AppendText(ANode, QStringLiteral("A"), QString::number(qAlpha(FBackGroundColor)));
    AppendText(ANode, QStringLiteral("R"), QString::number(qRed(FBackGroundColor)));
    AppendText(ANode, QStringLiteral("G"), QString::number(qGreen(FBackGroundColor)));
    AppendText(ANode, QStringLiteral("B"), QString::number(qBlue(FBackGroundColor)));
}

bool TSkinBackGroundColorItem::LoadFromXMLNode(const QDomElement& ANode) {
    if (!TBaseSkinItem::LoadFromXMLNode(ANode))
        return false;
    try {
        if (const auto text = ChildText(ANode, QStringLiteral("IsCustom")))
            FIsCustom = SkinXmlBoolValue(*text);
        auto channel = [&](const char* AName) {
            const auto text = ChildText(ANode, QLatin1String(AName));
            return text ? ToInt(*text) & 0xFF : 0;
        };
        const int a = channel("A");
        const int r = channel("R");
        const int g = channel("G");
        const int b = channel("B");
        FBackGroundColor = qRgba(r, g, b, a);
        return true;
    } catch (const std::exception& error) {
        LogFailure(error, QStringLiteral("LoadFromXMLNode"));
    }
    return false;
}

bool TSkinBackGroundColorItem::IsEqual(const TBaseSkinItem* AItem) const {
    const auto* other = dynamic_cast<const TSkinBackGroundColorItem*>(AItem);
    return other != nullptr && other->FIsCustom == FIsCustom &&
           (other->FBackGroundColor & 0xFFFFFFu) == (FBackGroundColor & 0xFFFFFFu);
}

// ---- TRightList ----------------------------------------------------------------------------

void TRightList::Insert(int AIndex, TBaseSkinItem* AItem) {
    const int index = std::clamp(AIndex, 0, Count());
    FItems.insert(FItems.begin() + index, AItem);
}

int TRightList::IndexOf(const TBaseSkinItem* AItem) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i] == AItem)
            return static_cast<int>(i);
    return -1;
}

int TRightList::Remove(const TBaseSkinItem* AItem) {
    const int index = IndexOf(AItem);
    if (index >= 0)
        FItems.erase(FItems.begin() + index);
    return index;
}

void TRightList::Sort(const TCompare& ACompare) {
    if (Count() > 1)
        QuickSort(0, Count() - 1, ACompare);
}

void TRightList::QuickSort(int ALow, int AHigh, const TCompare& ACompare) {
    while (ALow < AHigh) {
        int i = ALow;
        int j = AHigh;
        TBaseSkinItem* const pivot = FItems[static_cast<size_t>(ALow + (AHigh - ALow) / 2)];
        while (i <= j) {
            while (ACompare(FItems[static_cast<size_t>(i)], pivot) < 0)
                ++i;
            while (ACompare(FItems[static_cast<size_t>(j)], pivot) > 0)
                --j;
            if (i <= j) {
                std::swap(FItems[static_cast<size_t>(i)], FItems[static_cast<size_t>(j)]);
                ++i;
                --j;
            }
        }
        // Recurse into the smaller part so that the depth stays logarithmic.
        if (j - ALow < AHigh - i) {
            QuickSort(ALow, j, ACompare);
            ALow = i;
        } else {
            QuickSort(i, AHigh, ACompare);
            AHigh = j;
        }
    }
}

// ---- TSkinBackGroundItems ------------------------------------------------------------------

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
    if (!ParseXmlFile(AXMLFile, doc)) {
        const ESkinParseError error(QStringLiteral("Invalid XML document"));
        LogSkinFailure(ClassName(), nullptr, &error, QStringLiteral("LoadFromXMLFile"));
        return;
    }
    for (QDomElement node = doc.documentElement().firstChildElement(); !node.isNull();
         node = node.nextSiblingElement()) {
        const QString kind = node.attribute(KNodeTypeAttr);
        std::unique_ptr<TBaseSkinItem> item;
        if (kind == KFileKind)
            item.reset(NewFileItem());
        else if (kind == KColorKind)
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
    if (QFileInfo(AXMLFile).isFile() && ParseXmlFile(AXMLFile, doc) &&
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
        root = doc.createElement(KDocumentElement);
        doc.appendChild(root);
    }
    for (const TBaseSkinItem* item : FItemList) {
        QDomElement node = doc.createElement(KItemElement);
        item->SaveToXMLNode(node);
        root.appendChild(node);
    }
    QFile file(AXMLFile);
    // The declaration is written here: the DOM writer knows no GB2312 and would warn.
    const QByteArray bytes = EncodeXmlGbk(
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
