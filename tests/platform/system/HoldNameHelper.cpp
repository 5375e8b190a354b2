#include "platform/system/SystemWideName.h"

#include <QString>
#include <cstdio>
#include <unistd.h>

// Stands in for another installer: hold-name-helper NAME [FOLDER] takes the name, says
// "held", "busy" or "failed", and waits to be killed.
int main(int argc, char** argv) {
    if (argc != 2 && argc != 3)
        return 2;
    velmora::TSystemWideName name(QString::fromUtf8(argv[1]),
                                  argc == 3 ? QString::fromUtf8(argv[2]) : QString());
    using TResult = velmora::TSystemWideName::TResult;
    const TResult result = name.Acquire();
    std::printf("%s\n", result == TResult::Acquired      ? "held"
                        : result == TResult::AlreadyHeld ? "busy"
                                                         : "failed");
    std::fflush(stdout);
    for (;;)
        ::pause();
}
