#include "platform/system/SqliteRegistryStore.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

// Keys are kept as their full path with empty components dropped, so "A\\B\" and "a\b" are one
// key; the folded form is what comparisons use.
QString NormalKey(const QString& key) {
    return key.split(u'\\', Qt::SkipEmptyParts).join(u'\\');
}

QString Fold(const QString& text) {
    return text.toCaseFolded();
}

// Root can write any file, but a store marked read-only is the administrator's way of
// saying "no changes"; honouring the mode bits keeps that meaning for every user.
bool PermitsWriting(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::geteuid() != 0)
        return ::access(native.constData(), W_OK) == 0;
    struct stat info {};
    return ::stat(native.constData(), &info) == 0 && (info.st_mode & 0222) != 0;
}

class TStatement {
public:
    TStatement(sqlite3* db, const char* sql) : FDb(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &FStmt, nullptr) != SQLITE_OK)
            Fail();
    }
    ~TStatement() { sqlite3_finalize(FStmt); }
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;

    TStatement& Bind(int index, const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        if (sqlite3_bind_text(FStmt, index, utf8.constData(), static_cast<int>(utf8.size()),
                              SQLITE_TRANSIENT) != SQLITE_OK)
            Fail();
        return *this;
    }
    TStatement& Bind(int index, qint64 number) {
        if (sqlite3_bind_int64(FStmt, index, number) != SQLITE_OK)
            Fail();
        return *this;
    }
    // True while a row is available.
    bool Step() {
        const int rc = sqlite3_step(FStmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            Fail();
        return false;
    }
    QString Text(int column) const {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(FStmt, column));
        return QString::fromUtf8(data, sqlite3_column_bytes(FStmt, column));
    }
    qint64 Number(int column) const { return sqlite3_column_int64(FStmt, column); }
    int Changes() const { return sqlite3_changes(FDb); }

private:
    [[noreturn]] void Fail() const {
        throw ERegistryError(
            QStringLiteral("Registry store: %1").arg(QString::fromUtf8(sqlite3_errmsg(FDb))));
    }

    sqlite3* FDb;
    sqlite3_stmt* FStmt = nullptr;
};

void Execute(sqlite3* db, const char* sql) {
    TStatement statement(db, sql);
    statement.Step();
}

// Every writing operation runs inside one of these: all of it is stored, or none of it.
class TTransaction {
public:
    explicit TTransaction(sqlite3* db) : FDb(db) { Execute(db, "BEGIN IMMEDIATE"); }
    ~TTransaction() {
        if (!FDone)
            sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;
    void Commit() {
        Execute(FDb, "COMMIT");
        FDone = true;
    }

private:
    sqlite3* FDb;
    bool FDone = false;
};

} // namespace

TSqliteRegistryStore::TSqliteRegistryStore(QString storeFile, QString programFilesDir)
    : FStoreFile(std::move(storeFile)) {
    try {
        Open(programFilesDir);
    } catch (const ERegistryError& e) {
        FOpenError = e.Message();
        sqlite3_close(FDb);
        FDb = nullptr;
        FWritable = false;
    }
}

TSqliteRegistryStore::~TSqliteRegistryStore() {
    sqlite3_close(FDb);
}

void TSqliteRegistryStore::Open(const QString& programFilesDir) {
    const QFileInfo info(FStoreFile);
    const bool existed = info.exists();
    if (!existed && !QDir().mkpath(info.absolutePath()))
        throw ERegistryError(
            QStringLiteral("Registry store: cannot create %1").arg(info.absolutePath()));
    const bool wantWrite =
        !existed || (PermitsWriting(FStoreFile) && PermitsWriting(info.absolutePath()));
    const int flags =
        (wantWrite ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY) |
        SQLITE_OPEN_NOMUTEX;
    const QByteArray native = QFile::encodeName(FStoreFile);
    if (sqlite3_open_v2(native.constData(), &FDb, flags, nullptr) != SQLITE_OK)
        throw ERegistryError(QStringLiteral("Registry store: cannot open %1: %2")
                                 .arg(FStoreFile, QString::fromUtf8(sqlite3_errmsg(FDb))));
    sqlite3_busy_timeout(FDb, KBusyWaitMs);
    FWritable = wantWrite && sqlite3_db_readonly(FDb, "main") == 0;
    if (HasSchema())
        return;
    if (!FWritable)
        throw ERegistryError(
            QStringLiteral("Registry store: %1 holds no registry").arg(FStoreFile));
    CreateSchema(programFilesDir);
}

