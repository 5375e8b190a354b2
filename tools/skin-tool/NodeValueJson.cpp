#include "tools/skin-tool/NodeValueJson.h"

#include <QJsonObject>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>

namespace velmora {

namespace {

[[noreturn]] void Fail(const QString& ALabel, const QString& AWhat) {
    throw EManifestError(QStringLiteral("%1: %2").arg(ALabel, AWhat));
}

template <typename T> T Integer(const QJsonValue& AValue, const QString& ALabel) {
    const double number = AValue.toDouble(std::nan(""));
    if (!AValue.isDouble() || std::trunc(number) != number ||
        number < static_cast<double>(std::numeric_limits<T>::min()) ||
        number > static_cast<double>(std::numeric_limits<T>::max()))
        Fail(ALabel, QStringLiteral("expected an integer in the range of the node's type"));
    return static_cast<T>(number);
}

double Real(const QJsonValue& AValue, const QString& ALabel) {
    if (!AValue.isDouble())
        Fail(ALabel, QStringLiteral("expected a number"));
    return AValue.toDouble();
}

QString Text(const QJsonValue& AValue, const QString& ALabel) {
    if (!AValue.isString())
        Fail(ALabel, QStringLiteral("expected a string"));
    return AValue.toString();
}

bool Bool(const QJsonValue& AValue, const QString& ALabel) {
    if (!AValue.isBool())
        Fail(ALabel, QStringLiteral("expected true or false"));
    return AValue.toBool();
}

// One character as a string (up to AMaxChar), or its code as a number (up to AMaxCode).
std::uint32_t CharCode(const QJsonValue& AValue, std::uint32_t AMaxChar, std::uint32_t AMaxCode,
                       const QString& ALabel) {
    if (AValue.isString()) {
        const QString text = AValue.toString();
        if (text.size() != 1 || text[0].unicode() > AMaxChar)
            Fail(ALabel, QStringLiteral("expected exactly one character"));
        return text[0].unicode();
    }
    const auto code = Integer<std::uint32_t>(AValue, ALabel);
    if (code > AMaxCode)
        Fail(ALabel, QStringLiteral("character code out of range"));
    return code;
}

QJsonValue CharValue(std::uint32_t ACode) {
    const QChar c(static_cast<char16_t>(ACode));
    if (ACode >= 0x20 && ACode != 0x7F && !c.isSurrogate() && c.isPrint())
        return QString(c);
    return static_cast<double>(ACode);
}

std::int64_t ParseInt64(const QJsonValue& AValue, const QString& ALabel) {
    bool ok = false;
    const qlonglong value = Text(AValue, ALabel).toLongLong(&ok);
    if (!ok)
        Fail(ALabel, QStringLiteral("expected a 64-bit integer written as a string"));
    return value;
}

// Currency is written as a decimal with four places, the resolution of the stored integer.
QString CurrencyText(std::int64_t AScaled) {
    const bool negative = AScaled < 0;
    const auto magnitude =
        negative ? 0 - static_cast<std::uint64_t>(AScaled) : static_cast<std::uint64_t>(AScaled);
    return QStringLiteral("%1%2.%3")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(magnitude / 10000)
        .arg(magnitude % 10000, 4, 10, QChar(u'0'));
}

std::int64_t ParseCurrency(const QJsonValue& AValue, const QString& ALabel) {
    QString text = Text(AValue, ALabel).trimmed();
    const bool negative = text.startsWith(u'-');
    if (negative)
        text.remove(0, 1);
    const qsizetype dot = text.indexOf(u'.');
    const QString whole = dot < 0 ? text : text.left(dot);
    QString fraction = dot < 0 ? QString() : text.mid(dot + 1);
    bool okWhole = false;
    bool okFraction = fraction.isEmpty();
    const qulonglong units = whole.toULongLong(&okWhole);
    if (fraction.size() > 4 || !okWhole || whole.startsWith(u'+'))
        Fail(ALabel, QStringLiteral("expected an amount with at most four decimals"));
    fraction = fraction.leftJustified(4, u'0');
    const qulonglong parts = fraction.toULongLong(&okFraction);
    const qulonglong limit = static_cast<qulonglong>(std::numeric_limits<std::int64_t>::max());
    if (!okFraction || units > (limit - parts) / 10000)
        Fail(ALabel, QStringLiteral("expected an amount with at most four decimals"));
    const auto scaled = static_cast<std::int64_t>(units * 10000 + parts);
    return negative ? -scaled : scaled;
}

QUuid ParseGuid(const QJsonValue& AValue, const QString& ALabel) {
    const QString text = Text(AValue, ALabel).trimmed();
    const QUuid id(text);
    // QUuid answers the null GUID for text it cannot parse, so the null GUID is compared too.
    if (id.toString(QUuid::WithBraces) != text.toLower() &&
        id.toString(QUuid::WithoutBraces) != text.toLower())
        Fail(ALabel,
             QStringLiteral("expected a GUID such as {00112233-4455-6677-8899-aabbccddeeff}"));
    return id;
}

// The double with the fewest digits that still rounds to this float, so that 0.1f is written
// as 0.1 rather than as the float's exact binary value.
double ShortestDouble(float AValue) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, AValue);
    return std::strtod(std::string(text, result.ptr).c_str(), nullptr);
}

