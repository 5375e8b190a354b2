#pragma once

#include <QString>
#include <array>

namespace velmora {

// The installer's fixed texts, filled once at start-up and read-only afterwards.
struct TInstallerSettings {
    QString ProductName;
    QString Version;
    QString ProductExe;
    QString UninstallerExe;
    QString PublisherFolder;
    QString DisplayName;
    QString Publisher;
    QString WebAddress;
    QString CancelQuestion;
    QString InstallerRunningMessage;
    std::array<QString, 5> PageTitles;
    QString StatusRemoving;
    QString StatusCopying;
    QString StatusShortcut;
    QString StatusProgramsMenu;
    QString StatusRecord;
    QString LogFileName;
    // What the shortcuts show: the product's icon file (in the product folder), a one-line
    // description for the product and for the uninstaller, and the menu categories.
    QString ProductIcon;
    QString ShortcutComment;
    QString UninstallShortcutComment;
    QString ShortcutCategories;

    // Product name immediately followed by the version: names the single-instance lock,
    // the uninstall record, the programs-menu folder and the shortcuts.
    QString ProgramKey() const { return ProductName + Version; }
};

// The values of the shipped product.
TInstallerSettings DefaultInstallerSettings();

// The process-wide table. Until FillInstallerSettings runs it holds empty texts.
const TInstallerSettings& InstallerSettings();
void FillInstallerSettings();

// The filled table, or the shipped values when start-up has not filled it yet (a failure
// logged that early, a tool that only extracts): code that must name the product's files
// uses this rather than risk an empty name.
const TInstallerSettings& InstallerSettingsOrDefault();

// What the reader takes back from an existing install record.
struct TPreviousInstallRecord {
    QString InstallLocation;
    QString DisplayName;
    QString DisplayIcon;
    QString UninstallString;
    QString Publisher;
    QString URLInfoAbout;
    QString HelpLink;
    QString URLUpdateInfo;
    QString ShortcutFileName;
    QString ProgramsStartUpFileName;
    QString ProgramsStartUpUnInstallFileName;
    bool IsSetStartPage = false;
    bool IsCreateDeskTopShortCut = false;
    bool IsCreateProgramsShortCut = false;
    bool IsAutoRun = false;
};

// The values one install run passes between its steps; all empty or false at start.
struct TInstallState {
    QString InstallFolder; // always ends in a separator
    QString ProductFolder; // InstallFolder + product name + separator
    bool PreviousVersionFound = false;
    TPreviousInstallRecord PreviousRecord;
    QString ShortcutFileName;
    QString ProgramsStartUpFileName;
    QString ProgramsStartUpUnInstallFileName;
    bool IsSetStartPage = false;
    bool IsAutoRun = false;
    bool IsCreateDeskTopShortCut = false;
    bool IsCreateProgramsShortCut = false;
};

TInstallState& InstallState();

} // namespace velmora
