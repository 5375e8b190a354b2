#pragma once

#include <QString>

namespace velmora {

class IProgressDisplay {
public:
    virtual ~IProgressDisplay() = default;
    virtual void SetStatusText(const QString&) = 0;
    virtual void SetProgressRange(int minimum, int maximum) = 0;
    virtual void SetProgressPosition(int position) = 0;
};

} // namespace velmora
