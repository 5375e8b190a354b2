#include "tests/support/WindowTestSupport.h"

#include "platform/graphics/SkinApplication.h"
#include "skin/data/SkinManage.h"
#include "skin/data/SkinMgrCommon.h"

#include <QDir>
#include <QPainter>
#include <stdexcept>

namespace velmora::testing {

namespace {
// The application object of the whole run is the program's own, created before any test.
class TApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("XDG_CACHE_HOME", QDir::tempPath().toUtf8() + "/velmora-window-tests-cache");
        qputenv("XDG_RUNTIME_DIR", QDir::tempPath().toUtf8() + "/velmora-window-tests-runtime");
        static int argc = 1;
        static char name[] = "window-tests";
        static char* argv[] = {name, nullptr};
        if (qApp == nullptr)
            new TSkinApplication(argc, argv); // lives for the whole test run
    }
};
[[maybe_unused]] ::testing::Environment* const GEnvironment =
    ::testing::AddGlobalTestEnvironment(new TApplicationEnvironment);
} // namespace

QImage StripedPicture(int width, int height) {
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 251, y % 241, (x * 7 + y * 3) % 256));
    return picture;
}

TSkinDocBuilder TTestSkin::Document(const QImage& texture, bool shadowPictures) {
    TSkinDocBuilder skin;
    skin.String("SkinInfo\\SkinName", "Window tests");
    QRgb colour = 0xFF202020;
    for (const char* button : {"Min", "Max", "Restore", "Close"})
        for (const char* state : {"Normal", "Hover", "Down"}) {
            skin.Png(QStringLiteral("SkinForm\\SysBtns\\%1_%2_Active.png")
                         .arg(QLatin1String(button), QLatin1String(state)),
                     24, 18, colour);
            colour += 0x00101010;
        }
    skin.Int("SkinForm\\SysBtns\\Position\\CloseBtnRight", 30);
    skin.Int("SkinForm\\SysBtns\\Position\\MaxBtnRight", 56);
    skin.Int("SkinForm\\SysBtns\\Position\\MinBtnRight", 82);
    skin.Bool("SkinForm\\Shadow\\EnabledShadow", true);
    if (shadowPictures) {
        skin.Png("SkinForm\\Shadow\\ShadowBitmap.png", 30, 30, 0x40000000);
    } else {
        skin.Png("SkinForm\\Shadow\\ShadowTopBitmap.png", 4, 4, 0x40000000);
        skin.Png("SkinForm\\Shadow\\ShadowLeftBitmap.png", 4, 4, 0x40000000);
    }
    skin.String("SkinForm\\Shadow\\ShadowSizeMargin", "10,10,10,10");
    skin.String("SkinForm\\Shadow\\ShadowDrawMargin", "8,8,8,8");
    skin.Image("SkinMgr\\DefaultSkins\\Image", texture);
    skin.Int("SkinMgr\\DefaultSkins\\StretchMode", smAvgColor);
    return skin;
}

void TTestSkin::Load(const TSkinDocBuilder& document) {
    const QString path = document.SaveTo(FFolder, QStringLiteral("skin%1.btd").arg(++FCount));
    SkinMng().SetIsPrepareBuildBackGndImage(false);
    ASSERT_TRUE(SkinMng().ChangeSkinFile(path, true));
}

TBaseSkinItem* TTestSkin::UserItem() const {
    return SkinMng().UserSkinConfig().AppUsedSkinItem();
}

const TSkinFormStyleItem* TTestSkin::FormStyle() const {
    return SkinMng().SkinFormStyles().FormStyleItem();
}

TBaseSkinItem* TTestSkin::ShowBackGround(const QImage& texture) {
    const QString file = FFolder.filePath(QStringLiteral("background%1.png").arg(++FCount));
    texture.save(file);
    auto item = std::make_unique<TSkinBackGroundFileItem>();
    item->SetFileStoredPosition(fspFile);
    item->SetPictureFile(file);
    item->SetStretchMode(smAvgColor);
    TBaseSkinItem* shown = item.get();
    FItems.push_back(std::move(item));
    SkinMng().ChangeSkinBackGround(shown);
    return shown;
}

void TTestSkin::Forget(TBaseSkinItem* item) {
    for (auto it = FItems.begin(); it != FItems.end(); ++it)
        if (it->get() == item) {
            FItems.erase(it);
            return;
        }
}

void WindowTest::SetUp() {
    SkinTest::SetUp();
    FSkin.Load(TTestSkin::Document());
}

void FormTest::SetUp() {
    WindowTest::SetUp();
    Form = std::make_unique<TBaseSkinForm>();
    Form->resize(400, 300);
    Form->show();
}

void FormTest::TearDown() {
    Form.reset();
    WindowTest::TearDown();
}

void TProbeControl::CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    ++CustomPaintCount;
    if (Fail)
        throw std::runtime_error("probe failure");
    LastPaintedIntoSelfImage =
        SelfBufferGPBitmap() != nullptr && &Graphics.Target() == &SelfBufferGPBitmap()->Image();
    TSkinCustomControl::CustomPaint(Graphics, ADrawRect);
    Graphics.FillRectangle(0xFFFF0000, QRectF(Square()));
}

QImage Grab(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace velmora::testing
