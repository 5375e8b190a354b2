#include "platform/graphics/RenderingsInUse.h"

#include "platform/graphics/DevicePixels.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace velmora {

std::vector<qreal> RenderingsFor(const std::vector<qreal>& AScreenRatios,
                                 const std::vector<qreal>& AAvailable) {
    std::vector<qreal> available = AAvailable;
    std::sort(available.begin(), available.end());
    std::vector<qreal> used;
    if (available.empty())
        return used;
    for (const qreal ratio : AScreenRatios) {
        if (!(ratio > 1) || SameRatio(ratio, 1))
            continue;
        qreal pick = available.back();
        for (const qreal rendering : available)
            if (rendering >= ratio || SameRatio(rendering, ratio)) {
                pick = rendering;
                break;
            }
        if (std::none_of(used.begin(), used.end(),
                         [pick](qreal taken) { return SameRatio(taken, pick); }))
            used.push_back(pick);
    }
    std::sort(used.begin(), used.end());
    return used;
}

std::vector<qreal> RenderingsInUse(const std::vector<qreal>& AAvailable) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return {};
    std::vector<qreal> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.push_back(screen->devicePixelRatio());
    return RenderingsFor(screens, AAvailable);
}

} // namespace velmora
