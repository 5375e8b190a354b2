#include "installer/InstallTransaction.h"

#include "installer/BackgroundSync.h"
#include "installer/EntryFiles.h"
#include "installer/FolderOps.h"
#include "installer/InflatingPayload.h"
#include "installer/InstallLog.h"
#include "installer/RecordParser.h"
#include "platform/system/MessagePump.h"
#include "platform/system/ReplaceFile.h"

#include <QDir>
#include <QHash>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace velmora {
namespace {

// Files are written in parts of this size, with the window's messages processed between
// them, so a large file leaves the window painting and an observer can see one half-written.
constexpr quint32 KWritePart = 1u << 20;

QString ErrnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString NewTransactionId() {
    const quint64 a = QRandomGenerator::system()->generate64();
    const quint64 b = QRandomGenerator::system()->generate64();
    return QStringLiteral("%1%2").arg(a, 16, 16, QChar(u'0')).arg(b, 16, 16, QChar(u'0'));
}

// Folders below one root by relative path, opened once each (one at a time) and synced at
// the end of a phase.
class TFolders {
public:
    explicit TFolders(int root) : FRoot(root) {}
    ~TFolders() { Close(); }
    TFolders(const TFolders&) = delete;
    TFolders& operator=(const TFolders&) = delete;

    int Open(const QString& relative) {
        if (FCurrentValid && FCurrentPath == relative)
            return FCurrent.Get();
        FCurrent.Reset(OpenFolderBelow(FRoot, relative));
        FCurrentPath = relative;
        FCurrentValid = FCurrent.Valid();
        if (FCurrentValid)
            FTouched.insert(relative);
        return FCurrent.Get();
    }
    // Every folder opened since the last call, synced; false when one could not be.
    bool SyncTouched() {
        bool ok = true;
        for (const QString& relative : std::as_const(FTouched)) {
            const TFd folder(OpenFolderBelow(FRoot, relative));
            ok = folder.Valid() && SyncFolder(folder.Get()) && ok;
        }
        FTouched.clear();
        return ok;
    }
    void Close() {
        FCurrent.Reset();
        FCurrentValid = false;
    }

private:
    int FRoot;
    TFd FCurrent;
    QString FCurrentPath;
    bool FCurrentValid = false;
    QSet<QString> FTouched;
};

// The file written and still open, for its sync; invalid with errno when it failed.
TFd WriteStagedFile(int folder, const QByteArray& name, const char* data, quint32 size,
                    const QString& target, const TInstallStageHook& hook, struct stat& made) {
    TFd fd(::openat(folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    0600));
    if (!fd.Valid())
        return fd;
    bool ok = true;
    for (quint32 done = 0; ok && done < size;) {
        const quint32 part = std::min(KWritePart, size - done);
        ok = WriteAllTo(fd.Get(), data + done, part);
        done += part;
        if (ok && hook && done == part && done < size)
            hook(TInstallStage::FileHalfWritten, target);
        if (ok && done < size)
            PumpMessages(0);
    }
    // Readable by all whatever the umask.
    ok = ok && ::fchmod(fd.Get(), ExtractedFileMode(data, size)) == 0 &&
         ::fstat(fd.Get(), &made) == 0;
    if (!ok) {
        const int error = errno;
        fd.Reset();
        errno = error;
    }
    return fd;
}

// Takes back one published op: the new content goes back under its temporary name, the old
// one (if any) comes back from its backup name. Safe to repeat.
void UndoOp(int root, const TJournalOp& op) {
    const TFd parent(OpenFolderBelow(root, ParentOf(op.Path)));
    if (!parent.Valid())
        return;
    const QByteArray name = NativeName(LeafOf(op.Path));
    const QByteArray staged = ReplacementName(name);
    const QByteArray backup = BackupName(name);
    struct stat parentInfo {};
    ::fstat(parent.Get(), &parentInfo);
    struct stat info {};
    if (op.Inode != 0 && StatAt(parent.Get(), name, info) && info.st_ino == op.Inode &&
        info.st_dev == op.Device) {
        RemoveTreeAt(parent.Get(), staged, parentInfo.st_dev);
        ::renameat(parent.Get(), name.constData(), parent.Get(), staged.constData());
    }
    if (op.HadOld && !StatAt(parent.Get(), name, info) && StatAt(parent.Get(), backup, info))
        ::renameat(parent.Get(), backup.constData(), parent.Get(), name.constData());
}

// Deletes what waits under the op's temporary name (new content, never published or taken
// back) or, after the commit, its backup name (the old content).
void RemoveSide(int root, const TJournalOp& op, bool backup) {
    const TFd parent(OpenFolderBelow(root, ParentOf(op.Path)));
    if (!parent.Valid())
        return;
    struct stat parentInfo {};
    if (::fstat(parent.Get(), &parentInfo) != 0)
        return;
    const QByteArray name = NativeName(LeafOf(op.Path));
    RemoveTreeAt(parent.Get(), backup ? BackupName(name) : ReplacementName(name),
                 parentInfo.st_dev);
}

// The folders of the ops, each synced once: what was renamed or deleted there stays so after
// a power cut, before the journal that describes it goes.
void SyncOpFolders(int root, const std::vector<TJournalOp>& ops) {
    QSet<QString> folders;
    for (const TJournalOp& op : ops)
        folders.insert(ParentOf(op.Path));
    for (const QString& folder : std::as_const(folders)) {
        const TFd fd(OpenFolderBelow(root, folder));
        if (fd.Valid())
            SyncFolder(fd.Get());
    }
}

bool IsMenuLink(const TJournalLink& link, const QString& programKey) {
    return LeafOf(ParentOf(link.Path)) == programKey;
}

void RollBack(TTransactionJournal& journal, const TTransactionContext& context) {
    const TFd root(OpenFolderPath(journal.InstallFolder));
    if (!journal.ComRegistered.isEmpty())
        context.Shell.UnRegisterComFilesIn(journal.ComRegistered);
    if (root.Valid()) {
        if (journal.Swapping)
            for (auto op = journal.Ops.crbegin(); op != journal.Ops.crend(); ++op)
                UndoOp(root.Get(), *op);
        for (const TJournalOp& op : journal.Ops)
            RemoveSide(root.Get(), op, false);
        SyncOpFolders(root.Get(), journal.Ops);
    }
    QSet<QString> menus;
    for (qsizetype i = journal.Links.size() - 1; i >= 0; --i) {
        const TJournalLink& link = journal.Links.at(i);
        if (!context.Links.Restore(link.Path, link.Before))
            WriteInstallLog(u"RollBack:恢复快捷方式失败\r\n"_qs + link.Path);
        else if (link.Before.Kind == TShortcutSnapshot::TKind::File)
            context.Links.Trust(link.Path);
        if (IsMenuLink(link, context.Settings.ProgramKey()))
            menus.insert(ParentOf(ParentOf(link.Path)));
    }
    if (!journal.ComUnregistered.isEmpty())
        context.Shell.RegisterComFilesIn(journal.ComUnregistered);
    for (qsizetype i = journal.MadeFolders.size() - 1; i >= 0; --i)
        ::rmdir(NativeName(journal.MadeFolders.at(i)).constData());
    for (const QString& menu : std::as_const(menus))
        context.Shell.RefreshProgramsMenu(menu);
    if (root.Valid())
        SyncFolder(root.Get());
}

TProductRemoval RollForward(TTransactionJournal& journal,
                            const std::optional<TInstallManifest>& installed,
                            const TTransactionContext& context) {
    const TFd root(OpenFolderPath(journal.InstallFolder));
    if (root.Valid()) {
        for (const TJournalOp& op : journal.Ops) {
            if (op.HadOld)
                RemoveSide(root.Get(), op, true);
            RemoveSide(root.Get(), op, false);
        }
        SyncOpFolders(root.Get(), journal.Ops);
    }
    TProductRemoval removal;
    const QString product = journal.InstallFolder + journal.ProductName + u'/';
    const bool same = journal.OldProductFolder == product;
    // Without the new version's list nothing tells its files from the old ones: nothing more
    // of the old version is deleted then.
    if (journal.OldMode != TOldFiles::None && (!same || installed)) {
        const QSet<QString> keep =
            same ? QSet<QString>(installed->Files.cbegin(), installed->Files.cend())
                 : QSet<QString>();
        removal = RemoveProductFiles(journal.OldProductFolder, journal.OldMode, journal.OldManifest,
                                     keep);
        if (!same)
            RemoveCreatedLevels(journal.OldProductFolder, journal.OldMode,
                                journal.OldManifest.CreatedLevels);
    }
    if (!journal.OldMenuFolder.isEmpty() &&
        ::rmdir(NativeName(journal.OldMenuFolder).constData()) == 0)
        context.Shell.RefreshProgramsMenu(ParentOf(journal.OldMenuFolder));
    if (root.Valid())
        SyncFolder(root.Get());
    return removal;
}

} // namespace

