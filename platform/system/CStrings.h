#pragma once

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <vector>

namespace velmora {

// NUL-terminated copies and the null-ended pointer array that posix_spawn and execve want.
// Made before a fork: the child of a threaded process may only make async-signal-safe calls.
class TCStrings {
public:
    explicit TCStrings(const QStringList& texts) {
        for (const QString& text : texts)
            FStorage.push_back(QFile::encodeName(text));
        Point();
    }
    explicit TCStrings(std::vector<QByteArray> texts) : FStorage(std::move(texts)) { Point(); }
    char* const* Data() { return FPointers.data(); }

private:
    void Point() {
        for (QByteArray& text : FStorage)
            FPointers.push_back(text.data());
        FPointers.push_back(nullptr);
    }

    std::vector<QByteArray> FStorage;
    std::vector<char*> FPointers;
};

} // namespace velmora
