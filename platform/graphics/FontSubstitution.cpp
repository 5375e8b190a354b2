#include "platform/graphics/FontSubstitution.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>

namespace velmora {

QStringList CjkSubstituteCandidates() {
    return {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("WenQuanYi Zen Hei"),
            QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
            QStringLiteral("Droid Sans Fallback")};
}

QStringList SkinCjkFamilies() {
    return {QStringLiteral("微软雅黑"), QStringLiteral("宋体")};
}

QString InstallCjkFontSubstitutions() {
    static QString installed;
    if (!installed.isEmpty() || qGuiApp == nullptr)
        return installed;
    const QStringList families = QFontDatabase::families();
    QStringList present;
    for (const QString& candidate : CjkSubstituteCandidates()) {
        if (families.contains(candidate, Qt::CaseInsensitive))
            present << candidate;
    }
    if (present.isEmpty())
        return {};
    for (const QString& name : SkinCjkFamilies()) {
        QFont::removeSubstitutions(name);
        QFont::insertSubstitutions(name, present);
    }
    installed = present.first();
    return installed;
}

} // namespace velmora
