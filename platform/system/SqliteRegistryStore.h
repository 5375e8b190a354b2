#pragma once

#include "platform/system/RegistryStore.h"

struct sqlite3;

namespace velmora {

// The registry as one SQLite file. A store that does not exist yet is created on opening,
// holding "ProgramFilesDir" under CurrentVersionKey() as a freshly set-up system does. An
// existing file that the process may not write (or that is marked read-only, even for root)
// is opened for reading only: IsWritable() is then false, as for a user without rights.
// A store held by another process is waited for up to KBusyWaitMs; past that the operation
// raises ERegistryError, so a busy store is never mistaken for a missing record.
class TSqliteRegistryStore final : public IRegistryStore {
public:
    static constexpr int KBusyWaitMs = 5000;

    TSqliteRegistryStore(QString storeFile, QString programFilesDir);
    ~TSqliteRegistryStore() override;
    TSqliteRegistryStore(const TSqliteRegistryStore&) = delete;
    TSqliteRegistryStore& operator=(const TSqliteRegistryStore&) = delete;

    const QString& StoreFile() const { return FStoreFile; }
    QString OpenError() const override { return FOpenError; }

    bool IsWritable() const override { return FWritable; }
    bool KeyExists(const QString& key) const override;
    void CreateKey(const QString& key) override;
    bool DeleteKey(const QString& key) override;
    std::optional<TRegistryValue> ReadValue(const QString& key, const QString& name) const override;
    void WriteValue(const QString& key, const QString& name, const TRegistryValue& value) override;
    void WriteValues(const QString& key, const TRegistryValues& values) override;
    void ApplyChanges(const TRegistryChanges& changes) override;
    bool DeleteValue(const QString& key, const QString& name) override;
    QStringList ValueNames(const QString& key) const override;

private:
    void Open(const QString& programFilesDir);
    bool HasSchema() const;
    void CreateSchema(const QString& programFilesDir);
    void RequireWritable() const;
    void InsertKeyChain(const QString& key);
    void UpsertValue(const QString& normalKey, const QString& name, const TRegistryValue& value);
    // The parts of the writing operations, run inside a transaction the caller holds.
    bool DeleteKeyTreeIn(const QString& key);
    bool DeleteValueIn(const QString& key, const QString& name);

    QString FStoreFile;
    QString FOpenError;
    sqlite3* FDb = nullptr;
    bool FWritable = false;
};

} // namespace velmora
