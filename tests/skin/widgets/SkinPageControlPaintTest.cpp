// Pixels of the page control and its reactions to the skin.
#include "skin/data/SkinBackGroundItems.h"
#include "skin/data/SkinMng.h"
#include "skin/data/SkinStyleItems.h"
#include "skin/widgets/SkinTabRecolour.h"
#include "tests/skin/widgets/PageControlFixture.h"

#include <QTest>

namespace velmora::testing {
namespace {

// A straight-alpha picture over an opaque one.
QRgb Over(QRgb dst, QRgb src) {
    const int a = qAlpha(src);
    auto mix = [a](int d, int s) { return (s * a + d * (255 - a) + 127) / 255; };
    return qRgb(mix(qRed(dst), qRed(src)), mix(qGreen(dst), qGreen(src)),
                mix(qBlue(dst), qBlue(src)));
}

TEST_F(PageControlTest, TabsShowNormalHoverDownAndActivePictures) {
    AddSheets(3);
    for (TSkinTabSheet* sheet : FSheets)
        sheet->SetCaption({}); // nothing drawn over the picture's middle
    ShowActive();
    const QRgb strip = MiddleOf(FControl->Image(pgiTabBackGround));
    const QRgb normal = Over(strip, MiddleOf(FControl->Image(pgiTabNormal)));
    const QRgb hover = Over(strip, MiddleOf(FControl->Image(pgiTabHover)));
    const QRgb down = Over(strip, MiddleOf(FControl->Image(pgiTabDown)));
    ASSERT_FALSE(Near(normal, hover));
    ASSERT_FALSE(Near(hover, down));
    const QPoint tab0 = Centre(FSheets[0]->DisplayRect());
    const QPoint tab1 = Centre(FSheets[1]->DisplayRect());

    QImage picture = Picture();
    EXPECT_TRUE(Near(picture.pixel(tab0), down));   // active
    EXPECT_TRUE(Near(picture.pixel(tab1), normal)); // idle

    QTest::mouseMove(FControl, tab1);
    EXPECT_TRUE(Near(Picture().pixel(tab1), hover));
    QTest::mousePress(FControl, Qt::RightButton, {}, tab1 + QPoint(0, 1));
    EXPECT_TRUE(Near(Picture().pixel(tab1), down));
    QTest::mouseRelease(FControl, Qt::RightButton, {}, tab1 + QPoint(0, 1));

    // A press on the empty strip clears the index; the active tab is still drawn down.
    QTest::mouseClick(FControl, Qt::LeftButton, {}, QPoint(540, 13));
    EXPECT_EQ(FControl->TabIndex(), -1);
    picture = Picture();
    EXPECT_TRUE(Near(picture.pixel(tab1), down));
    EXPECT_TRUE(Near(picture.pixel(tab0), normal));
    EXPECT_TRUE(Near(picture.pixel(540, 13), strip));
}

TEST_F(PageControlTest, MissingStyleShowsCyanPlaceholdersAndNoTabPictures) {
    TSkinPageControl bare(FForm.get());
    bare.setGeometry(0, 0, 300, 100);
    ASSERT_TRUE(bare.Image(pgiCloseNormal));
    bare.SetStyleName(QStringLiteral("no such style"));
    bare.SetShowCloseButton(true);
    auto* sheet = new TSkinTabSheet(&bare);
    sheet->SetCaption(QStringLiteral("x"));
    EXPECT_EQ(bare.StyleItem(), nullptr);
    EXPECT_FALSE(bare.Image(pgiTabNormal));
    const QImage picture = bare.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const TGPRect close = bare.TabLayout().Button(cbClose);
    ASSERT_GT(close.Width, 1);
    EXPECT_EQ(picture.pixel(close.X, close.Y), 0xFF00FFFFu);
    EXPECT_EQ(picture.pixel(close.X + close.Width - 1, close.Y + close.Height - 1), 0xFF00FFFFu);
    EXPECT_NE(picture.pixel(close.X + close.Width / 2, close.Y + close.Height / 2), 0xFF00FFFFu);
    EXPECT_TRUE(Log()->Lines().isEmpty());
}

// The darkest pixel of each picture among the pixels where the two differ: the ink of a
// caption drawn in both.
std::pair<QRgb, QRgb> InkWhereDifferent(const QImage& a, const QImage& b, const TGPRect& r) {
    QRgb darkestA = 0xFFFFFFFF, darkestB = 0xFFFFFFFF;
    for (int y = r.Y; y < r.Y + r.Height; ++y)
        for (int x = r.X; x < r.X + r.Width; ++x) {
            if (a.pixel(x, y) == b.pixel(x, y))
                continue;
            if (qGray(a.pixel(x, y)) < qGray(darkestA))
                darkestA = a.pixel(x, y);
            if (qGray(b.pixel(x, y)) < qGray(darkestB))
                darkestB = b.pixel(x, y);
        }
    return {darkestA, darkestB};
}

TEST_F(PageControlTest, DisabledTabCaptionIsGreyAndIconsOutsideTheListAreSkipped) {
    AddSheets(2);
    FSheets[0]->SetImageIndex(5); // beyond an empty list
    const QImage enabled = Picture();
    FSheets[1]->SetTabEnabled(false);
    const QImage disabled = Picture();
    const auto [ink, grey] = InkWhereDifferent(enabled, disabled, FSheets[1]->DisplayRect());
    EXPECT_LT(qGray(ink), 60);
    EXPECT_TRUE(Near(grey, qRgb(128, 128, 128), 10)) << std::hex << grey;
    EXPECT_TRUE(Log()->Lines().isEmpty());

    IGPBitmap icon = NewGPBitmap(16, 16);
    icon->Image().fill(QColor(255, 0, 0));
    FControl->IconList().AddImage(icon);
    FSheets[0]->SetImageIndex(0);
    const TGPRect tab = FSheets[0]->DisplayRect();
    EXPECT_EQ(Picture().pixel(tab.X + 4 + 8, tab.Y + 13), 0xFFFF0000u);
}

TEST(TabRecolour, OutlineTurnsWhiteAndTheRestTakesOneTint) {
    struct Case {
        TGPColor Average;
        int Fill;
    };
    for (const Case c : {Case{0xFF000000u, 165}, Case{0xFFFFFFFFu, 250}}) {
        TGPBitmap bitmap(4, 5);
        bitmap.Image().fill(Qt::transparent);
        for (int x = 0; x < 4; ++x)
            for (int y = 1; y < 5; ++y)
                bitmap.SetPixel(x, y, qRgba(10, 20, 30, y == 4 ? 5 : 200));
        RecolourTabBackGround(bitmap, c.Average);
        EXPECT_EQ(bitmap.GetPixel(1, 0), 0u);          // transparent stays
        EXPECT_EQ(bitmap.GetPixel(1, 1), 0xFFFFFFFFu); // below transparent
        EXPECT_EQ(bitmap.GetPixel(0, 2), 0xFFFFFFFFu); // on the border
        EXPECT_EQ(bitmap.GetPixel(1, 2), qRgba(c.Fill, c.Fill, c.Fill, 200));
        EXPECT_EQ(bitmap.GetPixel(2, 3), qRgba(c.Fill, c.Fill, c.Fill, 200));
        EXPECT_EQ(bitmap.GetPixel(2, 4), qRgba(10, 20, 30, 5)); // faint stays
    }
    EXPECT_EQ(TabFillChannel(90), 90 + (330 / 3 - 5));
}

TEST_F(PageControlTest, BackgroundChangeTintsTheSharedStripOnceAndRedrawsEveryControl) {
    AddSheets(1);
    TSkinPageControl second(FForm.get());
    second.setGeometry(0, 240, 300, 40);
    TSkinPageControlStyleItem* style = FControl->StyleItem();
    ASSERT_NE(style, nullptr);
    ASSERT_EQ(second.StyleItem(), style);
    const IGPBitmap strip = style->Image(pciTabBackGround);
    ASSERT_TRUE(strip);
    const QImage before = strip->Image().copy();
    // Warm the pictures, so a stale cache would show.
    Picture();
    second.grab();

    TSkinBackGroundColorItem black;
    black.SetBackGroundColor(0xFF000000u);
    TSkinCustomControl::AllMembersChangeSkinBackGround(&black);
    EXPECT_EQ(style->AverageGPColor(), black.AverageGPColor());
    const QRgb middle = MiddleOf(strip);
    EXPECT_EQ(qRed(middle), 165);
    EXPECT_EQ(qBlue(middle), 165);
    EXPECT_NE(strip->Image(), before);

    const QPoint empty(500, 13);
    EXPECT_TRUE(Near(Picture().pixel(empty), middle, 2));
    EXPECT_TRUE(Near(second.grab().toImage().pixel(250, 13), middle, 2));

    const QImage tinted = strip->Image().copy();
    TSkinCustomControl::AllMembersChangeSkinBackGround(&black);
    EXPECT_EQ(strip->Image(), tinted);
}

TEST_F(PageControlTest, NewSkinReachesLiveControls) {
    AddSheets(2);
    // Nothing but the skin manager: the control classes registered themselves.
    const IGPBitmap old = FControl->Image(pgiTabNormal);
    ASSERT_TRUE(SkinMng().ChangeSkinRes(QStringLiteral("SKIN"), true));
    TSkinPageControlStyleItem* style =
        SkinMng().HorzPageControlStyles().GetItem(QStringLiteral("0"));
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(FControl->StyleItem(), style);
    EXPECT_EQ(FControl->Image(pgiTabNormal), style->Image(pciTabBtnNormal));
    EXPECT_NE(FControl->Image(pgiTabNormal), old);
    EXPECT_EQ(FControl->ActivePage(), FSheets[0]);
    EXPECT_FALSE(Picture().isNull());
}

class TFailingStrip : public TSkinPageControl {
public:
    using TSkinPageControl::TSkinPageControl;

protected:
    void DrawTabsTop(TGPGraphics&, const TGPRect&) override {
        throw std::runtime_error("no strip");
    }
};

TEST_F(PageControlTest, FailingPaintIsLoggedAndTheControlStaysUsable) {
    TFailingStrip failing(FForm.get());
    failing.setObjectName(QStringLiteral("pcFailing"));
    failing.resize(200, 60);
    auto* sheet = new TSkinTabSheet(&failing);
    failing.grab();
    const QStringList lines = Log()->Lines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("ClassName:TSkinPageControl")));
    EXPECT_TRUE(lines[0].contains(QStringLiteral("AdditionalMsg:CustomPaint")));
    EXPECT_EQ(failing.ActivePage(), sheet);
}

} // namespace
} // namespace velmora::testing