QString StagedNameOf(const QString& relative) {
    return JoinPath(ParentOf(relative),
                    QFile::decodeName(ReplacementName(NativeName(LeafOf(relative)))));
}

QString BackupNameOf(const QString& relative) {
    return JoinPath(ParentOf(relative),
                    QFile::decodeName(BackupName(NativeName(LeafOf(relative)))));
}

TInstallTransaction::TInstallTransaction(const TTransactionContext& context, TInstallPlan& plan,
                                         const QString& oldMenuFolder)
    : FContext(context), FPlan(plan) {
    FJournal.Transaction = NewTransactionId();
    FJournal.InstallFolder = plan.InstallFolder;
    FJournal.ProductName = context.Settings.ProductName;
    FJournal.Ops = plan.Ops;
    FJournal.OldProductFolder = plan.Previous.ProductFolder;
    FJournal.OldMode = plan.Previous.Mode;
    FJournal.OldManifest = plan.Previous.Manifest;
    FJournal.OldMenuFolder = oldMenuFolder;
    FPlan.Manifest.Transaction = FJournal.Transaction;
}

bool TInstallTransaction::Begin(QString& error) {
    if (!FJournal.Create(FContext.JournalPath, error))
        return false;
    FStarted = true;
    for (const QString& folder : std::as_const(FPlan.FoldersToMake)) {
        if (!FJournal.NoteMadeFolder(folder, error))
            return false;
        if (::mkdir(NativeName(folder).constData(), 0755) != 0 && errno != EEXIST) {
            error = folder + u": "_qs + ErrnoText(errno);
            return false;
        }
        // Program folders are for everyone, whatever the umask.
        ::chmod(NativeName(folder).constData(), 0755);
    }
    const TFd root(OpenFolderPath(FPlan.InstallFolder));
    if (!root.Valid()) {
        error = FPlan.InstallFolder + u": "_qs + ErrnoText(errno);
        return false;
    }
    // What an interrupted run of an older installer left under a temporary name goes; the
    // names are reserved, no payload may use them.
    TFolders folders(root.Get());
    for (const TJournalOp& op : FPlan.Ops) {
        const int parent = folders.Open(ParentOf(op.Path));
        if (parent < 0) {
            error = FPlan.InstallFolder + ParentOf(op.Path) + u": "_qs + ErrnoText(errno);
            return false;
        }
        const QByteArray name = NativeName(LeafOf(op.Path));
        for (const QByteArray& side : {ReplacementName(name), BackupName(name)}) {
            if (::unlinkat(parent, side.constData(), 0) != 0 && errno != ENOENT) {
                error = FPlan.InstallFolder + JoinPath(ParentOf(op.Path), QFile::decodeName(side)) +
                        u": "_qs + ErrnoText(errno);
                return false;
            }
        }
    }
    return true;
}

