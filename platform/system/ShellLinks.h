#pragma once

#include <QString>

namespace velmora {

struct TShellLink {
    QString Target;
    QString WorkingFolder;
};

// Shortcut files that the desktop and the programs menu show.
class IShellLinks {
public:
    virtual ~IShellLinks() = default;
    // The extension every link file carries, with its dot.
    virtual QString Extension() const = 0;
    // Writes the link to path (whose folder must exist), replacing whatever is there without
    // following it; false when that failed.
    virtual bool Save(const TShellLink& link, const QString& path) = 0;
};

// Links as freedesktop desktop entries: an executable "Application" entry whose Name is the
// link file's name without extension, whose Exec starts the target and whose Path is the
// working folder.
class TDesktopEntryLinks final : public IShellLinks {
public:
    QString Extension() const override { return QStringLiteral(".desktop"); }
    bool Save(const TShellLink& link, const QString& path) override;

    // The file's text for a link saved at path.
    static QByteArray EntryText(const TShellLink& link, const QString& path);
};

} // namespace velmora
