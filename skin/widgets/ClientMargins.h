#pragma once

#include <functional>

namespace velmora {

// The inner margins of a zone view. Negative values are stored as 0: a margin cannot pull
// zones outside the control.
class TClientMargins {
public:
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Right() const { return FRight; }
    int Bottom() const { return FBottom; }
    void SetLeft(int Value) { Set(FLeft, Value); }
    void SetTop(int Value) { Set(FTop, Value); }
    void SetRight(int Value) { Set(FRight, Value); }
    void SetBottom(int Value) { Set(FBottom, Value); }
    void SetMargins(int ALeft, int ATop, int ARight, int ABottom);

    // Told after every change.
    std::function<void()> OnChange;

private:
    void Set(int& AField, int AValue);

    int FLeft = 1;
    int FTop = 1;
    int FRight = 1;
    int FBottom = 1;
};

} // namespace velmora
