#include "installer/RecordParser.h"

#include "installer/InstallRecord.h"

#include <QDir>
#include <QSet>
#include <climits>

namespace velmora {
namespace {

// The longest path the system takes (PATH_MAX counts the terminating NUL), and the longest
// name of one folder or file.
constexpr qsizetype KPathBytes = PATH_MAX - 1;
constexpr qsizetype KNameBytes = NAME_MAX;
constexpr qsizetype KMaxManifestFiles = 0xFFFF;
constexpr qsizetype KMaxManifestFolders = 4 * 0xFFFF;

const QStringList KTextNames = {QStringLiteral("InstallLocation"),
                                QStringLiteral("DisplayName"),
                                QStringLiteral("DisplayIcon"),
                                QStringLiteral("UninstallString"),
                                QStringLiteral("Publisher"),
                                QStringLiteral("URLInfoAbout"),
                                QStringLiteral("HelpLink"),
                                QStringLiteral("URLUpdateInfo"),
                                QStringLiteral("ShortcutFileName"),
                                QStringLiteral("ProgramsStartupFileName"),
                                QStringLiteral("ProgramsStartupUnInstallFileName")};
const QStringList KFlagNames = {
    QStringLiteral("IsSetStartPage"), QStringLiteral("IsCreateDeskTopShortCut"),
    QStringLiteral("IsCreateProgramsShortCut"), QStringLiteral("IsAutoRun")};
const QStringList KManifestNames = {KManifestTransaction, KManifestFiles, KManifestFolders,
                                    KManifestCreatedLevels};

const QString KNotText = QStringLiteral("the value is not a string");
const QString KNotInteger = QStringLiteral("the value is not an integer");
const QString KControl = QStringLiteral("the value holds a control character");
const QString KSurrogate = QStringLiteral("the value holds an unpaired surrogate");
const QString KTooLong = QStringLiteral("the value is longer than a path may be");
const QString KNotAbsolute = QStringLiteral("the value is not an absolute path");
const QString KNotClean = QStringLiteral("the value is not a clean path");
const QString KProgramsElsewhere =
    QStringLiteral("the record's program paths do not name the product folder below it");
const QString KBadManifest = QStringLiteral("the list of installed files is not valid");
const QString KNotDesktopEntry = QStringLiteral("the shortcut is not a .desktop file");
const QString KNameTooLong = QStringLiteral("the shortcut's file name is too long");
const QString KNotOnDesktop =
    QStringLiteral("the shortcut is not in a desktop folder the installer uses");
const QString KNotInMenu =
    QStringLiteral("the shortcut is not in the programs-menu folder the installer uses");

qsizetype Bytes(const QString& text) {
    return text.toUtf8().size();
}

// Layer 2 helpers: each answers the reason a value is refused, or empty.

QString AbsoluteCleanProblem(const QString& path) {
    if (const QString problem = UntrustedTextProblem(path); !problem.isEmpty())
        return problem;
    if (!path.startsWith(u'/'))
        return KNotAbsolute;
    if (QDir::cleanPath(path) != path)
        return KNotClean;
    return QString();
}

QString LocationProblem(const QString& location, const QString& displayIcon,
                        const QString& uninstallString, const TRecordRules& rules) {
    if (const QString problem = UntrustedTextProblem(location); !problem.isEmpty())
        return problem;
    if (!location.startsWith(u'/'))
        return KNotAbsolute;
    // Written with its trailing separator; one written by hand without it means the same.
    const QString bare = location == QStringLiteral("/") || !location.endsWith(u'/')
                             ? location
                             : location.chopped(1);
    if (QDir::cleanPath(bare) != bare)
        return KNotClean;
    const QString product =
        (bare == QStringLiteral("/") ? bare : bare + u'/') + rules.ProductName + u'/';
    if (Bytes(product) + std::max(Bytes(rules.ProductExe), Bytes(rules.UninstallerExe)) >
        KPathBytes)
        return KTooLong;
    // A record whose programs lie elsewhere was not written for this location.
    if ((!displayIcon.isEmpty() && displayIcon != product + rules.ProductExe) ||
        (!uninstallString.isEmpty() && uninstallString != product + rules.UninstallerExe))
        return KProgramsElsewhere;
    return QString();
}

QString FolderPart(const QString& path) {
    return path.left(std::max<qsizetype>(path.lastIndexOf(u'/'), 1));
}

QString DesktopEntryProblem(const QString& path) {
    if (const QString problem = AbsoluteCleanProblem(path); !problem.isEmpty())
        return problem;
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    if (!name.endsWith(QStringLiteral(".desktop")) || name.size() <= 8)
        return KNotDesktopEntry;
    if (Bytes(name) > KNameBytes)
        return KNameTooLong;
    return QString();
}

QString DesktopShortcutProblem(const QString& path, const TRecordRules& rules) {
    if (const QString problem = DesktopEntryProblem(path); !problem.isEmpty())
        return problem;
    if (!rules.IsDesktopFolder || !rules.IsDesktopFolder(FolderPart(path)))
        return KNotOnDesktop;
    return QString();
}

QString MenuShortcutProblem(const QString& path, const TRecordRules& rules) {
    if (const QString problem = DesktopEntryProblem(path); !problem.isEmpty())
        return problem;
    const QString folder = FolderPart(path);
    for (const QString& menu : rules.MenuFolders) {
        if (!menu.isEmpty() && folder == QDir::cleanPath(menu) + u'/' + rules.ProgramKey)
            return QString();
    }
    return KNotInMenu;
}

// One manifest list entry: a relative path strictly below the product folder.
bool IsManifestEntry(const QString& entry, qsizetype productBytes) {
    if (entry.isEmpty() || entry.startsWith(u'/') || !UntrustedTextProblem(entry).isEmpty())
        return false;
    if (productBytes + Bytes(entry) > KPathBytes)
        return false;
    for (const QString& part : entry.split(u'/')) {
        if (part.isEmpty() || part == u"." || part == u".." || Bytes(part) > KNameBytes)
            return false;
    }
    return true;
}

std::optional<QStringList> ManifestList(const std::optional<TRegistryValue>& value, qsizetype limit,
                                        qsizetype productBytes) {
    if (!value || value->Type != TRegistryValueType::String)
        return std::nullopt;
    QStringList entries;
    if (value->Text.isEmpty())
        return entries;
    entries = value->Text.split(u'\n');
    if (entries.size() > limit)
        return std::nullopt;
    QSet<QString> seen;
    for (const QString& entry : std::as_const(entries)) {
        if (!IsManifestEntry(entry, productBytes) || seen.contains(entry))
            return std::nullopt;
        seen.insert(entry);
    }
    return entries;
}

bool IsTransactionId(const QString& id) {
    if (id.isEmpty() || id.size() > 64)
        return false;
    for (const QChar c : id) {
        if (!(c.isDigit() || (c >= u'a' && c <= u'z') || c == u'-'))
            return false;
    }
    return true;
}

class TValues {
public:
    explicit TValues(const QList<std::pair<QString, TRegistryValue>>& values) {
        for (const auto& [name, value] : values)
            FValues.insert(name.toCaseFolded(), value);
    }
    std::optional<TRegistryValue> Get(const QString& name) const {
        const auto found = FValues.constFind(name.toCaseFolded());
        return found == FValues.cend() ? std::nullopt : std::optional(*found);
    }

private:
    QHash<QString, TRegistryValue> FValues;
};

std::optional<TInstallManifest> ParseManifest(const TValues& values, const QString& product) {
    const qsizetype productBytes = Bytes(product);
    const std::optional<TRegistryValue> id = values.Get(KManifestTransaction);
    const std::optional<TRegistryValue> levels = values.Get(KManifestCreatedLevels);
    if (!id || id->Type != TRegistryValueType::String || !IsTransactionId(id->Text))
        return std::nullopt;
    // The levels are counted up the product folder's own path, so they cannot climb past it.
    const auto depth = static_cast<int>(product.split(u'/', Qt::SkipEmptyParts).size());
    if (!levels || levels->Type != TRegistryValueType::Integer || levels->Number < 0 ||
        levels->Number > depth)
        return std::nullopt;
    const auto files = ManifestList(values.Get(KManifestFiles), KMaxManifestFiles, productBytes);
    const auto folders =
        ManifestList(values.Get(KManifestFolders), KMaxManifestFolders, productBytes);
    if (!files || !folders)
        return std::nullopt;
    TInstallManifest manifest;
    manifest.Transaction = id->Text;
    manifest.Files = *files;
    manifest.Folders = *folders;
    manifest.CreatedLevels = levels->Number;
    return manifest;
}

} // namespace

QString UntrustedTextProblem(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate()) {
            if (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate())
                return KSurrogate;
            ++i;
            continue;
        }
        if (c.isLowSurrogate())
            return KSurrogate;
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            return KControl;
    }
    if (Bytes(text) > KPathBytes)
        return KTooLong;
    return QString();
}

