#pragma once

#include "skin/data/SkinControlClasses.h"
#include "skin/widgets/SkinFieldFrame.h"

#include <QPlainTextEdit>

namespace velmora {

// A multi-line edit with the platform's own editing and the skinned 4-pixel frame; its text
// area is shrunk by the frame, so the frame never covers text.
class TSkinFlatMemo : public QPlainTextEdit {
public:
    static constexpr TSkinControlClassOrder KClassOrder = sccSkinFlatMemo;
    static QString ClassName() { return QStringLiteral("TSkinFlatMemo"); }

    explicit TSkinFlatMemo(QWidget* parent = nullptr);
    ~TSkinFlatMemo() override;

    bool MouseInControl() const { return FFrame.MouseInControl(); }
    QColor Color() const { return FColor; }
    void SetColor(const QColor& Value);

    void Loaded();
    void ChangeSkinFile();

protected:
    bool event(QEvent* event) override;

private:
    TSkinFieldFrame FFrame;
    QColor FColor;
};

} // namespace velmora
