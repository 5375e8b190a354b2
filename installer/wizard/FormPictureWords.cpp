#include "installer/wizard/FormPictureWords.h"

#include <QFile>

namespace velmora {

int WizardResourceAnchor();

QString FormPictureWords(const QString& APicture) {
    WizardResourceAnchor();
    QFile file(QStringLiteral(":/forms/") + APicture + QStringLiteral(".words"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll()).trimmed();
}

QString FormButtonName(const QString& APicture) {
    QString name = FormPictureWords(APicture).section(u'\n', 0, 0);
    name.remove(QChar(0x3000));
    return name.simplified();
}

} // namespace velmora
