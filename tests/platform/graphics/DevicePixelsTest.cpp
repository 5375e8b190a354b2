#include "platform/graphics/DevicePixels.h"

#include "platform/graphics/GPBitmap.h"
#include "platform/graphics/RenderingsInUse.h"

#include <gtest/gtest.h>
#include <limits>

namespace velmora {
namespace {

// Every size at every ratio a desktop offers comes back as the same logical size, and its
// pixels cover it whole: a buffer is never a pixel short of its control, nor a pixel too big.
TEST(DevicePixels, LogicalSizesSurviveEveryRatio) {
    for (const qreal ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0}) {
        for (int side = 1; side <= 300; ++side) {
            const QImage image = NewDeviceImage(QSize(side, side + 7), ratio);
            ASSERT_FALSE(image.isNull());
            EXPECT_EQ(LogicalSize(image), QSize(side, side + 7)) << ratio << " " << side;
            EXPECT_GE(image.width(), side * ratio - 1e-9) << ratio << " " << side;
            EXPECT_LT(image.width(), side * ratio + 1) << ratio << " " << side;
            EXPECT_EQ(image.devicePixelRatio(), ratio);
            EXPECT_EQ(image.pixel(image.width() - 1, image.height() - 1), 0u);
        }
    }
}

TEST(DevicePixels, SurfacesAreMadeAtOneToEightPixelsPerPixel) {
    EXPECT_EQ(SurfaceRatio(2), 2);
    EXPECT_EQ(SurfaceRatio(1.5), 1.5);
    EXPECT_EQ(SurfaceRatio(0.5), 1) << "a buffer never has fewer pixels than its size";
    EXPECT_EQ(SurfaceRatio(100), 8);
    EXPECT_EQ(SurfaceRatio(std::numeric_limits<qreal>::quiet_NaN()), 1);
    EXPECT_EQ(SurfaceRatio(std::numeric_limits<qreal>::infinity()), 1);
}

TEST(DevicePixels, LogicalRectanglesMapOntoThePicturesPixels) {
    const QImage twice = NewDeviceImage(QSize(10, 10), 2);
    EXPECT_EQ(PixelRect(QRect(3, 4, 2, 1), twice), QRect(6, 8, 4, 2));
    EXPECT_EQ(PixelRect(QRect(8, 8, 5, 5), twice), QRect(16, 16, 4, 4)) << "kept on the picture";
    const QImage half = NewDeviceImage(QSize(10, 10), 1.5);
    // 1.5 x (3, 3, 1, 1) is (4.5, 4.5, 1.5, 1.5): widened to whole pixels 4 and 5.
    EXPECT_EQ(PixelRect(QRect(3, 3, 1, 1), half), QRect(4, 4, 2, 2));
    const QImage once(10, 10, QImage::Format_ARGB32);
    EXPECT_EQ(PixelRect(QRect(3, 4, 2, 1), once), QRect(3, 4, 2, 1));
}

TEST(DevicePixels, LogicalCopiesKeepTheirRatio) {
    QImage twice = NewDeviceImage(QSize(4, 4), 2, QImage::Format_ARGB32);
    twice.setPixel(4, 2, 0xFF112233); // logical (2, 1)
    const QImage part = CopyLogical(twice, QRect(2, 1, 2, 2));
    EXPECT_EQ(part.size(), QSize(4, 4));
    EXPECT_EQ(part.devicePixelRatio(), 2);
    EXPECT_EQ(LogicalSize(part), QSize(2, 2));
    EXPECT_EQ(part.pixel(0, 0), 0xFF112233u);
}

// Only renderings some attached screen draws from are decoded: the smallest of at least the
// screen's ratio, else the largest; none for screens of ratio 1.
TEST(DevicePixels, RenderingsAreThoseTheScreensDrawFrom) {
    using TRatios = std::vector<qreal>;
    const struct {
        TRatios Screens, Available, Used;
    } cases[] = {
        {{1}, {1.5, 2}, {}},
        {{1, 1}, {2}, {}},
        {{}, {1.5, 2}, {}},
        {{1.25}, {1.5, 2}, {1.5}},
        {{1.5}, {2, 1.5}, {1.5}},
        {{1.5000000001}, {1.5, 2}, {1.5}},
        {{1.75, 2}, {1.5, 2}, {2}},
        {{3, 1, 1.25}, {1.5, 2}, {1.5, 2}},
        {{2}, {}, {}},
        {{0.5, 0}, {2}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RenderingsFor(c.Screens, c.Available), c.Used)
            << ::testing::PrintToString(c.Screens);
}

} // namespace
} // namespace velmora
