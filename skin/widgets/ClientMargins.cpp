#include "skin/widgets/ClientMargins.h"

#include <algorithm>

namespace velmora {

void TClientMargins::Set(int& AField, int AValue) {
    AValue = std::max(0, AValue);
    if (AField == AValue)
        return;
    AField = AValue;
    if (OnChange)
        OnChange();
}

void TClientMargins::SetMargins(int ALeft, int ATop, int ARight, int ABottom) {
    const int left = std::max(0, ALeft);
    const int top = std::max(0, ATop);
    const int right = std::max(0, ARight);
    const int bottom = std::max(0, ABottom);
    if (left == FLeft && top == FTop && right == FRight && bottom == FBottom)
        return;
    FLeft = left;
    FTop = top;
    FRight = right;
    FBottom = bottom;
    if (OnChange)
        OnChange();
}

} // namespace velmora
