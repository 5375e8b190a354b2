// Load and save of a 10 MB skin-like document, against a plain copy of the same bytes.
// Prints each median time and its ratio to the copy; ratios matter, absolute times do not.
#include "bench/support/BenchResult.h"
#include "skin/document/BinaryTreeDocument100.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace velmora;

namespace {

constexpr int KDirectories = 200;
constexpr int KImagesPerDirectory = 20;
constexpr int KImageBytes = 2600;
constexpr int KRuns = 15;

// Thousands of nodes shaped like a skin: directories of styles, each with typed values and
// pictures of a few kilobytes.
void Fill(TBinaryTreeDocument100& ADoc) {
    QByteArray picture(KImageBytes, '\0');
    for (int i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<char>(i * 31 + 7);
    for (int d = 0; d < KDirectories; ++d) {
        auto* dir = new TDirectoryNode100(ADoc.TopNode(), QStringLiteral("Style%1").arg(d));
        (new TWideStringNode100(dir, QStringLiteral("Name")))->SetData(QStringLiteral("Style"));
        (new TInt32Node100(dir, QStringLiteral("Margin")))->SetData(d);
        (new TBool32Node100(dir, QStringLiteral("Visible")))->SetData(true);
        for (int i = 0; i < KImagesPerDirectory; ++i) {
            auto* image = new TBinaryNode100(dir, QStringLiteral("State%1").arg(i));
            image->SetNodeSubType(1);
            image->WriteBuffer(picture.constData(), picture.size());
        }
    }
}

template <typename Work> double MedianMicroseconds(Work AWork) {
    std::vector<double> times;
    for (int run = 0; run < KRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        AWork();
        const auto stop = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main() {
    TBinaryTreeDocument100 source;
    Fill(source);
    const QByteArray bytes = source.SaveToByteArray();
    const int nodes = 1 + KDirectories * (4 + KImagesPerDirectory);
    std::vector<char> target(static_cast<std::size_t>(bytes.size()));

    const double copy = MedianMicroseconds([&] {
        std::memcpy(target.data(), bytes.constData(), target.size());
        asm volatile("" : : "r"(target.data()) : "memory");
    });
    const double save = MedianMicroseconds([&] { source.ReadBuffer(target.data(), bytes.size()); });
    TBinaryTreeDocument100 loaded;
    const double load =
        MedianMicroseconds([&] { loaded.WriteBuffer(bytes.constData(), bytes.size()); });
    if (loaded.SaveToByteArray() != bytes) {
        std::fprintf(stderr, "btd-bench: the loaded document differs from the saved one\n");
        return 1;
    }

    std::printf("document: %.1f MB, %d nodes, median of %d runs\n", bytes.size() / 1048576.0, nodes,
                KRuns);
    std::printf("memory copy     %9.0f us   1.00x\n", copy);
    std::printf("save (ReadBuffer)  %6.0f us  %5.2fx copy\n", save, save / copy);
    std::printf("load (WriteBuffer) %6.0f us  %5.2fx copy\n", load, load / copy);
    ReportFigure("btd.save", save, copy);
    ReportFigure("btd.load", load, copy);
    return 0;
}
