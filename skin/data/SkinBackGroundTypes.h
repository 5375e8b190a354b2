#pragma once

// The kinds and sizes of background items and their lists.

namespace velmora {

enum TFileStoredPosition : int { fspFile = 0, fspInSkinFile = 1 };
enum TBackGroundType : int { bgtMixed = 0, bgtColor = 1, bgtPicture = 2, bgtCustomColor = 3 };
enum TItemOwnership : int { ioReference = 0, ioOwned = 1 };
enum TSkinType : int { stColor = 0, stPicture = 1, stCustomColor = 2 };

inline constexpr int KPreviewWidth = 40;
inline constexpr int KPreviewHeight = 60;
inline constexpr int KColorPictureSize = 50;

} // namespace velmora
