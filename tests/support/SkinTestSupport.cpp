#include "tests/support/SkinTestSupport.h"

#include "platform/system/LogFile.h"
#include "skin/drawing/SkinEngineLog.h"
#include "tests/support/PictureFixtures.h"

#include <QFile>

namespace velmora::testing {

TSkinLogCapture::TSkinLogCapture() {
    SetLogFolders(FFolder.path(), FFolder.path());
}

TSkinLogCapture::~TSkinLogCapture() {
    SetLogFolders({}, {});
}

QStringList TSkinLogCapture::Lines() const {
    QFile file(FFolder.filePath(SkinEngineLogFileName));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    lines.removeAll(QString());
    return lines;
}

void SkinTest::SetUp() {
    fixtures::EnsureApplication();
    FLog = std::make_unique<TSkinLogCapture>();
}

} // namespace velmora::testing
