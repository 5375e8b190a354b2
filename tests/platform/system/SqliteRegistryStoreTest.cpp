#include "platform/system/SqliteRegistryStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

const QString kKey =
    QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora3.0");

class RegistryStoreTest : public ::testing::Test {
protected:
    QString StoreFile() const { return FDir.path() + QStringLiteral("/reg/store.sqlite3"); }
    QTemporaryDir FDir;
};

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST_F(RegistryStoreTest, NewStoreHoldsProgramFilesFolder) {
    TSqliteRegistryStore store(StoreFile(), QStringLiteral("/sandbox/opt"));
    EXPECT_TRUE(store.IsWritable());
    EXPECT_TRUE(store.OpenError().isEmpty());
    EXPECT_TRUE(store.KeyExists(CurrentVersionKey()));
    EXPECT_EQ(store.ReadString(CurrentVersionKey(), QStringLiteral("ProgramFilesDir")),
              QStringLiteral("/sandbox/opt"));
    EXPECT_FALSE(store.KeyExists(kKey));
}

TEST_F(RegistryStoreTest, KeyAndValueNamesIgnoreLetterCase) {
    TSqliteRegistryStore store(StoreFile(), QStringLiteral("/opt"));
    store.WriteString(kKey, QStringLiteral("ProgramsStartUpFileName"),
                      QStringLiteral("/m/a.desktop"));
    EXPECT_TRUE(store.KeyExists(kKey.toLower()));
    EXPECT_TRUE(store.KeyExists(QStringLiteral("software\\MICROSOFT\\windows")));
    EXPECT_TRUE(store.KeyExists(kKey + QStringLiteral("\\")));
    EXPECT_EQ(store.ReadString(kKey.toUpper(), QStringLiteral("ProgramsStartupFileName")),
              QStringLiteral("/m/a.desktop"));
    EXPECT_EQ(store.ValueNames(kKey), QStringList{QStringLiteral("ProgramsStartUpFileName")});
}

TEST_F(RegistryStoreTest, ValuesKeepTheirTypeAndFirstWrittenOrder) {
    TSqliteRegistryStore store(StoreFile(), QStringLiteral("/opt"));
    store.WriteString(kKey, QStringLiteral("B"), QStringLiteral("one"));
    store.WriteInteger(kKey, QStringLiteral("A"), -7);
    store.WriteString(kKey, QStringLiteral("C"), QString());
    store.WriteString(kKey, QStringLiteral("b"), QStringLiteral("two"));
    EXPECT_EQ(store.ValueNames(kKey),
              (QStringList{QStringLiteral("B"), QStringLiteral("A"), QStringLiteral("C")}));
    EXPECT_EQ(store.ReadString(kKey, QStringLiteral("B")), QStringLiteral("two"));
    EXPECT_EQ(store.ReadInteger(kKey, QStringLiteral("A")), -7);
    EXPECT_EQ(store.ReadString(kKey, QStringLiteral("C")), QString());
    EXPECT_TRUE(store.ValueExists(kKey, QStringLiteral("c")));
    EXPECT_FALSE(store.ValueExists(kKey, QStringLiteral("D")));
}

TEST_F(RegistryStoreTest, ReadingAnotherTypeRaises) {
    TSqliteRegistryStore store(StoreFile(), QStringLiteral("/opt"));
    store.WriteString(kKey, QStringLiteral("IsAutoRun"), QStringLiteral("yes"));
    store.WriteInteger(kKey, QStringLiteral("Count"), 1);
    try {
        store.ReadInteger(kKey, QStringLiteral("IsAutoRun"));
        FAIL() << "no error";
    } catch (const ERegistryError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid data type for 'IsAutoRun'"));
    }
    EXPECT_THROW(store.ReadString(kKey, QStringLiteral("Count")), ERegistryError);
    EXPECT_THROW(store.ReadString(kKey, QStringLiteral("Missing")), ERegistryError);
}

TEST_F(RegistryStoreTest, DeletingAKeyTakesSubkeysButNotNamesSharingItsPrefix) {
    TSqliteRegistryStore store(StoreFile(), QStringLiteral("/opt"));
    store.WriteString(kKey + QStringLiteral("\\Sub"), QStringLiteral("V"), QStringLiteral("x"));
    store.WriteString(kKey, QStringLiteral("V"), QStringLiteral("x"));
    store.WriteString(kKey + QStringLiteral("x"), QStringLiteral("V"), QStringLiteral("kept"));
    EXPECT_TRUE(store.DeleteKey(kKey.toLower()));
    EXPECT_FALSE(store.KeyExists(kKey));
    EXPECT_FALSE(store.KeyExists(kKey + QStringLiteral("\\Sub")));
    EXPECT_FALSE(store.ValueExists(kKey + QStringLiteral("\\Sub"), QStringLiteral("V")));
    EXPECT_FALSE(store.ValueExists(kKey, QStringLiteral("V")));
    EXPECT_EQ(store.ReadString(kKey + QStringLiteral("x"), QStringLiteral("V")),
              QStringLiteral("kept"));
    EXPECT_FALSE(store.DeleteKey(kKey));
    EXPECT_THROW(store.DeleteKey(QStringLiteral("\\")), ERegistryError);
}

