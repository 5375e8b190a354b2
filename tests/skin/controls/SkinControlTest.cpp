#include "skin/controls/ParentImage.h"
#include "skin/controls/SkinForms.h"
#include "skin/data/SkinFormStyleItem.h"
#include "skin/data/SkinManage.h"
#include "skin/data/SkinMgrCommon.h"
#include "tests/support/WindowTestSupport.h"

#include <QEnterEvent>
#include <QFrame>
#include <QTest>

namespace velmora::testing {
namespace {

class SkinControlTest : public FormTest {
protected:
    // The form's own picture at a point of the form.
    QRgb FormPixel(QPoint at) const {
        return Form->BufferBitmap().convertToFormat(QImage::Format_ARGB32).pixel(at);
    }
    // Every pixel of the control outside its square is the form's pixel behind it.
    void ExpectShowsFormAround(TProbeControl& control, const QImage& picture) {
        const QImage form = Form->BufferBitmap().convertToFormat(QImage::Format_ARGB32);
        int mismatches = 0;
        for (int y = 0; y < control.height(); ++y)
            for (int x = 0; x < control.width(); ++x) {
                if (control.Square().contains(x, y))
                    continue;
                if (picture.pixel(x, y) != form.pixel(control.pos() + QPoint(x, y)))
                    ++mismatches;
            }
        EXPECT_EQ(mismatches, 0);
    }
};

TEST_F(SkinControlTest, TransparentControlShowsExactlyTheFormBehindWhereItDrewNothing) {
    TProbeControl control(Form.get());
    control.setGeometry(37, 61, 60, 40);
    control.show();
    const QImage picture = Grab(control);
    ExpectShowsFormAround(control, picture);
    EXPECT_EQ(picture.pixel(control.Square().center()), 0xFFFF0000u);
}

TEST_F(SkinControlTest, MovingWithoutResizingRecomposesWithoutCustomPaint) {
    TProbeControl control(Form.get());
    control.setGeometry(20, 40, 60, 40);
    control.show();
    Grab(control);
    ASSERT_EQ(control.CustomPaintCount, 1);
    control.move(150, 120);
    const QImage moved = Grab(control);
    EXPECT_EQ(control.CustomPaintCount, 1);
    ExpectShowsFormAround(control, moved);
    control.resize(70, 40);
    Grab(control);
    EXPECT_EQ(control.CustomPaintCount, 2) << "a new size always rebuilds the self image";
}

TEST_F(SkinControlTest, OpaqueControlPaintsItsColourAndReleasesTheParentPicture) {
    TProbeControl control(Form.get());
    control.setGeometry(20, 40, 60, 40);
    control.show();
    Grab(control);
    ASSERT_NE(control.ParentImageBufferBitmap(), nullptr);
    control.SetColor(QColor(0, 200, 0));
    control.SetTransparent(false);
    EXPECT_EQ(control.ParentImageBufferBitmap(), nullptr);
    QImage picture = Grab(control);
    EXPECT_EQ(picture.pixel(1, 1), qRgb(0, 200, 0));
    EXPECT_EQ(picture.pixel(control.Square().center()), 0xFFFF0000u);
    EXPECT_EQ(control.ParentImageBufferBitmap(), nullptr);

    control.SetTransparent(true);
    EXPECT_EQ(control.ParentImageBufferBitmap(), nullptr) << "recreated by the next paint only";
    picture = Grab(control);
    ASSERT_NE(control.ParentImageBufferBitmap(), nullptr);
    ExpectShowsFormAround(control, picture);
}

TEST_F(SkinControlTest, WithoutTheSelfImageCustomPaintDrawsIntoTheComposedBufferEveryRebuild) {
    TProbeControl control(Form.get());
    control.setGeometry(20, 40, 60, 40);
    control.SetEnableGdiPlusBuffer(false);
    control.show();
    QImage picture = Grab(control);
    EXPECT_EQ(control.SelfBufferGPBitmap(), nullptr);
    EXPECT_FALSE(control.LastPaintedIntoSelfImage);
    ExpectShowsFormAround(control, picture);
    EXPECT_EQ(picture.pixel(control.Square().center()), 0xFFFF0000u);
    const int before = control.CustomPaintCount;
    control.move(30, 50);
    picture = Grab(control);
    EXPECT_EQ(control.CustomPaintCount, before + 1);
    ExpectShowsFormAround(control, picture);

    control.SetEnableGdiPlusBuffer(true);
    Grab(control);
    EXPECT_TRUE(control.LastPaintedIntoSelfImage);
}

TEST_F(SkinControlTest, InstanceListIsFreedWithTheLastControlAndMadeAgainForTheNext) {
    ASSERT_EQ(TSkinCustomControl::ControlList(), nullptr);
    {
        TProbeControl first(Form.get());
        TProbeControl second(Form.get());
        ASSERT_NE(TSkinCustomControl::ControlList(), nullptr);
        EXPECT_EQ(TSkinCustomControl::ControlList()->size(), 2u);
    }
    EXPECT_EQ(TSkinCustomControl::ControlList(), nullptr);
    {
        TProbeControl later(Form.get());
        ASSERT_NE(TSkinCustomControl::ControlList(), nullptr);
        EXPECT_EQ(TSkinCustomControl::ControlList()->front(), &later);
    }
    EXPECT_EQ(TSkinCustomControl::ControlList(), nullptr);
}

TEST_F(SkinControlTest, AllMembersChangeSkinFileRecomposesWithoutCustomPaint) {
    TProbeControl control(Form.get());
    control.setGeometry(20, 40, 60, 40);
    control.show();
    Grab(control);
    TSkinCustomControl::AllMembersChangeSkinFile();
    Grab(control);
    EXPECT_EQ(control.CustomPaintCount, 1);
}

TEST_F(SkinControlTest, ChildOfASkinnedControlShowsItsParentsComposedPicture) {
    TProbeControl outer(Form.get());
    outer.setGeometry(20, 40, 200, 150);
    TProbeControl inner(&outer);
    inner.setGeometry(90, 60, 40, 30); // over the outer square
    outer.show();
    const QImage picture = Grab(outer);
    const QImage innerPicture = Grab(inner);
    const QImage outerBuffer = outer.BufferBitmap().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(innerPicture.pixel(0, 0), outerBuffer.pixel(90, 60));
    EXPECT_EQ(innerPicture.pixel(inner.Square().center()), 0xFFFF0000u);
    EXPECT_EQ(picture.pixel(0, 0), FormPixel({20, 40}));
}

TEST_F(SkinControlTest, ChildOfAPlainParentShowsThatParentsOwnPainting) {
    QFrame box(Form.get());
    box.setGeometry(50, 50, 200, 100);
    box.setAutoFillBackground(true);
    QPalette colours = box.palette();
    colours.setColor(QPalette::Window, QColor(10, 20, 30));
    box.setPalette(colours);
    TProbeControl control(&box);
    control.setGeometry(30, 20, 60, 40);
    box.show();
    const QImage picture = Grab(control);
    EXPECT_EQ(picture.pixel(1, 1), qRgb(10, 20, 30));
    EXPECT_EQ(picture.pixel(control.Square().center()), 0xFFFF0000u);
}

TEST_F(SkinControlTest, ParentPictureCopyNeverReadsPastTheSource) {
    TProbeControl control(Form.get());
    control.setGeometry(380, 280, 60, 40); // hangs over the form's right and bottom edges
    control.show();
    QImage target(60, 40, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::transparent);
    DrawParentImage(&control, target, 0, 0);
    const QImage straight = target.convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(straight.pixel(0, 0), FormPixel({380, 280}));
    EXPECT_EQ(qAlpha(straight.pixel(30, 30)), 0) << "outside the form nothing is copied";
}

// A skinned surface whose own buffer cannot serve the control (missing, or smaller than the
// control) lends the control its background picture instead.
TEST_F(SkinControlTest, SmallFormBufferFallsBackToTheBackgroundPicture) {
    struct TSurface : QWidget, TSkinFormSurface {
        QImage Buffer, Background;
        const QImage* FormBufferImage() const override {
            return Buffer.isNull() ? nullptr : &Buffer;
        }
        const QImage* BackGroundBufferImage() const override { return &Background; }
    } surface;
    surface.resize(200, 200);
    surface.Background =
        StripedPicture(200, 200).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    TProbeControl control(&surface);
    control.setGeometry(30, 50, 60, 40);
    for (const QSize buffer : {QSize(), QSize(50, 30)}) {
        if (!buffer.isEmpty()) {
            surface.Buffer = QImage(buffer, QImage::Format_ARGB32_Premultiplied);
            surface.Buffer.fill(Qt::red);
        }
        QImage target(60, 40, QImage::Format_ARGB32_Premultiplied);
        target.fill(Qt::transparent);
        DrawParentImage(&control, target, 0, 0);
        const QImage straight = target.convertToFormat(QImage::Format_ARGB32);
        for (const QPoint at : {QPoint(0, 0), QPoint(59, 39), QPoint(10, 5)})
            EXPECT_EQ(straight.pixel(at), StripedPicture(200, 200).pixel(at + QPoint(30, 50)))
                << buffer.width() << " at " << at.x() << "," << at.y();
    }
}

TEST_F(SkinControlTest, ImmediateWalkRefreshesEveryControlBeforeReturning) {
    TProbeControl control(Form.get());
    control.setGeometry(20, 40, 60, 40);
    control.show();
    Grab(control);
    Skin().ShowBackGround(StripedPicture().mirrored(true, false));
    // The form's background changed; the control already holds the new picture behind it.
    const QImage buffer = control.BufferBitmap().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(buffer.pixel(0, 0), FormPixel({20, 40}));
    EXPECT_EQ(control.CustomPaintCount, 1);
}

TEST_F(SkinControlTest, DeferredWalkMarksParentPicturesStale) {
    TProbeControl control(Form.get());
    control.setGeometry(20, 40, 60, 40);
    control.show();
    Grab(control);
    RePaintParentImageAll(Form.get());
    QImage picture = Grab(control);
    ExpectShowsFormAround(control, picture);
    EXPECT_EQ(control.CustomPaintCount, 1);
}

TEST_F(SkinControlTest, FailedPaintKeepsTheLastPictureAndFillsTheGrowthFromTheParent) {
    TProbeControl control(Form.get());
    control.setGeometry(20, 40, 60, 40);
    control.show();
    const QImage before = Grab(control);
    control.Fail = true;
    control.resize(80, 40);
    const QImage after = Grab(control);
    EXPECT_EQ(after.pixel(before.width() / 2, 20), 0xFFFF0000u) << "the old square stays";
    EXPECT_EQ(after.pixel(70, 5), FormPixel({20 + 70, 40 + 5})) << "the new strip is the form";
    ASSERT_FALSE(Log()->Lines().isEmpty());
    EXPECT_TRUE(Log()->Lines().last().endsWith(QStringLiteral("AdditionalMsg:Paint")));
}

TEST_F(SkinControlTest, LoadingShowsThePlaceholderUntilLoaded) {
    TProbeControl control(Form.get());
    control.setGeometry(20, 40, 60, 40);
    control.BeginLoad();
    control.show();
    QImage picture = Grab(control);
    EXPECT_EQ(picture.pixel(0, 0), 0xFF00FFFFu);
    EXPECT_EQ(picture.pixel(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(control.CustomPaintCount, 0);
    // The skin font arrives when loading ends, not while the description is read, and only
    // for controls that use it.
    TProbeControl own(Form.get());
    own.SetUseSkinFont(false);
    for (TProbeControl* c : {&control, &own}) {
        QFont big = c->font();
        big.setPointSize(30);
        c->setFont(big);
    }
    own.BeginLoad();
    own.EndLoad();
    EXPECT_EQ(control.font().pointSize(), 30);
    control.EndLoad();
    EXPECT_EQ(control.font().pointSize(), SkinMng().SkinFont().Size);
    EXPECT_EQ(own.font().pointSize(), 30);
    picture = Grab(control);
    EXPECT_EQ(control.CustomPaintCount, 1);
    ExpectShowsFormAround(control, picture);
}

// --- title-area controls ---------------------------------------------------------------------

class TitleControlTest : public WindowTest {};

TEST_F(TitleControlTest, NeverHoveredNeverPaintsItselfAndTheFormShowsItsNormalImage) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    const QImage screen = Grab(form);
    TSysCloseBtn* close = form.CloseBtn();
    EXPECT_FALSE(close->SelfPaint());
    EXPECT_EQ(close->SelfBufferGPBitmap(), nullptr);
    ASSERT_NE(close->NormalBufferGPBitmap(), nullptr);
    // The glyph's centre: the close picture is opaque white there.
    const QPoint centre = close->geometry().center();
    EXPECT_EQ(screen.pixel(centre),
              form.BufferBitmap().convertToFormat(QImage::Format_ARGB32).pixel(centre));
    const QImage background = form.BackGroundBufferImage()->convertToFormat(QImage::Format_ARGB32);
    EXPECT_NE(screen.pixel(centre), background.pixel(centre)) << "the glyph is on the form";
}

TEST_F(TitleControlTest, HoverPaintsTheHoverPictureAndLeavingStops) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    TSysCloseBtn* close = form.CloseBtn();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(close, &enter);
    EXPECT_TRUE(close->MouseInClient());
    QImage picture = Grab(*close);
    ASSERT_NE(close->SelfBufferGPBitmap(), nullptr);
    // The skin's hover picture of the close button, not its normal one.
    const TSkinFormStyleItem& style = *form.FormStyleItem();
    EXPECT_EQ(picture.pixel(3, 3), style.SysBtnBmp(sysClose, sysHover)->GetPixel(3, 3));
    EXPECT_NE(picture.pixel(3, 3), style.SysBtnBmp(sysClose, sysNormal)->GetPixel(3, 3));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(close, &leave);
    EXPECT_FALSE(close->SelfPaint());
}

TEST_F(TitleControlTest, InstanceListFollowsTheLiveButtons) {
    EXPECT_EQ(TFormDrawSkinCustomControl::ControlList(), nullptr);
    {
        TDefaultSkinForm form;
        ASSERT_NE(TFormDrawSkinCustomControl::ControlList(), nullptr);
        EXPECT_EQ(TFormDrawSkinCustomControl::ControlList()->size(), 3u);
    }
    EXPECT_EQ(TFormDrawSkinCustomControl::ControlList(), nullptr);
}

// --- many controls ---------------------------------------------------------------------------

TEST_F(SkinControlTest, OneHoverChangeAmongTwentyControlsRunsCustomPaintOnce) {
    std::vector<std::unique_ptr<TProbeControl>> controls;
    for (int i = 0; i < 20; ++i) {
        auto control = std::make_unique<TProbeControl>(Form.get());
        control->setGeometry(10 + (i % 5) * 75, 40 + (i / 5) * 60, 70, 50);
        control->show();
        controls.push_back(std::move(control));
    }
    Grab(*Form);
    int before = 0;
    for (const auto& control : controls)
        before += control->CustomPaintCount;
    controls[7]->RepaintSelfImage();
    Grab(*Form);
    int after = 0;
    for (const auto& control : controls)
        after += control->CustomPaintCount;
    EXPECT_EQ(after - before, 1);
}

} // namespace
} // namespace velmora::testing

