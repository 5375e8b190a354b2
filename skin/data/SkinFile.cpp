#include "skin/data/SkinFile.h"

#include "skin/data/SkinDataTypes.h"
#include "skin/drawing/GDIIMG.h"
#include "skin/drawing/GdiSkinHelper.h"
#include "skin/drawing/SkinEngineLog.h"

#include <QBuffer>
#include <QFile>

namespace velmora {
namespace {

const QString KLoadTag = QStringLiteral("LoadSkinFile");

QByteArray ReadWhole(const QString& APath, const QString& AWhat) {
    QFile file(APath);
    if (!file.open(QIODevice::ReadOnly))
        throw ESkinLoadError(QStringLiteral("Cannot open %1").arg(AWhat));
    return file.readAll();
}

} // namespace

TSkinFile::TSkinFile() : FSkinDoc(std::make_unique<TBinaryTreeDocument100>()) {}

TSkinFile::~TSkinFile() = default;

bool TSkinFile::LoadFromBytes(const QByteArray& ABytes) {
    auto doc = std::make_unique<TBinaryTreeDocument100>();
    doc->SetReadLimits(FSkinDoc->ReadLimits());
    doc->WriteBuffer(ABytes.constData(), ABytes.size());
    LoadSkinDocument(std::move(doc));
    return true;
}

void TSkinFile::LoadSkinDocument(std::unique_ptr<TBinaryTreeDocument100> ADoc) {
    FLoaded = false;
    FSkinDoc = std::move(ADoc);
    FVariantDocs.clear();
    GetSkinStringByName(QStringLiteral("SkinInfo\\SkinName"), FSkinName, FSkinName);
    GetSkinStringByName(QStringLiteral("SkinInfo\\SkinVersion"), FSkinVersion, FSkinVersion);
    FLoaded = true;
}

bool TSkinFile::LoadSkinFile(const QString& AFileName) {
    try {
        LoadFromBytes(ReadWhole(AFileName, AFileName));
        FFileName = AFileName;
        LoadVariantsBeside(AFileName);
        return true;
    } catch (const std::exception& error) {
        LogSkinFailure(ClassName(), nullptr, &error, KLoadTag);
    }
    return false;
}

bool TSkinFile::LoadSkinRes(const QString& AResName) {
    try {
        const QString path = TSkinHelper::ResourcePath(AResName, QStringLiteral("DATA"));
        LoadFromBytes(ReadWhole(path, QStringLiteral("resource DATA/%1").arg(AResName)));
        FResName = AResName;
        LoadVariantsBeside(path);
        return true;
    } catch (const std::exception& error) {
        LogSkinFailure(ClassName(), nullptr, &error, KLoadTag);
    }
    return false;
}

QString TSkinFile::VariantPath(const QString& APath, int ARatio) {
    const QString mark = QStringLiteral("@%1x").arg(ARatio);
    const qsizetype slash = APath.lastIndexOf(u'/');
    const qsizetype dot = APath.lastIndexOf(u'.');
    if (dot <= slash + 1)
        return APath + mark;
    return APath.left(dot) + mark + APath.mid(dot);
}

void TSkinFile::LoadVariantsBeside(const QString& APath) {
    if (!FReadsVariants)
        return;
    const QString path = VariantPath(APath, 2);
    QFile file(path);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        const ESkinLoadError error(QStringLiteral("Cannot open %1").arg(path));
        LogSkinFailure(ClassName(), nullptr, &error, QStringLiteral("LoadVariantDocument"));
        return;
    }
    LoadVariantDocument(file.readAll(), 2);
}

bool TSkinFile::LoadVariantDocument(const QByteArray& ABytes, int ARatio) {
    try {
        if (ARatio < 2 || ARatio > 8)
            throw ESkinLoadError(QStringLiteral("Unsupported picture ratio %1").arg(ARatio));
        auto doc = std::make_unique<TBinaryTreeDocument100>();
        doc->SetReadLimits(FSkinDoc->ReadLimits());
        doc->WriteBuffer(ABytes.constData(), ABytes.size());
        for (TVariantDocument& held : FVariantDocs)
            if (held.Ratio == ARatio) {
                held.Doc = std::move(doc);
                return true;
            }
        FVariantDocs.push_back({ARatio, std::move(doc)});
        return true;
    } catch (const std::exception& error) {
        LogSkinFailure(ClassName(), nullptr, &error, QStringLiteral("LoadVariantDocument"));
    }
    return false;
}

void TSkinFile::AddVariants(const QString& AName, TGPBitmap& ABitmap) const {
    for (const TVariantDocument& variant : FVariantDocs) {
        const auto* node = NodeCast<TBinaryNode100>(variant.Doc->FindNodeByPath(AName));
        if (node == nullptr)
            continue;
        try {
            const IGPBitmap decoded = DecodeImageData(node->Bytes());
            QImage picture = decoded->Image().convertToFormat(QImage::Format_ARGB32);
            picture.setDevicePixelRatio(variant.Ratio);
            if (!ABitmap.AddVariant(std::move(picture)))
                throw ESkinLoadError(
                    QStringLiteral("%1 at %2x is %3 x %4 pixels, not %2 times %5 x %6")
                        .arg(AName)
                        .arg(variant.Ratio)
                        .arg(decoded->Width())
                        .arg(decoded->Height())
                        .arg(ABitmap.Width())
                        .arg(ABitmap.Height()));
        } catch (const std::exception& error) {
            LogSkinFailure(ClassName(), nullptr, &error, QStringLiteral("GetSkinImageByName"));
        }
    }
}

