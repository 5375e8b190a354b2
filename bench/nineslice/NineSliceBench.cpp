// What the piece cache of the nine-slice element buys while a window is resized: the same
// sequence of sizes drawn through one cached element, and drawn from the nine slices of the
// picture from scratch each time. Prints the ratio of the two.
#include "bench/support/RatioReporter.h"
#include "skin/drawing/GDIIMGADV.h"
#include "skin/drawing/GdiSkinHelper.h"
#include "skin/drawing/StretchFill.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace velmora;

constexpr int Margin = 12;

IGPBitmap Picture() {
    IGPBitmap bitmap = NewGPBitmap(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            bitmap->SetPixel(x, y, qRgba(x * 4, y * 4, (x * y) % 256, 160 + (x + y) % 96));
    return bitmap;
}

// Sequence 0: a drag that grows the window step by step, then shrinks it with wobbles.
// Sequence 1: the window starts at its largest size (maximised, say) and is then resized
// within it, the case the piece cache is made for.
std::vector<QSize> Sizes(int sequence) {
    std::vector<QSize> sizes;
    if (sequence == 0) {
        for (int step = 0; step <= 40; ++step)
            sizes.emplace_back(400 + step * 10, 300 + step * 6);
    } else {
        sizes.emplace_back(800, 540);
    }
    for (int step = 40; step >= 0; --step)
        sizes.emplace_back(400 + step * 10, 300 + (step % 7) * 20);
    return sizes;
}

void CachedElement(benchmark::State& state) {
    const IGPBitmap picture = Picture();
    const std::vector<QSize> sizes = Sizes(static_cast<int>(state.range(1)));
    TGPBitmap target(800, 540);
    for (auto _ : state) {
        TGDIIMGADV element;
        element.SetImage(picture);
        element.SetMargin(Margin, Margin, Margin, Margin);
        element.SetStrecthMode(static_cast<TStretchMode>(state.range(0)));
        TGPGraphics graphics(target);
        for (const QSize& size : sizes) {
            element.SetWidth(size.width());
            element.SetHeight(size.height());
            element.Paint(&graphics, 0, 0);
        }
    }
}

void FromScratch(benchmark::State& state) {
    const IGPBitmap picture = Picture();
    const std::vector<QSize> sizes = Sizes(static_cast<int>(state.range(1)));
    TGPBitmap target(800, 540);
    for (auto _ : state) {
        TGPGraphics graphics(target);
        for (const QSize& size : sizes) {
            // The buffer a window would keep, redrawn from the picture's nine slices.
            TGPBitmap buffer(size.width(), size.height());
            {
                TGPGraphics bufferGraphics(buffer);
                const TGPRect rect{0, 0, size.width(), size.height()};
                const auto mode = static_cast<TStretchMode>(state.range(0));
                if (mode == smStretchBoth) {
                    TSkinHelper::StretchDrawImageInRectByMargins(bufferGraphics, picture, rect,
                                                                 Margin, Margin, Margin, Margin);
                } else {
                    TSkinHelper::StretchDrawImageBorderInRectByMargins(
                        bufferGraphics, picture, rect, Margin, Margin, Margin, Margin);
                    FillCentre(bufferGraphics, picture->Image(),
                               QRect(Margin, Margin, 64 - 2 * Margin, 64 - 2 * Margin),
                               QRect(Margin, Margin, size.width() - 2 * Margin,
                                     size.height() - 2 * Margin),
                               mode);
                }
            }
            graphics.DrawImage(buffer, 0, 0);
        }
    }
}

// Process CPU time: the painter may use helper threads, and the machine is shared.
// Arguments: stretch mode (0 stretch both, 3 tile both, 4 average colour), size sequence.
BENCHMARK(CachedElement)
    ->ArgsProduct({{0, 3, 4}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK(FromScratch)
    ->ArgsProduct({{0, 3, 4}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

} // namespace

int main(int argc, char** argv) {
    // Drawing needs no screen; a benchmark run over ssh or in CI has none.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* mode : {"0", "3", "4"}) {
        for (const int sequence : {0, 1}) {
            const std::string suffix =
                std::string("/") + mode + "/" + std::to_string(sequence) + "/process_time";
            const auto cached = reporter.Time("CachedElement" + suffix);
            const auto scratch = reporter.Time("FromScratch" + suffix);
            std::printf("stretch mode %s, sequence %d (%zu sizes): CPU time from scratch / "
                        "cached element = %s\n",
                        mode, sequence, Sizes(sequence).size(),
                        Shown(RatioOf(scratch, cached)).c_str());
            const std::string figure =
                std::string("nineslice.mode") + mode + ".sequence" + std::to_string(sequence);
            ReportFigure(figure.c_str(), cached, scratch);
        }
    }
    benchmark::Shutdown();
    return GMissingSides == 0 ? 0 : 1;
}