template <typename Node> const Node& As(const TBinTreeNode100& ANode) {
    return static_cast<const Node&>(ANode);
}
template <typename Node> Node& As(TBinTreeNode100& ANode) {
    return static_cast<Node&>(ANode);
}

std::optional<QJsonValue> TypedValueOf(const TBinTreeNode100& ANode) {
    switch (ANode.NodeType()) {
    case nt100_AnsiChar:
        // Bytes from 0x80 on are no character on their own in UTF-8, so they stay numbers.
        return As<TAnsiCharNode100>(ANode).Data() < 0x80
                   ? CharValue(As<TAnsiCharNode100>(ANode).Data())
                   : QJsonValue(As<TAnsiCharNode100>(ANode).Data());
    case nt100_WideChar:
        return CharValue(As<TWideCharNode100>(ANode).Data());
    case nt100_AnsiString:
        return QJsonValue(As<TAnsiStringNode100>(ANode).Data());
    case nt100_WideString:
        return QJsonValue(As<TWideStringNode100>(ANode).Data());
    case nt100_Int8:
        return QJsonValue(As<TInt8Node100>(ANode).Data());
    case nt100_Int16:
        return QJsonValue(As<TInt16Node100>(ANode).Data());
    case nt100_Int32:
        return QJsonValue(As<TInt32Node100>(ANode).Data());
    case nt100_Int64:
        return QJsonValue(QString::number(As<TInt64Node100>(ANode).Data()));
    case nt100_UInt8:
        return QJsonValue(As<TUInt8Node100>(ANode).Data());
    case nt100_UInt16:
        return QJsonValue(As<TUInt16Node100>(ANode).Data());
    case nt100_UInt32:
        return QJsonValue(static_cast<double>(As<TUInt32Node100>(ANode).Data()));
    case nt100_Real32:
        return QJsonValue(ShortestDouble(As<TReal32Node100>(ANode).Data()));
    case nt100_Real64:
        return QJsonValue(As<TReal64Node100>(ANode).Data());
    case nt100_Real80:
        return QJsonValue(static_cast<double>(As<TReal80Node100>(ANode).Data()));
    case nt100_Currency:
        return QJsonValue(CurrencyText(As<TCurrencyNode100>(ANode).Data()));
    case nt100_DateTime:
        return QJsonValue(As<TDateTimeNode100>(ANode).Data());
    case nt100_TimeStamp: {
        const TTimeStamp100 stamp = As<TTimeStampNode100>(ANode).Data();
        return QJsonObject{{QStringLiteral("time"), stamp.Time},
                           {QStringLiteral("date"), stamp.Date}};
    }
    case nt100_Bool8:
        return QJsonValue(As<TBool8Node100>(ANode).Data());
    case nt100_Bool16:
        return QJsonValue(As<TBool16Node100>(ANode).Data());
    case nt100_Bool32:
        return QJsonValue(As<TBool32Node100>(ANode).Data());
    case nt100_Guid:
        return QJsonValue(As<TGUIDNode100>(ANode).Data().toString(QUuid::WithBraces));
    default: // directories, Real48 and binary nodes have no readable value
        return std::nullopt;
    }
}

} // namespace

QByteArray ValueBytesOf(const TBinTreeNode100& ANode) {
    QByteArray bytes(static_cast<qsizetype>(ANode.DataSize()), '\0');
    ANode.ReadBuffer(bytes.data());
    return bytes;
}

