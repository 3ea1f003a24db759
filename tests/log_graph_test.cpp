#include "log/graph.h"

#include <gtest/gtest.h>

#include <span>
#include <sstream>
#include <string>
#include <vector>

namespace plimsy::log {
namespace {

// A history as the list shows it, one commit a line: its name, then its
// parents' names.
std::vector<std::string> Rows(const std::vector<std::string>& history,
                              bool whole) {
  GraphLanes graph;
  for (const std::string& line : history) {
    std::istringstream words(line);
    std::string hash;
    words >> hash;
    std::vector<std::string> parents;
    for (std::string parent; words >> parent;) {
      parents.push_back(parent);
    }
    graph.Add(hash, parents);
  }
  if (whole) {
    graph.Finish();
  }
  std::vector<std::string> rows;
  for (std::size_t i = 0; i < graph.size(); ++i) {
    rows.push_back(GraphText(graph.Row(i)));
  }
  return rows;
}

TEST(GraphLanesTest, RowsOfHistories) {
  struct Case {
    std::string name;
    std::vector<std::string> history;
    std::vector<std::string> rows;
    // Whether the walk has ended after these commits.
    bool whole = true;
  };
  const std::vector<Case> cases = {
      {"linear", {"c b", "b a", "a"}, {"●", "●", "●"}},
      {"diamond", {"m b c", "b a", "c a", "a"}, {"○╮", "●│", "├●", "●"}},
      {"two tips on one base", {"x a", "y a", "a"}, {"●", "├●", "●"}},
      {"a side branch merged twice",
       {"m2 m1 s2", "s2 s1", "m1 a s1", "s1 a", "a"},
       {"○╮", "│●", "○┤", "├●", "●"}},
      {"criss-cross",
       {"t g h", "g e f", "h f e", "e d", "f d", "d"},
       {"○╮", "○┼╮", "├○┤", "● │", "├─●", "●"}},
      {"octopus of ten",
       {"m p1 p2 p3 p4 p5 p6 p7 p8 p9 p10", "p1 b", "p2 b", "p3 b", "p4 b",
        "p5 b", "p6 b", "p7 b", "p8 b", "p9 b", "p10 b", "b"},
       {"○┬┬┬┬┬┬┬┬╮", "●│││││││││", "├●││││││││", "├─●│││││││", "├──●││││││",
        "├───●│││││", "├────●││││", "├─────●│││", "├──────●││", "├───────●│",
        "├────────●", "●"}},
      {"several roots",
       {"a1 a0", "b1 b0", "a0", "c0", "b0"},
       {"●", "│●", "●│", "●│", " ●"}},
      {"parents outside the list, once it is whole",
       {"m a b", "a out1", "b out2"},
       {"○╮", "●│", " ●"}},
      {"parents not listed yet, while the walk goes on",
       {"m a b", "a out1", "b out2"},
       {"○╮", "●│", "│●"},
       false},
      {"parents listed above, as in a reversed walk",
       {"a", "b a", "c b"},
       {"●", "●", "●"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Rows(c.history, c.whole), c.rows);
  }
}

// A branch keeps its colour down its first parents; a merged branch has
// another.
TEST(GraphLanesTest, BranchesKeepTheirColours) {
  GraphLanes graph;
  graph.Add("m", {"b", "c"});
  graph.Add("b", {"a"});
  graph.Add("c", {"a"});
  graph.Add("a", {});
  const std::uint8_t main = graph.Row(0)[0].colour;
  const std::uint8_t side = graph.Row(0)[1].colour;
  EXPECT_NE(main, side);
  EXPECT_EQ(graph.Row(1)[0].colour, main);
  EXPECT_EQ(graph.Row(1)[1].colour, side);
  EXPECT_EQ(graph.Row(2)[1].colour, side);
  EXPECT_EQ(graph.Row(3)[0].colour, main);
}

// A branch that ends on a lane further along draws its line in its own
// colour, across the lanes between.
TEST(GraphLanesTest, ABranchJoiningALaneDrawsItsLineInItsColour) {
  GraphLanes graph;
  graph.Add("x", {"a"});
  graph.Add("q", {"p"});
  graph.Add("y", {"a"});
  const std::span<const GraphCell> row = graph.Row(2);
  ASSERT_EQ(GraphText(row), "├┼●");
  EXPECT_EQ(row[0].colour, graph.Row(0)[0].colour);
  EXPECT_EQ(row[1].colour, row[2].colour);
  EXPECT_NE(row[1].colour, row[0].colour);
}

}  // namespace
}  // namespace plimsy::log
