#pragma once

class QCoreApplication;

namespace velmora {

// The installer speaks Chinese whatever the desktop's language: Qt's own dialogs (the folder
// chooser) and texts (context menus of the path field) take Qt's Simplified Chinese
// translations from Qt's translations folder (a release names its own in qt.conf), and
// Qt's number and date formats follow. False when no translation could be loaded; the
// dialogs then speak Qt's English and the wizard goes on.
bool InstallChineseQtTranslations(QCoreApplication& AApp);

} // namespace velmora
