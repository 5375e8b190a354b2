#pragma once

#include "skin/controls/MemoryFormSkin.h"
#include "skin/controls/SkinControl.h"
#include "tests/support/SkinTestSupport.h"

#include <QImage>
#include <memory>

namespace velmora::testing {

// Window tests: the program's own application object, a skin in memory with the code style
// and a two-colour background (so a copy from the wrong place shows), and the log captured.
class WindowTest : public SkinTest {
protected:
    void SetUp() override;
    void TearDown() override;
    TMemoryFormSkin& Skin() { return *FSkin; }

private:
    std::unique_ptr<TMemoryFormSkin> FSkin;
};

// A background whose every pixel differs from its neighbours': a copy from a wrong offset
// can never match.
std::unique_ptr<TSkinBackGround>
MakeStripedBackGround(const QString& name = QStringLiteral("Striped"));

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
