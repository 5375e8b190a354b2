#include "installer/wizard/ControlTag.h"

#include <QObject>
#include <QVariant>

namespace velmora {

namespace {
constexpr const char* TagProperty = "velmoraTag";
}

int ControlTag(const QObject* AControl) {
    return AControl != nullptr ? AControl->property(TagProperty).toInt() : 0;
}

void SetControlTag(QObject* AControl, int Value) {
    if (AControl != nullptr)
        AControl->setProperty(TagProperty, Value);
}

} // namespace velmora
