#pragma once

#include <QString>

class QWidget;

namespace velmora {

// Lets the user choose a folder in Qt's own directory chooser, owned by owner and modal to
// the whole program (every other window takes no input while it is open).
//  - root: when not empty, the chooser starts there and does not leave it;
//  - path: selected when it names an existing folder (cleared first otherwise); on a choice
//    it becomes the chosen folder;
//  - allowNewFolder: offers making folders; includeFiles: shows files as well (only folders
//    can be chosen either way); editBox: offers the line where a path can be typed.
// True when a folder was chosen; cancelling returns false and leaves path as it was (or
// cleared).
bool SelectFolderDialog(QWidget* owner, const QString& title, const QString& root, QString& path,
                        bool allowNewFolder, bool includeFiles, bool editBox);

} // namespace velmora
