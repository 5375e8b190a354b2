#include "platform/system/SystemWideName.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace velmora {

TSystemWideName::TSystemWideName(QString name) : FName(std::move(name)) {}

TSystemWideName::~TSystemWideName() {
    if (FSocket >= 0)
        ::close(FSocket);
}

TSystemWideName::TResult TSystemWideName::Acquire() {
    if (FSocket >= 0)
        return TResult::Acquired;
    const QByteArray key = "velmora-name:" + FName.toUtf8();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // Abstract names start with a NUL byte and are not files: nothing to clean up.
    if (static_cast<size_t>(key.size()) + 1 > sizeof(address.sun_path))
        return TResult::Failed;
    std::memcpy(address.sun_path + 1, key.constData(), static_cast<size_t>(key.size()));
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + key.size());

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return TResult::Failed;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        const int error = errno;
        ::close(fd);
        return error == EADDRINUSE ? TResult::AlreadyHeld : TResult::Failed;
    }
    FSocket = fd;
    return TResult::Acquired;
}

void TSystemWideName::KeepForProcessLifetime() {
    // The descriptor is deliberately never closed; the kernel closes it at process exit.
    FSocket = -1;
}

} // namespace velmora
