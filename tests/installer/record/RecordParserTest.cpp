#include "installer/RecordParser.h"

#include "installer/InstallRecord.h"
#include "platform/system/SqliteRegistryStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace velmora;

namespace {

const QString KLocation = QStringLiteral("/opt/Norvane/");
const QString KDesktop = QStringLiteral("/home/li/Desktop");
const QString KMenu = QStringLiteral("/home/li/.local/share/applications");

TRegistryValue Text(const QString& text) {
    return {TRegistryValueType::String, text, 0};
}
TRegistryValue Number(int number) {
    return {TRegistryValueType::Integer, QString(), number};
}

TRecordRules Rules() {
    TRecordRules rules;
    rules.ProductName = QStringLiteral("Velmora");
    rules.ProductExe = QStringLiteral("Corvex.exe");
    rules.UninstallerExe = QStringLiteral("Uninstall.exe");
    rules.ProgramKey = QStringLiteral("Velmora3.0");
    rules.MenuFolders = {KMenu, QStringLiteral("/usr/local/share/applications")};
    rules.IsDesktopFolder = [](const QString& folder) { return folder == KDesktop; };
    return rules;
}

// A record as the installer writes it, with one value replaced or added.
TRawRecord Record(const QString& name = QString(), const TRegistryValue& value = {}) {
    TRawRecord raw;
    raw.Present = true;
    raw.Values = {
        {u"InstallLocation"_qs, Text(KLocation)},
        {u"DisplayIcon"_qs, Text(KLocation + u"Velmora/Corvex.exe"_qs)},
        {u"UninstallString"_qs, Text(KLocation + u"Velmora/Uninstall.exe"_qs)},
        {u"ShortcutFileName"_qs, Text(KDesktop + u"/Velmora3.0.desktop"_qs)},
        {u"ProgramsStartupFileName"_qs, Text(KMenu + u"/Velmora3.0/Velmora3.0.desktop"_qs)},
        {u"ProgramsStartupUnInstallFileName"_qs,
         Text(KMenu + u"/Velmora3.0/卸载Velmora3.0.desktop"_qs)},
        {u"IsCreateDeskTopShortCut"_qs, Number(1)},
        {u"IsCreateProgramsShortCut"_qs, Number(1)},
        {u"IsAutoRun"_qs, Number(0)}};
    if (!name.isEmpty()) {
        raw.Values.removeIf([&](const auto& entry) { return entry.first == name; });
        raw.Values.append({name, value});
    }
    return raw;
}

TEST(RecordParserTest, ARecordAsTheInstallerWritesItPassesWhole) {
    const TParsedRecord parsed = ParseInstallRecord(Record(), Rules());
    EXPECT_TRUE(parsed.Problems.isEmpty());
    EXPECT_EQ(parsed.Record.InstallLocation, KLocation);
    EXPECT_EQ(parsed.ProductFolder(u"Velmora"_qs), KLocation + u"Velmora/"_qs);
    EXPECT_EQ(parsed.Record.ShortcutFileName, KDesktop + u"/Velmora3.0.desktop"_qs);
    EXPECT_EQ(parsed.Record.ProgramsStartUpUnInstallFileName,
              KMenu + u"/Velmora3.0/卸载Velmora3.0.desktop"_qs);
    EXPECT_TRUE(parsed.Record.IsCreateDeskTopShortCut);
    EXPECT_FALSE(parsed.Manifest.has_value()) << "a record from before manifests";
    // Written by hand without its separator, the location means the same folder.
    EXPECT_EQ(ParseInstallRecord(Record(u"InstallLocation"_qs, Text(u"/opt/Norvane"_qs)), Rules())
                  .Record.InstallLocation,
              KLocation);
}

TEST(RecordParserTest, AValueThatFailsIsRefusedAloneAndNamed) {
    const QString nul = QString(QChar(0));
    const struct {
        const char* Value;
        TRegistryValue Stored;
        const char* Reason;
    } cases[] = {
        {"InstallLocation", Text(u"/home/li"_qs + nul), "the value holds a control character"},
        {"InstallLocation", Text(u"/opt/\x1b[2J/"_qs), "the value holds a control character"},
        {"InstallLocation", Text(u"/opt/"_qs + QChar(0xD800) + u'/'),
         "the value holds an unpaired surrogate"},
        {"InstallLocation", Text(u"opt/Norvane/"_qs), "the value is not an absolute path"},
        {"InstallLocation", Text(u"/opt/a/../../"_qs), "the value is not a clean path"},
        {"InstallLocation", Text(u"/opt//Norvane/"_qs), "the value is not a clean path"},
        {"InstallLocation", Text(u'/' + QString(4100, u'a') + u'/'),
         "the value is longer than a path may be"},
        {"InstallLocation", Number(7), "the value is not a string"},
        {"DisplayIcon", Text(u"/elsewhere/Velmora/Corvex.exe"_qs),
         "the record's program paths do not name the product folder below it"},
        {"ShortcutFileName", Text(KDesktop + u"/file"_qs + nul + u".desktop"_qs),
         "the value holds a control character"},
        {"ShortcutFileName", Text(u"/home/li/.profile"_qs), "the shortcut is not a .desktop file"},
        {"ShortcutFileName", Text(KDesktop + u"/.desktop"_qs),
         "the shortcut is not a .desktop file"},
        {"ShortcutFileName", Text(u"/etc/xdg/autostart/Velmora3.0.desktop"_qs),
         "the shortcut is not in a desktop folder the installer uses"},
        {"ShortcutFileName", Text(KDesktop + u"/../Velmora3.0.desktop"_qs),
         "the value is not a clean path"},
        {"ProgramsStartupFileName", Text(KMenu + u"/Other/Velmora3.0.desktop"_qs),
         "the shortcut is not in the programs-menu folder the installer uses"},
        {"ProgramsStartupUnInstallFileName", Text(KMenu + u"/Velmora3.0.desktop"_qs),
         "the shortcut is not in the programs-menu folder the installer uses"},
        {"IsCreateDeskTopShortCut", Text(u"1"_qs), "the value is not an integer"},
    };
    for (const auto& scenario : cases) {
        const QString name = QString::fromLatin1(scenario.Value);
        SCOPED_TRACE(name.toStdString() + ": " + scenario.Reason);
        const TParsedRecord parsed = ParseInstallRecord(Record(name, scenario.Stored), Rules());
        ASSERT_EQ(parsed.Problems.size(), 1);
        const QString refused = name == u"DisplayIcon" ? u"InstallLocation"_qs : name;
        EXPECT_EQ(parsed.Problems.first().Value, refused);
        EXPECT_EQ(parsed.Problems.first().Reason.toStdString(), scenario.Reason);
        // Never acted on: the refused value is empty, the others are kept.
        const bool location = refused == u"InstallLocation";
        EXPECT_EQ(parsed.Record.InstallLocation.isEmpty(), location);
        EXPECT_EQ(parsed.Record.ShortcutFileName.isEmpty(), refused == u"ShortcutFileName");
        EXPECT_EQ(parsed.Record.ProgramsStartUpFileName.isEmpty(),
                  refused == u"ProgramsStartupFileName");
    }
}

TEST(RecordParserTest, TheManifestIsTrustedOnlyWhole) {
    const auto with = [](const QList<std::pair<QString, TRegistryValue>>& manifest) {
        TRawRecord raw = Record();
        raw.HasManifest = true;
        raw.Manifest = manifest;
        return ParseInstallRecord(raw, Rules());
    };
    const QList<std::pair<QString, TRegistryValue>> good = {
        {KManifestTransaction, Text(u"0123abcd"_qs)},
        {KManifestFiles, Text(u"Corvex.exe\nlib/core.so"_qs)},
        {KManifestFolders, Text(u"lib"_qs)},
        {KManifestCreatedLevels, Number(2)}};
    const TParsedRecord parsed = with(good);
    ASSERT_TRUE(parsed.Manifest.has_value());
    EXPECT_EQ(parsed.Manifest->Files, (QStringList{u"Corvex.exe"_qs, u"lib/core.so"_qs}));
    EXPECT_EQ(parsed.Manifest->CreatedLevels, 2);
    EXPECT_TRUE(parsed.Problems.isEmpty());

    for (const auto& [name, bad] :
         QList<std::pair<QString, TRegistryValue>>{{KManifestFiles, Text(u"../../etc/passwd"_qs)},
                                                   {KManifestFiles, Text(u"/etc/shadow"_qs)},
                                                   {KManifestFiles, Text(u"lib//core.so"_qs)},
                                                   {KManifestFiles, Text(u"a\x1b[2J"_qs)},
                                                   {KManifestFiles, Text(u"a\na"_qs)},
                                                   {KManifestFolders, Text(u"./lib"_qs)},
                                                   {KManifestCreatedLevels, Number(9)},
                                                   {KManifestCreatedLevels, Number(-1)},
                                                   {KManifestTransaction, Text(QString())},
                                                   {KManifestFiles, Number(3)}}) {
        SCOPED_TRACE(name.toStdString());
        auto manifest = good;
        manifest.removeIf([&](const auto& entry) { return entry.first == name; });
        manifest.append({name, bad});
        const TParsedRecord refused = with(manifest);
        EXPECT_FALSE(refused.Manifest.has_value());
        // Without it nothing tells the installer's files from others: the location goes too.
        EXPECT_TRUE(refused.Record.InstallLocation.isEmpty());
        ASSERT_EQ(refused.Problems.size(), 1);
        EXPECT_EQ(refused.Problems.first().Value, u"InstalledFiles"_qs);
    }
}

TEST(RecordParserTest, AStoreThatCannotBeReadIsNotOneWithoutARecord) {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"store.sqlite3"_qs);
    {
        TSqliteRegistryStore store(file, u"/opt"_qs);
        store.WriteString(UninstallRecordKey(DefaultInstallerSettings()), u"InstallLocation"_qs,
                          KLocation);
    }
    TSqliteRegistryStore store(file, u"/opt"_qs);
    EXPECT_TRUE(ReadRawRecord(store, DefaultInstallerSettings()).Present);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(file).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_THROW(ReadRawRecord(store, DefaultInstallerSettings()), ERegistryError);
    sqlite3_close(other);

    QFile damaged(dir.filePath(u"damaged.sqlite3"_qs));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(4096, 'x'));
    damaged.close();
    TSqliteRegistryStore foreign(damaged.fileName(), u"/opt"_qs);
    EXPECT_THROW(ReadRawRecord(foreign, DefaultInstallerSettings()), ERegistryError);
}

} // namespace
