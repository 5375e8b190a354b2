#pragma once

#include <QString>
#include <vector>

namespace velmora {

class TBinaryTreeDocument100;

// One binary node of a skin, decoded the way the installer decodes it.
struct TPictureCheck {
    QString Path;   // backslash-separated below the top node
    QString Format; // "PNG", "JPEG", "GIF", "BMP"; empty when not recognised
    int Width = 0;
    int Height = 0;
    int Frames = 0;
    QString Error; // empty when the picture decoded
};

// Every binary node of the document in tree order, each decoded with the installer's own
// decoder. Hostile pictures give an error entry, never a crash.
std::vector<TPictureCheck> CheckSkinPictures(const TBinaryTreeDocument100& ADocument);

} // namespace velmora
