#include "installer/wizard/FormPicture.h"

#include "platform/graphics/PictureDecoder.h"
#include "platform/graphics/RenderingsInUse.h"
#include "platform/system/Errors.h"
#include "skin/drawing/SkinEngineLog.h"

#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <functional>
#include <iterator>
#include <vector>

namespace velmora {

int WizardResourceAnchor();

namespace {

VELMORA_DECLARE_ERROR(EFormPictureError, EVelmoraError);

// The decoded picture at path, or a null image and the reason.
QImage ReadPicture(const QString& APath, QString& AFailure) {
    QFile file(APath);
    if (!file.open(QIODevice::ReadOnly)) {
        AFailure = QStringLiteral("no such form picture");
        return QImage();
    }
    TDecodedPicture picture = DecodePicture(file.readAll());
    if (!picture.Ok()) {
        AFailure = picture.Error;
        return QImage();
    }
    return std::move(picture.Frames.front());
}

// "Form/Name.png" at 2 is "Form/Name@2x.png".
QString ScaledName(const QString& AName, qreal ARatio) {
    const QString mark = QStringLiteral("@%1x").arg(ARatio);
    const qsizetype dot = AName.lastIndexOf(u'.');
    return dot < 0 ? AName + mark : AName.left(dot) + mark + AName.mid(dot);
}

void LogFailure(const QString& AName, const QString& AFailure, const QString& AClassName,
                const QString& AObjectName) {
    const EFormPictureError error(AName + QStringLiteral(": ") + AFailure);
    LogSkinFailure(AClassName, &AObjectName, &error, QStringLiteral("LoadFormPicture"));
}

using TPictureFailure = std::function<void(const QString& AName, const QString& AFailure)>;

TGPBitmap ReadFormPicture(const QString& AName, const TPictureFailure& AOnFailure) {
    WizardResourceAnchor();
    const QString folder = QStringLiteral(":/forms/");
    QString failure;
    TGPBitmap picture(ReadPicture(folder + AName, failure));
    if (picture.IsNull()) {
        if (AOnFailure)
            AOnFailure(AName, failure);
        return picture;
    }
    for (const qreal ratio :
         RenderingsInUse({std::begin(KFormPictureRatios), std::end(KFormPictureRatios)})) {
        const QString name = ScaledName(AName, ratio);
        QImage rendering = ReadPicture(folder + name, failure);
        if (rendering.isNull()) {
            if (AOnFailure)
                AOnFailure(name, failure);
            continue;
        }
        rendering.setDevicePixelRatio(ratio);
        if (!picture.AddVariant(std::move(rendering)) && AOnFailure)
            AOnFailure(name, QStringLiteral("its size is not %1 times the picture's").arg(ratio));
    }
    return picture;
}

} // namespace

TGPBitmap LoadFormPicture(const QString& AName, const QString& AClassName,
                          const QString& AObjectName) {
    return ReadFormPicture(AName, [&](const QString& AFile, const QString& AFailure) {
        LogFailure(AFile, AFailure, AClassName, AObjectName);
    });
}

TGPBitmap FindFormPicture(const QString& AName) {
    return ReadFormPicture(AName, nullptr);
}

QSize FormPictureSize(const QString& AName) {
    WizardResourceAnchor();
    return QImageReader(QStringLiteral(":/forms/") + AName).size();
}

} // namespace velmora
