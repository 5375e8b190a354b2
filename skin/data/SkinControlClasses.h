#pragma once

#include <QString>
#include <functional>

namespace velmora {

// The skinned control classes that hear about a new skin, in the order they are told. The
// classes live in libraries above this one; each registers its class-level notifier (its
// AllMembersChangeSkinFile) under its key, so skin data never links against them.
enum TSkinControlClassOrder : int {
    sccSkinCustomControl = 0,
    sccFormDrawSkinCustomControl = 1,
    sccBaseZoneViewStyle = 2,
    sccSkinHotKey = 3,
    sccSkinEdit = 4,
    sccSkinFlatMemo = 5,
};
inline constexpr int KSkinControlClassCount = 6;

using TAllMembersChangeSkinFile = std::function<void()>;

// Registering a key again replaces its notifier; an empty function removes it.
void RegisterSkinControlClass(TSkinControlClassOrder AOrder, TAllMembersChangeSkinFile ANotifier);
void UnRegisterSkinControlClass(TSkinControlClassOrder AOrder);
bool IsSkinControlClassRegistered(TSkinControlClassOrder AOrder);
// Calls every registered notifier in key order.
void NotifySkinControlClasses();

} // namespace velmora
