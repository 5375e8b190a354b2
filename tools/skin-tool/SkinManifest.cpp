#include "tools/skin-tool/SkinManifest.h"

#include "skin/document/BinTreeStreams100.h"
#include "tools/skin-tool/NodeValueJson.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <memory>

namespace velmora {

namespace {

const QString KFormat = QStringLiteral("binary-tree-document-manifest");
const QString KFilesFolder = QStringLiteral("files");

[[noreturn]] void Fail(const QString& AMessage) {
    throw EManifestError(AMessage);
}

std::uint32_t Field32(const QJsonObject& AObject, const QString& AKey, const QString& ALabel) {
    const QJsonValue value = AObject.value(AKey);
    if (value.isUndefined())
        return 0;
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number < 0 || number > 4294967295.0 || std::trunc(number) != number)
        Fail(
            QStringLiteral("%1: \"%2\" must be an integer from 0 to 4294967295").arg(ALabel, AKey));
    return static_cast<std::uint32_t>(number);
}

void WriteRaw(TBinTreeNode100& ANode, const QByteArray& ABytes, const QString& ALabel) {
    if (ANode.NodeType() == nt100_Directory && !ABytes.isEmpty())
        Fail(QStringLiteral("%1: a directory holds no value").arg(ALabel));
    const int width = FixedWidthOf(ANode.NodeType());
    if (width >= 0 && !ABytes.isEmpty() && ABytes.size() != width)
        Fail(QStringLiteral("%1: a %2 value takes %3 bytes, not %4")
                 .arg(ALabel, NodeTypeName(ANode.NodeType()))
                 .arg(width)
                 .arg(ABytes.size()));
    ANode.WriteBuffer(ABytes.constData(), ABytes.size());
}

class TManifestBuilder {
public:
    explicit TManifestBuilder(QDir ABase) : FBase(std::move(ABase)) {}

    std::unique_ptr<TBinTreeNode100> Build(const QJsonValue& AJson, const QString& AParentLabel,
                                           std::size_t ADepth) {
        if (!AJson.isObject())
            Fail(QStringLiteral("%1: every node must be a JSON object").arg(AParentLabel));
        const QJsonObject object = AJson.toObject();
        const QJsonValue name = object.value(QStringLiteral("name"));
        if (!name.isString())
            Fail(QStringLiteral("%1: a node needs a \"name\" string").arg(AParentLabel));
        const QString label =
            AParentLabel.isEmpty() ? name.toString() : AParentLabel + u'\\' + name.toString();
        CheckKeys(object, label);
        if (ADepth > TBinTreeLimits100().MaxDepth)
            Fail(QStringLiteral("%1: nested deeper than a document may be").arg(label));

        const int type = NodeTypeFromName(object.value(QStringLiteral("type")).toString());
        if (type < 0)
            Fail(QStringLiteral("%1: unknown \"type\"").arg(label));
        // Built under a placeholder, because stored names may be blank, which the
        // constructor refuses.
        std::unique_ptr<TBinTreeNode100> node(
            CreateNodeOfType(static_cast<std::uint32_t>(type), nullptr, QStringLiteral("NONAME")));
        node->SetNodeName(name.toString());
        node->SetNodeID(Field32(object, QStringLiteral("id"), label));
        node->SetNodeSubType(Field32(object, QStringLiteral("subType"), label));
        SetValue(*node, object, label);

        const QJsonValue children = object.value(QStringLiteral("children"));
        if (!children.isUndefined() && !children.isArray())
            Fail(QStringLiteral("%1: \"children\" must be an array").arg(label));
        for (const QJsonValue child : children.toArray())
            Build(child, label, ADepth + 1).release()->SetParentNode(node.get());
        return node;
    }

private:
    static void CheckKeys(const QJsonObject& AObject, const QString& ALabel) {
        static const QSet<QString> known = {"name",  "type", "id",   "subType",
                                            "value", "hex",  "file", "children"};
        int valueKeys = 0;
        for (auto it = AObject.begin(); it != AObject.end(); ++it) {
            if (!known.contains(it.key()))
                Fail(QStringLiteral("%1: unknown key \"%2\"").arg(ALabel, it.key()));
            if (it.key() == "value" || it.key() == "hex" || it.key() == "file")
                ++valueKeys;
        }
        if (valueKeys > 1)
            Fail(
                QStringLiteral("%1: give only one of \"value\", \"hex\" and \"file\"").arg(ALabel));
    }

    void SetValue(TBinTreeNode100& ANode, const QJsonObject& AObject, const QString& ALabel) {
        if (AObject.contains(QStringLiteral("value"))) {
            ApplyReadableValue(ANode, AObject.value(QStringLiteral("value")), ALabel);
        } else if (AObject.contains(QStringLiteral("hex"))) {
            const QString hex = AObject.value(QStringLiteral("hex")).toString();
            static const QRegularExpression hexDigits(QStringLiteral("^([0-9A-Fa-f]{2})*$"));
            if (!AObject.value(QStringLiteral("hex")).isString() ||
                !hexDigits.match(hex).hasMatch())
                Fail(QStringLiteral("%1: \"hex\" must be pairs of hex digits").arg(ALabel));
            WriteRaw(ANode, QByteArray::fromHex(hex.toLatin1()), ALabel);
        } else if (AObject.contains(QStringLiteral("file"))) {
            const QString relative = AObject.value(QStringLiteral("file")).toString();
            if (relative.isEmpty())
                Fail(QStringLiteral("%1: \"file\" must name a file").arg(ALabel));
            QFile file;
            OpenFileForReading(file, FBase.filePath(relative));
            WriteRaw(ANode, ReadRestOfDevice(file), ALabel);
        }
    }

