#pragma once

#include "installer/InstallerSettings.h"
#include "platform/system/ProcessLauncher.h"
#include "platform/system/RegistrationTool.h"
#include "platform/system/ShellLinks.h"
#include "platform/system/SpecialFolders.h"

#include <QStringList>

namespace velmora {

// The registration tool's command lines for the two COM files in location, which ends in a
// separator or is empty.
QStringList ComFileCommandLines(const QString& location, bool unregister);

// Shortcuts, special folders, COM registration and launching. Operations that touch the
// system catch their own errors and log one line.
class TShellIntegration {
public:
    TShellIntegration(IShellLinks& links, ISpecialFolders& folders, IProcessLauncher& launcher,
                      TRegistrationTool& registrationTool, const TInstallerSettings& settings,
                      const TInstallState& state);

    QString GetSpecialFolderPath(int folderId) const;
    const ISpecialFolders& Folders() const { return FFolders; }
    // Appends the link extension unless linkPath already ends in exactly it (the caller sees
    // the change). True when the link was saved; a failed save is logged.
    bool CreateLink(const QString& target, const QString& workingFolder, QString& linkPath);
    // A shortcut to an existing target in a special folder (folderId >= 0; -1 with an empty
    // folder is the desktop) or in an existing folder. linkPath receives the file's path
    // before saving; true exactly when the save succeeded.
    bool CreateShortcut(const QString& target, QString& linkPath, const QString& linkName,
                        int folderId, const QString& folder);
    // A shortcut in the programs menu (the user's or all users'), inside subfolder when it
    // is not empty, which is created as needed.
    bool CreateLinkToProgramsStartUp(const QString& target, const QString& workingFolder,
                                     const QString& linkName, const QString& subfolder,
                                     bool currentUser, QString& linkPath);
    // A missing file is no error; a link is removed, never what it points to. A path without
    // the link extension is refused (and logged).
    void DeleteShortCut(const QString& path);
    // Tells the desktop that the programs menu below folder changed; a failure is logged.
    void RefreshProgramsMenu(const QString& folder);
    // The link to target as the desktop shows it: the product's icon when it is installed
    // beside target, the description that fits target, the menu categories.
    TShellLink LinkTo(const QString& target, const QString& workingFolder) const;
    // Registering names the COM files of the folder just installed (the state's product
    // folder); unregistering those of the previous version's product folder (below the
    // previous install location), where they were registered. Each run of the tool is waited
    // for (bounded), its result not read. Registering logs a tool that cannot be started and
    // goes on; unregistering raises.
    void RegisterComFiles();
    void UnRegisterComFiles();
    // The same for the COM files in folder ('/'-terminated); neither raises.
    void RegisterComFilesIn(const QString& folder);
    void UnRegisterComFilesIn(const QString& folder);
    void ShellExecute(const QString& path);

private:
    IShellLinks& FLinks;
    ISpecialFolders& FFolders;
    IProcessLauncher& FLauncher;
    TRegistrationTool& FRegistrationTool;
    const TInstallerSettings& FSettings;
    const TInstallState& FState;
};

} // namespace velmora