TBinTreeNode100* TSkinFile::Find(const QString& AName) const {
    return FSkinDoc->FindNodeByPath(AName);
}

bool TSkinFile::GetSkinStringByName(const QString& AName, QString& AValue,
                                    const QString& ADefault) const {
    TBinTreeNode100* node = Find(AName);
    if (const auto* wide = NodeCast<TWideStringNode100>(node)) {
        AValue = wide->Data();
        return true;
    }
    if (const auto* ansi = NodeCast<TAnsiStringNode100>(node)) {
        AValue = ansi->Data();
        return true;
    }
    AValue = ADefault;
    return false;
}

bool TSkinFile::GetSkinInt32ByName(const QString& AName, std::int32_t& AValue,
                                   std::int32_t ADefault) const {
    if (const auto* node = NodeCast<TInt32Node100>(Find(AName))) {
        AValue = node->Data();
        return true;
    }
    AValue = ADefault;
    return false;
}

bool TSkinFile::GetSkinFloatByName(const QString& AName, float& AValue, float ADefault) const {
    if (const auto* node = NodeCast<TReal32Node100>(Find(AName))) {
        AValue = node->Data();
        return true;
    }
    AValue = ADefault;
    return false;
}

bool TSkinFile::GetSkinDoubleByName(const QString& AName, double& AValue, double ADefault) const {
    if (const auto* node = NodeCast<TReal64Node100>(Find(AName))) {
        AValue = node->Data();
        return true;
    }
    AValue = ADefault;
    return false;
}

bool TSkinFile::GetSkinBoolByName(const QString& AName, bool& AValue, bool ADefault) const {
    const TBinTreeNode100* node = Find(AName);
    if (node == nullptr || node->NodeType() == nt100_Directory) {
        AValue = ADefault;
        return false;
    }
    // Text and picture kinds count as true when they hold anything; every fixed kind counts by
    // its own bytes, so a one-byte node is never read as four.
    if (const auto* buffer = NodeCast<TBufferNode100>(node)) {
        AValue = !buffer->Bytes().isEmpty();
        return true;
    }
    QByteArray bytes(static_cast<qsizetype>(node->DataSize()), '\0');
    node->ReadBuffer(bytes.data());
    AValue = bytes.count('\0') != bytes.size();
    return true;
}

bool TSkinFile::GetSkinGuidByName(const QString& AName, QUuid& AValue) const {
    if (const auto* node = NodeCast<TGUIDNode100>(Find(AName))) {
        AValue = node->Data();
        return true;
    }
    return false;
}

const QByteArray* TSkinFile::GetSkinBinaryByName(const QString& AName) const {
    if (const auto* node = NodeCast<TBinaryNode100>(Find(AName)))
        return &node->Bytes();
    return nullptr;
}

bool TSkinFile::GetSkinStreamByName(const QString& AName, QIODevice& AStream, bool) const {
    const QByteArray* bytes = GetSkinBinaryByName(AName);
    if (bytes == nullptr)
        return false;
    AStream.write(*bytes);
    return true;
}

bool TSkinFile::GetSkinImageByName(const QString& AName, IGPBitmap& ABitmap, bool) const {
    ABitmap.reset();
    const QByteArray* bytes = GetSkinBinaryByName(AName);
    if (bytes == nullptr)
        return false;
    QByteArray copy = *bytes;
    QBuffer stream(&copy);
    stream.open(QIODevice::ReadOnly);
    ABitmap = TSkinHelper::CreateBitmap(&stream);
    if (ABitmap)
        AddVariants(AName, *ABitmap);
    return true;
}

bool TSkinFile::FetchSkinImageByName(const QString& AName, IGPBitmap& ABitmap,
                                     bool ADefault) const {
    return GetSkinImageByName(AName, ABitmap, ADefault);
}

void TSkinFile::GetSkinImageByName(const QString& AName, QImage& AGraphic, bool) const {
    const QByteArray* bytes = GetSkinBinaryByName(AName);
    if (bytes == nullptr)
        return;
    try {
        const IGPBitmap decoded = DecodeImageData(*bytes);
        AGraphic = decoded->Image();
    } catch (const std::exception& error) {
        LogSkinFailure(ClassName(), nullptr, &error, QStringLiteral("GetSkinImageByName"));
    }
}

QStringList TSkinFile::GetSkinNodesByName(const QString& AName) const {
    QStringList names;
    const TBinTreeNode100* node = Find(AName);
    if (node == nullptr)
        return names;
    for (const TBinTreeNode100* child : node->ChildNodes())
        if (child->NodeType() == nt100_Directory)
            names.append(child->NodeName());
    return names;
}

} // namespace velmora
