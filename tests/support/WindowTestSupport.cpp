#include "tests/support/WindowTestSupport.h"

#include "platform/graphics/SkinApplication.h"

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

void WindowTest::SetUp() {
    SkinTest::SetUp();
    FSkin = std::make_unique<TMemoryFormSkin>();
    FSkin->Install();
    FSkin->SetUserBackGround(MakeStripedBackGround(QStringLiteral("User")));
    FSkin->LoadStyle(MakeCodeFormStyle());
}

void WindowTest::TearDown() {
    FSkin.reset();
    SkinTest::TearDown();
}

std::unique_ptr<TSkinBackGround> MakeStripedBackGround(const QString& name) {
    QImage picture(600, 400, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 251, y % 241, (x * 7 + y * 3) % 256));
    return std::make_unique<TPictureBackGround>(name, std::make_shared<TGPBitmap>(picture),
                                                QColor(40, 40, 40));
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
