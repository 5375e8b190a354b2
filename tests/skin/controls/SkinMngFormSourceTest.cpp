#include "skin/controls/SkinMngFormSource.h"

#include "skin/controls/SkinForms.h"
#include "skin/data/SkinBackGroundItems.h"
#include "skin/data/SkinFormStyleItem.h"
#include "skin/data/SkinMng.h"
#include "tests/support/SkinDocBuilder.h"
#include "tests/support/WindowTestSupport.h"

namespace velmora::testing {
namespace {

// A form that counts its style loads and frame drawings.
class TCountingForm : public TDefaultSkinForm {
public:
    int StyleLoads = 0;
    int FrameDraws = 0;

protected:
    void LoadFormStyle() override {
        ++StyleLoads;
        TDefaultSkinForm::LoadFormStyle();
    }
    void DrawFormFrame(TGPGraphics& Graphics) override {
        ++FrameDraws;
        TDefaultSkinForm::DrawFormFrame(Graphics);
    }
};

TSkinDocBuilder FormSkin(int closeRight, QRgb texture) {
    TSkinDocBuilder skin;
    skin.String("SkinInfo\\SkinName", "Forms");
    QRgb colour = 0xFF101010;
    for (const char* button : {"Min", "Max", "Restore", "Close"})
        for (const char* state : {"Normal", "Hover", "Down"}) {
            skin.Png(QStringLiteral("SkinForm\\SysBtns\\%1_%2_Active.png")
                         .arg(QLatin1String(button), QLatin1String(state)),
                     24, 18, colour);
            colour += 0x00080808;
        }
    skin.Int("SkinForm\\SysBtns\\Position\\CloseBtnRight", closeRight);
    skin.Int("SkinForm\\SysBtns\\Position\\MaxBtnRight", closeRight + 26);
    skin.Int("SkinForm\\SysBtns\\Position\\MinBtnRight", closeRight + 52);
    skin.Bool("SkinForm\\Shadow\\EnabledShadow", true);
    skin.Png("SkinForm\\Shadow\\ShadowBitmap.png", 30, 30, 0x40000000);
    skin.String("SkinForm\\Shadow\\ShadowSizeMargin", "10,10,10,10");
    skin.String("SkinForm\\Shadow\\ShadowDrawMargin", "8,8,8,8");
    // A small texture; the rest of the window takes its mean colour.
    skin.Png("SkinMgr\\DefaultSkins\\Image", 8, 8, texture);
    skin.Int("SkinMgr\\DefaultSkins\\StretchMode", smAvgColor);
    return skin;
}

class SkinMngFormTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        FSource = std::make_unique<TSkinMngFormStyleSource>(FMng);
        FSource->Install();
    }
    void TearDown() override {
        FSource.reset();
        WindowTest::TearDown();
    }
    void Load(const TSkinDocBuilder& skin, const QString& name) {
        ASSERT_TRUE(FMng.ChangeSkinFile(skin.SaveTo(FFolder, name), false));
    }
    QTemporaryDir FFolder;
    TSkinMng FMng;
    std::unique_ptr<TSkinMngFormStyleSource> FSource;
};

TEST_F(SkinMngFormTest, FormTakesItsFrameFromTheSkinManager) {
    Load(FormSkin(40, 0xFF3366AA), QStringLiteral("one.btd"));
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.move(100, 100);
    form.show();
    const TSkinFormStyleItem* item = FMng.SkinFormStyles().FormStyleItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(form.CloseBtn()->NormalBitmapNormal(), item->SysBtnBmp(sysClose, sysNormal));
    EXPECT_EQ(form.MaxBtn()->ClickedBitmapNormal(), item->SysBtnBmp(sysRestore, sysNormal));
    EXPECT_EQ(form.CloseBtn()->pos(), QPoint(360, 1));
    EXPECT_EQ(form.CloseBtn()->size(), QSize(24, 18));
    EXPECT_TRUE(form.ShadowFrame()->Active());
    EXPECT_EQ(form.ShadowFrame()->geometry(), QRect(90, 90, 420, 320));
    ASSERT_EQ(FMng.ListenerCount(), 1);
    EXPECT_EQ(FMng.Listener(0).ChangeSkinFileMsg, 0x2341u);
    EXPECT_EQ(FMng.Listener(0).ChangeSkinBackGroundCustomColorMsg, 0x2344u);
    const QImage screen = Grab(form);
    EXPECT_EQ(screen.pixel(200, 200), 0xFF3366AAu) << "the user's texture fills the form";
}

TEST_F(SkinMngFormTest, NewSkinReachesAShownFormOnce) {
    Load(FormSkin(40, 0xFF3366AA), QStringLiteral("one.btd"));
    TCountingForm form;
    form.resize(400, 300);
    form.show();
    Grab(form);
    form.StyleLoads = 0;
    form.FrameDraws = 0;
    Load(FormSkin(50, 0xFF80A040), QStringLiteral("two.btd"));
    EXPECT_EQ(form.StyleLoads, 1);
    EXPECT_EQ(form.FrameDraws, 1);
    EXPECT_EQ(form.CloseBtn()->pos(), QPoint(350, 1));
    EXPECT_EQ(form.CloseBtn()->NormalBitmapNormal(),
              FMng.SkinFormStyles().FormStyleItem()->SysBtnBmp(sysClose, sysNormal));
    Grab(form);
    EXPECT_EQ(form.FrameDraws, 1);
}

TEST_F(SkinMngFormTest, ControlsHearOfTheNewSkinBeforeTheForm) {
    Load(FormSkin(40, 0xFF3366AA), QStringLiteral("one.btd"));
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    TProbeControl control(&form);
    control.setGeometry(20, 40, 60, 40);
    control.show();
    Grab(control);
    Load(FormSkin(50, 0xFF80A040), QStringLiteral("two.btd"));
    // Already recomposed over the form's new picture by the form's immediate walk, without
    // running its own paint again.
    EXPECT_EQ(control.BufferBitmap().convertToFormat(QImage::Format_ARGB32).pixel(1, 1),
              form.BufferBitmap().convertToFormat(QImage::Format_ARGB32).pixel(21, 41));
    EXPECT_EQ(control.CustomPaintCount, 1);
}

TEST_F(SkinMngFormTest, BackgroundColourMessageRepaintsTheFormInThatColour) {
    Load(FormSkin(40, 0xFF3366AA), QStringLiteral("one.btd"));
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    TSkinBackGroundColorItem colour;
    colour.SetBackGroundColor(0xFF208040);
    FMng.ChangeSkinBackGroundColor(&colour);
    const QImage screen = Grab(form);
    EXPECT_EQ(screen.pixel(200, 200), 0xFF208040u);
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(0x20, 0x80, 0x40));
}

TEST_F(SkinMngFormTest, UnregistersWhenDestroyed) {
    Load(FormSkin(40, 0xFF3366AA), QStringLiteral("one.btd"));
    {
        TDefaultSkinForm form;
        form.show();
        EXPECT_EQ(FMng.ListenerCount(), 1);
    }
    EXPECT_EQ(FMng.ListenerCount(), 0);
}

} // namespace
} // namespace velmora::testing
