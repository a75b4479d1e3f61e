#include "tools/scenario.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <ostream>
#include <sstream>
#include <string>

#include "data/reference.h"
#include "logic/quiz.h"
#include "model/form.h"
#include "tests/support/items.h"
#include "tests/support/plain_platform.h"

namespace mervalin {
namespace {

class ScenarioTest : public ::testing::Test {
protected:
    int run(const std::string& script) {
        std::istringstream in(script);
        out.str("");
        err.str("");
        return runScenario(in, form, out, err);
    }

    PlainPlatform platform;
    std::unique_ptr<Mervalin> started = startForm(platform);
    Mervalin& form = *started;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(ScenarioTest, ClicksReachTheFormAndDumpWritesItsState) {
    const int gold = itemIndex(form.List1(0), "Злато");
    const int weight = itemIndex(form.List1(1), "19.32");
    ASSERT_EQ(run("# gold at size 5\n\nclick List1(0) " + std::to_string(gold) +
                  "\n  click List1(1) " + std::to_string(weight) + "\r\ndump\n"),
              0);
    const auto state = nlohmann::json::parse(out.str());
    EXPECT_EQ(state["List1"].size(), 6u);
    EXPECT_EQ(state["List1"][0]["selected"], gold);
    EXPECT_EQ(state["List1"][2]["selected"], -1);
    EXPECT_EQ(state["List2"]["selected"], 4);
    EXPECT_EQ(state["Text2"], nlohmann::json({"65.45", "1,264.45", "125.00", "2,415.00"}));
    EXPECT_EQ(state["AcceptedWeight"], 19.32);
    EXPECT_EQ(err.str(), "");
}

TEST_F(ScenarioTest, TheDumpHasTheDocumentedShapeAndKeyOrder) {
    ASSERT_EQ(run("dump\n"), 0);
    const std::string dump = out.str();
    EXPECT_EQ(dump.find('\n'), dump.size() - 1) << "one line";
    EXPECT_TRUE(dump.starts_with(R"({"List1":[{"items":["Алуминий",)")) << dump.substr(0, 80);
    EXPECT_TRUE(dump.ends_with(R"("Text2":["","","",""],"AcceptedWeight":0,"Announced":""})"
                               "\n"));
    EXPECT_NE(dump.find(R"(],"selected":4},"Text1":[")"), std::string::npos);
}

TEST_F(ScenarioTest, SizeAndClearButtonClicks) {
    ASSERT_EQ(run("click List2 0\nclick List1(0) \"Алуминий\"\nclick List1(1) \"2.7\"\n"
                  "click Command1(0)\ndump\n"),
              0);
    const auto state = nlohmann::json::parse(out.str());
    EXPECT_EQ(state["List2"]["selected"], 0);
    EXPECT_EQ(state["List1"][0]["selected"], -1);
    EXPECT_EQ(state["Text1"][0], "");
    EXPECT_EQ(state["AcceptedWeight"], 2.7);
}

TEST_F(ScenarioTest, ClicksByTextAndShowWriteWhatThePupilSees) {
    ASSERT_EQ(run("show\nclick List1(0) \"Мед\"\nclick List1(1) \"8.9\" 2\nclick List2 \"10\"\n"
                  "click List1(0) \"Мед\"\nshow\n"),
              0);
    std::istringstream lines(out.str());
    std::string line;
    std::getline(lines, line);
    const auto start = nlohmann::json::parse(line);
    EXPECT_EQ(start, nlohmann::json({{"metal", nullptr},
                                     {"weight", nullptr},
                                     {"size", "5"},
                                     {"Text1", {std::string(IntroText)}},
                                     {"Text2", {"", "", "", ""}},
                                     {"AcceptedWeight", 0}}));
    std::getline(lines, line);
    const auto seen = nlohmann::json::parse(line);
    EXPECT_EQ(seen["metal"], "Мед");
    EXPECT_EQ(seen["weight"], "8.9");
    EXPECT_EQ(seen["size"], "10");
    EXPECT_EQ(seen["Text2"], nlohmann::json({"523.58", "4,659.89", "1,000.00", "8,900.00"}));
    EXPECT_EQ(form.List1(1).selectedIndex(), itemIndex(form.List1(1), "8.9", 2));
}

// Moves, keys and presses beside the items reach the form as the windows
// report them.
TEST_F(ScenarioTest, MovesKeysAndPressesOnNoItem) {
    ASSERT_EQ(run("key List1(0) Down\nmove List1(1) \"2.7\"\nclick List1(1) nowhere\n"
                  "move List1(1) none\nkey List2 End\nkey List1(1) Space\nkey Text2(0) Enter\n"
                  "key Command1(0) Enter\nshow\n"),
              0);
    const auto seen = nlohmann::json::parse(out.str());
    EXPECT_EQ(seen["metal"], nullptr) << "Enter on the button clears";
    EXPECT_EQ(seen["size"], "10");
    EXPECT_EQ(seen["Text1"][0], "");
    EXPECT_EQ(seen["AcceptedWeight"], 2.7) << "Space on 2.7 checked aluminium again";
}

struct BadInput {
    std::string line;
    std::string message;
    friend std::ostream& operator<<(std::ostream& out, const BadInput& bad) {
        return out << '"' << bad.line << '"';
    }
};

class BadScenario : public ScenarioTest, public ::testing::WithParamInterface<BadInput> {};

TEST_P(BadScenario, StopsWithOneMessageNamingTheLine) {
    const BadInput& bad = GetParam();
    const int status = run("dump\nclick List1(0) 1\n" + bad.line + "\ndump\n");
    EXPECT_EQ(status, kScenarioBadInput);
    EXPECT_EQ(err.str(), "line 3: " + bad.message + "\n");
    // The first dump was written, the one after the fault was not.
    const std::string dumps = out.str();
    EXPECT_EQ(std::count(dumps.begin(), dumps.end(), '\n'), 1);
    EXPECT_EQ(form.List1(0).selectedIndex(), 1) << "lines before the fault stay done";
}

INSTANTIATE_TEST_SUITE_P(
    Scenario, BadScenario,
    ::testing::Values(
        BadInput{"press Command1(0)",
                 "unknown command \"press\"; expected click, move, key, dump or show"},
        BadInput{"click", "click needs a control, such as List1(0)"},
        BadInput{"click List3 1", "unknown control \"List3\""},
        BadInput{"click Text1(0)", "Text1 does nothing when clicked"},
        BadInput{"click List1 1",
                 "List1 is a control array: name an element, List1(0) or List1(1)"},
        BadInput{"click List1(2) 1", "List1(2) is never shown, so the user cannot click it"},
        BadInput{"click List1(5) 0", "List1(5) is never shown, so the user cannot click it"},
        BadInput{"click List1(6) 0", "List1 has no element 6"},
        BadInput{"click List1(x) 0",
                 "control \"List1(x)\" is not a name or a name with an element index such as "
                 "List1(0)"},
        BadInput{"click List1(-1) 0",
                 "control \"List1(-1)\" is not a name or a name with an element index such as "
                 "List1(0)"},
        BadInput{"click List1(0",
                 "control \"List1(0\" is not a name or a name with an element "
                 "index such as List1(0)"},
        BadInput{"click List1(0)", "click List1(0) needs an item index"},
        BadInput{"click List1(0) five", "item index \"five\" is not a whole number"},
        BadInput{"click List1(0) 1.5", "item index \"1.5\" is not a whole number"},
        BadInput{"click List1(0) -1", "item index -1 is negative"},
        BadInput{"click List1(1) 99999999999999999999",
                 "item index 99999999999999999999 is out of range: List1(1) has " +
                     std::to_string(kMetalCount) + " items, 0.." + std::to_string(kMetalCount - 1)},
        BadInput{"click List2 " + std::to_string(kSizeCount),
                 "item index " + std::to_string(kSizeCount) + " is out of range: List2 has " +
                     std::to_string(kSizeCount) + " items, 0.." + std::to_string(kSizeCount - 1)},
        BadInput{"click List1(0) \"Злато", "a text has no closing \""},
        BadInput{"click List1(0) \"Unobtainium\"",
                 "List1(0) has 0 items that read \"Unobtainium\", not 1"},
        BadInput{"click List1(1) \"19.32\" 2", "List1(1) has 1 items that read \"19.32\", not 2"},
        BadInput{"click List1(1) \"19.32\" 0", "occurrence \"0\" is not a whole number from 1"},
        BadInput{"click List1(1) \"19.32\" 1 1", "unexpected \"1\" after the item"},
        BadInput{"show me", "unexpected \"me\" after show"},
        BadInput{"click List2(0) 1", "List2 is a single control, not a control array"},
        BadInput{"click List1(0) 1 2", "unexpected \"2\" after the item index"},
        BadInput{"click Command1(1)", "Command1 has no element 1"},
        BadInput{"click Command1", "Command1 is a control array: name Command1(0)"},
        BadInput{"click Command1(0) now", "unexpected \"now\" after Command1(0)"},
        BadInput{"dump all", "unexpected \"all\" after dump"},
        BadInput{"move Command1(0) 0", "Command1 has no items to move to"},
        BadInput{"move List1(0) nowhere", "item index \"nowhere\" is not a whole number"},
        BadInput{"key Label1(1) Down", "Label1 never takes the focus"},
        BadInput{"key List1(2) Down", "List1(2) is never shown, so the user cannot reach it"},
        BadInput{"key List1(0)", "key List1(0) needs a key, such as Down"},
        BadInput{"key List1(0) Tab",
                 "unknown key \"Tab\"; expected Up, Down, PageUp, PageDown, Home, End, Space or "
                 "Enter"}));

}  // namespace
}  // namespace mervalin