TRawRecord ReadRawRecord(const IRegistryStore& store, const TInstallerSettings& settings) {
    // An unopenable store reads as empty; it is not a store without a record.
    if (!store.OpenError().isEmpty())
        throw ERegistryError(store.OpenError());
    TRawRecord raw;
    const QString key = UninstallRecordKey(settings);
    raw.Present = store.KeyExists(key);
    if (!raw.Present)
        return raw;
    const auto readAll = [&store](const QString& from, const QStringList& names,
                                  QList<std::pair<QString, TRegistryValue>>& into) {
        for (const QString& name : names) {
            std::optional<TRegistryValue> value = store.ReadValue(from, name);
            if (!value)
                continue;
            // Refused unread beyond any sane size: the parser never holds more than this.
            if (value->Text.size() > KMaxRecordText)
                value->Text = QString(KMaxRecordText + 1, u'\n');
            into.append({name, *value});
        }
    };
    readAll(key, KTextNames + KFlagNames, raw.Values);
    const QString manifestKey = InstallManifestKey(settings);
    raw.HasManifest = store.KeyExists(manifestKey);
    if (raw.HasManifest)
        readAll(manifestKey, KManifestNames, raw.Manifest);
    return raw;
}

std::optional<TInstallManifest>
ParseInstallManifest(const QList<std::pair<QString, TRegistryValue>>& values,
                     const QString& productFolder) {
    return ParseManifest(TValues(values), productFolder);
}

