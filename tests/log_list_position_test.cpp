#include "log/list_position.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plimsy::log {
namespace {

TEST(ListPositionTest, ThousandsGroupedAndAGrowingTotalMarked) {
  struct Case {
    int selected;
    std::size_t total;
    bool growing;
    std::string shown;
  };
  const std::vector<Case> cases = {
      {0, 1, false, "1 of 1"},
      {86, 81966, false, "87 of 81 966"},
      {0, 1200, true, "1 of 1 200+"},
      {999, 1000, false, "1 000 of 1 000"},
      {123455, 1234567, true, "123 456 of 1 234 567+"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ListPosition(c.selected, c.total, c.growing), c.shown);
  }
}

}  // namespace
}  // namespace plimsy::log
