#include "installer/wizard/FormPictures.h"

namespace velmora {

int WizardResourceAnchor();

QImage FormPicture(const QString& form, const QString& name) {
    WizardResourceAnchor();
    return QImage(QStringLiteral(":/forms/%1/%2.png").arg(form, name))
        .convertToFormat(QImage::Format_ARGB32);
}

} // namespace velmora
