// What one hover change on a skinned button costs on a form of twenty skinned widgets (eight
// buttons, six check boxes, six labels) in the default skin, against repainting that button
// alone. The change goes the way of the desktop: an enter or leave event, then the window's
// pending update. The counter "custom_paints" is the number of CustomPaint runs per change,
// over all twenty widgets; it must be exactly 1.
// Prints the ratio and the time per hover change. Runs on the offscreen platform unless
// another is chosen.
#include "bench/support/SkinBench.h"
#include "skin/controls/SkinForms.h"
#include "skin/data/SkinMng.h"
#include "skin/widgets/SkinBtns.h"
#include "skin/widgets/SkinEdits.h"

#include <QApplication>
#include <QEnterEvent>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace velmora;

struct TTwentyWidgets {
    TTwentyWidgets() {
        Form = std::make_unique<TDefaultSkinForm>();
        Form->resize(562, 371);
        for (int i = 0; i < 8; ++i) {
            auto* button = new TCounted<TSkinButton>(Form.get());
            button->setGeometry(16 + (i % 4) * 132, 44 + (i / 4) * 44, 120, 32);
            button->SetButtonStyle(QStringLiteral("0"));
            button->SetCaption(QStringLiteral("按钮 %1").arg(i + 1));
            button->SetIsDrawIconCaption(true);
            Buttons.push_back(button);
        }
        for (int i = 0; i < 6; ++i) {
            auto* box = new TCounted<TSkinCheckBox>(Form.get());
            box->setGeometry(16 + (i % 3) * 176, 140 + (i / 3) * 28, 137, 17);
            box->SetCaption(QStringLiteral("选项 %1").arg(i + 1));
            box->SetChecked(i % 2 == 0);
        }
        for (int i = 0; i < 6; ++i) {
            auto* label = new TCounted<TSkinLabel>(Form.get());
            label->move(16 + (i % 2) * 270, 210 + (i / 2) * 36);
            label->SetCaption(QStringLiteral("安装向导的说明文字 %1").arg(i + 1));
        }
        Form->show();
        Settle();
    }
    // Delivers the window's pending update: only what was marked dirty is painted.
    static void Settle() { QCoreApplication::processEvents(); }
    TSkinButton* Target() const { return Buttons[5]; }

    std::unique_ptr<TDefaultSkinForm> Form;
    std::vector<TSkinButton*> Buttons;
};

void Hover(TSkinButton* button, bool inside) {
    if (inside) {
        QEnterEvent event(QPointF(4, 4), QPointF(4, 4), QPointF(4, 4));
        QCoreApplication::sendEvent(button, &event);
    } else {
        QEvent event(QEvent::Leave);
        QCoreApplication::sendEvent(button, &event);
    }
}

void HoverChangeAmongTwenty(benchmark::State& state) {
    TTwentyWidgets scene;
    bool inside = false;
    const int before = GCustomPaints;
    for (auto _ : state) {
        inside = !inside;
        Hover(scene.Target(), inside);
        TTwentyWidgets::Settle();
    }
    state.counters["custom_paints"] =
        benchmark::Counter(GCustomPaints - before, benchmark::Counter::kAvgIterations);
}

void RepaintButtonAlone(benchmark::State& state) {
    TTwentyWidgets scene;
    const int before = GCustomPaints;
    for (auto _ : state) {
        scene.Target()->RepaintSelfImage();
        TTwentyWidgets::Settle();
    }
    state.counters["custom_paints"] =
        benchmark::Counter(GCustomPaints - before, benchmark::Counter::kAvgIterations);
}

BENCHMARK(HoverChangeAmongTwenty)->Unit(benchmark::kMicrosecond);
BENCHMARK(RepaintButtonAlone)->Unit(benchmark::kMicrosecond);

// One hover change, counted outside the timing: exactly one CustomPaint.
int CustomPaintsOfOneHover() {
    TTwentyWidgets scene;
    Hover(scene.Target(), true);
    TTwentyWidgets::Settle();
    const int before = GCustomPaints;
    Hover(scene.Target(), false);
    TTwentyWidgets::Settle();
    return GCustomPaints - before;
}

} // namespace

int main(int argc, char** argv) {
    UseOffscreenUnlessChosen();
    QApplication application(argc, argv);
    if (!LoadDefaultSkin())
        return 1;
    const int paints = CustomPaintsOfOneHover();
    TRatioReporter reporter;
    RunBenchmarks(argc, argv, reporter);
    const auto ratio = reporter.Ratio("HoverChangeAmongTwenty", "RepaintButtonAlone");
    const auto hover = reporter.Time("HoverChangeAmongTwenty");
    std::printf("CustomPaint runs for one hover change among twenty widgets: %d (must be 1)\n",
                paints);
    std::printf("one hover change among twenty / that button repainted alone = %s (limit 1.20)\n",
                Shown(ratio).c_str());
    std::printf("time per hover change: %s us (CPU)\n", Shown(hover, 1).c_str());
    ReportFigure("widgets.hover_paints", static_cast<double>(paints), 1.0);
    ReportFigure("widgets.hover_cost", hover, reporter.Time("RepaintButtonAlone"));
    benchmark::Shutdown();
    return paints == 1 && ratio && *ratio <= 1.2 && GMissingSides == 0 ? 0 : 1;
}
