#include "installer/EntryFiles.h"

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace velmora {

mode_t ExtractedFileMode(const char* data, quint32 size) {
    if ((size >= 4 && std::memcmp(data,
                                  "\x7f"
                                  "ELF",
                                  4) == 0) ||
        (size >= 2 && std::memcmp(data, "#!", 2) == 0))
        return 0755;
    return 0644;
}

bool EntryFileExists(int folderFd, const QString& leaf) {
    struct stat info {};
    return ::fstatat(folderFd, NativeName(leaf).constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

} // namespace velmora