    QDir FBase;
};

class TManifestDumper {
public:
    explicit TManifestDumper(QDir AFolder) : FFolder(std::move(AFolder)) {}

    QJsonObject Dump(const TBinTreeNode100& ANode) {
        QJsonObject object;
        object.insert(QStringLiteral("name"), ANode.NodeName());
        object.insert(QStringLiteral("type"), NodeTypeName(ANode.NodeType()));
        if (ANode.NodeID() != 0)
            object.insert(QStringLiteral("id"), static_cast<double>(ANode.NodeID()));
        if (ANode.NodeSubType() != 0)
            object.insert(QStringLiteral("subType"), static_cast<double>(ANode.NodeSubType()));
        if (ANode.NodeType() == nt100_Binary) {
            if (ANode.DataSize() != 0)
                object.insert(QStringLiteral("file"), WriteValueFile(ANode));
        } else if (ANode.NodeType() != nt100_Directory) {
            if (const auto value = ReadableValueOf(ANode))
                object.insert(QStringLiteral("value"), *value);
            else
                object.insert(QStringLiteral("hex"),
                              QString::fromLatin1(ValueBytesOf(ANode).toHex()));
        }
        if (ANode.ChildNodes().Count() > 0) {
            QJsonArray children;
            for (const TBinTreeNode100* child : ANode.ChildNodes())
                children.append(Dump(*child));
            object.insert(QStringLiteral("children"), children);
        }
        return object;
    }

private:
    QString WriteValueFile(const TBinTreeNode100& ANode) {
        const QByteArray bytes = ValueBytesOf(ANode);
        QString stem = ANode.NodeName();
        static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]"));
        stem.replace(unsafe, QStringLiteral("_"));
        const QString relative = QStringLiteral("%1/%2-%3.%4")
                                     .arg(KFilesFolder)
                                     .arg(++FFileCount, 4, 10, QChar(u'0'))
                                     .arg(stem.left(40), ExtensionFor(bytes));
        QFile file;
        OpenFileForWriting(file, FFolder.filePath(relative));
        WriteToDevice(file, bytes.constData(), bytes.size());
        return relative;
    }

    static QString ExtensionFor(const QByteArray& ABytes) {
        if (ABytes.startsWith("\x89PNG\r\n\x1a\n"))
            return QStringLiteral("png");
        if (ABytes.startsWith("\xFF\xD8\xFF"))
            return QStringLiteral("jpg");
        if (ABytes.startsWith("GIF8"))
            return QStringLiteral("gif");
        return QStringLiteral("bin");
    }

    QDir FFolder;
    int FFileCount = 0;
};

} // namespace

void BuildFromManifest(const QString& AManifestPath, TBinaryTreeDocument100& ADoc) {
    QFile file;
    OpenFileForReading(file, AManifestPath);
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(ReadRestOfDevice(file), &error);
    if (json.isNull())
        Fail(QStringLiteral("%1: not JSON: %2 at offset %3")
                 .arg(AManifestPath, error.errorString())
                 .arg(error.offset));
    const QJsonObject top = json.object();
    if (top.value(QStringLiteral("format")).toString() != KFormat)
        Fail(QStringLiteral("%1: \"format\" must be \"%2\"").arg(AManifestPath, KFormat));
    if (top.contains(QStringLiteral("documentVersion")) &&
        top.value(QStringLiteral("documentVersion")).toInt() != static_cast<int>(KVersion100))
        Fail(QStringLiteral("%1: only \"documentVersion\" 100 can be written").arg(AManifestPath));
    if (!top.value(QStringLiteral("root")).isObject())
        Fail(QStringLiteral("%1: \"root\" must be the top node's object").arg(AManifestPath));
    TManifestBuilder builder(QFileInfo(AManifestPath).absoluteDir());
    ADoc.SetTopNode(builder.Build(top.value(QStringLiteral("root")), QString(), 0));
}

void DumpToFolder(const TBinaryTreeDocument100& ADoc, const QString& AFolder) {
    QDir folder(AFolder);
    if (!folder.mkpath(KFilesFolder))
        throw EFileError(
            QStringLiteral("Cannot create folder \"%1\"").arg(folder.filePath(KFilesFolder)));
    TManifestDumper dumper(folder);
    QJsonObject top;
    top.insert(QStringLiteral("format"), KFormat);
    top.insert(QStringLiteral("documentVersion"), static_cast<int>(ADoc.Version()));
    top.insert(QStringLiteral("root"), dumper.Dump(*ADoc.TopNode()));
    const QByteArray text = QJsonDocument(top).toJson(QJsonDocument::Indented);
    QFile file;
    OpenFileForWriting(file, folder.filePath(QString::fromLatin1(KManifestFileName)));
    WriteToDevice(file, text.constData(), text.size());
}

QString ValueText(const TBinTreeNode100& ANode) {
    const std::optional<QJsonValue> value = ReadableValueOf(ANode);
    if (!value)
        return QString::fromLatin1(ValueBytesOf(ANode).toHex(' '));
    if (value->isString())
        return value->toString();
    if (value->isBool())
        return value->toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value->isDouble())
        return QString::number(value->toDouble(), 'g', QLocale::FloatingPointShortest);
    return QString::fromUtf8(QJsonDocument(value->toObject()).toJson(QJsonDocument::Compact));
}

} // namespace velmora