namespace velmora::testing {
namespace {

// A control that records what the skin tells it and draws a blue corner after composing.
class TSkinListeningProbe : public TSkinCustomControl {
public:
    explicit TSkinListeningProbe(QWidget* parent) : TSkinCustomControl(parent) {
        FIsNeedAppendPaint = true;
    }
    int SkinFileChanges = 0;
    int AppendPaints = 0;
    TBaseSkinItem* Item = nullptr;
    quint32 TextColour = 0;

protected:
    void ChangeSkinFile() override {
        ++SkinFileChanges;
        TSkinCustomControl::ChangeSkinFile();
    }
    void ChangeSkinBackGroundItem(TBaseSkinItem* AItem) override {
        Item = AItem;
        TextColour = AItem != nullptr ? AItem->TextColor() : 0;
    }
    void AppendPaint(TGPGraphics& Graphics, const TGPRect&) override {
        ++AppendPaints;
        Graphics.FillRectangle(0xFF0000FFu, QRectF(0, 0, 4, 4));
    }
};

// Nothing but the skin manager loading the installer's own skin: a control on a shown form
// hears of the skin, wears its font, gets the background item and appends its paint.
TEST_F(SkinControlTest, ProbeHearsEverythingFromTheSkinManagerAlone) {
    TSkinListeningProbe probe(Form.get());
    probe.setGeometry(20, 40, 60, 40);
    probe.show();
    SkinMng().SetIsPrepareBuildBackGndImage(false);
    ASSERT_TRUE(SkinMng().ChangeSkinRes(QStringLiteral("SKIN"), true));
    EXPECT_EQ(probe.SkinFileChanges, 1);
    const TFrameworkFont& skinFont = SkinMng().SkinFont();
    EXPECT_EQ(probe.font().family(), skinFont.Name);
    EXPECT_EQ(probe.font().pointSize(), skinFont.Size);
    TBaseSkinItem* item = SkinMng().UserSkinConfig().AppUsedSkinItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(probe.Item, item);
    EXPECT_EQ(Form->BackGroundItem(), item);
    // The text colour readable on the item: black or white, whichever contrasts.
    EXPECT_TRUE(probe.TextColour == 0 || probe.TextColour == 0xFFFFFF) << probe.TextColour;
    const QImage picture = Grab(probe);
    EXPECT_GE(probe.AppendPaints, 1);
    EXPECT_EQ(picture.pixel(1, 1), 0xFF0000FFu);
    EXPECT_EQ(picture.pixel(30, 30), FormPixel({50, 70})) << "the form shows through";
}

// A control laid out from a skin node keeps its distance to the edges it is anchored to.
TEST_F(SkinControlTest, AnchoredControlFollowsTheFormsEdges) {
    TProbeControl stretched(Form.get());
    TProbeControl corner(Form.get());
    stretched.SetControlBounds(10, 40, 100, 30);
    stretched.SetSkinAnchors(akLeft | akTop | akRight);
    corner.SetControlBounds(350, 250, 20, 20);
    corner.SetSkinAnchors(akRight | akBottom);
    TRect client;
    ASSERT_TRUE(stretched.ParentSkinClientRect(client));
    EXPECT_EQ(client.Top, Form->ClientLayoutRect().Top);
    Form->resize(500, 360);
    EXPECT_EQ(stretched.geometry(), QRect(10, 40, 200, 30));
    EXPECT_EQ(corner.geometry(), QRect(450, 310, 20, 20));
    QWidget plain;
    TProbeControl orphan(&plain);
    EXPECT_FALSE(orphan.ParentSkinClientRect(client)) << "only a skinned form lays out";
}

} // namespace
} // namespace velmora::testing