bool TInstallTransaction::Stage(const std::vector<TPayloadEntry>& entries,
                                TInflatingPayload& payload, IProgressDisplay& display,
                                const TInstallStageHook& hook, QString& error) {
    const TFd root(OpenFolderPath(FPlan.InstallFolder));
    if (!root.Valid()) {
        error = FPlan.InstallFolder + u": "_qs + ErrnoText(errno);
        return false;
    }
    TFolders folders(root.Get());
    const auto fail = [&](const QString& relative) {
        error = FPlan.InstallFolder + relative + u": "_qs + ErrnoText(errno);
        return false;
    };
    // The staged folders first: the roots of new subtrees under their temporary names, then
    // what they hold, parents before children.
    for (TJournalOp& op : FJournal.Ops) {
        if (!op.Subtree)
            continue;
        const QString staged = StagedNameOf(op.Path);
        const int parent = folders.Open(ParentOf(staged));
        const QByteArray name = NativeName(LeafOf(staged));
        struct stat made {};
        if (parent < 0 || ::mkdirat(parent, name.constData(), 0755) != 0 ||
            ::fchmodat(parent, name.constData(), 0755, 0) != 0 || !StatAt(parent, name, made))
            return fail(staged);
        op.Device = made.st_dev;
        op.Inode = made.st_ino;
    }
    for (const QString& staged : std::as_const(FPlan.StagedFolders)) {
        const int parent = folders.Open(ParentOf(staged));
        const QByteArray name = NativeName(LeafOf(staged));
        if (parent < 0 || ::mkdirat(parent, name.constData(), 0755) != 0 ||
            ::fchmodat(parent, name.constData(), 0755, 0) != 0)
            return fail(staged);
        folders.Open(staged);
    }

    std::vector<int> writeOf(entries.size(), -1);
    for (size_t w = 0; w < FPlan.Writes.size(); ++w)
        writeOf[FPlan.Writes[w].Entry] = int(w);
    const auto count = static_cast<int>(entries.size());
    display.SetProgressRange(0, count);
    display.SetProgressPosition(0);
    // Each file is written as soon as its bytes are inflated and synced while the next ones
    // are: the disk works while the payload is still inflating, instead of after it.
    TBackgroundSync syncs;
    const auto pump = [] { PumpMessages(0); };
    // What was handed to the syncs is synced and closed when they go, before any undo.
    const auto stopped = [&](const QString& reason) {
        error = reason;
        return false;
    };
    for (int i = 0; i < count; ++i) {
        const TPayloadEntry& entry = entries[size_t(i)];
        // Shown as the path will be on this system, not as the archive spells it.
        display.SetStatusText(u"正在复制文件: "_qs + entry.Components.join(u'/'));
        PumpMessages(0);
        if (writeOf[size_t(i)] >= 0) {
            const size_t w = size_t(writeOf[size_t(i)]);
            const TPlannedWrite& write = FPlan.Writes[w];
            const QString target = FPlan.InstallFolder + entry.Components.join(u'/');
            // The stream's failure has its own line in the log already.
            const std::optional<QByteArrayView> data = payload.DataOf(entry, pump);
            if (!data)
                return stopped(QString());
            const int parent = folders.Open(ParentOf(write.StagedPath));
            if (parent < 0)
                return stopped(target + u": "_qs + ErrnoText(errno));
            struct stat made {};
            TFd file = WriteStagedFile(parent, NativeName(LeafOf(write.StagedPath)), data->data(),
                                       entry.DataSize, target, hook, made);
            if (!file.Valid())
                return stopped(target + u": "_qs + ErrnoText(errno));
            syncs.Add(std::move(file), w);
            if (write.Op >= 0) {
                FJournal.Ops[size_t(write.Op)].Device = made.st_dev;
                FJournal.Ops[size_t(write.Op)].Inode = made.st_ino;
            }
        }
        display.SetProgressPosition(i + 1);
        PumpMessages(0);
    }
    // Nothing is published from a stream whose end (and checksum) did not pass.
    if (!payload.Finish(pump))
        return stopped(QString());
    if (const std::optional<TBackgroundSync::TFailure> failure = syncs.Finish()) {
        errno = failure->Error;
        return fail(FPlan.Writes[failure->Tag].StagedPath);
    }
    folders.Close();
    // So are the entries of the folders staged whole: a rename publishes them with what they
    // hold. (The temporary names beside existing files need not outlive a power cut: until
    // the renames are synced, the journal undoes them.)
    QStringList staged = FPlan.StagedFolders;
    for (const TJournalOp& op : FJournal.Ops)
        if (op.Subtree)
            staged << StagedNameOf(op.Path);
    for (const QString& folder : std::as_const(staged)) {
        const TFd fd(OpenFolderBelow(root.Get(), folder));
        if (!fd.Valid() || !SyncFolder(fd.Get())) {
            error = FPlan.InstallFolder + folder + u": "_qs + ErrnoText(errno);
            return false;
        }
    }
    return FJournal.NoteStaged(error);
}

