#include "skin/controls/SkinFormStyle.h"

#include <QPainter>
#include <algorithm>

namespace velmora {

namespace {
TSkinFormStyleSource* GStyleSource = nullptr;

QColor MeanColor(const QImage& image) {
    if (image.isNull())
        return {};
    // A small copy is enough for a mean and keeps large pictures cheap.
    const QImage small = image.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_ARGB32);
    qint64 r = 0, g = 0, b = 0;
    const int count = small.width() * small.height();
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x) {
            const QRgb p = small.pixel(x, y);
            r += qRed(p);
            g += qGreen(p);
            b += qBlue(p);
        }
    return QColor(int(r / count), int(g / count), int(b / count));
}
} // namespace

TSkinBackGround* TSkinFormStyle::FindBackGround(const QString& name) const {
    if (SufferBackGrounds.size() == 1 && SufferBackGrounds.front()->Name().isEmpty())
        return SufferBackGrounds.front().get();
    for (const auto& item : SufferBackGrounds)
        if (item->Name() == name)
            return item.get();
    return nullptr;
}

TSkinFormStyleSource* SkinFormStyleSource() {
    return GStyleSource;
}

void SetSkinFormStyleSource(TSkinFormStyleSource* source) {
    GStyleSource = source;
}

TPictureBackGround::TPictureBackGround(QString name, IGPBitmap picture, QColor color, int fixedTop)
    : FName(std::move(name)), FPicture(std::move(picture)), FColor(color),
      FFixedTop(FPicture ? std::clamp(fixedTop, 0, FPicture->Height()) : 0) {
    FAverage = FPicture && !FPicture->IsNull() ? MeanColor(FPicture->Image()) : FColor;
}

const QImage& TPictureBackGround::BuildBackground(QSize size) {
    if (FBuffer.size() == size)
        return FBuffer;
    ++FBuildCount;
    FBuffer = QImage(size, QImage::Format_ARGB32_Premultiplied);
    FBuffer.fill(FColor);
    if (FPicture && !FPicture->IsNull()) {
        QPainter painter(&FBuffer);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QImage& picture = FPicture->Image();
        const int top = std::min(FFixedTop, size.height());
        painter.drawImage(QRect(0, 0, size.width(), top), picture,
                          QRect(0, 0, picture.width(), top));
        painter.drawImage(QRect(0, top, size.width(), size.height() - top), picture,
                          QRect(0, FFixedTop, picture.width(), picture.height() - FFixedTop));
    }
    return FBuffer;
}

const QImage* TPictureBackGround::BackgroundBuffer() const {
    return FBuffer.isNull() ? nullptr : &FBuffer;
}

} // namespace velmora
