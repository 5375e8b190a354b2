#include "skin/data/SkinControlClasses.h"

#include <array>

namespace velmora {
namespace {

std::array<TAllMembersChangeSkinFile, KSkinControlClassCount>& Notifiers() {
    static std::array<TAllMembersChangeSkinFile, KSkinControlClassCount> notifiers;
    return notifiers;
}

bool ValidKey(TSkinControlClassOrder AOrder) {
    return AOrder >= 0 && AOrder < KSkinControlClassCount;
}

} // namespace

void RegisterSkinControlClass(TSkinControlClassOrder AOrder, TAllMembersChangeSkinFile ANotifier) {
    if (ValidKey(AOrder))
        Notifiers()[AOrder] = std::move(ANotifier);
}

void UnRegisterSkinControlClass(TSkinControlClassOrder AOrder) {
    if (ValidKey(AOrder))
        Notifiers()[AOrder] = nullptr;
}

bool IsSkinControlClassRegistered(TSkinControlClassOrder AOrder) {
    return ValidKey(AOrder) && static_cast<bool>(Notifiers()[AOrder]);
}

void NotifySkinControlClasses() {
    // A copy, so that a notifier that registers or removes a class cannot pull the function
    // that runs out from under itself.
    const auto notifiers = Notifiers();
    for (const TAllMembersChangeSkinFile& notifier : notifiers)
        if (notifier)
            notifier();
}

} // namespace velmora
