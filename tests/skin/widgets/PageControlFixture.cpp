#include "tests/skin/widgets/PageControlFixture.h"

#include "skin/data/SkinMng.h"

#include <QTest>
#include <cstdlib>

namespace velmora {
int SkinResourceAnchor();
}

namespace velmora::testing {

void PageControlTest::SetUp() {
    SkinTest::SetUp();
    SkinResourceAnchor();
    if (!SkinMng().Loaded()) {
        SkinMng().SetIsPrepareBuildBackGndImage(false);
        ASSERT_TRUE(SkinMng().ChangeSkinRes(QStringLiteral("SKIN"), false));
    }
    FForm = std::make_unique<QWidget>();
    FForm->resize(600, 300);
    FControl = new TSkinPageControl(FForm.get());
    FControl->setGeometry(10, 10, 554, 220);
}

void PageControlTest::TearDown() {
    FForm.reset();
    FSheets.clear();
}

void PageControlTest::AddSheets(int count) {
    for (int i = 0; i < count; ++i) {
        auto* sheet = new TSkinTabSheet(FControl);
        sheet->SetCaption(QStringLiteral("Page %1").arg(FSheets.size()));
        FSheets.push_back(sheet);
    }
}

void PageControlTest::ShowActive() {
    FForm->show();
    FForm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(FForm.get()));
}

QImage PageControlTest::Picture() {
    return FControl->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

QRgb PageControlTest::MiddleOf(const IGPBitmap& picture) {
    return picture->GetPixel(picture->Width() / 2, picture->Height() / 2);
}

QPoint PageControlTest::Centre(const TGPRect& rect) {
    return QPoint(rect.X + rect.Width / 2, rect.Y + rect.Height / 2);
}

bool Near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace velmora::testing
