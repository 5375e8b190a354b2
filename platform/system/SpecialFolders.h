#pragma once

#include "platform/system/SystemRoots.h"

namespace velmora {

// Shell special folders by their numeric ids.
class ISpecialFolders {
public:
    static constexpr int Desktop = 0;
    static constexpr int UserPrograms = 2;
    static constexpr int AllUsersPrograms = 23;
    static constexpr int ProgramFiles = 38;

    virtual ~ISpecialFolders() = default;
    // The folder's path without a trailing separator; empty for an id that has no path.
    virtual QString Path(int id) const = 0;
};

class TSpecialFolders final : public ISpecialFolders {
public:
    explicit TSpecialFolders(TSystemRoots roots) : FRoots(std::move(roots)) {}
    QString Path(int id) const override;

private:
    TSystemRoots FRoots;
};

} // namespace velmora
