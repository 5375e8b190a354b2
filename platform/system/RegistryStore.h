#pragma once

#include "platform/system/Errors.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

namespace velmora {

VELMORA_DECLARE_ERROR(ERegistryError, EVelmoraError);

enum class TRegistryValueType { String = 1, Integer = 4 };

struct TRegistryValue {
    TRegistryValueType Type = TRegistryValueType::String;
    QString Text;
    qint32 Number = 0;
};

// Named values to be written together, in order.
using TRegistryValues = QList<std::pair<QString, TRegistryValue>>;

// One step of a batch that is stored as a single transaction (see ApplyChanges).
struct TRegistryChange {
    enum class TKind { DeleteKey, WriteValues, DeleteValue };
    TKind Kind = TKind::WriteValues;
    QString Key;
    TRegistryValues Values; // WriteValues: written in order, the key created when missing
    QString Name;           // DeleteValue: the value to delete (a missing one is no error)

    static TRegistryChange DeleteKeyTree(const QString& key) {
        return {TKind::DeleteKey, key, {}, {}};
    }
    static TRegistryChange Write(const QString& key, const TRegistryValues& values) {
        return {TKind::WriteValues, key, values, {}};
    }
    static TRegistryChange DeleteNamedValue(const QString& key, const QString& name) {
        return {TKind::DeleteValue, key, {}, name};
    }
};
using TRegistryChanges = QList<TRegistryChange>;

// One hive of keys and typed values. Key paths are separated by "\", and key and value names
// are compared without regard to letter case. Writing operations raise ERegistryError when the
// store is not writable or the write fails; each one is a single transaction.
class IRegistryStore {
public:
    virtual ~IRegistryStore() = default;

    // False when the store could not be opened for reading and writing (no rights).
    virtual bool IsWritable() const = 0;
    // Why the store could not be opened at all (then it reads as empty); empty when it was.
    virtual QString OpenError() const = 0;
    virtual bool KeyExists(const QString& key) const = 0;
    // Creates the key and every missing parent.
    virtual void CreateKey(const QString& key) = 0;
    // Deletes the key with its values and subkeys; false when it did not exist.
    virtual bool DeleteKey(const QString& key) = 0;
    virtual std::optional<TRegistryValue> ReadValue(const QString& key,
                                                    const QString& name) const = 0;
    // Writes (creating the key when missing); an existing value keeps its place in the order.
    virtual void WriteValue(const QString& key, const QString& name,
                            const TRegistryValue& value) = 0;
    // Writes several values in the given order as one transaction: after a failure neither
    // the values nor a key created for them are there.
    virtual void WriteValues(const QString& key, const TRegistryValues& values) = 0;
    // Applies every change in order as one transaction: after a failure (a store that stays
    // busy past the wait, a full disk) none of them is stored.
    virtual void ApplyChanges(const TRegistryChanges& changes) = 0;
    // False when the value did not exist.
    virtual bool DeleteValue(const QString& key, const QString& name) = 0;
    // Value names of a key as written, in the order they were first written.
    virtual QStringList ValueNames(const QString& key) const = 0;

    bool ValueExists(const QString& key, const QString& name) const;
    void WriteString(const QString& key, const QString& name, const QString& text);
    void WriteInteger(const QString& key, const QString& name, qint32 number);
    // Raise ERegistryError when the value is missing or holds another type.
    QString ReadString(const QString& key, const QString& name) const;
    qint32 ReadInteger(const QString& key, const QString& name) const;
};

// "SOFTWARE\Microsoft\Windows\CurrentVersion": where a store keeps its "ProgramFilesDir".
QString CurrentVersionKey();

} // namespace velmora
