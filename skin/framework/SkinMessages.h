#pragma once

#include <QEvent>

namespace velmora {

class TSkinBackGround;

// The messages the skin sends its listener windows, synchronously.
constexpr QEvent::Type SkinFileChangedEvent = QEvent::Type(0x2341);
constexpr QEvent::Type SkinBackGroundColorChangedEvent = QEvent::Type(0x2342);
constexpr QEvent::Type SkinBackGroundFileChangedEvent = QEvent::Type(0x2343);
constexpr QEvent::Type SkinBackGroundCustomColorChangedEvent = QEvent::Type(0x2344);

// A skin message; the three background messages carry the new background item.
class TSkinChangeEvent : public QEvent {
public:
    TSkinChangeEvent(QEvent::Type type, TSkinBackGround* item) : QEvent(type), FItem(item) {}
    TSkinBackGround* Item() const { return FItem; }

private:
    TSkinBackGround* FItem;
};

} // namespace velmora
