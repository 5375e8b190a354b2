// svg-render: sizes, formats and the faults a vendor's edited drawing can have.
#include "tools/svg-render/SvgRender.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace velmora {
namespace {

class SvgRender : public ::testing::Test {
protected:
    QString Write(const char* name, const QByteArray& text) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }
    // A half-transparent red square on a transparent 10 x 6 canvas.
    QString Drawing() {
        return Write("d.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="6"
            viewBox="0 0 10 6"><rect x="0" y="0" width="5" height="6" fill="#FF0000"
            fill-opacity="0.5"/></svg>)");
    }
    QTemporaryDir dir;
};

TEST_F(SvgRender, RendersAtTheDeclaredSizeUnlessToldOtherwise) {
    const QImage image = RenderSvg(Drawing());
    ASSERT_EQ(image.size(), QSize(10, 6));
    EXPECT_EQ(qAlpha(image.pixel(9, 0)), 0);
    EXPECT_NEAR(qAlpha(image.pixel(1, 1)), 128, 1);
    EXPECT_EQ(qRed(image.pixel(1, 1)), 255); // not premultiplied
    const QImage scaled = RenderSvg(Drawing(), QSize(20, 12));
    EXPECT_EQ(scaled.size(), QSize(20, 12));
    EXPECT_EQ(qAlpha(scaled.pixel(19, 0)), 0);
    EXPECT_GT(qAlpha(scaled.pixel(9, 11)), 0);
}

TEST_F(SvgRender, PngKeepsAlphaAndJpegIsFlattenedOntoWhite) {
    const QImage image = RenderSvg(Drawing());
    SavePicture(image, dir.filePath("out/p.png"));
    SavePicture(image, dir.filePath("out/p.jpg"));
    QImageReader png(dir.filePath("out/p.png"));
    EXPECT_EQ(png.format(), "png");
    EXPECT_EQ(png.read(), image.convertToFormat(QImage::Format_ARGB32));
    QImageReader jpeg(dir.filePath("out/p.jpg"));
    EXPECT_EQ(jpeg.format(), "jpeg");
    const QImage flat = jpeg.read();
    EXPECT_FALSE(flat.hasAlphaChannel());
    EXPECT_GT(qGreen(flat.pixel(9, 3)), 245);       // transparent became white
    EXPECT_NEAR(qGreen(flat.pixel(1, 3)), 128, 12); // half red over white
}

TEST_F(SvgRender, FaultsNameTheFile) {
    const QString broken = Write("broken.svg", "<svg");
    EXPECT_THROW(RenderSvg(broken), ESvgRenderError);
    const QString sizeless = Write("sizeless.svg", R"(<svg xmlns="http://www.w3.org/2000/svg">
        <rect width="4" height="4"/></svg>)");
    try {
        RenderSvg(sizeless);
        ADD_FAILURE() << "a drawing without a size rendered";
    } catch (const ESvgRenderError& error) {
        EXPECT_TRUE(error.Message().contains("sizeless.svg"));
    }
    EXPECT_THROW(SavePicture(RenderSvg(Drawing()), dir.filePath("p.gif")), ESvgRenderError);
    EXPECT_FALSE(QFile::exists(dir.filePath("p.gif")));
}

TEST_F(SvgRender, SizesAreWidthByHeight) {
    EXPECT_EQ(ParseSize("562x371"), QSize(562, 371));
    EXPECT_FALSE(ParseSize("562").isValid());
    EXPECT_FALSE(ParseSize("-1x4").isValid());
    EXPECT_FALSE(ParseSize("4x4px").isValid());
}

// The renderings for screens of more pixels per logical pixel: the drawing at exactly the
// scale, on whole pixels rounded up, so its edges fall where the 1x picture's fall on screen.
TEST_F(SvgRender, ScaledRenderingsHoldTheDrawingAtThatScale) {
    const QImage twice = RenderSvg(Drawing(), QSize(), 2);
    ASSERT_EQ(twice.size(), QSize(20, 12));
    EXPECT_NEAR(qAlpha(twice.pixel(9, 11)), 128, 1); // last column of the red half
    EXPECT_EQ(qAlpha(twice.pixel(10, 0)), 0);        // first column past it
    const QImage fractional = RenderSvg(Drawing(), QSize(), 1.5);
    ASSERT_EQ(fractional.size(), QSize(15, 9));
    EXPECT_NEAR(qAlpha(fractional.pixel(6, 4)), 128, 1);
    // 5 x 1.5 = 7.5: the red half covers half of column 7.
    EXPECT_NEAR(qAlpha(fractional.pixel(7, 4)), 64, 8);
    EXPECT_EQ(qAlpha(fractional.pixel(8, 4)), 0);
    EXPECT_EQ(RenderSvg(Drawing(), QSize(7, 3), 2).size(), QSize(14, 6));
    EXPECT_THROW(RenderSvg(Drawing(), QSize(), 0), ESvgRenderError);
}

TEST_F(SvgRender, ScalesAreSmallDecimalNumbers) {
    EXPECT_EQ(ParseScale("2"), 2);
    EXPECT_EQ(ParseScale("1.5"), 1.5);
    EXPECT_EQ(ParseScale("0.25"), 0.25);
    for (const char* wrong : {"0", "0.1", "9", "1,5", "2x", "-2", "", "1.5555", "nan"})
        EXPECT_EQ(ParseScale(wrong), 0) << wrong;
}

} // namespace
} // namespace velmora
