#pragma once

#include <QString>
#include <sys/types.h>

namespace velmora {

// Opens folder, which lies at or below anchor, to write into it on behalf of the account
// uid:gid that controls everything below anchor. anchor is opened as it is (it is not that
// account's to change); every component below it is entered without following a link, and
// with create the missing ones are made (0755) and given to the account. A descriptor, or
// -1 with errno (ENOTDIR or ELOOP for a component that is not a real folder, EINVAL when
// folder is not below anchor).
int OpenFolderOnBehalf(const QString& anchor, const QString& folder, uid_t uid, gid_t gid,
                       bool create);

// Whether path lies strictly below folder, compared lexically on cleaned paths.
bool IsBelowFolder(const QString& path, const QString& folder);

} // namespace velmora
