// The paint pipeline of controls and forms on screens of 1, 1.5 and 2 device pixels per
// logical pixel: buffers hold the screen's pixels, geometry stays logical, and a window moved
// to another screen makes its pictures again.
#include "skin/controls/SkinForms.h"
#include "tests/support/ScaledScreens.h"
#include "tests/support/WindowTestSupport.h"

#include <QTest>
#include <QtMath>

namespace velmora::testing {
namespace {

[[maybe_unused]] const bool GScaledScreens = UseScaledScreens();

class SkinControlScaleTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        ASSERT_NE(ScreenOfRatio(2), nullptr) << "the scaled screens are not in use";
    }
};

// Every device pixel of the control outside its square is the form's device pixel behind it.
int MismatchesAroundSquare(const TProbeControl& control, const QImage& picture, const QImage& form,
                           qreal ratio) {
    const QImage shown = picture.convertToFormat(QImage::Format_ARGB32);
    const QImage behind = form.convertToFormat(QImage::Format_ARGB32);
    const QPoint offset = control.pos() * ratio;
    const QRect square(control.Square().topLeft() * ratio, control.Square().size() * ratio);
    int mismatches = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (!square.contains(x, y) && shown.pixel(x, y) != behind.pixel(offset + QPoint(x, y)))
                ++mismatches;
    return mismatches;
}

TEST_F(SkinControlScaleTest, BuffersHoldTheScreensPixelsWhileGeometryStaysLogical) {
    ASSERT_TRUE(MoveToScreen(*Form, 2));
    TProbeControl control(Form.get());
    control.setGeometry(37, 61, 60, 40);
    control.show();
    const QImage picture = Grab(control);

    EXPECT_EQ(control.geometry(), QRect(37, 61, 60, 40));
    EXPECT_EQ(control.BufferRatio(), 2);
    EXPECT_EQ(picture.size(), QSize(120, 80));
    EXPECT_EQ(control.BufferBitmap().size(), QSize(120, 80));
    EXPECT_EQ(control.BufferBitmap().devicePixelRatio(), 2);
    ASSERT_NE(control.ParentImageBufferBitmap(), nullptr);
    EXPECT_EQ(control.ParentImageBufferBitmap()->size(), QSize(120, 80));
    ASSERT_TRUE(control.SelfBufferGPBitmap());
    EXPECT_EQ(control.SelfBufferGPBitmap()->Width(), 60);
    EXPECT_EQ(control.SelfBufferGPBitmap()->Image().size(), QSize(120, 80));
    EXPECT_EQ(Form->BufferBitmap().size(), QSize(800, 600));
    EXPECT_EQ(Form->size(), QSize(400, 300));

    // The logical 10 x 10 square is 20 x 20 device pixels, with nothing of it outside; around
    // it the form shows through pixel for pixel.
    const QRect square(control.Square().topLeft() * 2, control.Square().size() * 2);
    int red = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            red += picture.pixel(x, y) == 0xFFFF0000u;
    EXPECT_EQ(red, square.width() * square.height());
    EXPECT_EQ(picture.pixel(square.topLeft()), 0xFFFF0000u);
    EXPECT_EQ(picture.pixel(square.bottomRight()), 0xFFFF0000u);
    EXPECT_EQ(MismatchesAroundSquare(control, picture, Form->BufferBitmap(), 2), 0);
}

// A control inside a control takes its background from its parent's composed pixels.
TEST_F(SkinControlScaleTest, NestedControlsCopyTheirParentsDevicePixels) {
    ASSERT_TRUE(MoveToScreen(*Form, 2));
    TProbeControl outer(Form.get());
    outer.setGeometry(20, 30, 200, 150);
    TProbeControl inner(&outer);
    inner.setGeometry(13, 7, 60, 40);
    outer.show();
    Grab(outer);
    const QImage picture = Grab(inner);
    EXPECT_EQ(picture.size(), QSize(120, 80));
    EXPECT_EQ(MismatchesAroundSquare(inner, picture, outer.BufferBitmap(), 2), 0);
}

// Moving the window to a screen of another ratio makes every buffer again at that ratio; back
// on the first screen the pictures are exactly what they were.
TEST_F(SkinControlScaleTest, AWindowMovedToAnotherScreenMakesItsPicturesAgain) {
    auto form = std::make_unique<TDefaultSkinForm>();
    form->resize(400, 300);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    ASSERT_TRUE(MoveToScreen(*form, 1));
    TProbeControl control(form.get());
    control.setGeometry(37, 61, 60, 40);
    control.show();
    const QImage onceControl = Grab(control);
    const QImage onceForm = form->BufferBitmap().copy();
    ASSERT_EQ(onceControl.size(), QSize(60, 40));
    ASSERT_TRUE(form->MinBtn()->NormalBufferGPBitmap());
    EXPECT_EQ(form->MinBtn()->NormalBufferGPBitmap()->Ratio(), 1);

    for (const qreal ratio : {2.0, 1.5}) {
        ASSERT_TRUE(MoveToScreen(*form, ratio)) << ratio;
        const QImage picture = Grab(control);
        EXPECT_EQ(control.size(), QSize(60, 40));
        EXPECT_EQ(control.BufferBitmap().devicePixelRatio(), ratio);
        EXPECT_EQ(form->BufferBitmap().devicePixelRatio(), ratio);
        EXPECT_EQ(picture.size(), QSize(qCeil(60 * ratio), qCeil(40 * ratio)));
        const IGPBitmap& button = form->MinBtn()->NormalBufferGPBitmap();
        ASSERT_TRUE(button);
        EXPECT_EQ(button->Ratio(), ratio) << "the title buttons too";
        EXPECT_EQ(button->Width(), form->MinBtn()->width());
        if (ratio == 2) {
            EXPECT_EQ(MismatchesAroundSquare(control, picture, form->BufferBitmap(), 2), 0);
        }
    }

    ASSERT_TRUE(MoveToScreen(*form, 1));
    EXPECT_EQ(Grab(control), onceControl);
    EXPECT_EQ(form->BufferBitmap(), onceForm);
}

} // namespace
} // namespace velmora::testing