std::optional<QJsonValue> ReadableValueOf(const TBinTreeNode100& ANode) {
    std::optional<QJsonValue> value = TypedValueOf(ANode);
    if (!value || (value->isDouble() && !std::isfinite(value->toDouble())))
        return std::nullopt;
    // Only a form that builds back to the very same bytes is offered.
    const std::unique_ptr<TBinTreeNode100> probe(
        CreateNodeOfType(ANode.NodeType(), nullptr, QStringLiteral("probe")));
    try {
        ApplyReadableValue(*probe, *value, QString());
    } catch (const EManifestError&) {
        return std::nullopt;
    }
    if (ValueBytesOf(*probe) != ValueBytesOf(ANode))
        return std::nullopt;
    return value;
}

void ApplyReadableValue(TBinTreeNode100& ANode, const QJsonValue& AValue,
                        const QString& ANodeLabel) {
    const QString& l = ANodeLabel;
    switch (ANode.NodeType()) {
    case nt100_AnsiChar:
        As<TAnsiCharNode100>(ANode).SetData(
            static_cast<std::uint8_t>(CharCode(AValue, 0x7F, 0xFF, l)));
        break;
    case nt100_WideChar:
        As<TWideCharNode100>(ANode).SetData(
            static_cast<char16_t>(CharCode(AValue, 0xFFFF, 0xFFFF, l)));
        break;
    case nt100_AnsiString:
        As<TAnsiStringNode100>(ANode).SetData(Text(AValue, l));
        break;
    case nt100_WideString:
        As<TWideStringNode100>(ANode).SetData(Text(AValue, l));
        break;
    case nt100_Int8:
        As<TInt8Node100>(ANode).SetData(Integer<std::int8_t>(AValue, l));
        break;
    case nt100_Int16:
        As<TInt16Node100>(ANode).SetData(Integer<std::int16_t>(AValue, l));
        break;
    case nt100_Int32:
        As<TInt32Node100>(ANode).SetData(Integer<std::int32_t>(AValue, l));
        break;
    case nt100_Int64:
        As<TInt64Node100>(ANode).SetData(ParseInt64(AValue, l));
        break;
    case nt100_UInt8:
        As<TUInt8Node100>(ANode).SetData(Integer<std::uint8_t>(AValue, l));
        break;
    case nt100_UInt16:
        As<TUInt16Node100>(ANode).SetData(Integer<std::uint16_t>(AValue, l));
        break;
    case nt100_UInt32:
        As<TUInt32Node100>(ANode).SetData(Integer<std::uint32_t>(AValue, l));
        break;
    case nt100_Real32:
        As<TReal32Node100>(ANode).SetData(static_cast<float>(Real(AValue, l)));
        break;
    case nt100_Real64:
        As<TReal64Node100>(ANode).SetData(Real(AValue, l));
        break;
    case nt100_Real80:
        As<TReal80Node100>(ANode).SetData(Real(AValue, l));
        break;
    case nt100_Currency:
        As<TCurrencyNode100>(ANode).SetData(ParseCurrency(AValue, l));
        break;
    case nt100_DateTime:
        As<TDateTimeNode100>(ANode).SetData(Real(AValue, l));
        break;
    case nt100_TimeStamp: {
        const QJsonObject stamp = AValue.toObject();
        if (!AValue.isObject() || !stamp.contains(QStringLiteral("time")) ||
            !stamp.contains(QStringLiteral("date")))
            Fail(l, QStringLiteral("expected {\"time\": ..., \"date\": ...}"));
        As<TTimeStampNode100>(ANode).SetData(
            {Integer<std::int32_t>(stamp.value(QStringLiteral("time")), l),
             Integer<std::int32_t>(stamp.value(QStringLiteral("date")), l)});
        break;
    }
    case nt100_Bool8:
        As<TBool8Node100>(ANode).SetData(Bool(AValue, l));
        break;
    case nt100_Bool16:
        As<TBool16Node100>(ANode).SetData(Bool(AValue, l));
        break;
    case nt100_Bool32:
        As<TBool32Node100>(ANode).SetData(Bool(AValue, l));
        break;
    case nt100_Guid:
        As<TGUIDNode100>(ANode).SetData(ParseGuid(AValue, l));
        break;
    default:
        Fail(l, QStringLiteral("this node type has no \"value\"; use \"hex\" or \"file\""));
    }
}

} // namespace velmora
