#include "diff/render.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <ftxui/dom/elements.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/color.hpp>
#include <ftxui/screen/screen.hpp>

#include "diff/diff.h"
#include "terminal_safety.h"
#include "ui_support.h"

namespace plimsy {
namespace {

using ftxui::Color;
namespace Dimension = ftxui::Dimension;
using ftxui::Screen;
using testing::MakeHunk;

File MakeFile(std::vector<Hunk> hunks) {
  File file;
  file.old_name = "a.txt";
  file.new_name = "a.txt";
  file.hunks = std::move(hunks);
  return file;
}

Screen Draw(const File& file, bool split, int width, int height) {
  Screen screen =
      Screen::Create(Dimension::Fixed(width), Dimension::Fixed(height));
  ftxui::Render(screen, RenderFile(file, split));
  return screen;
}

std::string Row(const Screen& screen, int y) {
  std::string row;
  for (int x = 0; x < screen.dimx(); ++x) {
    const std::string& character = screen.PixelAt(x, y).character;
    row += character.empty() ? " " : character;
  }
  row.erase(row.find_last_not_of(' ') + 1);
  return row;
}

enum class Look { Plain, Dim, Deleted, Added };

struct Cell {
  int x;
  int y;
  Look look;
};

void ExpectLook(const Screen& screen, const Cell& cell) {
  const ftxui::Pixel& pixel = screen.PixelAt(cell.x, cell.y);
  SCOPED_TRACE("cell (" + std::to_string(cell.x) + ", " +
               std::to_string(cell.y) + ") holding \"" + pixel.character +
               "\"");
  Color foreground = Color::Default;
  Color background = Color::Default;
  if (cell.look == Look::Deleted) {
    foreground = Color::RGB(255, 200, 200);
    background = Color::RGB(128, 0, 0);
  } else if (cell.look == Look::Added) {
    foreground = Color::RGB(200, 255, 200);
    background = Color::RGB(0, 128, 0);
  }
  EXPECT_TRUE(pixel.foreground_color == foreground);
  EXPECT_TRUE(pixel.background_color == background);
  EXPECT_EQ(pixel.dim, cell.look == Look::Dim);
  EXPECT_FALSE(pixel.bold);
  EXPECT_FALSE(pixel.inverted);
}

struct Case {
  const char* name;
  File file;
  bool split;
  int width;
  std::vector<std::string> rows;
  std::vector<Cell> cells;
};

// context a, deleted b, deleted c, added B, context d, at line 10.
const Hunk kExample = MakeHunk(10, 10, {" a", "-b", "-c", "+B", " d"});

// The split layout at width 21 leaves 14 cells to share: each text column
// gets 7, the old one at x 3..9 and the new one at x 14..20.
std::vector<Case> Cases() {
  return {
      {"joined worked example",
       MakeFile({kExample}),
       false,
       20,
       {"10│10│a", "11│~ │b", "12│~ │c", "~ │11│B", "13│12│d"},
       {{0, 0, Look::Plain},
        {3, 0, Look::Plain},
        {6, 0, Look::Plain},
        {19, 0, Look::Plain},
        {0, 1, Look::Plain},
        {3, 1, Look::Dim},
        {6, 1, Look::Deleted},
        {19, 1, Look::Deleted},
        {6, 2, Look::Deleted},
        {0, 3, Look::Dim},
        {3, 3, Look::Plain},
        {6, 3, Look::Added},
        {19, 3, Look::Added},
        {6, 4, Look::Plain}}},
      {"split worked example",
       MakeFile({kExample}),
       true,
       21,
       {"10│a      │10│a", "11│b      │11│B", "12│c      │~ │",
        "13│d      │12│d"},
       {{3, 0, Look::Plain},
        {14, 0, Look::Plain},
        {3, 1, Look::Deleted},
        {9, 1, Look::Deleted},
        {10, 1, Look::Plain},
        {14, 1, Look::Added},
        {20, 1, Look::Added},
        {3, 2, Look::Deleted},
        {11, 2, Look::Dim},
        {14, 2, Look::Plain},
        {20, 2, Look::Plain},
        {0, 3, Look::Plain},
        {14, 3, Look::Plain}}},
      {"split pure deletion gets filler rows",
       MakeFile({MakeHunk(5, 4, {"-x", "-y", "-z"})}),
       true,
       19,
       {"5│x      │~│", "6│y      │~│", "7│z      │~│"},
       {{2, 0, Look::Deleted},
        {10, 0, Look::Dim},
        {10, 2, Look::Dim},
        {12, 2, Look::Plain},
        {18, 2, Look::Plain}}},
      {"joined pure addition from line 1",
       MakeFile({MakeHunk(0, 1, {"+x", "+y", "+z"})}),
       false,
       10,
       {"~│1│x", "~│2│y", "~│3│z"},
       {{0, 0, Look::Dim},
        {0, 2, Look::Dim},
        {2, 1, Look::Plain},
        {4, 1, Look::Added}}},
      {"split pure addition from line 1",
       MakeFile({MakeHunk(0, 1, {"+x", "+y"})}),
       true,
       19,
       {"~│       │1│x", "~│       │2│y"},
       {{0, 0, Look::Dim}, {2, 0, Look::Plain}, {12, 1, Look::Added}}},
      {"split pairs deleted after added by order",
       MakeFile({MakeHunk(1, 1, {"+X", "+Y", "-p", " q"})}),
       true,
       19,
       {"1│p      │1│X", "~│       │2│Y", "2│q      │3│q"},
       {{2, 0, Look::Deleted},
        {12, 0, Look::Added},
        {0, 1, Look::Dim},
        {2, 1, Look::Plain},
        {12, 1, Look::Added},
        {2, 2, Look::Plain},
        {12, 2, Look::Plain}}},
      // A separator row joins the column lines of the hunks around it.
      {"joined multi-hunk separators",
       MakeFile({MakeHunk(1, 1, {" a"}), MakeHunk(7, 7, {"-b"}),
                 MakeHunk(9, 8, {"+c"})}),
       false,
       8,
       {"1│1│a", "─┼─┼────", "7│~│b", "─┼─┼────", "~│8│c"},
       {{4, 2, Look::Deleted}, {4, 4, Look::Added}}},
      {"split multi-hunk separators",
       MakeFile({MakeHunk(1, 1, {" a"}), MakeHunk(7, 7, {" b"})}),
       true,
       11,
       {"1│a  │1│a", "─┼───┼─┼───", "7│b  │7│b"},
       {}},
      {"numbers are left-aligned and unpadded",
       MakeFile({MakeHunk(9, 99, {" x", " y"})}),
       false,
       12,
       {"9 │99 │x", "10│100│y"},
       {{1, 0, Look::Plain}, {5, 1, Look::Plain}}},
      {"each hunk sizes its own number columns",
       MakeFile({MakeHunk(1, 1, {" a"}), MakeHunk(100, 1000, {" b"})}),
       false,
       14,
       {"1│1│a", "─┴─┼────┬─────", "100│1000│b"},
       {}},
      {"no hunks", MakeFile({}), false, 10, {}, {}},
      {"no hunks split", MakeFile({}), true, 10, {}, {}},
  };
}

TEST(RenderFileTest, RowsAndCells) {
  for (const Case& test : Cases()) {
    SCOPED_TRACE(test.name);
    // Two rows more than expected: nothing may follow the last hunk.
    const int height = static_cast<int>(test.rows.size()) + 2;
    const Screen screen = Draw(test.file, test.split, test.width, height);
    for (int y = 0; y < height; ++y) {
      const std::string expected =
          y < static_cast<int>(test.rows.size()) ? test.rows[y] : "";
      EXPECT_EQ(Row(screen, y), expected) << "row " << y;
    }
    for (const Cell& cell : test.cells) {
      ExpectLook(screen, cell);
    }
  }
}

TEST(RenderFileTest, HeightIsOneRowPerLineAndSeparator) {
  const File file = MakeFile({kExample, MakeHunk(40, 39, {"-x"}), kExample});
  struct {
    bool split;
    int rows;
  } const layouts[] = {
      // hunk, separator, hunk, separator, hunk
      {false, 5 + 1 + 1 + 1 + 5},
      {true, 4 + 1 + 1 + 1 + 4},
  };
  for (const auto& layout : layouts) {
    ftxui::Element element = RenderFile(file, layout.split);
    element->ComputeRequirement();
    EXPECT_EQ(element->requirement().min_y, layout.rows)
        << "split " << layout.split;
  }
  ftxui::Element empty = RenderFile(MakeFile({}), true);
  empty->ComputeRequirement();
  EXPECT_EQ(empty->requirement().min_y, 0);
  EXPECT_EQ(empty->requirement().min_x, 0);
}

TEST(RenderFileTest, TextColumnsShareTheWidthLeft) {
  // 7 cells of numbers and separators; the rest split as 46 and 47.
  const Screen screen = Draw(MakeFile({kExample}), true, 100, 4);
  const std::string row = Row(screen, 0);
  EXPECT_EQ(screen.PixelAt(2, 0).character, "│");
  EXPECT_TRUE(screen.PixelAt(49, 0).character == "│" ||
              screen.PixelAt(50, 0).character == "│")
      << row;
  // The band of a changed line runs to the pane's edge.
  EXPECT_TRUE(screen.PixelAt(99, 1).background_color == Color::RGB(0, 128, 0));
}

TEST(RenderFileTest, LongLinesAreCutNotWrapped) {
  const std::string long_text(50, 'x');
  const Screen screen =
      Draw(MakeFile({MakeHunk(1, 1, {"-" + long_text, " y"})}), false, 20, 4);
  EXPECT_EQ(Row(screen, 0), "1│~│" + std::string(16, 'x'));
  EXPECT_EQ(Row(screen, 1), "2│1│y");
}

TEST(RenderFileTest, HostileBytesAreDrawnHarmlessly) {
  const std::string hostile = "\xe0\x1b]0;pwned\x07z";
  for (bool split : {false, true}) {
    SCOPED_TRACE(split ? "split" : "joined");
    const Screen screen = Draw(
        MakeFile(
            {MakeHunk(1, 1, {"+" + hostile, "-" + hostile, " " + hostile})}),
        split, 60, 4);
    EXPECT_EQ(testing::TerminalHazard(screen.ToString()), "");
    EXPECT_NE(Row(screen, 0).find("\xef\xbf\xbd]0;pwnedz"), std::string::npos)
        << Row(screen, 0);
  }
}

}  // namespace
}  // namespace plimsy
