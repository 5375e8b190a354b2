#pragma once

#include "installer/InstallerSettings.h"
#include "installer/RecordParser.h"

#include <QStringList>
#include <optional>

namespace velmora {

class TPlatformServices;

// What an uninstall did, for the uninstaller's report.
struct TUninstallOutcome {
    bool Found = false;            // a record of this product and version existed
    QString StoreError;            // the store could not be read: nothing is known or removed
    QString RecoveryError;         // an interrupted install could not be finished or undone
    QList<TRecordProblem> Refused; // record values that failed their checks: nothing removed
    QStringList Running;           // programs of the product that run: nothing removed
    bool NoRights = false;         // the store may not be written: nothing removed
    QString ProductFolder;         // the folder that was cleaned
    QStringList KeptFolders;       // user data left in place (Users, Config)
    QStringList KeptFiles;         // files the installer did not write, left in place
    QStringList RemovedLinks;      // shortcuts that existed and are gone
    QStringList FilesLeft;         // the installer's files still there
    QStringList LinksLeft;         // recorded shortcuts that were to go and are still there
    QString MenuFolderLeft;        // the programs-menu folder that was to go and is still there
    bool RecordRemoved = false;
    QString ErrorSummary; // one labelled line per failed step; empty when all went well
};

// RecoverInterruptedInstall with the services of one system; the caller holds the
// installer's single-instance name.
bool RecoverInterruptedInstall(TPlatformServices& services, const TInstallerSettings& settings,
                               QString& error);

// The record of the installed product and version, read into state; nothing when there is
// none. Raises ERegistryError when the store cannot be read.
std::optional<TPreviousInstallRecord> ReadInstalledRecord(TPlatformServices& services,
                                                          const TInstallerSettings& settings,
                                                          TInstallState& state);

// Removes the installed product as a reinstall removes its previous version: COM
// registration, product files (sparing user data and what the installer did not write),
// autorun entry, shortcuts and the record. An interrupted install is finished or undone
// first. Nothing is removed while a program of the product folder runs, while the record
// holds a value that fails its checks, or when the store cannot be read or written; product
// files that stay keep their shortcuts and the record, so the uninstall can be tried again.
// The uninstaller and the command-line tool both call this, holding the installer's
// single-instance name.
TUninstallOutcome UninstallProduct(TPlatformServices& services, const TInstallerSettings& settings,
                                   TInstallState& state);

// True when everything the removal meant to remove is gone: the record, the shortcuts and
// programs-menu folder it named, and the installer's files.
bool UninstallComplete(const TUninstallOutcome& outcome);

// A few lines a person reads after an uninstall; control characters of stored values are
// shown escaped.
QString DescribeUninstall(const TUninstallOutcome& outcome, const TInstallerSettings& settings);

// text with control characters (and other unprintable ones) as \xHH / \uHHHH, so what a
// record holds cannot drive the terminal it is printed on.
QString EscapeForDisplay(const QString& text);

} // namespace velmora
