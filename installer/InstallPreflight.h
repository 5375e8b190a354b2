#pragma once

#include "installer/PayloadArchive.h"

#include <QString>
#include <optional>

namespace velmora {

// What stops an install before anything is changed: the path and why.
struct TPreflightProblem {
    QString Path;
    QString Reason;
};

// Checks the tree below installFolder for every path the payload will write: a symbolic
// link where a folder or file must go, a file where a folder must go, a folder where a file
// must go, a folder that may not be written, and free space for the payload's size. Links
// are never followed below installFolder. cleanedFolder is the product folder that the
// removal step will clean first ('/'-terminated, absolute), or empty; what that removal
// deletes is no obstacle. An existing protected users list is kept whatever it is, so it is
// not checked. Returns the first problem found.
std::optional<TPreflightProblem> CheckInstallTarget(const TPayloadImage& payload,
                                                    const QString& installFolder,
                                                    const QString& cleanedFolder = QString());

// The install log's one line for a problem.
void LogPreflightProblem(const TPreflightProblem& problem);

} // namespace velmora
