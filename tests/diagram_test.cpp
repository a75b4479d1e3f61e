#include "ui/diagram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>

namespace mervalin::diagram {
namespace {

constexpr double kTwips = layout::kTwipsPerPixel;

// At 96 DPI the drawing is the design in pixels: its lines already lie on
// whole pixels and its circle's centre in a pixel's middle.
TEST(DiagramTest, AtNinetySixDpiIsTheDesign) {
    const Drawing drawing = drawingAt(96);
    EXPECT_EQ(drawing.width, kDesign.width / kTwips);
    EXPECT_EQ(drawing.height, kDesign.height / kTwips);
    EXPECT_EQ(drawing.outline.centre.x, kDesign.centreX / kTwips);
    EXPECT_EQ(drawing.outline.centre.y, kDesign.centreY / kTwips);
    EXPECT_EQ(drawing.outline.radius, kDesign.radius / kTwips);
    EXPECT_EQ(drawing.outline.width, kDesign.outlineWidth / kTwips);
    const Box& dimension = drawing.lines[2];
    EXPECT_EQ(dimension.top + dimension.height / 2.0, kDesign.dimensionY / kTwips);
    EXPECT_EQ(dimension.height, kDesign.lineWidth / kTwips);
    EXPECT_EQ(drawing.lines[0].top, kDesign.extensionTop / kTwips);
    EXPECT_EQ(drawing.lines[0].top + drawing.lines[0].height, kDesign.extensionBottom / kTwips);
    EXPECT_EQ(drawing.arrows[0][1].x - drawing.arrows[0][0].x, kDesign.arrowLength / kTwips);
    EXPECT_NEAR(drawing.arrows[0][2].y - drawing.arrows[0][1].y, kDesign.arrowWidth / kTwips, 1e-9);
    EXPECT_EQ(drawing.label.baseline.y, kDesign.labelBaseline / kTwips);
    EXPECT_EQ(drawing.label.size, layout::kFontPoints * 96 / 72.0);
    EXPECT_EQ(drawing.label.text, kDesign.label);
    EXPECT_TRUE(drawing.label.italic);
}

class DiagramAtDpi : public ::testing::TestWithParam<int> {};

// Sharp at every DPI: whole-pixel lines, symmetric about the circle, the
// hatching through the circle, evenly spaced and ending at the outline,
// and everything inside Picture1's border.
TEST_P(DiagramAtDpi, IsOnThePixelGridAndFitsThePicture) {
    const int dpi = GetParam();
    const double scale = dpi / 96.0;
    const Drawing drawing = drawingAt(dpi);
    const Circle& circle = drawing.outline;
    EXPECT_EQ(circle.centre.x - std::floor(circle.centre.x), 0.5);
    EXPECT_EQ(circle.radius, std::round(circle.radius));
    EXPECT_NEAR(circle.radius, kDesign.radius / kTwips * scale, 0.5);

    // The extension lines stand on the circle's leftmost and rightmost
    // points, alike on both sides, as wide as the dimension line.
    const Box& left = drawing.lines[0];
    const Box& right = drawing.lines[1];
    const Box& dimension = drawing.lines[2];
    EXPECT_EQ(left.width, right.width);
    EXPECT_EQ(left.width, dimension.height);
    EXPECT_GE(left.width, 1);
    EXPECT_NEAR(left.width, kDesign.lineWidth / kTwips * scale, 0.5);
    EXPECT_EQ((left.left + left.width / 2.0 + right.left + right.width / 2.0) / 2, circle.centre.x);
    EXPECT_LE(std::abs(left.left + left.width / 2.0 - (circle.centre.x - circle.radius)), 0.5);
    EXPECT_EQ(dimension.left, left.left + left.width);
    EXPECT_EQ(dimension.left + dimension.width, right.left);
    EXPECT_GT(dimension.top, circle.centre.y + circle.radius);
    // The arrowheads point at the extension lines from the line's middle.
    EXPECT_EQ(drawing.arrows[0][0].x, dimension.left);
    EXPECT_EQ(drawing.arrows[1][0].x, dimension.left + dimension.width);
    for (const auto& arrow : drawing.arrows) {
        EXPECT_EQ(arrow[0].y, dimension.top + dimension.height / 2.0);
        EXPECT_EQ(arrow[1].y + arrow[2].y, 2 * arrow[0].y);
    }

    // Each hatching line: pixels inside the circle, the next ones along it
    // outside, the same distance from its neighbours.
    std::set<int> sums;
    const auto inside = [&circle](int x, int y) {
        return std::hypot(x + 0.5 - circle.centre.x, y + 0.5 - circle.centre.y) <= circle.radius;
    };
    for (const Diagonal& line : drawing.hatching) {
        ASSERT_GT(line.length, 0);
        EXPECT_TRUE(inside(line.x, line.y));
        EXPECT_TRUE(inside(line.x + line.length - 1, line.y - line.length + 1));
        EXPECT_FALSE(inside(line.x - 1, line.y + 1));
        EXPECT_FALSE(inside(line.x + line.length, line.y - line.length));
        EXPECT_TRUE(sums.insert(line.x + line.y).second) << "two lines on one diagonal";
    }
    const int middle = static_cast<int>(circle.centre.x + circle.centre.y) - 1;
    ASSERT_TRUE(sums.count(middle)) << "no line through the centre";
    std::set<int> gaps;
    int previous = *sums.begin();
    int lines = 0;
    for (int sum : sums) {
        if (sum - previous > 1) {
            gaps.insert(sum - previous);
            ++lines;
        }
        previous = sum;
    }
    EXPECT_EQ(gaps.size(), 1u) << "hatching unevenly spaced";
    EXPECT_EQ(lines % 2, 0) << "as many lines on either side of the middle one";
    const int band = static_cast<int>(sums.size()) / (lines + 1);
    EXPECT_NEAR(band, kDesign.hatchWidth / kTwips * scale, 0.5 + 1e-9);
    EXPECT_NEAR(*gaps.begin() + band - 1, kDesign.hatchSpacing / kTwips * scale, 0.5);

    // Inside Picture1's border (two pixels at 96 DPI, wider with the DPI),
    // centred as the painters centre it.
    const layout::Rect& picture = layout::find({Array::Picture1, 0})->rect;
    const double border = 2 * scale;
    const double room = layout::toPixels(picture.width, dpi) - 2 * border;
    const double offset = std::floor((room - drawing.width) / 2);
    EXPECT_GE(offset + right.left + right.width, 0);
    EXPECT_LE(offset + right.left + right.width, room);
    EXPECT_LE(drawing.height, layout::toPixels(picture.height, dpi) - 2 * border + 1);
}

INSTANTIATE_TEST_SUITE_P(Dpi, DiagramAtDpi, ::testing::Values(96, 120, 144, 168, 192, 288));

// assets/diagram.svg is the drawing at 96 DPI, as svg() writes it.
TEST(DiagramTest, TheReferenceDrawingIsTheData) {
    std::ifstream file(MERVALIN_SOURCE_DIR "/assets/diagram.svg", std::ios::binary);
    ASSERT_TRUE(file) << "cannot read assets/diagram.svg";
    const std::string stored((std::istreambuf_iterator<char>(file)), {});
    EXPECT_EQ(svg(drawingAt(96)), stored) << "regenerate it with assets/generate.sh";
}

TEST(DiagramTest, SvgNumbersHaveAtMostTwoDecimalsAndAFullStop) {
    const std::pair<double, std::string> cases[] = {
        {0, "0"},           {93, "93"},       {139.5, "139.5"}, {2.3, "2.3"},
        {133.55, "133.55"}, {-0.25, "-0.25"}, {1.004, "1"},     {16.666, "16.67"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(detail::svgNumber(value), text) << value;
}

}  // namespace
}  // namespace mervalin::diagram
