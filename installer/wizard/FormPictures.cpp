#include "installer/wizard/FormPictures.h"

#include "installer/wizard/FormPicture.h"

namespace velmora {

TGPBitmap FormPicture(const QString& form, const QString& name) {
    TGPBitmap picture = FindFormPicture(QStringLiteral("%1/%2.png").arg(form, name));
    if (!picture.IsNull())
        picture.Image() = picture.Image().convertToFormat(QImage::Format_ARGB32);
    return picture;
}

IGPBitmap FormBitmap(const QString& form, const QString& name) {
    TGPBitmap picture = FormPicture(form, name);
    if (picture.IsNull())
        return {};
    return std::make_shared<TGPBitmap>(std::move(picture));
}

} // namespace velmora
