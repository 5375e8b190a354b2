#pragma once

#include <QString>

namespace velmora {

// The two display elements through which install steps report: a status text and a
// progress bar. The wizard's installing page implements it; so do the command-line tools.
class IProgressDisplay {
public:
    virtual ~IProgressDisplay() = default;
    virtual void SetStatusText(const QString& text) = 0;
    virtual void SetProgressRange(int minimum, int maximum) = 0;
    virtual void SetProgressPosition(int position) = 0;
};

} // namespace velmora
