// What one pupil's click costs: through the core alone, through the core
// with Qt's regional settings, and through the real Qt window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <string>

#include "bench/proc_status.h"
#include "logic/plain_platform.h"
#include "logic/quiz.h"
#include "model/form.h"
#include "ui/qt/platform.h"
#include "ui/qt/window.h"

namespace {

using mervalin::ListBox;
using mervalin::Mervalin;

class BenchPlatform final : public mervalin::QtPlatform {
public:
    void reportOverflow(std::string_view) override {}
};

long residentKilobytes() { return mervalin::bench::statusKilobytes("VmRSS"); }

// Copper is chosen; the two "8.9" entries are both right for it, so every
// click alternating between them is a correct pairing with all four results.
void chooseCopper(Mervalin& form) {
    mervalin::attachHandlers(form);
    mervalin::Form_Load(form);
    form.List1(Mervalin::kMetalChoice).setSelectedIndex(8);
}

// The cheapest event there is: a size click, which only updates the model.
void BM_SizeClick(benchmark::State& state) {
    mervalin::PlainPlatform platform;
    Mervalin form(platform);
    chooseCopper(form);
    int row = 0;
    for (auto _ : state) {
        form.List2().setSelectedIndex(row);
        row ^= 1;
    }
}
BENCHMARK(BM_SizeClick);

void pairingClicks(benchmark::State& state, mervalin::Platform& platform) {
    Mervalin form(platform);
    chooseCopper(form);
    ListBox& weights = form.List1(Mervalin::kWeightChoice);
    int row = 13;
    for (auto _ : state) {
        weights.setSelectedIndex(row);
        benchmark::DoNotOptimize(form.Text2(Mervalin::kCubeMass).text().data());
        row ^= 13 ^ 14;
    }
}

void BM_PairingClickCore(benchmark::State& state) {
    mervalin::PlainPlatform platform;
    pairingClicks(state, platform);
}
BENCHMARK(BM_PairingClickCore);

void BM_PairingClickQtLocale(benchmark::State& state) {
    BenchPlatform platform;
    pairingClicks(state, platform);
}
BENCHMARK(BM_PairingClickQtLocale);

// A key press in the shown weight list, until the four result boxes hold
// their text (offscreen; painting is not included).
void BM_PairingClickQtWindow(benchmark::State& state) {
    BenchPlatform platform;
    Mervalin form(platform);
    mervalin::attachHandlers(form);
    mervalin::qt::MainWindow window(form);
    mervalin::Form_Load(form);
    window.show();
    form.List1(Mervalin::kMetalChoice).setSelectedIndex(8);
    QListWidget* weights = window.weightList();
    weights->setFocus();
    form.List1(Mervalin::kWeightChoice).setSelectedIndex(13);
    bool down = true;
    for (auto _ : state) {
        QTest::keyClick(weights, down ? Qt::Key_Down : Qt::Key_Up);
        down = !down;
    }
    if (window.resultBox(3)->text().isEmpty()) state.SkipWithError("no result shown");
}
BENCHMARK(BM_PairingClickQtWindow);

// A long session: a million pairing clicks through the core must not grow
// the program's memory.
void BM_MillionClicksMemory(benchmark::State& state) {
    BenchPlatform platform;
    Mervalin form(platform);
    chooseCopper(form);
    ListBox& weights = form.List1(Mervalin::kWeightChoice);
    for (int i = 0; i < 10'000; ++i) weights.setSelectedIndex(13 + (i & 1));  // warm up
    const long before = residentKilobytes();
    for (auto _ : state) {
        for (int i = 0; i < 1'000'000; ++i) weights.setSelectedIndex(13 + (i & 1));
    }
    state.counters["rss_before_kb"] = static_cast<double>(before);
    state.counters["rss_growth_kb"] = static_cast<double>(residentKilobytes() - before);
}
BENCHMARK(BM_MillionClicksMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    mervalin::qt::setUpApplication();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
