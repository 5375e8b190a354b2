#pragma once

#include "installer/FolderOps.h"

#include <QString>
#include <sys/types.h>

namespace velmora {

// Programs must stay runnable after extraction; the table carries no modes, so the
// content decides: ELF images and scripts get execute permission.
mode_t ExtractedFileMode(const char* data, quint32 size);

// Whether anything (a link included, never followed) is at leaf in folderFd.
bool EntryFileExists(int folderFd, const QString& leaf);

} // namespace velmora
