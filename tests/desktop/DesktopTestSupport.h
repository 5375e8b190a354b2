#pragma once

#include "tests/desktop/DesktopSession.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

namespace velmora::testing {

// A session that cannot be had here skips the test and says why; one that should have
// started but did not fails it with the servers' logs.
#define VELMORA_REQUIRE_SESSION(session)                                                           \
    do {                                                                                           \
        if (!(session).Unavailable().isEmpty())                                                    \
            GTEST_SKIP() << (session).Unavailable().toStdString();                                 \
        ASSERT_TRUE((session).Ready()) << (session).Failure().toStdString() << "\n"                \
                                       << (session).Logs().toStdString();                          \
    } while (false)

// Keeps a screenshot beside the test binary (shots/<name>.png) for a person to look at.
inline QString SaveShot(const QImage& AShot, const QString& AName) {
    QDir().mkpath(QStringLiteral(DESKTOP_SHOTS_DIR));
    const QString file = QStringLiteral(DESKTOP_SHOTS_DIR "/") + AName + QStringLiteral(".png");
    AShot.save(file);
    return file;
}

// The name gtest gives the running test, usable as a file name.
inline QString TestName() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return QString::fromStdString(std::string(info->test_suite_name()) + "." + info->name())
        .replace(u'/', u'-');
}

inline std::string Text(const QString& AText) {
    return AText.toStdString();
}

} // namespace velmora::testing
