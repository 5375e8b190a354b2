#include "skin/drawing/GDIXml.h"

namespace velmora {
namespace {

ESkinXmlError BadValue(const QString& name, const QString& text, const char* type) {
    return ESkinXmlError(QStringLiteral("attribute %1: \"%2\" is not %3")
                             .arg(name, text, QString::fromLatin1(type)));
}

} // namespace

bool ReadXmlString(const QDomElement& node, const QString& name, QString& value) {
    if (!node.hasAttribute(name))
        return false;
    value = node.attribute(name);
    return true;
}

bool ReadXmlInt(const QDomElement& node, const QString& name, int& value) {
    if (!node.hasAttribute(name))
        return false;
    const QString text = node.attribute(name).trimmed();
    bool ok = false;
    const int parsed = text.toInt(&ok);
    if (!ok)
        throw BadValue(name, text, "an integer");
    value = parsed;
    return true;
}

bool ReadXmlUInt32Low(const QDomElement& node, const QString& name, quint32& value) {
    if (!node.hasAttribute(name))
        return false;
    const QString text = node.attribute(name).trimmed();
    bool ok = false;
    qint64 parsed = text.toLongLong(&ok);
    if (!ok) {
        const quint64 unsignedValue = text.toULongLong(&ok);
        parsed = static_cast<qint64>(unsignedValue);
    }
    if (!ok)
        throw BadValue(name, text, "an integer");
    value = static_cast<quint32>(static_cast<quint64>(parsed) & 0xFFFFFFFFu);
    return true;
}

bool ReadXmlBool(const QDomElement& node, const QString& name, bool& value) {
    if (!node.hasAttribute(name))
        return false;
    const QString text = node.attribute(name).trimmed();
    if (text == QLatin1String("-1") || text == QLatin1String("1") ||
        text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
        value = true;
    } else if (text == QLatin1String("0") ||
               text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        value = false;
    } else {
        throw BadValue(name, text, "a Boolean");
    }
    return true;
}

void WriteXmlBool(QDomElement& node, const QString& name, bool value) {
    node.setAttribute(name, value ? QStringLiteral("-1") : QStringLiteral("0"));
}

void WriteXmlInt(QDomElement& node, const QString& name, qint64 value) {
    node.setAttribute(name, QString::number(value));
}

} // namespace velmora
