#pragma once

#include "installer/InstallStages.h"
#include "installer/InstallerSettings.h"
#include "installer/PayloadArchive.h"
#include "installer/ProgressDisplay.h"

#include <QIODevice>
#include <functional>

namespace velmora {

class TPlatformServices;

// Shows the one user-visible error of the install (text, caption) with an error icon.
using TShowInstallError = std::function<void(const QString& text, const QString& caption)>;

inline const QString kCopyFailedText = u"拷贝安装文件失败,安装程序将退出！"_qs;
inline const QString kCopyFailedCaption = u"提示"_qs;

// The one operation that installs the product: install folder from the path text, the
// payload, replacing a previous copy of the same version, COM registration, shortcuts and the
// install record, reporting through a progress display. Needs no window. It runs as one
// transaction (see TInstallTransaction): it succeeds only when files, shortcuts and record
// are all in place, and any failure or interruption after the previous version is touched
// puts that version back exactly.
class TInstallSequence {
public:
    TInstallSequence(TPlatformServices& services, const TInstallerSettings& settings,
                     TInstallState& state, TShowInstallError showError);

    // Installs the embedded payload.
    void InstallSoftware(const QString& pathText, IProgressDisplay& display);
    // Installs the payload read from source.
    void InstallSoftware(const QString& pathText, IProgressDisplay& display, QIODevice& source);

    bool InstallSuccess() const { return FInstallSuccess; }
    // Told of each stage as the run passes it (see TInstallStage); empty by default.
    void SetStageHook(TInstallStageHook hook) { FStageHook = std::move(hook); }

    // A relative path text made absolute against the working folder; texts shorter than three
    // characters (the program-files case) and absolute ones stay as they are.
    static QString AbsolutePathText(const QString& pathText);
    // The install folder for a path text: a text shorter than three characters (a bare
    // drive or nothing) means programFiles + publisher folder; any other gets a trailing
    // separator.
    static QString InstallFolderFor(const QString& pathText, const QString& programFiles,
                                    const QString& publisherFolder);

private:
    // open gives the payload's stream (null, with its failure logged, when there is none).
    void Run(const QString& pathText, IProgressDisplay& display,
             const std::function<QIODevice*()>& open);
    // The error box, with why when there is a reason a person can act on.
    void Fail(const QString& reason = QString());

    TPlatformServices& FServices;
    const TInstallerSettings& FSettings;
    TInstallState& FState;
    TShowInstallError FShowError;
    TInstallStageHook FStageHook;
    bool FInstallSuccess = false;
};

} // namespace velmora
