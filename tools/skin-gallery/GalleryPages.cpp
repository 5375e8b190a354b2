#include "tools/skin-gallery/GalleryPages.h"

#include "skin/widgets/SkinPageControl.h"
#include "skin/widgets/SkinTabSheet.h"
#include "tools/skin-gallery/GalleryControls.h"

#include <QPainter>

namespace velmora::gallery {

namespace {

IGPBitmap DotIcon(QColor colour) {
    IGPBitmap icon = NewGPBitmap(16, 16);
    QPainter painter(&icon->Image());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colour.darker(140));
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    return icon;
}

} // namespace

std::unique_ptr<TDefaultSkinForm> MakePagesForm() {
    auto form = std::make_unique<TDefaultSkinForm>();
    form->setObjectName(QStringLiteral("frmPages"));
    form->setWindowTitle(QStringLiteral("Velmora 3.0 页面"));
    form->SetCaptionColor(0xFFFFFFFF);
    form->resize(562, 371);

    auto* pages = new TSkinPageControl(form.get());
    pages->setObjectName(QStringLiteral("pcGallery"));
    pages->setGeometry(20, 44, 522, 260);
    pages->SetShowCloseButton(true);
    pages->IconList().AddImage(DotIcon(QColor(0x0E, 0x7C, 0x72)));
    pages->IconList().AddImage(DotIcon(QColor(0xE0, 0x8A, 0x1E)));

    const QStringList captions = {
        QStringLiteral("重要须知"), QStringLiteral("安装选项"), QStringLiteral("安装路径"),
        QStringLiteral("正在安装"), QStringLiteral("安装完成"), QStringLiteral("隐藏页"),
        QStringLiteral("许可协议"), QStringLiteral("组件"),     QStringLiteral("快捷方式"),
        QStringLiteral("隐藏页"),   QStringLiteral("日志"),     QStringLiteral("关于")};
    for (int i = 0; i < captions.size(); ++i) {
        auto* sheet = new TSkinTabSheet(pages);
        sheet->SetCaption(captions[i]);
        sheet->SetImageIndex(i < 2 ? i : -1);
        sheet->SetTabVisible(captions[i] != QStringLiteral("隐藏页"));
        sheet->SetTabEnabled(i != 2);
        auto* text =
            new TGalleryLabel(QStringLiteral("第 %1 页：%2").arg(i + 1).arg(captions[i]), sheet);
        text->setGeometry(16, 16, 300, 24);
    }
    auto* note = new TGalleryLabel(
        QStringLiteral("“安装路径”不可用；两页隐藏；标签多于一行时翻页。"), form.get());
    note->setGeometry(20, 318, 522, 24);
    return form;
}

} // namespace velmora::gallery
