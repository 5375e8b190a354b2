// What the buffered paint pipeline costs and saves:
//  - one hover change on a form of twenty skinned controls, against making all of them stale
//    (the counter "custom_paints" is the number of CustomPaint runs per change);
//  - the first frame of the gallery's skinned form in the default skin, against a plain window
//    of the same size.
// Prints the ratios. Runs on the offscreen platform unless another is chosen.
#include "bench/support/SkinBench.h"
#include "skin/data/SkinMng.h"
#include "tools/skin-gallery/GalleryForm.h"

#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace velmora;

class TCountingControl : public TSkinCustomControl {
public:
    using TSkinCustomControl::TSkinCustomControl;

protected:
    void CustomPaint(TGPGraphics& Graphics, const TGPRect& r) override {
        ++GCustomPaints;
        Graphics.Clear(0);
        Graphics.FillRectangle(0x80FFFFFF, QRectF(2, 2, r.Width - 4, r.Height - 4));
        Graphics.DrawString(QStringLiteral("控件"), font(), 0xFF203040, QPointF(6, 6));
    }
};

struct TTwentyControls {
    TTwentyControls() {
        Form = std::make_unique<TDefaultSkinForm>();
        Form->resize(562, 371);
        for (int i = 0; i < 20; ++i) {
            auto* control = new TCountingControl(Form.get());
            control->setGeometry(12 + (i % 5) * 108, 40 + (i / 5) * 78, 100, 70);
            Controls.push_back(control);
        }
        Form->show();
        Paint();
    }
    // What the screen gets: the form and every control painted into one picture.
    void Paint() { Form->render(&Screen); }
    std::unique_ptr<TDefaultSkinForm> Form;
    QImage Screen{562, 371, QImage::Format_ARGB32_Premultiplied};
    std::vector<TCountingControl*> Controls;
};

void HoverChange(benchmark::State& state) {
    TTwentyControls scene;
    const int before = GCustomPaints;
    for (auto _ : state) {
        scene.Controls[7]->RepaintSelfImage();
        scene.Paint();
    }
    state.counters["custom_paints"] =
        benchmark::Counter(GCustomPaints - before, benchmark::Counter::kAvgIterations);
}

void AllStale(benchmark::State& state) {
    TTwentyControls scene;
    const int before = GCustomPaints;
    for (auto _ : state) {
        for (TCountingControl* control : scene.Controls)
            control->Repaint();
        scene.Paint();
    }
    state.counters["custom_paints"] =
        benchmark::Counter(GCustomPaints - before, benchmark::Counter::kAvgIterations);
}

void FirstFrameSkinned(benchmark::State& state) {
    for (auto _ : state) {
        auto form = gallery::MakeGalleryForm();
        form->show();
        const QPixmap frame = form->grab();
        benchmark::DoNotOptimize(frame.cacheKey());
    }
}

void FirstFramePlain(benchmark::State& state) {
    for (auto _ : state) {
        auto form = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
        form->resize(562, 371);
        form->show();
        const QPixmap frame = form->grab();
        benchmark::DoNotOptimize(frame.cacheKey());
    }
}

// The same content built from stock widgets: a framed card with labels and a button, a label,
// a framed box with a label, two buttons.
void FirstFramePlainWidgets(benchmark::State& state) {
    for (auto _ : state) {
        auto form = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
        form->resize(562, 371);
        auto* card = new QFrame(form.get());
        card->setFrameShape(QFrame::StyledPanel);
        card->setGeometry(20, 44, 330, 210);
        (new QLabel(QStringLiteral("安装选项"), card))->setGeometry(12, 8, 306, 22);
        (new QLabel(QStringLiteral("控件没有画到的地方，显示的正是窗体的背景"), card))
            ->setGeometry(12, 36, 306, 64);
        (new QLabel(QStringLiteral("安装路径:  /opt/Norvane/Velmora"), card))
            ->setGeometry(12, 108, 306, 24);
        (new QPushButton(QStringLiteral("浏览..."), card))->setGeometry(12, 164, 90, 30);
        (new QLabel(QStringLiteral("Velmora 3.0"), form.get()))->setGeometry(372, 48, 170, 28);
        auto* box = new QFrame(form.get());
        box->setFrameShape(QFrame::StyledPanel);
        box->setGeometry(372, 86, 170, 168);
        (new QLabel(QStringLiteral("普通父窗口里的皮肤控件"), box))->setGeometry(10, 10, 150, 40);
        (new QPushButton(QStringLiteral("立即安装"), form.get()))->setGeometry(300, 318, 120, 34);
        (new QPushButton(QStringLiteral("取消"), form.get()))->setGeometry(430, 318, 110, 34);
        form->show();
        const QPixmap frame = form->grab();
        benchmark::DoNotOptimize(frame.cacheKey());
    }
}

BENCHMARK(HoverChange)->Unit(benchmark::kMicrosecond);
BENCHMARK(AllStale)->Unit(benchmark::kMicrosecond);
BENCHMARK(FirstFrameSkinned)->Unit(benchmark::kMillisecond);
BENCHMARK(FirstFramePlain)->Unit(benchmark::kMillisecond);
BENCHMARK(FirstFramePlainWidgets)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    UseOffscreenUnlessChosen();
    QApplication application(argc, argv);
    if (!LoadDefaultSkin())
        return 1;
    TRatioReporter reporter;
    RunBenchmarks(argc, argv, reporter);
    const auto hover = reporter.Ratio("HoverChange", "AllStale");
    const auto plain = reporter.Ratio("FirstFrameSkinned", "FirstFramePlain");
    const auto stock = reporter.Ratio("FirstFrameSkinned", "FirstFramePlainWidgets");
    std::printf("one hover change / all twenty stale = %s\n", Shown(hover).c_str());
    std::printf("first frame: skinned gallery form / empty plain window = %s\n",
                Shown(plain).c_str());
    std::printf("first frame: skinned gallery form / plain window with stock widgets = %s\n",
                Shown(stock).c_str());
    ReportFigure("framework.hover_paints", reporter.Counter("HoverChange", "custom_paints"), 1.0);
    ReportFigure("framework.hover_cost", reporter.Time("HoverChange"), reporter.Time("AllStale"));
    ReportFigure("framework.first_frame", reporter.Time("FirstFrameSkinned"),
                 reporter.Time("FirstFramePlainWidgets"));
    benchmark::Shutdown();
    return GMissingSides == 0 ? 0 : 1;
}
