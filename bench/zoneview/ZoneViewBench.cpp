// What scrolling a zone view by one step costs as the list grows: a view of 1,000, 10,000 or
// 100,000 laid-out zones (the gallery's drawing style, 28-pixel rows) is scrolled one step
// with the Down key (Up after reaching the end) and painted after each step. The first
// layout walks every zone once before timing starts; a step must then cost what the displayed
// zones cost, so the 100,000-zone view is compared with the 1,000-zone view as its peer.
// Runs on the offscreen platform unless another is chosen.
#include "bench/support/SkinBench.h"
#include "skin/data/SkinMng.h"
#include "skin/widgets/SkinZoneView.h"
#include "tools/skin-gallery/GalleryZoneStyle.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {

using namespace velmora;

struct TZoneScene {
    explicit TZoneScene(int count) {
        Form = std::make_unique<QWidget>();
        Form->resize(522, 324);
        View = new TSkinZoneView(Form.get());
        View->setGeometry(0, 0, 522, 324);
        Style.SetZoneView(View);
        View->BeginUpdate();
        for (int i = 0; i < count; ++i) {
            TZone* zone = View->Zones().Add();
            zone->SetZoneName(QStringLiteral("条目 %1").arg(i + 1));
            zone->SetHeight(28);
        }
        View->EndUpdate();
        Form->show();
        Paint();
    }
    ~TZoneScene() { Style.SetZoneView(nullptr); }
    void Paint() { Form->render(&Screen); }
    void Key(Qt::Key key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(View, &press);
    }
    void Step() {
        const TZoneScrollBar& bar = View->VertScrollBar();
        if (bar.Position() >= bar.Max())
            Down = false;
        else if (bar.Position() <= 0)
            Down = true;
        Key(Down ? Qt::Key_Down : Qt::Key_Up);
        Paint();
    }
    std::unique_ptr<QWidget> Form;
    TSkinZoneView* View = nullptr;
    gallery::TGalleryZoneStyle Style;
    QImage Screen{522, 324, QImage::Format_ARGB32_Premultiplied};
    bool Down = true;
};

void ScrollOneStep(benchmark::State& state) {
    TZoneScene scene(static_cast<int>(state.range(0)));
    for (auto _ : state)
        scene.Step();
    state.counters["displayed"] = static_cast<double>(scene.View->DisplayZones().size());
    state.counters["placements"] = static_cast<double>(scene.View->LayoutPass());
}

BENCHMARK(ScrollOneStep)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    UseOffscreenUnlessChosen();
    QApplication application(argc, argv);
    if (!LoadDefaultSkin())
        return 1;
    TRatioReporter reporter;
    RunBenchmarks(argc, argv, reporter);
    const auto tenThousand = reporter.Ratio("ScrollOneStep/10000", "ScrollOneStep/1000");
    const auto hundredThousand = reporter.Ratio("ScrollOneStep/100000", "ScrollOneStep/1000");
    std::printf("one step at 10,000 zones / at 1,000 zones = %s\n", Shown(tenThousand).c_str());
    std::printf("one step at 100,000 zones / at 1,000 zones = %s (target at most 3)\n",
                Shown(hundredThousand).c_str());
    ReportFigure("zoneview.step_10000", reporter.Time("ScrollOneStep/10000"),
                 reporter.Time("ScrollOneStep/1000"));
    ReportFigure("zoneview.step_100000", reporter.Time("ScrollOneStep/100000"),
                 reporter.Time("ScrollOneStep/1000"));
    ReportFigure("zoneview.placements", reporter.Counter("ScrollOneStep/100000", "placements"),
                 1.0);
    benchmark::Shutdown();
    return hundredThousand && *hundredThousand <= 3 && GMissingSides == 0 ? 0 : 1;
}
