#include "skin/drawing/GDIIMGADV.h"

#include "platform/graphics/PictureDecoder.h"
#include "skin/drawing/GDIBIGIMGPro.h"
#include "skin/drawing/GDIIMGPro.h"
#include "skin/drawing/GdiSkinHelper.h"
#include "skin/drawing/StretchFill.h"
#include "tests/support/PictureMeasures.h"
#include "tests/support/SkinTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace velmora {
namespace {

// A picture whose every pixel is distinct, so any misplaced or scaled pixel shows.
IGPBitmap Distinct(int width, int height) {
    IGPBitmap bitmap = NewGPBitmap(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap->SetPixel(x, y, qRgba(x * 4, y * 4, (x + y) % 256, 255));
    return bitmap;
}

// Paints the element at (0, 0) onto a fresh transparent target of its size.
TGPBitmap Rendered(TGDIIMGSliced& element, int width, int height) {
    TGPBitmap target(width, height);
    TGPGraphics graphics(target);
    element.Paint(&graphics, 0, 0);
    return target;
}

class NineSliceElements : public testing::SkinTest {};

TEST_F(NineSliceElements, SameSizeReproducesThePictureExactly) {
    const IGPBitmap source = Distinct(30, 30);
    TGDIIMGADV element;
    element.SetImage(source);
    element.SetMargin(10, 10, 10, 10);
    element.SetBounds(0, 0, 30, 30);
    EXPECT_EQ(Rendered(element, 30, 30).Image(), source->Image());
}

TEST_F(NineSliceElements, CornersStayUnscaledWhenLarger) {
    const IGPBitmap source = Distinct(30, 30);
    TGDIIMGADV element;
    element.SetImage(source);
    element.SetMargin(10, 10, 10, 10);
    element.SetBounds(0, 0, 100, 50);
    const TGPBitmap target = Rendered(element, 100, 50);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            ASSERT_EQ(target.GetPixel(x, y), source->GetPixel(x, y));
            ASSERT_EQ(target.GetPixel(90 + x, y), source->GetPixel(20 + x, y));
            ASSERT_EQ(target.GetPixel(x, 40 + y), source->GetPixel(x, 20 + y));
            ASSERT_EQ(target.GetPixel(90 + x, 40 + y), source->GetPixel(20 + x, 20 + y));
        }
}

TEST_F(NineSliceElements, ClipMarginsCropTheSourceFirst) {
    const IGPBitmap source = Distinct(60, 20);
    TGDIIMGADV element;
    element.SetImage(source);
    element.SetClipMargin(0, 0, 20, 0);
    element.SuitImageSize();
    EXPECT_EQ(element.Width(), 40);
    EXPECT_EQ(element.Height(), 20);
    const TGPBitmap target = Rendered(element, 60, 20);
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(target.GetPixel(x, 5), source->GetPixel(x, 5)) << x;
    EXPECT_EQ(target.GetPixel(45, 5), 0u); // nothing beyond the cropped width
}

TEST_F(NineSliceElements, MarginsSummingToTheWidthLeaveTheMiddleUndrawnWithoutError) {
    const IGPBitmap source = Distinct(30, 30);
    TGDIIMGADV element;
    element.SetImage(source);
    element.SetMargin(10, 10, 10, 10);
    element.SetBounds(0, 0, 20, 40);
    const TGPBitmap target = Rendered(element, 20, 40);
    EXPECT_EQ(target.GetPixel(0, 0), source->GetPixel(0, 0));
    EXPECT_EQ(target.GetPixel(19, 39), source->GetPixel(29, 29));
    EXPECT_TRUE(Log()->Lines().isEmpty());
}

TEST_F(NineSliceElements, SecondPaintAtTheSameSizeBuildsNothing) {
    TGDIIMGADV element;
    element.SetImage(Distinct(30, 30));
    element.SetMargin(10, 10, 10, 10);
    element.SetBounds(0, 0, 100, 50);
    Rendered(element, 100, 50);
    Rendered(element, 100, 50);
    EXPECT_EQ(element.PieceCutCount(), 1);
    EXPECT_EQ(element.ComposeCount(), 1);
    EXPECT_EQ(element.CropCount(), 1);
}

TEST_F(NineSliceElements, HeightOnlyShrinkRecomposesWithoutRecutting) {
    const IGPBitmap source = Distinct(30, 30);
    TGDIIMGADV element;
    element.SetImage(source);
    element.SetMargin(10, 10, 10, 10);
    element.SetBounds(0, 0, 100, 50);
    Rendered(element, 100, 50);
    element.SetHeight(30);
    const TGPBitmap target = Rendered(element, 100, 30);
    EXPECT_EQ(element.PieceCutCount(), 1);
    EXPECT_EQ(element.ComposeCount(), 2);
    EXPECT_EQ(element.BufferGPBitmap()->Height(), 30);
    EXPECT_EQ(target.GetPixel(95, 25), source->GetPixel(25, 25)); // bottom-right corner moved up
    element.SetHeight(80); // beyond the cut size: pieces are cut again
    Rendered(element, 100, 80);
    EXPECT_EQ(element.PieceCutCount(), 2);
    EXPECT_EQ(element.LastPartHeight(), 80);
}

TEST_F(NineSliceElements, MarginChangeAfterBuildRebuilds) {
    TGDIIMGADV element;
    element.SetImage(Distinct(30, 30));
    element.SetBounds(0, 0, 60, 60);
    Rendered(element, 60, 60);
    element.SetMargin(10, 10, 10, 10);
    element.SetMargin(10, 10, 10, 10); // unchanged: nothing more to do
    Rendered(element, 60, 60);
    EXPECT_EQ(element.PieceCutCount(), 2);
    EXPECT_EQ(element.ComposeCount(), 2);
}

TEST_F(NineSliceElements, AbsurdSizeFailsTheBuildWithOneLogEntry) {
    TGDIIMGADV element;
    element.SetImage(Distinct(10, 10));
    element.SetBounds(0, 0, 100000, 100000);
    TGPBitmap target(4, 4);
    TGPGraphics graphics(target);
    element.Paint(&graphics, 0, 0);
    EXPECT_FALSE(element.Builded());
    const QStringList lines = Log()->Lines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.last().endsWith("AdditionalMsg:BuildBuffer"));
}

