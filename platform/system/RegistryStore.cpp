#include "platform/system/RegistryStore.h"

namespace velmora {
namespace {

ERegistryError InvalidDataType(const QString& name) {
    return ERegistryError(QStringLiteral("Invalid data type for '%1'").arg(name));
}

} // namespace

QString CurrentVersionKey() {
    return QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
}

bool IRegistryStore::ValueExists(const QString& key, const QString& name) const {
    return ReadValue(key, name).has_value();
}

void IRegistryStore::WriteString(const QString& key, const QString& name, const QString& text) {
    WriteValue(key, name, TRegistryValue{TRegistryValueType::String, text, 0});
}

void IRegistryStore::WriteInteger(const QString& key, const QString& name, qint32 number) {
    WriteValue(key, name, TRegistryValue{TRegistryValueType::Integer, QString(), number});
}

QString IRegistryStore::ReadString(const QString& key, const QString& name) const {
    const std::optional<TRegistryValue> value = ReadValue(key, name);
    if (!value || value->Type != TRegistryValueType::String)
        throw InvalidDataType(name);
    return value->Text;
}

qint32 IRegistryStore::ReadInteger(const QString& key, const QString& name) const {
    const std::optional<TRegistryValue> value = ReadValue(key, name);
    if (!value || value->Type != TRegistryValueType::Integer)
        throw InvalidDataType(name);
    return value->Number;
}

} // namespace velmora
