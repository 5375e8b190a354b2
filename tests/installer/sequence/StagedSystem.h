#pragma once

// A whole system staged below a temporary folder for the installer's sequence and its
// programs, and the exact state of everything an install touches there: what the rollback
// tests compare before and after.
#include "installer/InstallManifest.h"
#include "installer/InstallRecord.h"
#include "platform/system/SqliteRegistryStore.h"
#include "platform/system/SystemRoots.h"
#include "tests/support/PayloadImageBuilder.h"
#include "tests/support/TestSupport.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::test {

using TTree = QMap<QString, QByteArray>;

// Every entry below root, links never followed: folders as "path/", links as "path ->" with
// their target, files as "path" with their mode and bytes. Empty for a missing root.
inline void AddExactTree(const QString& root, const QString& prefix, TTree& tree) {
    const std::function<void(const QString&, const QString&)> walk = [&](const QString& folder,
                                                                         const QString& rel) {
        DIR* listing = ::opendir(QFile::encodeName(folder).constData());
        if (listing == nullptr)
            return;
        while (const dirent* entry = ::readdir(listing)) {
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..")
                continue;
            const QString path = folder + u'/' + QFile::decodeName(name);
            const QString key = prefix + rel + QFile::decodeName(name);
            struct stat info {};
            if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
                continue;
            if (S_ISDIR(info.st_mode)) {
                tree.insert(key + u'/', QByteArray());
                walk(path, rel + QFile::decodeName(name) + u'/');
            } else if (S_ISLNK(info.st_mode)) {
                char target[4096];
                const ssize_t n =
                    ::readlink(QFile::encodeName(path).constData(), target, sizeof(target));
                tree.insert(key + u" ->"_qs, QByteArray(target, n > 0 ? int(n) : 0));
            } else {
                tree.insert(key,
                            QByteArray::number(info.st_mode & 07777, 8) + ' ' + ReadFile(path));
            }
        }
        ::closedir(listing);
    };
    walk(root, QString());
}

inline TTree ExactTree(const QString& root) {
    TTree tree;
    AddExactTree(root, QString(), tree);
    return tree;
}

// The record and its manifest as stored, one "key|name" per value; the manifest's transaction
// id is left out (every install has its own).
inline void AddStoredRecord(const QString& storeFile, TTree& tree) {
    if (!QFile::exists(storeFile))
        return;
    const TInstallerSettings settings = DefaultInstallerSettings();
    TSqliteRegistryStore store(storeFile, QString());
    for (const QString& key :
         {UninstallRecordKey(settings), InstallManifestKey(settings), AutoRunKey()}) {
        for (const QString& name : store.ValueNames(key)) {
            if (key == InstallManifestKey(settings) && name == KManifestTransaction)
                continue;
            const std::optional<TRegistryValue> value = store.ReadValue(key, name);
            tree.insert(u"record/"_qs + key.section(u'\\', -1) + u'|' + name,
                        value->Type == TRegistryValueType::Integer
                            ? QByteArray::number(value->Number)
                            : value->Text.toUtf8());
        }
    }
}

// A system below Dir: the staged roots (registry store, desktop, menus) below "stage", the
// product installed below "Apps".
class TStagedSystem {
public:
    QString Path(const QString& relative) const { return FDir.filePath(relative); }
    QString Stage() const { return Path(u"stage"_qs); }
    QString Apps() const { return Path(u"Apps"_qs); }
    QString Product() const { return Apps() + u"/Velmora/"_qs; }
    TSystemRoots Roots() const { return TSystemRoots::Below(Stage()); }

    // Everything an install touches: the install folder, the desktop, the menus, the record
    // and its manifest, and whatever else lies beside the store (a journal left behind).
    TTree State(const QStringList& extraFolders = {}) const {
        TTree tree;
        AddExactTree(Apps(), u"apps/"_qs, tree);
        const TSystemRoots roots = Roots();
        AddExactTree(roots.Desktop, u"desktop/"_qs, tree);
        AddExactTree(Stage() + u"/menu"_qs, u"menu/"_qs, tree);
        for (const QString& folder : extraFolders)
            AddExactTree(folder, folder + u':', tree);
        AddStoredRecord(roots.RegistryStoreFile, tree);
        TTree beside;
        AddExactTree(QFileInfo(roots.RegistryStoreFile).absolutePath(), QString(), beside);
        for (auto it = beside.cbegin(); it != beside.cend(); ++it)
            if (!it.key().startsWith(u"registry.sqlite3"_qs))
                tree.insert(u"store-folder/"_qs + it.key(), it.value());
        return tree;
    }

private:
    QTemporaryDir FDir;
};

// The differences between two states, for a failure message.
inline std::string TreeDifference(const TTree& expected, const TTree& actual) {
    QStringList lines;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (!actual.contains(it.key()))
            lines << u"missing "_qs + it.key();
        else if (actual.value(it.key()) != it.value())
            lines << u"changed "_qs + it.key();
    }
    for (auto it = actual.cbegin(); it != actual.cend(); ++it)
        if (!expected.contains(it.key()))
            lines << u"extra "_qs + it.key();
    return lines.join(u'\n').toStdString();
}

// A program run with extra environment and an optional change to the child before it starts.
inline TProcessRun RunWith(const QString& program, const QStringList& args,
                           const QStringList& environment = {},
                           const std::function<void()>& inChild = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const QString& entry : environment)
        env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    process.setProcessEnvironment(env);
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(program, args);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace velmora::test