bool TSqliteRegistryStore::HasSchema() const {
    TStatement query(FDb, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                          "name IN ('registry_keys', 'registry_values')");
    query.Step();
    return query.Number(0) == 2;
}

void TSqliteRegistryStore::CreateSchema(const QString& programFilesDir) {
    TTransaction transaction(FDb);
    Execute(FDb, "CREATE TABLE registry_keys (fold TEXT PRIMARY KEY, path TEXT NOT NULL)");
    Execute(FDb, "CREATE TABLE registry_values (key_fold TEXT NOT NULL, name_fold TEXT NOT NULL, "
                 "name TEXT NOT NULL, type INTEGER NOT NULL, data, "
                 "UNIQUE (key_fold, name_fold))");
    InsertKeyChain(CurrentVersionKey());
    TStatement insert(FDb, "INSERT INTO registry_values (key_fold, name_fold, name, type, data) "
                           "VALUES (?1, ?2, ?3, ?4, ?5)");
    insert.Bind(1, Fold(CurrentVersionKey()))
        .Bind(2, Fold(QStringLiteral("ProgramFilesDir")))
        .Bind(3, QStringLiteral("ProgramFilesDir"))
        .Bind(4, static_cast<qint64>(TRegistryValueType::String))
        .Bind(5, programFilesDir);
    insert.Step();
    transaction.Commit();
}

void TSqliteRegistryStore::RequireWritable() const {
    if (!FWritable)
        throw ERegistryError(QStringLiteral("Registry store %1 is not writable").arg(FStoreFile));
}

void TSqliteRegistryStore::InsertKeyChain(const QString& key) {
    const QStringList parts = NormalKey(key).split(u'\\', Qt::SkipEmptyParts);
    QString path;
    for (const QString& part : parts) {
        path = path.isEmpty() ? part : path + u'\\' + part;
        TStatement insert(FDb, "INSERT OR IGNORE INTO registry_keys (fold, path) VALUES (?1, ?2)");
        insert.Bind(1, Fold(path)).Bind(2, path);
        insert.Step();
    }
}

bool TSqliteRegistryStore::KeyExists(const QString& key) const {
    const QString normal = NormalKey(key);
    if (normal.isEmpty())
        return FDb != nullptr;
    if (FDb == nullptr)
        return false;
    TStatement query(FDb, "SELECT 1 FROM registry_keys WHERE fold = ?1");
    query.Bind(1, Fold(normal));
    return query.Step();
}

void TSqliteRegistryStore::CreateKey(const QString& key) {
    RequireWritable();
    TTransaction transaction(FDb);
    InsertKeyChain(key);
    transaction.Commit();
}

bool TSqliteRegistryStore::DeleteKey(const QString& key) {
    RequireWritable();
    TTransaction transaction(FDb);
    const bool existed = DeleteKeyTreeIn(key);
    transaction.Commit();
    return existed;
}

bool TSqliteRegistryStore::DeleteKeyTreeIn(const QString& key) {
    const QString fold = Fold(NormalKey(key));
    if (fold.isEmpty())
        throw ERegistryError(QStringLiteral("Registry store: the root key cannot be deleted"));
    // Subkeys are matched by prefix with substr rather than LIKE, whose wildcards could
    // appear in key names.
    TStatement values(FDb, "DELETE FROM registry_values WHERE key_fold = ?1 OR "
                           "substr(key_fold, 1, length(?1) + 1) = ?1 || '\\'");
    values.Bind(1, fold);
    values.Step();
    TStatement keys(FDb, "DELETE FROM registry_keys WHERE fold = ?1 OR "
                         "substr(fold, 1, length(?1) + 1) = ?1 || '\\'");
    keys.Bind(1, fold);
    keys.Step();
    return keys.Changes() > 0;
}

