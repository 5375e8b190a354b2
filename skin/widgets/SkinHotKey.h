#pragma once

#include "skin/data/SkinControlClasses.h"
#include "skin/widgets/SkinFieldFrame.h"

#include <QKeySequenceEdit>

namespace velmora {

// A hot-key field: the platform's key-sequence capture inside the skinned 4-pixel frame, whose
// two frame colours are public.
class TSkinHotKey : public QKeySequenceEdit {
public:
    static constexpr TSkinControlClassOrder KClassOrder = sccSkinHotKey;
    static QString ClassName() { return QStringLiteral("TSkinHotKey"); }

    explicit TSkinHotKey(QWidget* parent = nullptr);
    ~TSkinHotKey() override;

    bool MouseInControl() const { return FFrame.MouseInControl(); }
    const QColor& InsideFrameColor() const { return FFrame.InsideFrameColor(); }
    void SetInsideFrameColor(const QColor& Value);
    const QColor& outerFrameColor() const { return FFrame.OuterFrameColor(); }
    void SetouterFrameColor(const QColor& Value);
    QColor Color() const { return FColor; }

    void Loaded();
    void ChangeSkinFile();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    TSkinFieldFrame FFrame;
    QColor FColor;
};

} // namespace velmora
