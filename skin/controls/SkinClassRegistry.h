#pragma once

#include <QtGlobal>

namespace velmora {

// Registers the two skinned control classes with the skin manager, once per process, so that a
// skin loaded through SkinMng() reaches every live control before any window hears of it.
// Every control and form calls it when it is made; nothing else has to.
void EnsureSkinClassesRegistered();

// How many skins have reached the control classes; a form that has no window hears of no
// change and compares this to catch up when its window appears.
quint64 SkinChangeGeneration();

} // namespace velmora
