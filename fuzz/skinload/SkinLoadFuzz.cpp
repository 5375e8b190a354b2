// Loads arbitrary bytes as a whole skin through the skin manager, as a skin file a user was
// handed would be loaded: the document, every style catalogue with its pictures, fonts and
// margins, the popup-menu settings and the user's default background. Beyond what the
// sanitizers catch: a load that fails keeps the skin loaded before it.
#include "platform/system/DebugOutput.h"
#include "platform/system/LogFile.h"
#include "skin/data/SkinManage.h"
#include "skin/drawing/SkinEngineLog.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

using namespace velmora;

namespace {

class TSkinLoadBench {
public:
    TSkinLoadBench() : FApp(FArgc, FArgv) {
        // Failing inputs are the common case; their log entries are not what is under test.
        SetDebugOutputEnabled(false);
        SetLogFolders(FFolder.path(), FFolder.path());
        FSkinPath = FFolder.filePath(QStringLiteral("skin.btd"));
        FFd = ::open(QFile::encodeName(FSkinPath).constData(),
                     O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (FFd < 0)
            std::abort();
        FManager.SetIsPrepareBuildBackGndImage(false);
    }

    void Load(const uint8_t* data, size_t size) {
        if (::ftruncate(FFd, 0) != 0 || ::pwrite(FFd, data, size, 0) != static_cast<ssize_t>(size))
            std::abort();
        const QString nameBefore = FManager.SkinName();
        const bool loadedBefore = FManager.Loaded();
        bool loaded = false;
        try {
            loaded = FManager.ChangeSkinFile(FSkinPath, true);
        } catch (const std::exception&) {
            // A catalogue's failure goes on to the application's handler; the document was
            // adopted by then, so nothing more to compare.
            loaded = true;
        }
        if (!loaded && (FManager.SkinName() != nameBefore || FManager.Loaded() != loadedBefore))
            std::abort();
        QFile::remove(FFolder.filePath(SkinEngineLogFileName));
    }

private:
    static inline int FArgc = 1;
    static inline char FName[] = "skin-load-fuzz";
    static inline char* FArgv[] = {FName, nullptr};

    QGuiApplication FApp;
    QTemporaryDir FFolder;
    QString FSkinPath;
    int FFd = -1;
    TSkinMng FManager;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
    static TSkinLoadBench bench; // torn down at exit, so the font caches are released
    (void)offscreen;
    bench.Load(data, size);
    return 0;
}
