#pragma once

#include "skin/drawing/SkinTimer.h"

#include <QtGlobal>
#include <vector>

namespace velmora::testing {

// Installs itself as the skin timer factory: timers it makes fire only when the test
// advances the clock, so delays are exact and tests never wait.
class TVirtualClock {
public:
    TVirtualClock();
    ~TVirtualClock();
    void Advance(int milliseconds);
    qint64 Now() const { return FNow; }

private:
    class TVirtualTimer;
    std::vector<TVirtualTimer*> FTimers;
    qint64 FNow = 0;
};

} // namespace velmora::testing
