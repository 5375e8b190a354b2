#include "skin/drawing/SkinEngineLog.h"

#include "platform/system/Errors.h"
#include "tests/support/SkinTestSupport.h"

#include <QRegularExpression>
#include <stdexcept>

namespace velmora {
namespace {

VELMORA_DECLARE_ERROR(ETestFailure, EVelmoraError);

TEST(SkinEngineLogMessage, AllFivePartsJoinedByThreeSpaces) {
    const QString name = QStringLiteral("btnOK");
    const ETestFailure error(QStringLiteral("it broke"));
    EXPECT_EQ(SkinEngineLogMessage("TSkinButton", &name, &error, "RedrawWindow"),
              "ClassName:TSkinButton   ObjectName:btnOK   ExceptionName:ETestFailure   "
              "ExceptionMsg:it broke   AdditionalMsg:RedrawWindow");
}

TEST(SkinEngineLogMessage, MissingComponentLeavesAnEmptyPartBetweenSeparators) {
    const ETestFailure error(QStringLiteral("bad data"));
    EXPECT_EQ(SkinEngineLogMessage("TSkinHelper", nullptr, &error, "CreateBitmap"),
              "ClassName:TSkinHelper      ExceptionName:ETestFailure   ExceptionMsg:bad data   "
              "AdditionalMsg:CreateBitmap");
}

TEST(SkinEngineLogMessage, NothingGivenStillHasFourSeparators) {
    EXPECT_EQ(SkinEngineLogMessage({}, nullptr, nullptr, {}), QString(12, u' '));
}

TEST(SkinEngineLogMessage, ForeignExceptionsUseTheirTypeName) {
    const std::runtime_error error("plain");
    const QString message = SkinEngineLogMessage("T", nullptr, &error, "X");
    EXPECT_TRUE(message.contains("ExceptionName:std::runtime_error   ExceptionMsg:plain"))
        << message.toStdString();
}

TEST(SkinEngineLogFile, EntryIsTimeStampedLineInSkinEngineLog) {
    testing::TSkinLogCapture capture;
    const ETestFailure error(QStringLiteral("boom"));
    LogSkinFailure("TGDIText", nullptr, &error, "Draw");
    const QStringList lines = capture.Lines();
    ASSERT_EQ(lines.size(), 1);
    const QRegularExpression format(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  ClassName:TGDIText   "
                       "   ExceptionName:ETestFailure   ExceptionMsg:boom   AdditionalMsg:Draw$"));
    EXPECT_TRUE(format.match(lines[0]).hasMatch()) << lines[0].toStdString();
}

} // namespace
} // namespace velmora
