#pragma once

#include <functional>
#include <memory>

namespace velmora {

// A single-thread timer of the skin engine. Drawing objects take theirs from the factory so
// that tests can drive delays with a virtual clock instead of waiting.
class TSkinTimer {
public:
    virtual ~TSkinTimer() = default;
    virtual void SetInterval(int milliseconds) = 0;
    virtual int Interval() const = 0;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;

    std::function<void()> OnTimer;
};

using TSkinTimerFactory = std::function<std::unique_ptr<TSkinTimer>()>;

// A new timer from the installed factory (a Qt timer on the GUI thread by default).
std::unique_ptr<TSkinTimer> CreateSkinTimer();

// Installs a factory; an empty one restores the Qt timers.
void SetSkinTimerFactory(TSkinTimerFactory factory);

} // namespace velmora
