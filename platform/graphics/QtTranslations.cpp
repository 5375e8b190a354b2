#include "platform/graphics/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace velmora {

bool InstallChineseQtTranslations(QCoreApplication& AApp) {
    const QLocale chinese(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
    QLocale::setDefault(chinese);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // The translator lives as long as the application, which owns it.
    auto* translator = new QTranslator(&AApp);
    if (!translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
        delete translator;
        return false;
    }
    AApp.installTranslator(translator);
    return true;
}

} // namespace velmora
