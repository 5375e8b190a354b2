#include "installer/wizard/SelectFolderDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

namespace velmora {

namespace {

bool IsInside(const QString& folder, const QString& root) {
    const QString clean = QDir::cleanPath(folder);
    const QString base = QDir::cleanPath(root);
    return clean == base || clean.startsWith(base.endsWith(u'/') ? base : base + u'/');
}

// The chooser's path line and its caption, by the names Qt's own dialog gives them.
void HideEditBox(QFileDialog& dialog) {
    if (auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        edit->hide();
    if (auto* label = dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel")))
        label->hide();
}

} // namespace

bool SelectFolderDialog(QWidget* owner, const QString& title, const QString& root, QString& path,
                        bool allowNewFolder, bool includeFiles, bool editBox) {
    if (!path.isEmpty() && !QFileInfo(path).isDir())
        path.clear();
    const QString base = root.isEmpty() ? QString() : QDir(root).absolutePath();
    QString start = path.isEmpty() ? base : path;
    if (!base.isEmpty() && !IsInside(start, base))
        start = base;

    QFileDialog dialog(owner, title, start);
    dialog.setObjectName(QStringLiteral("SelectFolderDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, !includeFiles);
    dialog.setOption(QFileDialog::ReadOnly, !allowNewFolder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (!editBox)
        HideEditBox(dialog);
    if (!base.isEmpty()) {
        QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog,
                         [&dialog, base](const QString& folder) {
                             if (!IsInside(folder, base))
                                 dialog.setDirectory(base);
                         });
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return false;
    QString folder = chosen.first();
    if (!base.isEmpty() && !IsInside(folder, base))
        return false;
    if (!QFileInfo(folder).isDir())
        return false;
    path = folder;
    return !path.isEmpty();
}

} // namespace velmora
