// What hovering a page control costs: the mouse moves across a strip of 30 tabs, three moves
// per tab, and the form is painted after each move. Only a change of the hovered tab may run
// the control's CustomPaint, once (counters "custom_paints" and "hover_changes"); the moves
// are compared with repainting the whole form (every skinned control stale).
// Runs on the offscreen platform unless another is chosen.
#include "bench/support/SkinBench.h"
#include "skin/data/SkinMng.h"
#include "skin/widgets/SkinPageControl.h"
#include "skin/widgets/SkinTabSheet.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace velmora;

using TCountingPageControl = TCounted<TSkinPageControl>;

struct TThirtyTabs {
    TThirtyTabs() {
        Form = std::make_unique<QWidget>();
        Form->resize(960, 320);
        Control = new TCountingPageControl(Form.get());
        Control->setGeometry(0, 0, 960, 320);
        Control->SetFillInRow(true);
        for (int i = 0; i < 30; ++i)
            (new TSkinTabSheet(Control))->SetCaption(QString::number(i + 1));
        Form->show();
        Paint();
        const TTabStripLayout& layout = Control->TabLayout();
        for (const TGPRect& tab : layout.Tabs)
            for (int x : {tab.X + 2, tab.X + tab.Width / 2, tab.X + tab.Width - 3})
                Points.emplace_back(x, tab.Y + tab.Height / 2);
    }
    void Paint() { Form->render(&Screen); }
    void Move(const QPoint& at) {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(Control->mapToGlobal(at)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Control, &move);
    }
    std::unique_ptr<QWidget> Form;
    TCountingPageControl* Control = nullptr;
    QImage Screen{960, 320, QImage::Format_ARGB32_Premultiplied};
    std::vector<QPoint> Points;
};

void MouseMoveAcrossTabs(benchmark::State& state) {
    TThirtyTabs scene;
    const int before = GCustomPaints;
    size_t next = 0;
    int changes = 0;
    for (auto _ : state) {
        const int hovered = scene.Control->MouseOverPageIndex();
        scene.Move(scene.Points[next]);
        next = (next + 1) % scene.Points.size();
        changes += scene.Control->MouseOverPageIndex() != hovered ? 1 : 0;
        scene.Paint();
    }
    state.counters["custom_paints"] = GCustomPaints - before;
    state.counters["hover_changes"] = changes;
}

void WholeFormRepaint(benchmark::State& state) {
    TThirtyTabs scene;
    const int before = GCustomPaints;
    for (auto _ : state) {
        for (TSkinCustomControl* control : *TSkinCustomControl::ControlList())
            control->Repaint();
        scene.Paint();
    }
    state.counters["custom_paints"] =
        benchmark::Counter(GCustomPaints - before, benchmark::Counter::kAvgIterations);
}

BENCHMARK(MouseMoveAcrossTabs)->Unit(benchmark::kMicrosecond);
BENCHMARK(WholeFormRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    UseOffscreenUnlessChosen();
    QApplication application(argc, argv);
    if (!LoadDefaultSkin())
        return 1;
    TRatioReporter reporter;
    RunBenchmarks(argc, argv, reporter);
    std::printf("one mouse move over the strip / repainting the whole form = %s\n",
                Shown(reporter.Ratio("MouseMoveAcrossTabs", "WholeFormRepaint")).c_str());
    ReportFigure("pagecontrol.paints", reporter.Counter("MouseMoveAcrossTabs", "custom_paints"),
                 reporter.Counter("MouseMoveAcrossTabs", "hover_changes"));
    ReportFigure("pagecontrol.move_cost", reporter.Time("MouseMoveAcrossTabs"),
                 reporter.Time("WholeFormRepaint"));
    benchmark::Shutdown();
    return GMissingSides == 0 ? 0 : 1;
}
