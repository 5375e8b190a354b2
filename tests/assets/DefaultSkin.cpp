#include "tests/assets/DefaultSkin.h"

#include <QBuffer>
#include <QFile>
#include <QRegularExpression>
#include <memory>

namespace velmora::testing {

QByteArray EmbeddedSkinBytes() {
    QFile file(QStringLiteral(":/DATA/SKIN"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const TBinaryTreeDocument100& DefaultSkin() {
    static const std::unique_ptr<TBinaryTreeDocument100> doc = [] {
        auto loaded = std::make_unique<TBinaryTreeDocument100>();
        QByteArray bytes = EmbeddedSkinBytes();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        loaded->LoadFromStream(buffer);
        return loaded;
    }();
    return *doc;
}

std::optional<std::int32_t> SkinInt(const QString& APath) {
    if (const auto* node = NodeCast<TInt32Node100>(DefaultSkin().FindNodeByPath(APath)))
        return node->Data();
    return std::nullopt;
}

std::optional<bool> SkinBool(const QString& APath) {
    if (const auto* node = NodeCast<TBool32Node100>(DefaultSkin().FindNodeByPath(APath)))
        return node->Data();
    return std::nullopt;
}

std::optional<QString> SkinString(const QString& APath) {
    if (const auto* node = NodeCast<TWideStringNode100>(DefaultSkin().FindNodeByPath(APath)))
        return node->Data();
    return std::nullopt;
}

QByteArray SkinBytes(const QString& APath) {
    const auto* node = NodeCast<TBinaryNode100>(DefaultSkin().FindNodeByPath(APath));
    if (!node)
        return QByteArray();
    QByteArray bytes(static_cast<qsizetype>(node->DataSize()), '\0');
    node->ReadBuffer(bytes.data());
    return bytes;
}

QImage SkinImage(const QString& APath) {
    return QImage::fromData(SkinBytes(APath));
}

QStringList SkinDirectories(const QString& APath) {
    QStringList names;
    if (const TBinTreeNode100* node = DefaultSkin().FindNodeByPath(APath)) {
        for (const TBinTreeNode100* child : node->ChildNodes())
            if (child->NodeType() == nt100_Directory)
                names.append(child->NodeName());
    }
    return names;
}

std::optional<TMarginText> ParseMargin(const QString& AText) {
    TMarginText margin;
    int* fields[] = {&margin.Left, &margin.Top, &margin.Right, &margin.Bottom};
    const QStringList items = AText.split(u',');
    if (items.size() > 4)
        return std::nullopt;
    for (const QString& item : items) {
        bool ok = false;
        *fields[margin.Items++] = item.toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return margin;
}

std::optional<TFontSpec> ParseFontSpec(const QString& AText) {
    // The reader cuts at fixed positions around each comma, so a font description must hold exactly
    // this shape for every part to land in its field.
    static const QRegularExpression shape(
        QStringLiteral("^\"([^\",]+)\", ([0-9]+), \\[([A-Za-z|]*)\\], \\[([0-9A-Fa-f]{6})\\]$"));
    const QRegularExpressionMatch match = shape.match(AText);
    if (!match.hasMatch())
        return std::nullopt;
    TFontSpec font;
    font.Face = match.captured(1);
    font.Size = match.captured(2).toInt();
    if (!match.captured(3).isEmpty())
        font.Styles = match.captured(3).split(u'|');
    font.Colour = match.captured(4).toUInt(nullptr, 16);
    return font;
}

} // namespace velmora::testing
