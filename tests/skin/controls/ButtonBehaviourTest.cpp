#include "skin/controls/ButtonBehaviour.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace velmora::testing {
namespace {

// Drives the behaviour with a script of steps and records what a control would see.
struct TRun {
    int Clicks = 0;
    int Doubles = 0;
    std::string Looks; // one letter per reported look change: N normal, H hover, D down

    explicit TRun(const std::string& script) {
        TButtonBehaviour button;
        button.OnClick = [this] { ++Clicks; };
        button.OnDoubleClick = [this] { ++Doubles; };
        button.OnLookChanged = [&] { Looks += button.Down() ? 'D' : button.Hovered() ? 'H' : 'N'; };
        for (const char step : script) {
            switch (step) {
            case 'e':
                button.Enter();
                break;
            case 'l':
                button.Leave();
                break;
            case 'p':
                button.Press(true);
                break;
            case 'P':
                button.Press(false);
                break;
            case 'd':
                button.DoublePress(true);
                break;
            case 'm':
                button.Move(true);
                break;
            case 'M':
                button.Move(false);
                break;
            case 'r':
                button.Release(true);
                break;
            case 'R':
                button.Release(false);
                break;
            case 'k':
                button.KeyDown();
                break;
            case 'K':
                button.KeyUp();
                break;
            case 'a':
                button.KeyActivate();
                break;
            case 'c':
                button.Cancel();
                break;
            case 'h':
                button.Reset();
                break;
            default:
                ADD_FAILURE() << "unknown step " << step;
            }
        }
    }
};

TEST(ButtonBehaviourTest, ClicksOnlyWhatAUserMeantAsOneClick) {
    const struct {
        const char* Script;
        int Clicks;
        int Doubles;
        const char* Looks;
        const char* Why;
    } cases[] = {
        {"epr", 1, 0, "HDH", "press and release inside"},
        {"epMR", 0, 0, "HDN", "released after dragging off"},
        {"epMmr", 1, 0, "HDNDH", "dragged off and back: normal while off, pressed again back"},
        {"eprpdr", 1, 1, "HDHDH", "a double click is one click and one double click"},
        {"ePr", 0, 0, "H", "a press that began elsewhere never clicks"},
        {"eplr", 1, 0, "HDNH", "a stray leave during the press"},
        {"ephr", 0, 0, "HDN", "hidden while pressed: forgotten, and so is the stray release"},
        {"epcr", 0, 0, "HDH", "the press was cancelled (focus or mouse taken)"},
        {"kK", 1, 0, "DN", "Space pressed and released"},
        {"kcK", 0, 0, "DN", "Escape while Space is held cancels"},
        {"kkK", 1, 0, "DN", "a repeated key press counts once"},
        {"a", 1, 0, "", "Return clicks at once"},
        {"epar", 1, 0, "HDH", "Return during a mouse press does not click twice"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Why);
        const TRun run(c.Script);
        EXPECT_EQ(run.Clicks, c.Clicks);
        EXPECT_EQ(run.Doubles, c.Doubles);
        EXPECT_EQ(run.Looks, c.Looks);
    }
}

TEST(ButtonBehaviourTest, AClickHandlerMayDestroyTheButton) {
    auto* button = new TButtonBehaviour;
    int looks = 0;
    button->OnLookChanged = [&] { ++looks; };
    button->OnClick = [&] { delete button; };
    button->Press(true);
    button->Release(true); // the look is reported before the click frees it
    EXPECT_EQ(looks, 2);
}

} // namespace
} // namespace velmora::testing
