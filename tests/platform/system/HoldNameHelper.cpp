#include "platform/system/SystemWideName.h"

#include <QString>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    velmora::TSystemWideName name(QString::fromUtf8(argv[1]));
    const auto result = name.Acquire();
    std::printf("%s\n", result == velmora::TSystemWideName::TResult::Acquired ? "held" : "busy");
    std::fflush(stdout);
    for (;;)
        ::pause();
}
