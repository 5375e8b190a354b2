#include "installer/wizard/FormPicture.h"

#include "platform/graphics/PictureDecoder.h"
#include "platform/system/Errors.h"
#include "skin/drawing/SkinEngineLog.h"

#include <QFile>

namespace velmora {

int WizardResourceAnchor();

namespace {
VELMORA_DECLARE_ERROR(EFormPictureError, EVelmoraError);
}

QImage LoadFormPicture(const QString& AName, const QString& AClassName,
                       const QString& AObjectName) {
    WizardResourceAnchor();
    QFile file(QStringLiteral(":/forms/") + AName);
    QString failure;
    if (file.open(QIODevice::ReadOnly)) {
        const TDecodedPicture picture = DecodePicture(file.readAll());
        if (picture.Ok())
            return picture.Frames.front();
        failure = picture.Error;
    } else {
        failure = QStringLiteral("no such form picture");
    }
    const EFormPictureError error(AName + QStringLiteral(": ") + failure);
    LogSkinFailure(AClassName, &AObjectName, &error, QStringLiteral("LoadFormPicture"));
    return QImage();
}

} // namespace velmora
