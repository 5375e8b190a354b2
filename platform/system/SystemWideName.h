#pragma once

#include <QString>

namespace velmora {

// A name that one process at a time can hold across the whole system. It lives in the
// kernel's abstract socket namespace, so the kernel releases it when the holder ends or
// crashes: no stale lock file can ever block a later start.
class TSystemWideName {
public:
    enum class TResult { Acquired, AlreadyHeld, Failed };

    explicit TSystemWideName(QString name);
    ~TSystemWideName();
    TSystemWideName(const TSystemWideName&) = delete;
    TSystemWideName& operator=(const TSystemWideName&) = delete;

    // Tries to take the name; keeps it until this object is destroyed.
    TResult Acquire();
    bool IsHeld() const { return FSocket >= 0; }
    // Hands the name to the process: it stays held until the process ends.
    void KeepForProcessLifetime();

private:
    QString FName;
    int FSocket = -1;
};

} // namespace velmora
