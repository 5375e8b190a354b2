#pragma once

#include <QEvent>
#include <cstdint>

namespace velmora {

class TBaseSkinItem;

// The listener message numbers that skinned forms register with; a listener receives each
// as a TSkinChangeEvent whose event type is the number.
inline constexpr std::uint32_t KSkinMsgChangeSkinFile = 0x2341;
inline constexpr std::uint32_t KSkinMsgChangeBackGroundColor = 0x2342;
inline constexpr std::uint32_t KSkinMsgChangeBackGroundFile = 0x2343;
inline constexpr std::uint32_t KSkinMsgChangeBackGroundCustomColor = 0x2344;

constexpr QEvent::Type SkinFileChangedEvent = QEvent::Type(KSkinMsgChangeSkinFile);
constexpr QEvent::Type SkinBackGroundColorChangedEvent =
    QEvent::Type(KSkinMsgChangeBackGroundColor);
constexpr QEvent::Type SkinBackGroundFileChangedEvent = QEvent::Type(KSkinMsgChangeBackGroundFile);
constexpr QEvent::Type SkinBackGroundCustomColorChangedEvent =
    QEvent::Type(KSkinMsgChangeBackGroundCustomColor);

// A skin notification as a listener receives it: the event type is the message identifier the
// listener registered; the first parameter carries the background item for the three
// background messages and is 0 for a skin change.
class TSkinChangeEvent : public QEvent {
public:
    TSkinChangeEvent(std::uint32_t AMsg, quintptr AWParam, quintptr ALParam)
        : QEvent(static_cast<QEvent::Type>(AMsg)), FWParam(AWParam), FLParam(ALParam) {}
    std::uint32_t Msg() const { return static_cast<std::uint32_t>(type()); }
    quintptr WParam() const { return FWParam; }
    quintptr LParam() const { return FLParam; }
    TBaseSkinItem* Item() const { return reinterpret_cast<TBaseSkinItem*>(FWParam); }

private:
    quintptr FWParam;
    quintptr FLParam;
};

} // namespace velmora
