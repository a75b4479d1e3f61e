// What one pupil's click costs: through the core alone, through the core
// with Qt's regional settings, and through the real Qt window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <string>

#include "bench/proc_status.h"
#include "logic/quiz.h"
#include "model/form.h"
#include "tests/support/items.h"
#include "tests/support/plain_platform.h"
#include "ui/platform.h"
#include "ui/qt/window.h"

namespace {

using mervalin::ListBox;
using mervalin::Mervalin;

std::unique_ptr<mervalin::Platform> qtPlatform() {
    return mervalin::createPlatform([](std::string_view) {});
}

long residentKilobytes() { return mervalin::bench::statusKilobytes("VmRSS"); }

// Copper is chosen; the two "8.9" entries are both right for it, so every
// click alternating between them is a correct pairing with all four results.
struct CopperChosen {
    explicit CopperChosen(mervalin::Platform& platform) : form(mervalin::startForm(platform)) {
        ListBox& metals = form->List1(Mervalin::kMetalChoice);
        metals.input(mervalin::Input::Press, mervalin::itemIndex(metals, "Мед"));
        const ListBox& weights = form->List1(Mervalin::kWeightChoice);
        rows[0] = mervalin::itemIndex(weights, "8.9", 1);
        rows[1] = mervalin::itemIndex(weights, "8.9", 2);
    }
    std::unique_ptr<Mervalin> form;
    int rows[2] = {};
};

// The cheapest event there is: a size click, which only updates the model.
void BM_SizeClick(benchmark::State& state) {
    mervalin::PlainPlatform platform;
    CopperChosen copper(platform);
    int row = 0;
    for (auto _ : state) {
        copper.form->List2().input(mervalin::Input::Press, row);
        row ^= 1;
    }
}
BENCHMARK(BM_SizeClick);

void pairingClicks(benchmark::State& state, mervalin::Platform& platform) {
    CopperChosen copper(platform);
    ListBox& weights = copper.form->List1(Mervalin::kWeightChoice);
    int which = 0;
    for (auto _ : state) {
        weights.input(mervalin::Input::Press, copper.rows[which]);
        benchmark::DoNotOptimize(copper.form->Text2(Mervalin::kCubeMass).text().data());
        which ^= 1;
    }
}

void BM_PairingClickCore(benchmark::State& state) {
    mervalin::PlainPlatform platform;
    pairingClicks(state, platform);
}
BENCHMARK(BM_PairingClickCore);

void BM_PairingClickQtLocale(benchmark::State& state) {
    const auto platform = qtPlatform();
    pairingClicks(state, *platform);
}
BENCHMARK(BM_PairingClickQtLocale);

// A key press in the shown weight list, until the four result boxes hold
// their text (offscreen; painting is not included).
void BM_PairingClickQtWindow(benchmark::State& state) {
    const auto platform = qtPlatform();
    CopperChosen copper(*platform);
    mervalin::qt::MainWindow window(*copper.form);
    window.show();
    QListWidget* weights = window.weightList();
    weights->setFocus();
    copper.form->List1(Mervalin::kWeightChoice).input(mervalin::Input::Press, copper.rows[0]);
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
    const auto platform = qtPlatform();
    CopperChosen copper(*platform);
    ListBox& weights = copper.form->List1(Mervalin::kWeightChoice);
    for (int i = 0; i < 10'000; ++i) weights.input(mervalin::Input::Press, copper.rows[i & 1]);
    const long before = residentKilobytes();
    for (auto _ : state) {
        for (int i = 0; i < 1'000'000; ++i) {
            weights.input(mervalin::Input::Press, copper.rows[i & 1]);
        }
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