QString TParsedRecord::ProductFolder(const QString& productName) const {
    return Record.InstallLocation.isEmpty() ? QString()
                                            : Record.InstallLocation + productName + u'/';
}

TParsedRecord ParseInstallRecord(const TRawRecord& raw, const TRecordRules& rules) {
    TParsedRecord parsed;
    parsed.Present = raw.Present;
    if (!raw.Present)
        return parsed;
    const TValues values(raw.Values);
    TPreviousInstallRecord& record = parsed.Record;
    const auto refuse = [&parsed](const QString& name, const QString& reason) {
        parsed.Problems.append({name, reason});
    };
    // Texts that nothing acts on are kept as stored; whoever shows them escapes them.
    const auto text = [&](const QString& name, QString& field) {
        const std::optional<TRegistryValue> value = values.Get(name);
        if (!value)
            return false;
        if (value->Type != TRegistryValueType::String) {
            refuse(name, KNotText);
            return false;
        }
        field = value->Text;
        return true;
    };
    const auto flag = [&](const QString& name, bool& field) {
        const std::optional<TRegistryValue> value = values.Get(name);
        if (!value)
            return;
        if (value->Type != TRegistryValueType::Integer) {
            refuse(name, KNotInteger);
            return;
        }
        field = value->Number != 0;
    };
    text(QStringLiteral("DisplayName"), record.DisplayName);
    text(QStringLiteral("DisplayIcon"), record.DisplayIcon);
    text(QStringLiteral("UninstallString"), record.UninstallString);
    text(QStringLiteral("Publisher"), record.Publisher);
    text(QStringLiteral("URLInfoAbout"), record.URLInfoAbout);
    text(QStringLiteral("HelpLink"), record.HelpLink);
    text(QStringLiteral("URLUpdateInfo"), record.URLUpdateInfo);
    flag(QStringLiteral("IsSetStartPage"), record.IsSetStartPage);
    flag(QStringLiteral("IsCreateDeskTopShortCut"), record.IsCreateDeskTopShortCut);
    flag(QStringLiteral("IsCreateProgramsShortCut"), record.IsCreateProgramsShortCut);
    flag(QStringLiteral("IsAutoRun"), record.IsAutoRun);

    // The values the removal acts on are kept only when they pass.
    const auto checked = [&](const QString& name, QString& field,
                             const std::function<QString(const QString&)>& problemOf) {
        QString value;
        if (!text(name, value) || value.isEmpty())
            return;
        if (const QString problem = problemOf(value); !problem.isEmpty()) {
            refuse(name, problem);
            return;
        }
        field = value;
    };
    QString location;
    checked(QStringLiteral("InstallLocation"), location, [&](const QString& value) {
        return LocationProblem(value, record.DisplayIcon, record.UninstallString, rules);
    });
    if (!location.isEmpty() && !location.endsWith(u'/'))
        location += u'/';
    if (!location.isEmpty() && raw.HasManifest) {
        parsed.Manifest = ParseManifest(TValues(raw.Manifest), location + rules.ProductName + u'/');
        if (!parsed.Manifest) {
            refuse(QStringLiteral("InstalledFiles"), KBadManifest);
            location.clear();
        }
    }
    record.InstallLocation = location;
    checked(QStringLiteral("ShortcutFileName"), record.ShortcutFileName,
            [&](const QString& value) { return DesktopShortcutProblem(value, rules); });
    checked(QStringLiteral("ProgramsStartupFileName"), record.ProgramsStartUpFileName,
            [&](const QString& value) { return MenuShortcutProblem(value, rules); });
    checked(QStringLiteral("ProgramsStartupUnInstallFileName"),
            record.ProgramsStartUpUnInstallFileName,
            [&](const QString& value) { return MenuShortcutProblem(value, rules); });
    return parsed;
}

} // namespace velmora
