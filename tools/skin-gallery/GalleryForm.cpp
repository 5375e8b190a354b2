#include "tools/skin-gallery/GalleryForm.h"

#include "tools/skin-gallery/GalleryControls.h"

#include <QFrame>
#include <QPainter>

namespace velmora::gallery {

std::unique_ptr<TDefaultSkinForm> MakeGalleryForm() {
    auto form = std::make_unique<TDefaultSkinForm>();
    form->setObjectName(QStringLiteral("frmGallery"));
    form->setWindowTitle(QStringLiteral("Velmora 3.0 安装向导"));
    form->SetCaptionColor(0xFFFFFFFF);
    form->resize(562, 371);

    auto* card = new TGalleryPanel(QStringLiteral("安装选项"), form.get());
    card->setObjectName(QStringLiteral("pnlOptions"));
    card->setGeometry(20, 44, 330, 210);
    auto* text = new TGalleryLabel(QStringLiteral("控件没有画到的地方，显示的正是窗体的背景：卡片、"
                                                  "文字和按钮都叠在同一张背景图上。"),
                                   card);
    text->setGeometry(12, 36, 306, 64);
    auto* path = new TGalleryLabel(QStringLiteral("安装路径:  /opt/Norvane/Velmora"), card);
    path->setGeometry(12, 108, 306, 24);
    auto* browse = new TGalleryButton(QStringLiteral("浏览..."), card);
    browse->setObjectName(QStringLiteral("btnBrowse"));
    browse->setGeometry(12, 164, 90, 30);

    auto* product = new TGalleryLabel(QStringLiteral("Velmora 3.0"), form.get());
    product->setGeometry(372, 48, 170, 28);
    QFont big = product->font();
    big.setPointSize(14);
    big.setBold(true);
    product->setFont(big);

    // A parent that is not skinned: its child copies the parent's own painting.
    auto* box = new QFrame(form.get());
    box->setGeometry(372, 86, 170, 168);
    box->setFrameShape(QFrame::StyledPanel);
    box->setAutoFillBackground(true);
    QPalette colours = box->palette();
    colours.setColor(QPalette::Window, QColor(0xFF, 0xF6, 0xE0));
    box->setPalette(colours);
    auto* note = new TGalleryLabel(QStringLiteral("普通父窗口里的皮肤控件"), box);
    note->setGeometry(10, 10, 150, 40);

    auto* install = new TGalleryButton(QStringLiteral("立即安装"), form.get());
    install->setObjectName(QStringLiteral("btnInstall"));
    install->setGeometry(300, 318, 120, 34);
    auto* cancel = new TGalleryButton(QStringLiteral("取消"), form.get());
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->setGeometry(430, 318, 110, 34);
    TDefaultSkinForm* raw = form.get();
    cancel->OnClick = [raw] { raw->close(); };
    return form;
}

QImage ComposeScreen(TBaseSkinForm& form) {
    QRect scene = form.geometry();
    // As a composing desktop shows it, whether or not this one composes: the shadow wherever
    // it is active for a form in the normal state.
    TFormShadowFrame* shadow = form.ShadowFrame();
    const bool shadowShown = shadow != nullptr && shadow->Active() &&
                             !shadow->BlendBitmap().isNull() && form.isVisible() &&
                             form.windowState() == Qt::WindowNoState;
    if (shadowShown)
        scene |= shadow->Geometry();
    scene.adjust(-24, -24, 24, 24);
    QImage screen(scene.size(), QImage::Format_ARGB32_Premultiplied);
    screen.fill(QColor(0x6B, 0x73, 0x7D));
    QPainter painter(&screen);
    if (shadowShown) {
        painter.setOpacity(shadow->ShowAlpha() / 255.0);
        painter.drawImage(shadow->Geometry().topLeft() - scene.topLeft(), shadow->BlendBitmap());
        painter.setOpacity(1.0);
    }
    const QPoint at = form.geometry().topLeft() - scene.topLeft();
    if (!form.mask().isEmpty())
        painter.setClipRegion(form.mask().translated(at));
    painter.setOpacity(form.windowOpacity());
    painter.drawPixmap(at, form.grab());
    return screen;
}

} // namespace velmora::gallery
