#pragma once

// The set-up every benchmark of skinned windows shares.
#include "bench/support/RatioReporter.h"
#include "platform/graphics/GPGraphics.h"
#include "skin/data/SkinMng.h"
#include "skin/drawing/SkinTypes.h"

#include <QtGlobal>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace velmora {

int SkinResourceAnchor();

// CustomPaint runs of every TCounted control, for benchmarks that count repaints.
inline int GCustomPaints = 0;

// A skinned widget kind that counts its CustomPaint runs.
template <typename TWidget> class TCounted : public TWidget {
public:
    using TWidget::TWidget;

protected:
    void CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override {
        ++GCustomPaints;
        TWidget::CustomPaint(Graphics, ADrawRect);
    }
};

// The offscreen platform unless another is chosen; call before the application is made.
inline void UseOffscreenUnlessChosen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The embedded default skin through the skin manager, as the gallery shows it. Says so and
// answers false when it does not load.
inline bool LoadDefaultSkin() {
    SkinResourceAnchor();
    SkinMng().SetIsPrepareBuildBackGndImage(false);
    if (SkinMng().ChangeSkinRes(QStringLiteral("SKIN"), false))
        return true;
    std::fprintf(stderr, "the default skin did not load\n");
    return false;
}

// Runs the registered benchmarks, keeping their times in AReporter.
inline void RunBenchmarks(int& argc, char** argv, TRatioReporter& AReporter) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks(&AReporter);
}

} // namespace velmora
