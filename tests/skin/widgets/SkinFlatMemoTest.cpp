#include "skin/widgets/SkinFlatMemo.h"

#include "skin/widgets/SkinHotKey.h"
#include "tests/skin/widgets/WidgetTestSupport.h"

#include <QScrollBar>

namespace velmora::testing {
namespace {

class SkinFlatMemoTest : public WidgetTest {};

// A read-only memo is button-face inside its two inner rings and in its text area, and its
// text never runs under the 4-pixel frame.
TEST_F(SkinFlatMemoTest, ReadOnlyMemoIsButtonFaceInsideItsFrame) {
    TSkinFlatMemo memo(Form.get());
    memo.setGeometry(20, 40, 160, 80);
    memo.setReadOnly(true);
    memo.Loaded();
    memo.show();
    const QRgb face = memo.palette().color(QPalette::Button).rgb();
    const QImage picture = Grab(memo);
    EXPECT_EQ(picture.pixel(1, 40), QColor(78, 159, 209).rgb());
    EXPECT_EQ(picture.pixel(2, 40), face);
    EXPECT_EQ(picture.pixel(3, 40), face);
    EXPECT_EQ(picture.pixel(80, 40), face);
    EXPECT_EQ(memo.viewport()->geometry().topLeft(), QPoint(4, 4));
}

// A megabyte pasted at once is kept whole.
TEST_F(SkinFlatMemoTest, LongTextIsKept) {
    TSkinFlatMemo memo(Form.get());
    const QString text(1 << 20, QLatin1Char('x'));
    memo.setPlainText(text);
    EXPECT_EQ(memo.toPlainText().size(), text.size());
}

// The hot-key field's frame colours are public; a new inside colour repaints the ring.
TEST_F(SkinFlatMemoTest, HotKeyInsideColourRepaintsItsRing) {
    TSkinHotKey hotKey(Form.get());
    hotKey.setGeometry(20, 150, 140, 30);
    hotKey.show();
    EXPECT_EQ(Grab(hotKey).pixel(1, 15), QColor(78, 159, 209).rgb());
    hotKey.SetInsideFrameColor(QColor(200, 30, 30));
    EXPECT_EQ(Grab(hotKey).pixel(1, 15), QColor(200, 30, 30).rgb());
    SendEnter(hotKey);
    QEvent hover(QEvent::HoverEnter);
    QCoreApplication::sendEvent(&hotKey, &hover);
    EXPECT_EQ(Grab(hotKey).pixel(0, 15), QColor(134, 228, 255).rgb());
}

} // namespace
} // namespace velmora::testing