TEST_F(NineSliceElements, EmptyImageUnbuilds) {
    TGDIIMGADV element;
    element.SetImage(Distinct(10, 10));
    element.SetBounds(0, 0, 10, 10);
    element.Build();
    EXPECT_TRUE(element.Builded());
    element.SetImage({});
    EXPECT_FALSE(element.Builded());
    EXPECT_FALSE(element.BufferGPBitmap());
}

// A 30-wide picture with margins 10 whose centre tile (10 x 10) is red with a blue first
// column; the element is 45 wide, so the centre area is 25 wide.
IGPBitmap TilePicture() {
    IGPBitmap bitmap = NewGPBitmap(30, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            bitmap->SetPixel(x, y, x == 10 ? 0xFF0000FF : 0xFFFF0000);
    return bitmap;
}

TEST_F(NineSliceElements, TileBothLeavesAPartialLastTile) {
    TGDIIMGADV element;
    element.SetImage(TilePicture());
    element.SetMargin(10, 10, 10, 10);
    element.SetStrecthMode(smTileBoth);
    element.SetBounds(0, 0, 45, 30);
    const TGPBitmap target = Rendered(element, 45, 30);
    for (int x = 10; x < 35; ++x) {
        const bool tileStart = x == 10 || x == 20 || x == 30;
        EXPECT_EQ(target.GetPixel(x, 15), tileStart ? 0xFF0000FFu : 0xFFFF0000u) << x;
    }
}

TEST_F(NineSliceElements, TileHorzCompressesTheWholeTileIntoTheLastColumn) {
    IGPBitmap picture = NewGPBitmap(30, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            picture->SetPixel(x, y, x < 15 ? 0xFFFF0000 : 0xFF0000FF);
    TGDIIMGADV element;
    element.SetImage(picture);
    element.SetMargin(10, 10, 10, 10);
    element.SetStrecthMode(smTileHorz);
    element.SetBounds(0, 0, 45, 30);
    const TGPBitmap target = Rendered(element, 45, 30);
    EXPECT_EQ(target.GetPixel(10, 15), 0xFFFF0000u);
    EXPECT_EQ(target.GetPixel(19, 15), 0xFF0000FFu);
    EXPECT_EQ(target.GetPixel(30, 15), 0xFFFF0000u); // last column, 5 wide: red half ...
    EXPECT_EQ(target.GetPixel(34, 15), 0xFF0000FFu); // ... then blue half, compressed
}

TEST_F(NineSliceElements, TileVertCompressesTheWholeTileIntoTheLastRow) {
    IGPBitmap picture = NewGPBitmap(30, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            picture->SetPixel(x, y, y < 15 ? 0xFFFF0000 : 0xFF0000FF);
    TGDIIMGADV element;
    element.SetImage(picture);
    element.SetMargin(10, 10, 10, 10);
    element.SetStrecthMode(smTileVert);
    element.SetBounds(0, 0, 30, 45);
    const TGPBitmap target = Rendered(element, 30, 45);
    EXPECT_EQ(target.GetPixel(15, 10), 0xFFFF0000u);
    EXPECT_EQ(target.GetPixel(15, 19), 0xFF0000FFu);
    EXPECT_EQ(target.GetPixel(15, 20), 0xFFFF0000u); // second tile starts again
    EXPECT_EQ(target.GetPixel(15, 30), 0xFFFF0000u); // last row, 5 high: both halves
    EXPECT_EQ(target.GetPixel(15, 34), 0xFF0000FFu);
}

TEST(AverageColour, MeanOfSampledPixels) {
    IGPBitmap bitmap = NewGPBitmap(10, 10);
    bitmap->SetPixel(0, 0, 0xFF102030);
    bitmap->SetPixel(5, 0, 0xFF304050);
    bitmap->SetPixel(0, 5, 0x00506070); // alpha is ignored
    bitmap->SetPixel(5, 5, 0xFF000000);
    EXPECT_EQ(TGDIIMGSliced::GetAverageGPColor(bitmap, 0, 5, 5, 10, 10, 0), 0xFF24303Cu);
    EXPECT_EQ(TGDIIMGSliced::GetAverageGPColor(bitmap, 20, 5, 5, 10, 30, 0), 0u);
    EXPECT_EQ(TGDIIMGSliced::GetAverageGPColor(bitmap, 0, 0, 5, 10, 10, 0), 0u); // no endless loop
    EXPECT_EQ(TGDIIMGSliced::GetAverageGPColor(bitmap, -5, 5, 5, 10, 10, 0),
              TGDIIMGSliced::GetAverageGPColor(bitmap, 0, 5, 5, 10, 10, 0));
}

TEST(AverageColour, FadeMultipliesAlphaColumnByColumnThenRowByRow) {
    QImage image(40, 30, QImage::Format_ARGB32);
    image.fill(0xFF808080);
    FadeTrailingEdges(image);
    EXPECT_EQ(qAlpha(image.pixel(14, 0)), 255); // first of the last 26 columns, factor 1.0
    EXPECT_EQ(qAlpha(image.pixel(15, 0)), 244); // 255 * 0.96
    EXPECT_EQ(qAlpha(image.pixel(16, 0)), 234); // 255 * 0.92
    EXPECT_EQ(qAlpha(image.pixel(13, 0)), 255);
    EXPECT_LE(qAlpha(image.pixel(39, 0)), 11);
    EXPECT_EQ(qAlpha(image.pixel(0, 5)), 244);  // rows 4.. faded: row 5 has factor 0.96
    EXPECT_EQ(qAlpha(image.pixel(15, 5)), 234); // 244 * 0.96, truncated
    QImage small(25, 40, QImage::Format_ARGB32);
    small.fill(0xFF808080);
    FadeTrailingEdges(small);
    EXPECT_EQ(qAlpha(small.pixel(24, 39)), 255); // 25 wide: no fading
}

TEST_F(NineSliceElements, AverageColourModeBacksTheFadeWithTheMean) {
    // Top half red, bottom half blue: the samples at y = 0, 5, ... 55 are half and half.
    IGPBitmap picture = NewGPBitmap(60, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            picture->SetPixel(x, y, y < 30 ? 0xFFFF0000 : 0xFF0000FF);
    TGDIIMGADV element;
    element.SetImage(picture);
    element.SetStrecthMode(smAvgColor);
    element.SetBounds(0, 0, 60, 60);
    const TGPBitmap target = Rendered(element, 60, 60);
    EXPECT_EQ(target.GetPixel(10, 10), 0xFFFF0000u); // unfaded area keeps the picture
    const QRgb faded = target.GetPixel(59, 10);      // nearly transparent over the mean
    EXPECT_EQ(qAlpha(faded), 255);
    EXPECT_NEAR(qRed(faded), 127, 12);
    EXPECT_NEAR(qBlue(faded), 127, 12);
}

TEST_F(NineSliceElements, AverageColourModeSmallAreaIsNotFaded) {
    TGDIIMGADV element;
    element.SetImage(Distinct(20, 20));
    element.SetStrecthMode(smAvgColor);
    element.SetBounds(0, 0, 20, 20);
    const TGPBitmap target = Rendered(element, 20, 20);
    EXPECT_EQ(target.Image(), Distinct(20, 20)->Image());
}

TEST_F(NineSliceElements, ProStretchBothBuildsOnceAndMatchesTheHelper) {
    const IGPBitmap source = Distinct(30, 30);
    TGDIIMGPro element;
    element.SetImage(source);
    element.SetMargin(10, 10, 10, 10);
    element.SetBounds(0, 0, 100, 50);
    const TGPBitmap target = Rendered(element, 100, 50);
    Rendered(element, 100, 50);
    EXPECT_EQ(element.ComposeCount(), 1);
    TGPBitmap expected(100, 50);
    {
        TGPGraphics graphics(expected);
        TSkinHelper::StretchDrawImageInRectByMargins(graphics, source, {0, 0, 100, 50}, 10, 10, 10,
                                                     10);
    }
    EXPECT_EQ(target.Image(), expected.Image());
}

TEST_F(NineSliceElements, ProTileModeKeepsItsBufferWithinTheMaximum) {
    TGDIIMGPro element;
    element.SetImage(TilePicture());
    element.SetMargin(10, 10, 10, 10);
    element.SetStrecthMode(smTileBoth);
    element.SetBounds(0, 0, 45, 30);
    const TGPBitmap first = Rendered(element, 45, 30);
    element.SetWidth(40);
    Rendered(element, 40, 30);
    EXPECT_EQ(element.ComposeCount(), 1);
    EXPECT_EQ(element.BufferGPBitmap()->Width(), element.MaxDrawWidth());
    EXPECT_EQ(first.GetPixel(20, 15), 0xFF0000FFu);
    EXPECT_EQ(first.GetPixel(21, 15), 0xFFFF0000u);
}

class FixedScreenBig : public TGDIBIGIMGPro {
public:
    QSize Screen{200, 100};

protected:
    QSize CurrentScreenSize() const override { return Screen; }
};

TEST_F(NineSliceElements, BigImageBothBufferStylesGiveTheSamePicture) {
    const IGPBitmap source = Distinct(30, 30);
    TGDIBIGIMGPro drawn;
    TGDIBIGIMGPro copied;
    copied.SetBuildBufferImageStyle(bbisBitmap);
    for (TGDIBIGIMGPro* element : {&drawn, &copied}) {
        element->SetImage(source);
        element->SetMargin(10, 10, 10, 10);
        element->SetBounds(0, 0, 70, 40);
        element->Build();
    }
    ASSERT_TRUE(drawn.BufferGPBitmap());
    ASSERT_FALSE(copied.BufferBitmap().isNull());
    EXPECT_TRUE(copied.BufferGPBitmap() == nullptr);
    EXPECT_EQ(copied.BufferBitmap(), drawn.BufferGPBitmap()->Image());
    EXPECT_EQ(drawn.BufferGPBitmap()->GetPixel(65, 35), source->GetPixel(25, 25));
}

TEST_F(NineSliceElements, BigImageResizingRecomposesAndScreenChangeRecuts) {
    FixedScreenBig element;
    element.SetImage(Distinct(30, 30));
    element.SetMargin(10, 10, 10, 10);
    element.SetBounds(0, 0, 70, 40);
    element.Build();
    element.SetBounds(0, 0, 90, 60);
    element.Build();
    element.Build();
    EXPECT_EQ(element.PieceCutCount(), 1);
    EXPECT_EQ(element.ComposeCount(), 2);
    element.Screen = QSize(element.MaxDrawWidth() + 100, element.MaxDrawHeight());
    element.Build();
    EXPECT_EQ(element.PieceCutCount(), 2);
    EXPECT_EQ(element.MaxDrawWidth(), element.Screen.width());
}

// The centre is cut once at screen size; a smaller window must show the whole centre squeezed,
// not the top-left crop of the screen-sized piece. A horizontal gradient tells them apart.
TEST_F(NineSliceElements, BigImageStretchModeStretchesTheWholeCentre) {
    IGPBitmap texture = NewGPBitmap(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            texture->SetPixel(x, y, qRgb(x * 16, 0, 255 - x * 16));
    FixedScreenBig element;
    element.Screen = QSize(120, 80);
    element.SetImage(texture);
    element.SetStrecthMode(smStretchBoth);
    element.SetMargin(4, 4, 4, 4);
    for (const QSize size : {QSize(120, 80), QSize(60, 40)}) {
        element.SetBounds(0, 0, size.width(), size.height());
        const TGPBitmap picture = Rendered(element, size.width(), size.height());
        const int centreWidth = size.width() - 8;
        // Source column 4 + (x - 4) * 8 / centreWidth of the gradient, near each end.
        for (const int x : {6, size.width() / 2, size.width() - 6}) {
            const double source = 4 + (x - 4 + 0.5) * 8.0 / centreWidth - 0.5;
            EXPECT_NEAR(qRed(picture.GetPixel(x, size.height() / 2)), source * 16, 20)
                << size.width() << " x " << x;
        }
    }
}

TEST_F(NineSliceElements, SaveToFileWritesTheBuffer) {
    QTemporaryDir folder;
    TGDIIMGADV element;
    element.SetImage(Distinct(12, 12));
    element.SetBounds(0, 0, 12, 12);
    EXPECT_FALSE(element.SaveToFile(folder.filePath("early.png"))); // nothing built yet
    ASSERT_EQ(Log()->Lines().size(), 1);
    EXPECT_TRUE(Log()->Lines()[0].endsWith("AdditionalMsg:SaveToFile"));
    element.Build();
    ASSERT_TRUE(element.SaveToFile(folder.filePath("built.png")));
    QFile file(folder.filePath("built.png"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const TDecodedPicture picture = DecodePicture(file.readAll());
    ASSERT_TRUE(picture.Ok());
    EXPECT_EQ(picture.Frames[0],
              element.BufferGPBitmap()->Image().convertToFormat(QImage::Format_ARGB32));
}

// --- surfaces of two device pixels per logical pixel ------------------------------------------

// The 2x rendering of a picture: distinct pixels that no enlargement of the 1x picture gives.
QImage TwiceRendering(int width, int height) {
    QImage image(width * 2, height * 2, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba((x * 7) % 256, (y * 11) % 256, (x * 3 + y * 5) % 256, 255));
    image.setDevicePixelRatio(2);
    return image;
}

// Paints the element at (0, 0) onto a transparent target of its size at ratio.
TGPBitmap RenderedAt(TGDIIMGSliced& element, int width, int height, qreal ratio) {
    TGPBitmap target(width, height, ratio);
    TGPGraphics graphics(target);
    element.Paint(&graphics, 0, 0);
    return target;
}

enum class TKind { Adv, Pro, Big, BigCopied };

std::unique_ptr<TGDIIMGSliced> NewElement(TKind AKind) {
    switch (AKind) {
    case TKind::Adv:
        return std::make_unique<TGDIIMGADV>();
    case TKind::Pro:
        return std::make_unique<TGDIIMGPro>();
    case TKind::Big:
        return std::make_unique<TGDIBIGIMGPro>();
    case TKind::BigCopied:
        break;
    }
    auto copied = std::make_unique<TGDIBIGIMGPro>();
    copied->SetBuildBufferImageStyle(bbisBitmap);
    return copied;
}

constexpr TKind KEveryKind[] = {TKind::Adv, TKind::Pro, TKind::Big, TKind::BigCopied};

// A picture with a 2x rendering, drawn at its own size on a 2x surface, is that rendering
// pixel for pixel (the screen-sized cache of the big element crops its sides, so only its
// corners are compared); at a larger size the corners are the rendering's corners, unscaled.
// The margins stay the picture's logical ten pixels.
TEST_F(NineSliceElements, EveryElementCutsTheTwiceRenderingOnATwiceSurface) {
    const QImage twice = TwiceRendering(30, 30);
    for (const TKind kind : KEveryKind) {
        const std::unique_ptr<TGDIIMGSliced> element = NewElement(kind);
        const IGPBitmap source = Distinct(30, 30);
        ASSERT_TRUE(source->AddVariant(twice));
        element->SetImage(source);
        element->SetMargin(10, 10, 10, 10);
        element->SetBounds(0, 0, 30, 30);
        const TGPBitmap same = RenderedAt(*element, 30, 30, 2);
        if (kind == TKind::Adv || kind == TKind::Pro) {
            EXPECT_EQ(same.Image().convertToFormat(QImage::Format_ARGB32), twice.copy())
                << element->ClassName().toStdString();
        }
        EXPECT_EQ(same.Image().pixel(59, 59), twice.pixel(59, 59));
        EXPECT_EQ(element->DeviceRatio(), 2);

        element->SetBounds(0, 0, 100, 50);
        const QImage large = RenderedAt(*element, 100, 50, 2).Image();
        ASSERT_EQ(large.size(), QSize(200, 100));
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                ASSERT_EQ(large.pixel(x, y), twice.pixel(x, y));
                ASSERT_EQ(large.pixel(180 + x, 80 + y), twice.pixel(40 + x, 40 + y))
                    << element->ClassName().toStdString() << " " << x << "," << y;
            }
    }
}

// Without a 2x rendering the element is still built at the surface's ratio, from the 1x
// picture smoothly enlarged; drawn on a 1x surface again it is exactly what an element that
// never saw another ratio draws.
TEST_F(NineSliceElements, ElementsWithoutARenderingScaleSmoothlyAndFollowTheRatio) {
    for (const TKind kind : KEveryKind) {
        const std::unique_ptr<TGDIIMGSliced> element = NewElement(kind);
        const std::unique_ptr<TGDIIMGSliced> plain = NewElement(kind);
        for (TGDIIMGSliced* each : {element.get(), plain.get()}) {
            each->SetImage(Distinct(30, 30));
            each->SetMargin(10, 10, 10, 10);
            each->SetBounds(0, 0, 40, 35);
        }
        const TGPBitmap twice = RenderedAt(*element, 40, 35, 2);
        EXPECT_EQ(twice.Image().size(), QSize(80, 70));
        EXPECT_LT(fixtures::UniformBlockShare(twice.Image(), QRect(0, 0, 80, 70)), 0.1)
            << element->ClassName().toStdString();
        EXPECT_EQ(Rendered(*element, 40, 35).Image(), Rendered(*plain, 40, 35).Image())
            << element->ClassName().toStdString() << ": back at ratio 1";
        EXPECT_EQ(element->DeviceRatio(), 1);
    }
}

// A clip margin crops the 2x rendering at the same logical place.
TEST_F(NineSliceElements, ClipMarginsCropTheRenderingAlike) {
    const IGPBitmap source = Distinct(60, 20);
    ASSERT_TRUE(source->AddVariant(TwiceRendering(60, 20)));
    TGDIIMGADV element;
    element.SetImage(source);
    element.SetClipMargin(20, 0, 0, 0);
    element.SuitImageSize();
    EXPECT_EQ(element.Width(), 40);
    const QImage shown =
        RenderedAt(element, 40, 20, 2).Image().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(shown, TwiceRendering(60, 20).copy(40, 0, 80, 40));
}

// The average-colour fade takes the last 26 logical columns at any ratio, and the mean colour
// it rests on is the one a 1x surface gets.
TEST_F(NineSliceElements, AverageColourModeFadesLogicalColumnsAtRatioTwo) {
    IGPBitmap picture = NewGPBitmap(60, 60);
    QImage rendering(120, 120, QImage::Format_ARGB32);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            picture->SetPixel(x, y, y < 30 ? 0xFFFF0000 : 0xFF0000FF);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 120; ++x)
            rendering.setPixel(x, y, y < 60 ? 0xFFFF0000 : 0xFF0000FF);
    rendering.setDevicePixelRatio(2);
    ASSERT_TRUE(picture->AddVariant(rendering));
    TGDIIMGADV element;
    element.SetImage(picture);
    element.SetStrecthMode(smAvgColor);
    element.SetBounds(0, 0, 60, 60);
    const QRgb once = Rendered(element, 60, 60).GetPixel(59, 10);
    const TGPBitmap twice = RenderedAt(element, 60, 60, 2);
    EXPECT_EQ(twice.GetPixel(10, 10), 0xFFFF0000u);
    EXPECT_EQ(twice.GetPixel(59, 10), once);
    const QImage& pixels = twice.Image();
    // Both device columns of a logical column fade alike: 70 and 71 are logical 35, the second
    // faded column, 72 and 73 the third.
    EXPECT_EQ(pixels.pixel(70, 20), pixels.pixel(71, 20));
    EXPECT_EQ(pixels.pixel(72, 20), pixels.pixel(73, 20));
    EXPECT_NE(pixels.pixel(71, 20), pixels.pixel(72, 20));
}

TEST_F(NineSliceElements, ButtonFramesAreBuiltAtTheSurfacesRatio) {
    const IGPBitmap source = Distinct(30, 30);
    const QImage twice = TwiceRendering(30, 30);
    ASSERT_TRUE(source->AddVariant(twice));
    TGDIIMGADV frame;
    TSkinHelper::InitGdiImgAdv(&frame, source, 10, 10);
    TGPBitmap target(40, 40, 2);
    {
        TGPGraphics graphics(target);
        TSkinHelper::DrawButtonFrame(graphics, &frame, {5, 5, 30, 30});
    }
    EXPECT_EQ(frame.BufferGPBitmap()->Ratio(), 2);
    const QImage& pixels = target.Image();
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(pixels.pixel(10 + x, 10 + y), twice.pixel(x, y)) << x << "," << y;
}

TEST_F(NineSliceElements, HelperInitialisesAndDrawsButtonFrames) {
    const IGPBitmap source = Distinct(60, 20);
    TGDIIMGADV left;
    TSkinHelper::InitLeftGdiImgAdv(&left, source, 16);
    EXPECT_EQ(left.Margin(), (TSliceMargins{4, 4, 4, 4}));
    EXPECT_EQ(left.ClipMargin(), (TSliceMargins{0, 0, 40, 0}));
    TGDIIMGADV right;
    TSkinHelper::InitRightGdiImgAdv(&right, source, 16);
    EXPECT_EQ(right.ClipMargin(), (TSliceMargins{40, 0, 0, 0}));
    TGDIIMGADV untouched;
    TSkinHelper::InitGdiImgAdv(&untouched, nullptr, 3, 3);
    EXPECT_EQ(untouched.Margin(), TSliceMargins{});

    TGPBitmap target(40, 30);
    {
        TGPGraphics graphics(target);
        TSkinHelper::DrawButtonFrame(graphics, &right, {5, 5, 30, 20});
    }
    EXPECT_EQ(right.Width(), 30);
    EXPECT_EQ(target.GetPixel(5, 5), source->GetPixel(40, 0)); // cropped picture's corner
    EXPECT_EQ(target.GetPixel(34, 24), source->GetPixel(59, 19));
    EXPECT_EQ(target.GetPixel(4, 4), 0u);

    // With an opacity the frame blends: half of an opaque corner over a transparent target,
    // and the surface's own opacity is left as it was for whatever is drawn next.
    TGPBitmap faded(40, 30);
    {
        TGPGraphics graphics(faded);
        const qreal half = 0.5;
        TSkinHelper::DrawButtonFrame(graphics, &right, {5, 5, 30, 20}, &half);
        graphics.FillRectangle(0xFF00FF00u, QRectF(0, 0, 2, 2));
    }
    EXPECT_NEAR(qAlpha(faded.GetPixel(5, 5)), 128, 2);
    EXPECT_NEAR(qRed(faded.GetPixel(5, 5)), qRed(source->GetPixel(40, 0)), 2);
    EXPECT_NEAR(qBlue(faded.GetPixel(5, 5)), qBlue(source->GetPixel(40, 0)), 2);
    EXPECT_EQ(faded.GetPixel(0, 0), 0xFF00FF00u);
}

} // namespace
} // namespace velmora
