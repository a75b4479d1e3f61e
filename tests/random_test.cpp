// Model-based random testing: a long run of random user events against the
// form, each followed by a comparison with a small model of what the pupil
// should see, written here independently of the logic.
#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "data/reference.h"
#include "logic/quiz.h"
#include "model/form.h"
#include "tests/support/plain_platform.h"

namespace mervalin {
namespace {

constexpr int kEvents = 100'000;

// Two decimals, exact ties away from zero, with "," between thousands. A
// double times 100 is exact in x87 extended precision (53 + 7 bits of 64),
// so llroundl sees the true value. Ties do occur: titanium's ball of size 10
// weighs exactly 2356.125.
std::string usNumber(double value) {
    const long long cents = std::llroundl(static_cast<long double>(value) * 100);
    const std::string whole = std::to_string(cents / 100);
    std::string grouped;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) grouped += ',';
        grouped += whole[i];
    }
    const int fraction = static_cast<int>(cents % 100);
    return grouped + '.' + static_cast<char>('0' + fraction / 10) +
           static_cast<char>('0' + fraction % 10);
}

// What the pupil should see, kept from the events alone.
struct Expected {
    int metal = -1;
    int weight = -1;
    int size = 4;
    std::string message{IntroText};
    std::vector<std::string> results{"", "", "", ""};
    double acceptedWeight = 0;
};

class RandomSession : public ::testing::Test {
protected:
    RandomSession() {
        for (const Metal& metal : MetalTable) weightTexts.emplace_back(metal.weight);
        std::sort(weightTexts.begin(), weightTexts.end());
    }

    // The pairing check as the pupil understands it.
    void checkPair() {
        const Metal& metal = MetalTable[static_cast<std::size_t>(expected.metal)];
        const std::string& weight = weightTexts[static_cast<std::size_t>(expected.weight)];
        if (metal.weight == weight) {
            expected.message = "Вярно " + std::string(metal.name) + " относително тегло " + weight +
                               ", точка на топене " + std::string(metal.meltingPoint) + "\r\n" +
                               std::string(metal.description);
            expected.acceptedWeight = std::stod(weight);
            const int d = std::stoi(std::string(SizeList[static_cast<std::size_t>(expected.size)]));
            const double cube = d * d * d;
            const double ball = cube * 3.1415 / 6;
            expected.results = {usNumber(ball), usNumber(ball * expected.acceptedWeight),
                                usNumber(cube), usNumber(cube * expected.acceptedWeight)};
        } else {
            expected.message = "Грешно " + std::string(metal.name) + " не е с относително тегло " +
                               weight + "\r\n";
            expected.results = {"", "", "", ""};
        }
    }

    void compare(long event, const char* what) {
        const ListBox& metals = form.List1(Mervalin::kMetalChoice);
        const ListBox& weights = form.List1(Mervalin::kWeightChoice);
        const int rows = static_cast<int>(kMetalCount);
        ASSERT_EQ(metals.count(), rows) << "after event " << event << ", " << what;
        ASSERT_EQ(weights.count(), rows) << "after event " << event << ", " << what;
        ASSERT_EQ(metals.selectedIndex(), expected.metal)
            << "after event " << event << ", " << what;
        ASSERT_EQ(weights.selectedIndex(), expected.weight)
            << "after event " << event << ", " << what;
        ASSERT_EQ(form.List2().selectedIndex(), expected.size)
            << "after event " << event << ", " << what;
        ASSERT_EQ(form.Text1(0).text(), expected.message)
            << "after event " << event << ", " << what;
        for (int i = 0; i < Mervalin::kText2Count; ++i) {
            ASSERT_EQ(form.Text2(i).text(), expected.results[static_cast<std::size_t>(i)])
                << "box " << i << " after event " << event << ", " << what;
        }
        ASSERT_EQ(form.AcceptedWeight, expected.acceptedWeight) << "after event " << event;
    }

    PlainPlatform platform;
    std::unique_ptr<Mervalin> started = startForm(platform);
    Mervalin& form = *started;
    Expected expected;
    std::vector<std::string> weightTexts;
};

TEST_F(RandomSession, AHundredThousandRandomEventsKeepTheFormConsistent) {
    // MERVALIN_SEED replays a failing run.
    std::uint64_t seed = std::random_device{}();
    if (const char* given = std::getenv("MERVALIN_SEED")) seed = std::strtoull(given, nullptr, 10);
    std::printf("MERVALIN_SEED=%" PRIu64 "\n", seed);
    RecordProperty("seed", std::to_string(seed));
    std::mt19937_64 random(seed);

    for (long event = 0; event < kEvents; ++event) {
        const int item = static_cast<int>(random() % kMetalCount);
        // A move to the item already chosen checks nothing; a press always
        // checks.
        const bool key = random() % 2 == 0;
        const auto input = key ? Input::Move : Input::Press;
        switch (random() % 4) {
            case 0: {
                const bool moved = item != expected.metal;
                form.List1(Mervalin::kMetalChoice).input(input, item);
                expected.metal = item;
                if (expected.weight >= 0 && (moved || !key)) checkPair();
                compare(event, key ? "metal move" : "metal press");
                break;
            }
            case 1: {
                const bool moved = item != expected.weight;
                form.List1(Mervalin::kWeightChoice).input(input, item);
                expected.weight = item;
                if (expected.metal >= 0 && (moved || !key)) checkPair();
                compare(event, key ? "weight move" : "weight press");
                break;
            }
            case 2: {
                const int size = static_cast<int>(random() % kSizeCount);
                form.List2().input(input, size);
                expected.size = size;
                compare(event, "size click");
                break;
            }
            default:
                form.Command1(0).press();
                expected.metal = expected.weight = -1;
                expected.message.clear();
                expected.results = {"", "", "", ""};
                compare(event, "clear");
                break;
        }
        if (HasFatalFailure()) {
            ADD_FAILURE() << "replay with MERVALIN_SEED=" << seed;
            return;
        }
    }
    EXPECT_TRUE(platform.overflowReports.empty());
}

}  // namespace
}  // namespace mervalin
