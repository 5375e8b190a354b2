#pragma once

#include "installer/InstallPreflight.h"

#include <QHash>
#include <QString>
#include <optional>
#include <sys/types.h>

namespace velmora {

// What an install needs of each file system it writes to, counted as the file system will
// charge it: every file in whole blocks plus its indirect blocks, every new folder at least
// one block, the names added to each folder in directory-entry bytes, an inode for every
// file and folder; and of the system: every name within the file system's name limit, every
// path within the system's path limit, a descriptor for every folder level it walks. Each
// addition names the deepest existing folder on its way ("measured"), whose file system takes
// it. A problem names what is missing and how much.
class TInstallResources {
public:
    std::optional<TPreflightProblem> AddFile(const QString& measured, const QString& path,
                                             quint64 size);
    std::optional<TPreflightProblem> AddFolder(const QString& measured, const QString& path);
    // Only the name and path limits, for a path that an existing entry is renamed to.
    std::optional<TPreflightProblem> AddName(const QString& measured, const QString& path);
    // One more name of nameBytes in folder (an existing one) while the install runs.
    void AddEntry(const QString& measured, const QString& folder, qsizetype nameBytes);
    // The install's journal beside the registry store (in storeFolder, which may not exist).
    void AddJournal(const QString& storeFolder, qint64 bytes);
    // The deepest folder walk, in levels, below folder.
    void NeedDepth(int levels, const QString& folder) {
        FDepth = std::max(FDepth, levels);
        FDepthFolder = folder;
    }

    // The first need that cannot be met.
    std::optional<TPreflightProblem> Check();

private:
    struct TDevice {
        QString Folder;
        quint64 Block = 1;
        quint64 FreeBytes = 0;
        quint64 FreeInodes = 0;
        bool CountsInodes = true;
        qint64 NameMax = 255;
        quint64 Blocks = 0;
        quint64 Inodes = 0;
    };
    struct TFolderNames {
        dev_t Device = 0;
        quint64 Bytes = 0;
        bool New = false;
    };

    TDevice* DeviceOf(const QString& measured, dev_t* id = nullptr);
    std::optional<TPreflightProblem> Limits(TDevice& device, const QString& path);
    void AddName(dev_t device, const QString& folder, qsizetype nameBytes);

    QHash<QString, dev_t> FMeasured;
    QHash<dev_t, TDevice> FDevices;
    QHash<QString, TFolderNames> FFolders;
    std::optional<TPreflightProblem> FStatProblem;
    int FDepth = 0;
    QString FDepthFolder;
};

} // namespace velmora
