#include "tools/skin-gallery/WidgetGallery.h"

#include "skin/data/SkinMng.h"
#include "skin/widgets/SkinBtns.h"
#include "skin/widgets/SkinEdits.h"
#include "skin/widgets/SkinImages.h"
#include "skin/widgets/SkinPanels.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QKeySequence>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace velmora::gallery {

namespace {

// A button that shows itself focused whether or not it holds the keyboard focus, so that
// several focused looks can stand next to each other.
class TShownFocusedButton : public TSkinButton {
public:
    using TSkinButton::TSkinButton;

protected:
    bool IsFocused() const override { return true; }
};

void Hover(QWidget* widget) {
    QEnterEvent event(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(widget, &event);
}

void Press(QWidget* widget) {
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

TSkinLabel* Heading(const QString& text, int x, int y, QWidget* parent) {
    auto* label = new TSkinLabel(parent);
    label->move(x, y);
    label->SetCaption(text);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

TSkinButton* Button(TSkinButton* button, const QString& caption, QRect at) {
    button->setGeometry(at);
    button->SetButtonStyle(QStringLiteral("0"));
    button->SetCaption(caption);
    button->SetIsDrawIconCaption(true);
    return button;
}

QImage Landscape(int width, int height) {
    QImage picture(width, height, QImage::Format_ARGB32);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(0x3A, 0x7B, 0xD5));
    sky.setColorAt(1, QColor(0xA8, 0xD8, 0xF0));
    painter.fillRect(picture.rect(), sky);
    painter.setBrush(QColor(0x2E, 0x8B, 0x57));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(width * 0.3, height * 1.1), width * 0.6, height * 0.55);
    painter.setBrush(QColor(0xFF, 0xD7, 0x00));
    painter.drawEllipse(QPointF(width * 0.78, height * 0.28), height * 0.14, height * 0.14);
    return picture;
}

} // namespace

std::unique_ptr<TDefaultSkinForm> MakeWidgetGalleryForm() {
    auto form = std::make_unique<TDefaultSkinForm>();
    form->setObjectName(QStringLiteral("frmWidgets"));
    form->setWindowTitle(QStringLiteral("皮肤控件一览"));
    form->SetCaptionColor(0xFFFFFFFF);
    form->resize(700, 580);
    QWidget* f = form.get();

    // Check boxes: each state, hovered, disabled.
    Heading(QStringLiteral("复选框"), 16, 40, f);
    struct TBoxCase {
        const char* Caption;
        TCheckBoxState State;
        bool Hovered;
        bool Enabled;
    };
    const TBoxCase boxes[] = {
        {"未选中", cbUnchecked, false, true},  {"已选中", cbChecked, false, true},
        {"灰色", cbGrayed, false, true},       {"悬停", cbUnchecked, true, true},
        {"悬停选中", cbChecked, true, true},   {"禁用", cbUnchecked, false, false},
        {"禁用选中", cbChecked, false, false}, {"禁用悬停", cbChecked, true, false},
    };
    for (int i = 0; i < 8; ++i) {
        auto* box = new TSkinCheckBox(f);
        box->setGeometry(16 + (i % 4) * 120, 66 + (i / 4) * 24, 110, 17);
        box->SetColor(QColor(0xFF, 0xFF, 0xFF));
        box->SetCaption(QString::fromUtf8(boxes[i].Caption));
        box->SetState(boxes[i].State);
        if (boxes[i].Hovered)
            Hover(box);
        box->setEnabled(boxes[i].Enabled);
    }
    auto* squareOnly = new TSkinCheckBox(f);
    squareOnly->setGeometry(500, 66, 17, 17);
    squareOnly->SetChecked(true);

    // Buttons: the five state images in their paint orders, Transprent, no style.
    Heading(QStringLiteral("按钮"), 16, 124, f);
    const int bw = 96;
    const int bh = 30;
    int slot = 0;
    auto next = [&] {
        const QRect at(16 + (slot % 6) * (bw + 10), 150 + (slot / 6) * (bh + 10), bw, bh);
        ++slot;
        return at;
    };
    Button(new TSkinButton(f), QStringLiteral("正常"), next());
    Hover(Button(new TSkinButton(f), QStringLiteral("悬停"), next()));
    auto* down = Button(new TSkinButton(f), QStringLiteral("按下"), next());
    Hover(down);
    Press(down);
    Button(new TShownFocusedButton(f), QStringLiteral("焦点"), next());
    Hover(Button(new TShownFocusedButton(f), QStringLiteral("焦点悬停"), next()));
    Button(new TSkinButton(f), QStringLiteral("禁用"), next())->setEnabled(false);
    auto* ghost = Button(new TSkinButton(f), QStringLiteral("透明禁用"), next());
    ghost->SetTransprent(true);
    ghost->setEnabled(false);
    Button(new TSkinButton(f), QStringLiteral("透明"), next())->SetTransprent(true);
    auto* ghostHover = Button(new TSkinButton(f), QStringLiteral("透明悬停"), next());
    ghostHover->SetTransprent(true);
    Hover(ghostHover);
    Button(new TSkinButton(f), QStringLiteral("&Next"), next());
    // A button that never had a style draws its caption only.
    auto* noStyle = new TSkinButton(f);
    noStyle->setGeometry(next());
    noStyle->SetCaption(QStringLiteral("无样式"));
    noStyle->SetIsDrawIconCaption(true);

    // Labels: sized to the text, wrapped to the parent, fixed bounds.
    Heading(QStringLiteral("标签"), 16, 238, f);
    auto* single = new TSkinLabel(f);
    single->move(16, 262);
    single->SetCaption(QStringLiteral("自动大小: 文字宽度加一个全角空格"));
    auto* fixed = new TSkinLabel(f);
    fixed->SetAutoSize(false);
    fixed->setGeometry(300, 262, 120, 20);
    fixed->SetCaption(QStringLiteral("固定大小的标签会被裁剪掉多余的文字"));

    // Panels: the second holds a label that wraps to the panel's width less 20 pixels.
    Heading(QStringLiteral("面板"), 16, 292, f);
    auto* framed = new TSkinPanel(f);
    framed->setGeometry(16, 316, 300, 90);
    if (const TSkinButtonStyleItem* style =
            SkinMng().SkinButtonStyles().GetItem(QStringLiteral("0")))
        framed->SetBitmap(style->NormalBitmap());
    auto* wrapped = new TSkinLabel(framed);
    wrapped->move(10, 10);
    wrapped->SetCaption(QStringLiteral("面板的背景是九宫格图片。这段标签文字比面板的可用宽度更长，"
                                       "所以会自动换行，高度是行高乘以行数。"));
    auto* bare = new TSkinPanel(f);
    bare->setGeometry(330, 316, 150, 90);
    bare->SetCaption(QStringLiteral("面板标题不绘制"));
    auto* inside = new TSkinLabel(bare);
    inside->move(8, 8);
    inside->SetCaption(QStringLiteral("无背景图的面板"));

    // Images: a picture sized to itself, the same stretched, an image box with its own paint.
    Heading(QStringLiteral("图片"), 500, 292, f);
    auto* picture = new TSkinImage(f);
    picture->move(500, 316);
    picture->SetAutoSize(true);
    picture->SetPicture(Landscape(80, 60));
    auto* stretched = new TSkinImage(f);
    stretched->setGeometry(590, 316, 90, 90);
    stretched->SetPicture(Landscape(80, 60));
    auto* painted = new TSkinImageBox(f);
    painted->setGeometry(500, 384, 80, 40);
    painted->OnPaint = [](TGPGraphics& graphics, const TGPRect& r) {
        graphics.FillRectangle(0xC0FFFFFF, QRectF(0, 0, r.Width, r.Height));
        graphics.DrawRectangle(0xFF3A7BD5, 1, QRectF(0, 0, r.Width - 1, r.Height - 1));
        graphics.DrawString(QStringLiteral("OnPaint"), QFont(QStringLiteral("微软雅黑"), 9),
                            0xFF203040, QPointF(8, 10));
    };

    // Text fields: plain, hovered, transparent over the form, read-only; a memo and a hot key.
    Heading(QStringLiteral("输入框"), 16, 414, f);
    const QString texts[] = {QStringLiteral("普通输入框"), QStringLiteral("悬停"),
                             QStringLiteral("透明背景"), QStringLiteral("只读")};
    for (int i = 0; i < 4; ++i) {
        auto* edit = new TSkinEdit(f);
        edit->setGeometry(16 + i * 130, 440, 120, 26);
        edit->setText(texts[i]);
        if (i == 1)
            Hover(edit);
        if (i == 2)
            edit->SetBkgndTransparent(true);
        if (i == 3)
            edit->setReadOnly(true);
        edit->Loaded();
    }
    auto* memo = new TSkinFlatMemo(f);
    memo->setGeometry(16, 474, 380, 90);
    memo->setPlainText(QStringLiteral("多行输入框保留平台自己的编辑行为，\n只换掉四像素的边框。"));
    memo->Loaded();
    auto* hotKey = new TSkinHotKey(f);
    hotKey->setGeometry(406, 474, 120, 26);
    hotKey->setKeySequence(QKeySequence(QStringLiteral("Ctrl+Alt+V")));
    hotKey->Loaded();

    auto* close = Button(new TSkinButton(f), QStringLiteral("关闭"), QRect(580, 532, 100, 32));
    TDefaultSkinForm* raw = form.get();
    close->OnClick = [raw] { raw->close(); };
    return form;
}

} // namespace velmora::gallery
