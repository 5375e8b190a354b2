// Feeds arbitrary install records to the record parser, as a hand-edited store would hand
// them to the uninstaller. The input is text, one value a line:
//   name=s:text     a string value      name=i:number    an integer value
// with "m:" in front of the name for a value of the record's manifest, and "\0", "\n",
// "\\", "\xHH" (a byte) and "\uHHHH" (a UTF-16 unit) escapes in the text.
// Beyond "no crash, no overread": every value the parser trusts is a path the removal may
// act on safely, so it is checked again here and any slip aborts.
#include "installer/RecordParser.h"

#include <QDir>
#include <cstdint>
#include <cstdlib>

using namespace velmora;

namespace {

const QString KHome = QStringLiteral("/home/person");
const QString KDesktop = KHome + QStringLiteral("/Desktop");
const QStringList KMenus = {KHome + QStringLiteral("/.local/share/applications"),
                            QStringLiteral("/usr/local/share/applications")};

QString Unescape(const QByteArray& text) {
    QString out;
    QByteArray run;
    const auto flush = [&] {
        out += QString::fromUtf8(run);
        run.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c != '\\' || i + 1 >= text.size()) {
            run += c;
            continue;
        }
        const char kind = text.at(++i);
        bool ok = false;
        if (kind == '0') {
            flush();
            out += QChar(0);
        } else if (kind == 'n') {
            run += '\n';
        } else if (kind == 'x' && i + 2 < text.size() + 1) {
            const int byte = text.mid(i + 1, 2).toInt(&ok, 16);
            if (ok)
                run += char(byte);
            i += 2;
        } else if (kind == 'u') {
            const int unit = text.mid(i + 1, 4).toInt(&ok, 16);
            flush();
            if (ok)
                out += QChar(char16_t(unit));
            i += 4;
        } else {
            run += kind;
        }
    }
    flush();
    return out;
}

void Require(bool condition) {
    if (!condition)
        std::abort();
}

bool Clean(const QString& path) {
    if (!path.startsWith(u'/') || !UntrustedTextProblem(path).isEmpty())
        return false;
    const QString bare = path.size() > 1 && path.endsWith(u'/') ? path.chopped(1) : path;
    return QDir::cleanPath(bare) == bare;
}

void CheckShortcut(const QString& path, const QStringList& folders) {
    if (path.isEmpty())
        return;
    Require(Clean(path) && path.endsWith(QStringLiteral(".desktop")));
    Require(folders.contains(path.left(path.lastIndexOf(u'/'))));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TRawRecord raw;
    raw.Present = true;
    for (const QByteArray& line : text.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0 || line.size() < equals + 3 || line.at(equals + 2) != ':')
            continue;
        QByteArray name = line.left(equals);
        const bool manifest = name.startsWith("m:");
        if (manifest)
            name = name.mid(2);
        TRegistryValue value;
        const QString body = Unescape(line.mid(equals + 3));
        if (line.at(equals + 1) == 'i') {
            value.Type = TRegistryValueType::Integer;
            value.Number = body.toInt();
        } else {
            value.Text = body;
        }
        (manifest ? raw.Manifest : raw.Values).append({QString::fromUtf8(name), value});
        raw.HasManifest = raw.HasManifest || manifest;
    }
    TRecordRules rules;
    rules.ProductName = QStringLiteral("Velmora");
    rules.ProductExe = QStringLiteral("Corvex.exe");
    rules.UninstallerExe = QStringLiteral("Uninstall.exe");
    rules.ProgramKey = QStringLiteral("Velmora3.0");
    rules.MenuFolders = KMenus;
    rules.IsDesktopFolder = [](const QString& folder) { return folder == KDesktop; };
    const TParsedRecord parsed = ParseInstallRecord(raw, rules);

    const TPreviousInstallRecord& record = parsed.Record;
    if (!record.InstallLocation.isEmpty()) {
        Require(Clean(record.InstallLocation) && record.InstallLocation.endsWith(u'/'));
        const QString product = parsed.ProductFolder(rules.ProductName);
        Require(product.startsWith(record.InstallLocation) && Clean(product));
    }
    if (parsed.Manifest) {
        Require(!record.InstallLocation.isEmpty());
        for (const QString& entry : parsed.Manifest->Files + parsed.Manifest->Folders) {
            Require(!entry.startsWith(u'/') && UntrustedTextProblem(entry).isEmpty());
            for (const QString& part : entry.split(u'/'))
                Require(!part.isEmpty() && part != u"." && part != u"..");
        }
        Require(parsed.Manifest->CreatedLevels >= 0);
    }
    CheckShortcut(record.ShortcutFileName, {KDesktop});
    QStringList menus;
    for (const QString& menu : KMenus)
        menus << menu + u'/' + rules.ProgramKey;
    CheckShortcut(record.ProgramsStartUpFileName, menus);
    CheckShortcut(record.ProgramsStartUpUnInstallFileName, menus);
    return 0;
}