bool TInstallTransaction::Swap(IProgressDisplay* display, QString& error) {
    // Unregistered while its files are still in place.
    if (!FJournal.NoteSwapping(FPlan.Previous.ProductFolder, error))
        return false;
    if (!FPlan.Previous.ProductFolder.isEmpty())
        FContext.Shell.UnRegisterComFilesIn(FPlan.Previous.ProductFolder);
    const TFd root(OpenFolderPath(FPlan.InstallFolder));
    if (!root.Valid()) {
        error = FPlan.InstallFolder + u": "_qs + ErrnoText(errno);
        return false;
    }
    TFolders folders(root.Get());
    const auto total = static_cast<int>(FJournal.Ops.size());
    for (int i = 0; i < total; ++i) {
        const TJournalOp& op = FJournal.Ops[size_t(i)];
        const int parent = folders.Open(ParentOf(op.Path));
        const QByteArray name = NativeName(LeafOf(op.Path));
        const QByteArray staged = ReplacementName(name);
        bool ok = parent >= 0;
        if (ok && op.HadOld)
            ok = ::renameat(parent, name.constData(), parent, BackupName(name).constData()) == 0;
        if (ok) {
            ok = ::renameat2(parent, staged.constData(), parent, name.constData(),
                             RENAME_NOREPLACE) == 0;
            // File systems without the flag still rename; the name was checked free.
            if (!ok && (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) {
                struct stat info {};
                ok = !StatAt(parent, name, info) &&
                     ::renameat(parent, staged.constData(), parent, name.constData()) == 0;
            }
        }
        if (!ok) {
            error = FPlan.InstallFolder + op.Path + u": "_qs + ErrnoText(errno);
            return false;
        }
        if (display != nullptr)
            display->SetProgressPosition(total == 0 ? 100 : (i + 1) * 100 / total);
    }
    folders.Close();
    if (!folders.SyncTouched() || !SyncFolder(root.Get())) {
        error = FPlan.InstallFolder + u": "_qs + ErrnoText(errno);
        return false;
    }
    return true;
}

void TInstallTransaction::RegisterNewComFiles() {
    QString error;
    if (!FJournal.NoteComRegistered(FPlan.ProductFolder, error)) {
        WriteInstallLog(u"RegisterComFiles:注册库\r\n"_qs + error);
        return;
    }
    FContext.Shell.RegisterComFilesIn(FPlan.ProductFolder);
}

bool TInstallTransaction::NoteLink(const QString& path, QString& error) {
    for (const TJournalLink& link : std::as_const(FJournal.Links))
        if (link.Path == path)
            return true; // the first look is the one to go back to
    return FJournal.NoteLink({path, FContext.Links.Snapshot(path)}, error);
}

bool TInstallTransaction::NoteMadeFolder(const QString& folder, QString& error) {
    return FJournal.NoteMadeFolder(folder, error);
}

bool TInstallTransaction::Commit(const TRegistryChanges& changes, QString& error) {
    try {
        FContext.Store.ApplyChanges(changes);
        return true;
    } catch (const EVelmoraError& failure) {
        error = failure.Message();
        return false;
    }
}

TProductRemoval TInstallTransaction::Finish() {
    TProductRemoval removal = RollForward(FJournal, FPlan.Manifest, FContext);
    QString error;
    if (!FJournal.Remove(error))
        WriteInstallLog(u"InstallSoftware:删除安装日志失败\r\n"_qs + error);
    FStarted = false;
    return removal;
}

void TInstallTransaction::Undo() {
    if (!FStarted)
        return;
    RollBack(FJournal, FContext);
    QString error;
    if (!FJournal.Remove(error))
        WriteInstallLog(u"InstallSoftware:删除安装日志失败\r\n"_qs + error);
    FStarted = false;
}

bool RecoverInterruptedInstall(const TTransactionContext& context, QString& error) {
    // A journal cut off while it was first written was never in force: nothing was done yet.
    ::unlink(NativeName(context.JournalPath + u".new"_qs).constData());
    std::optional<TTransactionJournal> journal =
        TTransactionJournal::Read(context.JournalPath, error);
    if (!journal)
        return error.isEmpty();
    if (journal->ProductName != context.Settings.ProductName) {
        error = context.JournalPath + QStringLiteral(": the journal is for another product");
        return false;
    }
    const QString key = InstallManifestKey(context.Settings);
    QList<std::pair<QString, TRegistryValue>> values;
    try {
        if (!context.Store.OpenError().isEmpty())
            throw ERegistryError(context.Store.OpenError());
        for (const QString& name :
             {KManifestTransaction, KManifestFiles, KManifestFolders, KManifestCreatedLevels})
            if (const std::optional<TRegistryValue> value = context.Store.ReadValue(key, name))
                values.append({name, *value});
    } catch (const EVelmoraError& failure) {
        error = failure.Message();
        return false;
    }
    const QString product = journal->InstallFolder + journal->ProductName + u'/';
    const std::optional<TInstallManifest> installed = ParseInstallManifest(values, product);
    const bool committed = installed && installed->Transaction == journal->Transaction;
    if (committed) {
        RollForward(*journal, installed, context);
        WriteInstallLog(u"RecoverInterruptedInstall:已完成上次中断的安装\r\n"_qs + product);
    } else {
        RollBack(*journal, context);
        WriteInstallLog(u"RecoverInterruptedInstall:已撤销上次中断的安装\r\n"_qs + product);
    }
    return journal->Remove(error);
}

} // namespace velmora
