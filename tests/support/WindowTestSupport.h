#pragma once

#include "skin/controls/SkinControl.h"
#include "skin/controls/SkinForms.h"
#include "skin/data/SkinBackGroundItems.h"
#include "skin/data/SkinFormStyleItem.h"
#include "tests/support/SkinDocBuilder.h"
#include "tests/support/SkinTestSupport.h"

#include <QImage>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace velmora::testing {

// A picture whose every pixel differs from its neighbours': a copy from a wrong offset can
// never match.
QImage StripedPicture(int width = 600, int height = 400);

// The skin of window tests, loaded into the process's skin manager the way a program loads
// one: title-bar buttons of distinct colours, a nine-slice shadow, and a striped texture as the
// skin's default background item.
class TTestSkin {
public:
    // A skin document with those parts; texture replaces the striped picture. Without shadow
    // pictures the style still asks for a shadow but offers only two of the four strips.
    static TSkinDocBuilder Document(const QImage& texture = StripedPicture(),
                                    bool shadowPictures = true);
    // Loads the document into SkinMng() (always reloading) and fails the test when it cannot.
    void Load(const TSkinDocBuilder& document);
    TBaseSkinItem* UserItem() const;
    const TSkinFormStyleItem* FormStyle() const;
    // A picture background item made from texture, announced by the skin manager as the new
    // background; the test keeps it until Forget or the end of the test.
    TBaseSkinItem* ShowBackGround(const QImage& texture);
    // Destroys an item made by ShowBackGround without telling anyone, as clearing a list does.
    void Forget(TBaseSkinItem* item);

private:
    QTemporaryDir FFolder;
    int FCount = 0;
    std::vector<std::unique_ptr<TBaseSkinItem>> FItems;
};

// Window tests: the program's own application object, the test skin in the skin manager, and
// the log captured.
class WindowTest : public SkinTest {
protected:
    void SetUp() override;
    TTestSkin& Skin() { return FSkin; }

private:
    TTestSkin FSkin;
};

// Window tests with a shown 400 x 300 skinned form to put controls on.
class FormTest : public WindowTest {
protected:
    void SetUp() override;
    void TearDown() override;
    std::unique_ptr<TBaseSkinForm> Form;
};

// A control that paints a red 10 x 10 square in its centre and nothing else, and counts.
class TProbeControl : public TSkinCustomControl {
public:
    using TSkinCustomControl::TSkinCustomControl;
    int CustomPaintCount = 0;
    bool LastPaintedIntoSelfImage = false;
    bool Fail = false;
    QRect Square() const { return QRect(width() / 2 - 5, height() / 2 - 5, 10, 10); }
    using TSkinCustomControl::PaintPipeline;

protected:
    void CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;
};

// The widget's own picture as the screen would show it.
QImage Grab(QWidget& widget);

} // namespace velmora::testing
