#include "skin/data/SkinBackGroundXml.h"

#include "platform/system/GbkCodec.h"
#include "skin/data/SkinDataTypes.h"

#include <QFile>
#include <QRegularExpression>

namespace velmora {

const QString KSkinBackFileKind = QStringLiteral("SkinBackFile");
const QString KSkinBackColorKind = QStringLiteral("SkinBackColor");
const QString KSkinNodesElement = QStringLiteral("SkinNodes");
const QString KSkinNodeElement = QStringLiteral("SkinNode");
const QString KSkinNodeTypeAttr = QStringLiteral("NodeType");

void AppendSkinXmlText(QDomElement& AParent, const QString& AName, const QString& AText) {
    QDomDocument doc = AParent.ownerDocument();
    QDomElement child = doc.createElement(AName);
    child.appendChild(doc.createTextNode(AText));
    AParent.appendChild(child);
}

std::optional<QString> SkinXmlChildText(const QDomElement& AParent, const QString& AName) {
    const QDomElement child = AParent.firstChildElement(AName);
    if (child.isNull())
        return std::nullopt;
    return child.text();
}

int SkinXmlIntValue(const QString& AText) {
    bool ok = false;
    const int value = AText.trimmed().toInt(&ok, 10);
    if (!ok)
        throw ESkinParseError(QStringLiteral("Item is not an integer"));
    return value;
}

QByteArray EncodeSkinXmlGbk(const QString& AText) {
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

namespace {

// The declared encoding of an XML file's first line, lower case; empty when none is declared.
QString DeclaredEncoding(const QByteArray& ABytes) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*<\\?xml[^>]*encoding\\s*=\\s*[\"']([A-Za-z0-9_.-]+)[\"']"));
    const QString head = QString::fromLatin1(ABytes.left(200));
    const QRegularExpressionMatch match = pattern.match(head);
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

} // namespace

bool ParseSkinXmlFile(const QString& AFileName, QDomDocument& ADoc) {
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

} // namespace velmora
