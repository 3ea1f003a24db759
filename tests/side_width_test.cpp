#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/side_width.h"

namespace plimsy {
namespace {

constexpr WidthRule kRule = {.share = 0.5,
                             .kept = 20,
                             .least = 20,
                             .most = 60,
                             .most_share = 0.4};

TEST(SideWidthTest, TheRuleFollowsTheWindow) {
  const struct {
    int window;
    int width;
  } cases[] = {
      // A share of what is past the kept cells, then the least, the most
      // and the share of the window that bound it.
      {100, 40}, {80, 30}, {60, 20},  {40, 16},
      {1, 0},    {0, 0},   {200, 60}, {-5, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RuleWidth(kRule, c.window), c.width) << c.window;
  }
}

// What the user chose is kept as a share of the window: a resize scales
// it, within the rule's least and what the panes beside keep.
TEST(SideWidthTest, AChosenWidthScalesWithTheWindow) {
  const struct {
    std::string name;
    int cells;
    int chosen_in;
    std::vector<std::pair<int, int>> windows;  // window, width
  } cases[] = {
      {"scaled", 60, 200, {{200, 60}, {100, 30}, {300, 90}, {51, 20}}},
      {"past the rule's most", 150, 200, {{200, 150}, {100, 75}}},
      {"leaves 20 cells beside", 190, 200, {{200, 180}, {60, 40}}},
      {"never narrower than the least", 2, 100, {{100, 20}, {40, 16}}},
  };
  for (const auto& c : cases) {
    SideWidth side(kRule);
    side.Choose(c.cells, c.chosen_in);
    for (const auto& [window, width] : c.windows) {
      EXPECT_EQ(side.Fit(window), width) << c.name << " at " << window;
    }
  }
}

}  // namespace
}  // namespace plimsy
