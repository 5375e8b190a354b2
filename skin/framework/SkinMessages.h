#pragma once

#include "skin/data/SkinChangeEvent.h"

#include <QEvent>

namespace velmora {

// The messages the skin sends its listener windows, synchronously, as TSkinChangeEvent; the
// three background messages carry the new background item in the first parameter.
constexpr QEvent::Type SkinFileChangedEvent = QEvent::Type(0x2341);
constexpr QEvent::Type SkinBackGroundColorChangedEvent = QEvent::Type(0x2342);
constexpr QEvent::Type SkinBackGroundFileChangedEvent = QEvent::Type(0x2343);
constexpr QEvent::Type SkinBackGroundCustomColorChangedEvent = QEvent::Type(0x2344);

} // namespace velmora
