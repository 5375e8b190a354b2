#include "skin/data/SkinBackGroundItems.h"
#include "skin/drawing/GDIIMGADV.h"
#include "skin/drawing/GDIText.h"
#include "skin/widgets/SkinEdits.h"
#include "skin/widgets/SkinPanels.h"
#include "tests/skin/widgets/WidgetTestSupport.h"

#include <QAccessible>

namespace velmora::testing {
namespace {

const QString KSpace = QString(QChar(0x3000));

class SkinLabelTest : public WidgetTest {
protected:
    struct TMetrics {
        int Text;
        int Space;
        int Line;
    };
    static TMetrics Measure(const TSkinLabel& label) {
        TMeasureSurface surface;
        return {label.CaptionText()->GetFontWidth(surface.Graphics(), label.Caption()),
                label.CaptionText()->GetFontWidth(surface.Graphics(), KSpace),
                label.CaptionText()->GetFontHeight(surface.Graphics()) + 1};
    }
};

TEST_F(SkinLabelTest, AutoSizeIsTextPlusOneIdeographicSpaceAndFontHeightPlusOne) {
    TSkinLabel label(Form.get());
    label.move(10, 20);
    label.SetCaption(QStringLiteral("我已阅读并同意"));
    const TMetrics m = Measure(label);
    ASSERT_GT(m.Space, 0);
    EXPECT_EQ(label.geometry(), QRect(10, 20, m.Text + m.Space, m.Line));
    EXPECT_EQ(label.LastParentWidth(), 400);
    EXPECT_EQ(label.LastParentHeight(), 300);
}

TEST_F(SkinLabelTest, WrapsToParentWidthMinusLeftMinusTwenty) {
    TSkinLabel label(Form.get());
    label.move(30, 40);
    QString text;
    for (int i = 0; i < 12; ++i)
        text += QStringLiteral("安装向导的说明文字");
    label.SetCaption(text);
    const TMetrics m = Measure(label);
    const int avail = 400 - 30 - 20;
    ASSERT_GT(m.Text + m.Space, avail);
    EXPECT_EQ(label.width(), avail);
    EXPECT_EQ(label.height(), m.Line * ((m.Text + m.Space) / avail + 1));
    // Wrapped lines end inside the label: no character is cut at its right edge, so the last
    // columns stay free of ink (a cut full-width glyph would reach them).
    label.show();
    Grab(label);
    const QImage drawn = label.BufferBitmap().convertToFormat(QImage::Format_ARGB32);
    const QImage behind = Form->BufferBitmap().convertToFormat(QImage::Format_ARGB32);
    int inkAtEdge = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = drawn.width() - 2; x < drawn.width(); ++x)
            if (drawn.pixel(x, y) != behind.pixel(label.x() + x, label.y() + y))
                ++inkAtEdge;
    EXPECT_EQ(inkAtEdge, 0);
}

TEST_F(SkinLabelTest, NoParentTakesTheWholeLine) {
    TSkinLabel label;
    label.move(5, 6);
    label.SetCaption(QStringLiteral("许可协议"));
    const TMetrics m = Measure(label);
    EXPECT_EQ(label.geometry(), QRect(5, 6, m.Text + m.Space, m.Line));
}

TEST_F(SkinLabelTest, ZeroAvailableWidthKeepsTheSizeAndLogsSetAutoSize) {
    TSkinLabel label(Form.get());
    label.SetAutoSize(false);
    label.setGeometry(380, 10, 33, 17); // 400 - 380 - 20 = 0
    label.SetAutoSize(true);
    label.SetCaption(QStringLiteral("许可协议"));
    EXPECT_EQ(label.geometry(), QRect(380, 10, 33, 17));
    EXPECT_TRUE(LogHas(Log()->Lines(), QStringLiteral("SetAutoSize")));
}

TEST_F(SkinLabelTest, NegativeAvailableWidthAlsoKeepsTheSize) {
    TSkinLabel label(Form.get());
    label.SetAutoSize(false);
    label.setGeometry(395, 10, 12, 17);
    label.SetAutoSize(true);
    EXPECT_EQ(label.geometry(), QRect(395, 10, 12, 17));
    EXPECT_TRUE(LogHas(Log()->Lines(), QStringLiteral("SetAutoSize")));
}

TEST_F(SkinLabelTest, WithoutAutoSizeKeepsItsBoundsAndDrawsFromTheCorner) {
    TSkinLabel label(Form.get());
    label.SetAutoSize(false);
    label.setGeometry(10, 10, 40, 20);
    label.SetCaption(QStringLiteral("很长很长的一段说明文字"));
    EXPECT_EQ(label.geometry(), QRect(10, 10, 40, 20));
    label.show();
    const QImage with = Grab(label);
    label.SetCaption(QString());
    const QImage without = Grab(label);
    int changed = 0;
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 20; ++y)
            changed += with.pixel(x, y) != without.pixel(x, y);
    EXPECT_GT(changed, 0) << "the text starts at the left edge";
}