std::optional<TRegistryValue> TSqliteRegistryStore::ReadValue(const QString& key,
                                                              const QString& name) const {
    if (FDb == nullptr)
        return std::nullopt;
    TStatement query(FDb, "SELECT type, data FROM registry_values WHERE key_fold = ?1 AND "
                          "name_fold = ?2");
    query.Bind(1, Fold(NormalKey(key))).Bind(2, Fold(name));
    if (!query.Step())
        return std::nullopt;
    TRegistryValue value;
    if (query.Number(0) == static_cast<qint64>(TRegistryValueType::Integer)) {
        value.Type = TRegistryValueType::Integer;
        value.Number = static_cast<qint32>(query.Number(1));
    } else {
        value.Text = query.Text(1);
    }
    return value;
}

void TSqliteRegistryStore::UpsertValue(const QString& normalKey, const QString& name,
                                       const TRegistryValue& value) {
    TStatement upsert(FDb, "INSERT INTO registry_values (key_fold, name_fold, name, type, data) "
                           "VALUES (?1, ?2, ?3, ?4, ?5) ON CONFLICT (key_fold, name_fold) "
                           "DO UPDATE SET type = excluded.type, data = excluded.data");
    upsert.Bind(1, Fold(normalKey)).Bind(2, Fold(name)).Bind(3, name);
    upsert.Bind(4, static_cast<qint64>(value.Type));
    if (value.Type == TRegistryValueType::Integer)
        upsert.Bind(5, static_cast<qint64>(value.Number));
    else
        upsert.Bind(5, value.Text);
    upsert.Step();
}

void TSqliteRegistryStore::WriteValue(const QString& key, const QString& name,
                                      const TRegistryValue& value) {
    WriteValues(key, {{name, value}});
}

void TSqliteRegistryStore::WriteValues(const QString& key, const TRegistryValues& values) {
    RequireWritable();
    const QString normal = NormalKey(key);
    TTransaction transaction(FDb);
    InsertKeyChain(normal);
    for (const auto& [name, value] : values)
        UpsertValue(normal, name, value);
    transaction.Commit();
}

bool TSqliteRegistryStore::DeleteValue(const QString& key, const QString& name) {
    RequireWritable();
    TTransaction transaction(FDb);
    const bool existed = DeleteValueIn(key, name);
    transaction.Commit();
    return existed;
}

bool TSqliteRegistryStore::DeleteValueIn(const QString& key, const QString& name) {
    TStatement remove(FDb, "DELETE FROM registry_values WHERE key_fold = ?1 AND name_fold = ?2");
    remove.Bind(1, Fold(NormalKey(key))).Bind(2, Fold(name));
    remove.Step();
    return remove.Changes() > 0;
}

void TSqliteRegistryStore::ApplyChanges(const TRegistryChanges& changes) {
    RequireWritable();
    TTransaction transaction(FDb);
    for (const TRegistryChange& change : changes) {
        switch (change.Kind) {
        case TRegistryChange::TKind::DeleteKey:
            DeleteKeyTreeIn(change.Key);
            break;
        case TRegistryChange::TKind::WriteValues: {
            const QString normal = NormalKey(change.Key);
            InsertKeyChain(normal);
            for (const auto& [name, value] : change.Values)
                UpsertValue(normal, name, value);
            break;
        }
        case TRegistryChange::TKind::DeleteValue:
            DeleteValueIn(change.Key, change.Name);
            break;
        }
    }
    transaction.Commit();
}

QStringList TSqliteRegistryStore::ValueNames(const QString& key) const {
    QStringList names;
    if (FDb == nullptr)
        return names;
    TStatement query(FDb, "SELECT name FROM registry_values WHERE key_fold = ?1 ORDER BY rowid");
    query.Bind(1, Fold(NormalKey(key)));
    while (query.Step())
        names << query.Text(0);
    return names;
}

} // namespace velmora