TEST_F(RegistryStoreTest, DeleteValueReportsWhetherItExisted) {
    TSqliteRegistryStore store(StoreFile(), QStringLiteral("/opt"));
    store.WriteInteger(kKey, QStringLiteral("Velmora3.0"), 1);
    EXPECT_TRUE(store.DeleteValue(kKey, QStringLiteral("VELMORA3.0")));
    EXPECT_FALSE(store.DeleteValue(kKey, QStringLiteral("Velmora3.0")));
    EXPECT_TRUE(store.KeyExists(kKey));
}

TEST_F(RegistryStoreTest, ReopenedStoreKeepsValuesAndItsProgramFilesFolder) {
    {
        TSqliteRegistryStore store(StoreFile(), QStringLiteral("/first"));
        store.CreateKey(kKey);
        store.WriteInteger(kKey, QStringLiteral("IsAutoRun"), 0);
    }
    TSqliteRegistryStore store(StoreFile(), QStringLiteral("/second"));
    EXPECT_TRUE(store.KeyExists(kKey));
    EXPECT_EQ(store.ReadInteger(kKey, QStringLiteral("isautorun")), 0);
    EXPECT_EQ(store.ReadString(CurrentVersionKey(), QStringLiteral("ProgramFilesDir")),
              QStringLiteral("/first"));
}

TEST_F(RegistryStoreTest, ReadOnlyStoreIsReadableButRefusesEveryWrite) {
    {
        TSqliteRegistryStore store(StoreFile(), QStringLiteral("/opt"));
        store.WriteString(kKey, QStringLiteral("DisplayName"), QStringLiteral("Velmora V3.0"));
    }
    ASSERT_TRUE(QFile::setPermissions(StoreFile(), QFile::ReadOwner | QFile::ReadGroup));
    const QByteArray before = FileBytes(StoreFile());

    TSqliteRegistryStore store(StoreFile(), QStringLiteral("/opt"));
    EXPECT_FALSE(store.IsWritable());
    EXPECT_EQ(store.ReadString(kKey, QStringLiteral("DisplayName")),
              QStringLiteral("Velmora V3.0"));
    EXPECT_THROW(store.WriteString(kKey, QStringLiteral("X"), QStringLiteral("y")), ERegistryError);
    EXPECT_THROW(store.CreateKey(QStringLiteral("SOFTWARE\\New")), ERegistryError);
    EXPECT_THROW(store.DeleteKey(kKey), ERegistryError);
    EXPECT_THROW(store.DeleteValue(kKey, QStringLiteral("DisplayName")), ERegistryError);
    EXPECT_EQ(FileBytes(StoreFile()), before);
}

TEST_F(RegistryStoreTest, StoreThatCannotBeCreatedIsEmptyAndNotWritable) {
    QFile blocker(FDir.path() + QStringLiteral("/reg"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TSqliteRegistryStore store(StoreFile(), QStringLiteral("/opt"));
    EXPECT_FALSE(store.IsWritable());
    EXPECT_FALSE(store.OpenError().isEmpty());
    EXPECT_FALSE(store.KeyExists(CurrentVersionKey()));
    EXPECT_FALSE(store.ReadValue(CurrentVersionKey(), QStringLiteral("ProgramFilesDir")));
    EXPECT_TRUE(store.ValueNames(CurrentVersionKey()).isEmpty());
}

TEST_F(RegistryStoreTest, ForeignFileIsLeftAloneAndReported) {
    ASSERT_TRUE(QDir().mkpath(FDir.path() + QStringLiteral("/reg")));
    QFile foreign(StoreFile());
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write(QByteArray(4096, 'x'));
    foreign.close();
    TSqliteRegistryStore store(StoreFile(), QStringLiteral("/opt"));
    EXPECT_FALSE(store.IsWritable());
    EXPECT_FALSE(store.OpenError().isEmpty());
    EXPECT_EQ(FileBytes(StoreFile()), QByteArray(4096, 'x'));
}