TEST_F(SkinLabelTest, FontChangeResizesAndReachesTheCaption) {
    TSkinLabel label(Form.get());
    label.SetCaption(QStringLiteral("安装"));
    const int before = label.height();
    QFont big = label.font();
    big.setPointSize(20);
    label.setFont(big);
    EXPECT_EQ(label.CaptionText()->FontSize(), 20);
    EXPECT_GT(label.height(), before);
}

TEST_F(SkinLabelTest, LoadTimeSizeHasNeitherTheSpaceNorTheExtraPixel) {
    TSkinLabel label(Form.get());
    label.BeginLoad();
    label.SetCaption(QStringLiteral("许可协议"));
    label.setGeometry(10, 10, 200, 50);
    label.SetUseSkinFont(false);
    label.EndLoad();
    TMeasureSurface surface;
    EXPECT_EQ(label.width(),
              label.CaptionText()->GetFontWidth(surface.Graphics(), QStringLiteral("许可协议")));
    EXPECT_EQ(label.height(), label.CaptionText()->GetFontHeight(surface.Graphics()));
}

TEST_F(SkinLabelTest, TransparentTitleGivesShadowAndTheItemsTextColour) {
    Form->SetIsEnabledTransparentTitle(true);
    Form->SetTransparentTitleTop(40);
    TSkinLabel above(Form.get());
    above.move(10, 10);
    TSkinLabel below(Form.get());
    below.move(10, 60);
    TSkinBackGroundColorItem item;
    item.SetBackGroundColor(0xFFFFFFFF); // a white background wants dark text
    TSkinCustomControl::AllMembersChangeSkinBackGround(&item);
    EXPECT_TRUE(above.CaptionText()->IsDrawShadow());
    EXPECT_EQ(above.CaptionText()->FontColor(), item.TextGPColor());
    EXPECT_FALSE(below.CaptionText()->IsDrawShadow());
}

TEST_F(SkinLabelTest, AccessibleTextAndRole) {
    TSkinLabel label(Form.get());
    label.SetCaption(QStringLiteral("许可协议"));
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&label);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::StaticText);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("许可协议"));
}

// --- panel ----------------------------------------------------------------------------------

TEST_F(SkinLabelTest, PanelWithoutBitmapShowsTheFormAndNoCaption) {
    TSkinPanel panel(Form.get());
    panel.setGeometry(20, 20, 120, 80);
    panel.show();
    const QImage empty = Grab(panel);
    panel.SetCaption(QStringLiteral("页面"));
    panel.SetAlignment(taLeftJustify);
    EXPECT_EQ(Grab(panel), empty);
    const QImage form = Form->BufferBitmap().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(empty.pixel(5, 7), form.pixel(25, 27));
    EXPECT_EQ(panel.Alignment(), taLeftJustify);
}

TEST_F(SkinLabelTest, PanelBitmapIsANineSliceWithMarginsEight) {
    TSkinPanel panel(Form.get());
    panel.setGeometry(20, 20, 120, 80);
    QImage picture(24, 24, QImage::Format_ARGB32);
    picture.fill(0xFFFF0000);
    for (int y = 8; y < 16; ++y)
        for (int x = 8; x < 16; ++x)
            picture.setPixel(x, y, 0xFF0000FF);
    panel.SetBitmap(std::make_shared<TGPBitmap>(picture));
    EXPECT_EQ(panel.BitmapElement()->LeftMargin(), 8);
    panel.show();
    Grab(panel);
    const IGPBitmap& self = panel.SelfBufferGPBitmap();
    EXPECT_EQ(self->GetPixel(2, 2), 0xFFFF0000u);
    EXPECT_EQ(self->GetPixel(60, 40), 0xFF0000FFu);
    EXPECT_EQ(self->GetPixel(117, 77), 0xFFFF0000u);
}

TEST_F(SkinLabelTest, PanelRedrawAllChildrenMakesChildrenRecaptureOnMove) {
    // The child's top-right corner (beyond its text) shows the form behind its place only when
    // it took its parent picture again after the move.
    auto cornerMatches = [&](bool redraw) {
        TSkinPanel panel(Form.get());
        panel.setGeometry(20, 20, 200, 120);
        TSkinLabel child(&panel);
        child.move(10, 10);
        child.SetCaption(QStringLiteral("子控件"));
        panel.show();
        Grab(panel);
        panel.SetRedrawAllChildren(redraw);
        panel.move(63, 71);
        const QImage picture = Grab(panel);
        const QImage form = Form->BufferBitmap().convertToFormat(QImage::Format_ARGB32);
        const QPoint corner = child.geometry().topRight();
        return picture.pixel(corner) == form.pixel(panel.pos() + corner);
    };
    EXPECT_TRUE(cornerMatches(true));
    EXPECT_FALSE(cornerMatches(false)) << "without the walk the child keeps its old picture";
}

} // namespace
} // namespace velmora::testing
