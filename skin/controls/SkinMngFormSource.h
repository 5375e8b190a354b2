#pragma once

#include "skin/controls/SkinFormStyle.h"

#include <map>
#include <memory>
#include <vector>

namespace velmora {

class TBaseSkinItem;
class TSkinMng;
class TSufferBackGroundItem;

// The skin manager as the provider of skinned forms: its form style item, the background it
// builds from the user's skin item, its font and its listener list. Installing it also
// registers the two skinned control classes with the manager, so a new skin reaches every
// control before any window hears of it.
class TSkinMngFormStyleSource : public TSkinFormStyleSource {
public:
    explicit TSkinMngFormStyleSource(TSkinMng& AMng);
    ~TSkinMngFormStyleSource() override;
    TSkinMngFormStyleSource(const TSkinMngFormStyleSource&) = delete;
    TSkinMngFormStyleSource& operator=(const TSkinMngFormStyleSource&) = delete;

    void Install();

    bool SkinLoaded() const override;
    const TSkinFormStyle* FormStyle() const override;
    TSkinBackGround* UserBackGround() const override;
    QFont SkinFont() const override;
    void RegisterListener(QWidget* window) override;
    void UnregisterListener(QWidget* window) override;
    TSkinBackGround* BackGroundOfMessage(quintptr wParam) override;

    // The form style as read from the manager at the last skin change.
    static std::unique_ptr<TSkinFormStyle> StyleOf(const TSkinMng& AMng);

private:
    TSkinBackGround* BackGroundFor(TBaseSkinItem* AItem) const;
    void SkinChanged();

    TSkinMng& FMng;
    // The style of the current skin. Earlier ones stay alive: a form that has no window yet
    // hears of no change and holds its style until it is shown.
    mutable std::unique_ptr<TSkinFormStyle> FStyle;
    std::vector<std::unique_ptr<TSkinFormStyle>> FOldStyles;
    mutable bool FStyleStale = true;
    mutable std::map<TBaseSkinItem*, std::unique_ptr<TSkinBackGround>> FBackGrounds;
};

} // namespace velmora
