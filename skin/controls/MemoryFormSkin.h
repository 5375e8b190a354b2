#pragma once

#include "skin/controls/SkinFormStyle.h"
#include "skin/data/SkinChangeEvent.h"

#include <QFont>
#include <memory>
#include <vector>

namespace velmora {

// A skin held in memory: a form style, the user's background and a font. It tells skinned
// controls and listener windows about changes exactly as the skin manager does, so forms
// behave the same whichever provider they read.
class TMemoryFormSkin : public TSkinFormStyleSource {
public:
    TMemoryFormSkin();
    ~TMemoryFormSkin() override;
    TMemoryFormSkin(const TMemoryFormSkin&) = delete;
    TMemoryFormSkin& operator=(const TMemoryFormSkin&) = delete;

    // Makes this the provider that skinned forms read; the destructor undoes it.
    void Install();

    bool SkinLoaded() const override { return FStyle != nullptr; }
    const TSkinFormStyle* FormStyle() const override { return FStyle.get(); }
    TSkinBackGround* UserBackGround() const override { return FUserBackGround.get(); }
    QFont SkinFont() const override { return FFont; }
    void RegisterListener(QWidget* window) override;
    void UnregisterListener(QWidget* window) override;
    const std::vector<QWidget*>& Listeners() const { return FListeners; }

    // A new style: every skinned control is told, then every listener gets the skin-file
    // message. Old styles and backgrounds stay alive: a form without a window hears of no
    // change and holds them until it is shown.
    void LoadStyle(std::unique_ptr<TSkinFormStyle> style);
    // A new user background, announced with message (one of the three background messages).
    void SetUserBackGround(std::unique_ptr<TSkinBackGround> item,
                           QEvent::Type message = SkinBackGroundFileChangedEvent);
    void SetSkinFont(const QFont& font) { FFont = font; }

private:
    std::unique_ptr<TSkinFormStyle> FStyle;
    std::unique_ptr<TSkinBackGround> FUserBackGround;
    std::vector<std::unique_ptr<TSkinFormStyle>> FOldStyles;
    std::vector<std::unique_ptr<TSkinBackGround>> FOldBackGrounds;
    QFont FFont;
    std::vector<QWidget*> FListeners;
};

// A complete form style drawn in code (title-bar buttons, a nine-slice shadow with size
// margins 10, a background catalogue with the item "Default"): the look of skinned forms
// when no skin document is at hand.
std::unique_ptr<TSkinFormStyle> MakeCodeFormStyle();
// The matching user background: a vertical gradient under a darker title band.
std::unique_ptr<TSkinBackGround> MakeCodeBackGround(const QString& name = QStringLiteral("User"));

} // namespace velmora
