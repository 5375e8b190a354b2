#pragma once

#include "skin/widgets/SkinPageControl.h"
#include "skin/widgets/SkinTabSheet.h"
#include "tests/support/SkinTestSupport.h"

#include <QImage>
#include <QWidget>
#include <memory>

namespace velmora::testing {

// Page control tests: the embedded default skin in the skin manager, a plain form with a
// page control of named sheets, and the skin engine log captured.
class PageControlTest : public SkinTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Adds sheets captioned "Page 0" ... on the control.
    void AddSheets(int count);
    // The form shown and active, so presses can take the focus.
    void ShowActive();
    QImage Picture();
    // The style picture's middle pixel, which a nine-slice fill repeats in its centre.
    static QRgb MiddleOf(const IGPBitmap& picture);
    static QPoint Centre(const TGPRect& rect);

    std::unique_ptr<QWidget> FForm;
    TSkinPageControl* FControl = nullptr;
    std::vector<TSkinTabSheet*> FSheets;
};

bool Near(QRgb a, QRgb b, int tolerance = 6);

} // namespace velmora::testing
