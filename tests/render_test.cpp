#include "diff/render.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <ftxui/component/component.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/dom/elements.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/color.hpp>
#include <ftxui/screen/screen.hpp>

#include "diff/diff.h"
#include "diff/render_cache.h"
#include "terminal_columns.h"
#include "terminal_safety.h"
#include "ui/scroller.h"
#include "ui/text_view.h"
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

// The file drawn unframed from its first row, with the view when given.
Screen Draw(const File& file,
            bool split,
            int width,
            int height,
            TextView* view = nullptr) {
  Screen screen =
      Screen::Create(Dimension::Fixed(width), Dimension::Fixed(height));
  RenderOptions options;
  options.view = view;
  ftxui::Render(screen, RenderFile(file, split, options));
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

std::vector<std::string> Rows(const Screen& screen) {
  std::vector<std::string> rows;
  for (int y = 0; y < screen.dimy(); ++y) {
    rows.push_back(Row(screen, y));
  }
  while (!rows.empty() && rows.back().empty()) {
    rows.pop_back();
  }
  return rows;
}

enum class Look { Plain, Dim, Deleted, Added, DeletedWord, AddedWord };

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
  switch (cell.look) {
    case Look::Plain:
    case Look::Dim:
      break;
    case Look::Deleted:
      foreground = Color::RGB(255, 200, 200);
      background = Color::RGB(128, 0, 0);
      break;
    case Look::Added:
      foreground = Color::RGB(200, 255, 200);
      background = Color::RGB(0, 128, 0);
      break;
    case Look::DeletedWord:
      foreground = Color::RGB(255, 255, 255);
      background = Color::RGB(200, 40, 40);
      break;
    case Look::AddedWord:
      foreground = Color::RGB(0, 0, 0);
      background = Color::RGB(80, 200, 80);
      break;
  }
  EXPECT_EQ(pixel.foreground_color, foreground);
  EXPECT_EQ(pixel.background_color, background);
  EXPECT_EQ(pixel.dim, cell.look == Look::Dim);
  EXPECT_EQ(pixel.bold,
            cell.look == Look::DeletedWord || cell.look == Look::AddedWord);
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

// The split layout at width 23 leaves 14 cells to the texts: each gets 7,
// the old one at x 4..10 and the new one at x 16..22, each after its sign.
std::vector<Case> Cases() {
  Hunk with_header = MakeHunk(1, 1, {" a"});
  with_header.header = "@@ -1 +1 @@ int main()";
  return {
      {"joined worked example",
       MakeFile({kExample}),
       false,
       20,
       {"@@ -10 +10 @@", "10│10│ a", "11│~ │-b", "12│~ │-c", "~ │11│+B",
        "13│12│ d"},
       {{0, 0, Look::Dim},      {12, 0, Look::Dim},    {19, 0, Look::Dim},
        {0, 1, Look::Plain},    {3, 1, Look::Plain},   {6, 1, Look::Plain},
        {7, 1, Look::Plain},    {19, 1, Look::Plain},  {0, 2, Look::Plain},
        {3, 2, Look::Dim},      {6, 2, Look::Deleted}, {7, 2, Look::Deleted},
        {19, 2, Look::Deleted}, {6, 3, Look::Deleted}, {0, 4, Look::Dim},
        {3, 4, Look::Plain},    {6, 4, Look::Added},   {7, 4, Look::Added},
        {19, 4, Look::Added},   {7, 5, Look::Plain}}},
      {"split worked example",
       MakeFile({kExample}),
       true,
       23,
       {"@@ -10 +10 @@", "10│ a      │10│ a", "11│-b      │11│+B",
        "12│-c      │~ │", "13│ d      │12│ d"},
       {{3, 1, Look::Plain},
        {4, 1, Look::Plain},
        {16, 1, Look::Plain},
        {3, 2, Look::Deleted},
        {4, 2, Look::Deleted},
        {10, 2, Look::Deleted},
        {11, 2, Look::Plain},
        {15, 2, Look::Added},
        {16, 2, Look::Added},
        {22, 2, Look::Added},
        {4, 3, Look::Deleted},
        {12, 3, Look::Dim},
        {15, 3, Look::Plain},
        {16, 3, Look::Plain},
        {22, 3, Look::Plain},
        {0, 4, Look::Plain},
        {16, 4, Look::Plain}}},
      {"split pure deletion gets filler rows",
       MakeFile({MakeHunk(5, 4, {"-x", "-y", "-z"})}),
       true,
       21,
       {"@@ -5 +4 @@", "5│-x      │~│", "6│-y      │~│", "7│-z      │~│"},
       {{3, 1, Look::Deleted},
        {11, 1, Look::Dim},
        {13, 3, Look::Plain},
        {20, 3, Look::Plain}}},
      {"joined pure addition from line 1",
       MakeFile({MakeHunk(0, 1, {"+x", "+y", "+z"})}),
       false,
       12,
       {"@@ -0 +1 @@", "~│1│+x", "~│2│+y", "~│3│+z"},
       {{0, 1, Look::Dim},
        {0, 3, Look::Dim},
        {2, 2, Look::Plain},
        {4, 2, Look::Added},
        {5, 2, Look::Added}}},
      {"split pairs deleted after added by order",
       MakeFile({MakeHunk(1, 1, {"+X", "+Y", "-p", " q"})}),
       true,
       21,
       {"@@ -1 +1 @@", "1│-p      │1│+X", "~│        │2│+Y", "2│ q      │3│ q"},
       {{2, 1, Look::Deleted},
        {14, 1, Look::Added},
        {0, 2, Look::Dim},
        {2, 2, Look::Plain},
        {3, 2, Look::Plain},
        {14, 2, Look::Added},
        {3, 3, Look::Plain},
        {15, 3, Look::Plain}}},
      {"a header row before every hunk, with git's function context",
       MakeFile({with_header, MakeHunk(7, 7, {"-b"})}),
       false,
       24,
       {"@@ -1 +1 @@ int main()", "1│1│ a", "@@ -7 +7 @@", "7│~│-b"},
       {{16, 0, Look::Dim}, {0, 2, Look::Dim}, {5, 3, Look::Deleted}}},
      // The widest number of the whole file sets the columns, so the text
      // starts in the same column in every hunk.
      {"number columns as wide as the file's widest number",
       MakeFile(
           {MakeHunk(9, 99, {" x", " y"}), MakeHunk(12345, 12340, {" z"})}),
       false,
       20,
       {"@@ -9 +99 @@", "9    │99   │ x", "10   │100  │ y",
        "@@ -12345 +12340 @@", "12345│12340│ z"},
       {}},
      {"numbers stay in place in the split layout too",
       MakeFile({MakeHunk(9, 9, {"-x"}), MakeHunk(12345, 12345, {"-y", "+z"})}),
       true,
       29,
       {"@@ -9 +9 @@", "9    │-x      │~    │", "@@ -12345 +12345 @@",
        "12345│-y      │12345│+z"},
       {}},
      {"changed words in a stronger shade, paired as in the split layout",
       MakeFile(
           {MakeHunk(1, 1, {"-the quick brown fox", "+the quick red fox"})}),
       false,
       30,
       {"@@ -1 +1 @@", "1│~│-the quick brown fox", "~│1│+the quick red fox"},
       {{5, 1, Look::Deleted},
        {14, 1, Look::Deleted},
        {15, 1, Look::DeletedWord},
        {19, 1, Look::DeletedWord},
        {20, 1, Look::Deleted},
        {14, 2, Look::Added},
        {15, 2, Look::AddedWord},
        {17, 2, Look::AddedWord},
        {18, 2, Look::Added}}},
      {"changed words in the split layout",
       MakeFile({MakeHunk(1, 1, {"-x = 1;", "+x = 2;"})}),
       true,
       25,
       {"@@ -1 +1 @@", "1│-x = 1;   │1│+x = 2;"},
       {{3, 1, Look::Deleted},
        {7, 1, Look::DeletedWord},
        {8, 1, Look::Deleted},
        {20, 1, Look::AddedWord},
        {21, 1, Look::Added}}},
      {"tabs stop every 8 columns from the start of the text",
       MakeFile({MakeHunk(1, 1, {" \tx", " ab\tc", " 漢\td", " abcdefgh\ti"})}),
       false,
       30,
       {"@@ -1 +1 @@", "1│1│         x", "2│2│ ab      c",
        // The second cell of a wide character reads as a blank here.
        "3│3│ 漢       d", "4│4│ abcdefgh        i"},
       {}},
      {"tabs in the split layout",
       MakeFile({MakeHunk(1, 1, {"-a\tb", "+ab\tc"})}),
       true,
       41,
       {"@@ -1 +1 @@", "1│-a       b        │1│+ab      c"},
       {}},
      {"git's marker in a dim row under its line",
       MakeFile({MakeHunk(1, 1, {" a", "-}", "+}", "\\"})}),
       false,
       40,
       {"@@ -1 +1 @@", "1│1│ a", "2│~│-}", "~│2│+}",
        " │ │\\ No newline at end of file"},
       {{0, 4, Look::Plain},
        {4, 4, Look::Dim},
        {5, 4, Look::Dim},
        {30, 4, Look::Dim}}},
      // The split layout at width 60 leaves each text 27 cells.
      {"split, the marker in the next place on its line's side",
       MakeFile({MakeHunk(1, 1, {"-x", "\\", "+x", "+y"})}),
       true,
       60,
       {"@@ -1 +1 @@", "1│-x                          │1│+x",
        " │\\ No newline at end of file │2│+y"},
       {{2, 2, Look::Dim},
        {3, 2, Look::Dim},
        {28, 2, Look::Dim},
        {33, 2, Look::Added},
        {34, 2, Look::Added}}},
      {"split, a context line's marker on both sides",
       MakeFile({MakeHunk(1, 1, {" a", "\\"})}),
       true,
       60,
       {"@@ -1 +1 @@", "1│ a                          │1│ a",
        " │\\ No newline at end of file │ │\\ No newline at end of file"},
       {{2, 2, Look::Dim}, {33, 2, Look::Dim}, {34, 2, Look::Dim}}},
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
    EXPECT_EQ(Rows(screen), test.rows);
    for (const Cell& cell : test.cells) {
      ExpectLook(screen, cell);
    }
  }
}

TEST(RenderFileTest, HeightIsAHeaderRowPerHunkAndOneRowPerEntry) {
  const File file = MakeFile({kExample, MakeHunk(40, 39, {"-x"}), kExample});
  struct {
    bool split;
    int rows;
  } const layouts[] = {
      {false, 6 + 2 + 6},
      {true, 5 + 2 + 5},
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
  // 9 cells of numbers, signs and separators; the rest split as 45 and 46.
  const Screen screen = Draw(MakeFile({kExample}), true, 100, 6);
  EXPECT_EQ(screen.PixelAt(2, 1).character, "│");
  EXPECT_TRUE(screen.PixelAt(49, 1).character == "│" ||
              screen.PixelAt(50, 1).character == "│")
      << Row(screen, 1);
  // The band of a changed line runs to the pane's edge.
  EXPECT_EQ(screen.PixelAt(99, 2).background_color, Color::RGB(0, 128, 0));
}

// A line of 36 characters in a joined pane 20 wide: 15 cells of text.
const File kLongLine =
    MakeFile({MakeHunk(1, 1, {" 0123456789abcdefghijklmnopqrstuvwxyz"})});

TEST(RenderFileTest, LongLinesAreCutWithMarksAndScrollAcross) {
  const struct {
    int column;
    std::string row;
    // What the row tells the scroller about how far to go.
    int limit;
  } cases[] = {
      {0, "1│1│ 0123456789abcd›", 21},
      {8, "1│1│ ‹9abcdefghijkl›", 21},
      {16, "1│1│ ‹hijklmnopqrst›", 21},
      {24, "1│1│ ‹pqrstuvwxyz", 21},
      {40, "1│1│ ‹", 21},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE("column " + std::to_string(test.column));
    TextView view;
    view.column = test.column;
    const Screen screen = Draw(kLongLine, false, 20, 2, &view);
    EXPECT_EQ(Row(screen, 1), test.row);
    EXPECT_EQ(view.column_limit, test.limit);
    // The marks are dim; the numbers never move.
    EXPECT_TRUE(screen.PixelAt(19, 1).dim || test.column >= 24);
    EXPECT_EQ(screen.PixelAt(0, 1).character, "1");
  }
}

TEST(RenderFileTest, WrappedLinesContinueBelowWithBlankNumbers) {
  TextView view;
  view.wrap = true;
  const Screen screen = Draw(kLongLine, false, 20, 6, &view);
  EXPECT_EQ(Rows(screen),
            (std::vector<std::string>{"@@ -1 +1 @@", "1│1│ 0123456789abcde",
                                      " │ │ fghijklmnopqrst", " │ │ uvwxyz"}));
  ftxui::Element element =
      RenderFile(kLongLine, false, {nullptr, nullptr, &view});
  Screen measured = Screen::Create(Dimension::Fixed(20), Dimension::Fixed(10));
  ftxui::Render(measured, element);
  EXPECT_EQ(element->requirement().min_y, 4);
}

// Side by side, each line of a pair wraps in its own column; the pair
// starts on one row and takes as many rows as its longer line.
TEST(RenderFileTest, WrappedPairsShareTheirFirstRow) {
  const File file = MakeFile({MakeHunk(
      1, 1,
      {"-0123456789abcdefghij", "+0123456789", "-short", " tail end here"})});
  TextView view;
  view.wrap = true;
  // Texts of 9 cells a side.
  const Screen screen = Draw(file, true, 25, 10, &view);
  EXPECT_EQ(Rows(screen),
            (std::vector<std::string>{
                "@@ -1 +1 @@", "1│-012345678│1│+012345678", " │ 9abcdefgh│ │ 9",
                " │ ij       │ │", "2│-short    │~│",
                "3│ tail end │2│ tail end", " │ here     │ │ here"}));
}

// A wide character that does not fit where a row ends moves to the next row;
// one cut by a mark leaves its cell blank. (The second cell of a wide
// character reads as a blank in the rows below.)
TEST(RenderFileTest, WideCharactersAreNeverSplit) {
  const File file = MakeFile({MakeHunk(1, 1, {" 漢字漢字漢字漢字漢字"})});
  TextView view;
  EXPECT_EQ(Row(Draw(file, false, 12, 2, &view), 1), "1│1│ 漢 字 漢 ›");
  view.column = 1;
  EXPECT_EQ(Row(Draw(file, false, 12, 2, &view), 1), "1│1│ ‹字 漢  ›");
  view.column = 0;
  view.wrap = true;
  EXPECT_EQ(
      Rows(Draw(file, false, 12, 8, &view)),
      (std::vector<std::string>{"@@ -1 +1 @@", "1│1│ 漢 字 漢", " │ │ 字 漢 字",
                                " │ │ 漢 字 漢", " │ │ 字"}));
}

TEST(RenderFileTest, HostileBytesAreDrawnHarmlessly) {
  const std::string hostile = "\xe0\x1b]0;pwned\x07z";
  for (bool split : {false, true}) {
    SCOPED_TRACE(split ? "split" : "joined");
    const Screen screen = Draw(
        MakeFile(
            {MakeHunk(1, 1, {"+" + hostile, "-" + hostile, " " + hostile})}),
        split, 60, 5);
    EXPECT_EQ(testing::TerminalHazard(screen.ToString()), "");
    EXPECT_NE(Row(screen, 1).find("\xef\xbf\xbd]0;pwnedz"), std::string::npos)
        << Row(screen, 1);
  }
}

// Characters that the terminal would draw in another number of cells than
// the layout gives them, in lines that pair up and in one that does not:
// every row must print exactly as wide as the screen.
TEST(RenderFileTest, EveryRowPrintsAsWideAsTheScreen) {
  ASSERT_NE(testing::TerminalLocale(), locale_t{}) << "no C.UTF-8 locale";
  const std::vector<std::string> characters = {
      "\u200B",
      "\u200C",
      "\u200D",
      "\u200E",
      "\u200F",
      "\u202A",
      "\u202E",
      "\u202C",
      "\u2066",
      "\u2069",
      "\uFEFF",
      "\u2028",
      "\u2029",
      "\u00AD",
      "\u1161",
      "\u11A8",
      "\u1112\u1161\u11AB",
      "\u061C",
      "漢",
      "e\u0301",
      "\t",
  };
  for (const std::string& character : characters) {
    SCOPED_TRACE(::testing::PrintToString(character));
    const std::string text = "ab" + character + "cd 漢字漢字漢字漢字漢字漢字";
    const File file = MakeFile({MakeHunk(
        1, 1, {"-" + text, "+x" + text, " " + character + text, "+" + text})});
    for (const bool split : {false, true}) {
      for (const int column : {0, 1, 3}) {
        for (const int width : {23, 30, 41}) {
          TextView view;
          view.column = column;
          const Screen screen = Draw(file, split, width, 6, &view);
          for (int y = 0; y < screen.dimy(); ++y) {
            EXPECT_EQ(testing::TerminalColumns(screen, y), width)
                << (split ? "split" : "joined") << " column " << column
                << " width " << width << ": " << Row(screen, y);
          }
        }
      }
    }
  }
}

// A 5 MB line is drawn from wherever the view is, as any short line is.
TEST(RenderFileTest, HugeLineDrawsTheColumnsInView) {
  std::string huge;
  huge.reserve(5'000'100);
  for (int i = 0; huge.size() < 5'000'000; ++i) {
    huge += std::to_string(i % 10);
    if (i % 1000 == 999) {
      huge += "\t";
    }
  }
  huge += "END";
  const File file = MakeFile({MakeHunk(1, 1, {"-" + huge, "+" + huge + "!"})});
  RenderCache cache;
  TextView view;
  const auto draw = [&] {
    Screen screen = Screen::Create(Dimension::Fixed(40), Dimension::Fixed(3));
    ftxui::Render(screen, RenderFile(file, false, {nullptr, &cache, &view}));
    return screen;
  };
  EXPECT_EQ(Row(draw(), 1), "1│~│-0123456789012345678901234567890123›");
  // Scroll to the end: the line is as many columns wide as its digits and
  // its tabs' blanks.
  ASSERT_GT(view.column_limit, 5'000'000);
  view.column = (view.column_limit + 7) / 8 * 8;
  const Screen end = draw();
  EXPECT_TRUE(Row(end, 1).ends_with("END")) << Row(end, 1);
  EXPECT_TRUE(Row(end, 2).ends_with("END!")) << Row(end, 2);
  // And anywhere in between, by the digits' period.
  view.column = 2'000'008;
  const std::string middle = Row(draw(), 1);
  EXPECT_TRUE(middle.starts_with("1│~│-‹")) << middle;
}

// The scroller moves the view: by 8 columns, back to the start, to the end,
// and into wrapping; and it keeps every one of those keys.
TEST(RenderFileTest, ScrollerKeysMoveTheView) {
  TextView view;
  ftxui::Component scroller = ftxui::Scroller(
      ftxui::Renderer([&] {
        return RenderFile(kLongLine, false, {nullptr, nullptr, &view});
      }),
      &view);
  Screen screen = Screen::Create(Dimension::Fixed(21), Dimension::Fixed(4));
  const auto frame = [&] {
    screen.Clear();
    ftxui::Render(screen, scroller->Render());
    return Row(screen, 1);
  };
  frame();
  using ftxui::Event;
  const struct {
    Event event;
    int column;
    bool wrap;
  } steps[] = {
      {Event::ArrowLeft, 0, false},
      {Event::ArrowRight, 8, false},
      {Event::Character('l'), 16, false},
      {Event::ArrowRight, 24, false},
      // The end of the longest line is in view: no further.
      {Event::ArrowRight, 24, false},
      {Event::Character('h'), 16, false},
      {Event::Character('0'), 0, false},
      {Event::Special("\x1B[1;2C"), 24, false},
      {Event::Special("\x1B[1;2D"), 0, false},
      {Event::Character('w'), 0, true},
      {Event::ArrowRight, 0, true},
      {Event::Character('w'), 0, false},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.event.input());
    EXPECT_TRUE(scroller->OnEvent(step.event));
    EXPECT_EQ(view.column, step.column);
    EXPECT_EQ(view.wrap, step.wrap);
    frame();
  }
  // A scroller without a view leaves the horizontal keys to the others.
  ftxui::Component plain = ftxui::Scroller(
      ftxui::Renderer([] { return RenderFile(kLongLine, false); }));
  EXPECT_FALSE(plain->OnEvent(Event::ArrowRight));
  EXPECT_FALSE(plain->OnEvent(Event::Character('w')));
}

// Toggling wrapping keeps the selected row on the line it was on.
TEST(RenderFileTest, WrappingKeepsTheSelectedLine) {
  std::vector<std::string> lines;
  for (int i = 1; i <= 30; ++i) {
    lines.push_back(" line " + std::to_string(100 + i) + " " +
                    std::string(40, '.'));
  }
  const File file =
      MakeFile({MakeHunk(1, 1, {" a"}), MakeHunk(100, 100, lines)});
  RenderCache cache;
  TextView view;
  ftxui::Component scroller = ftxui::Scroller(
      ftxui::Renderer([&] {
        return RenderFile(file, false, {nullptr, &cache, &view});
      }),
      &view);
  // Text columns of 21 cells: each line takes 3 rows wrapped.
  Screen screen = Screen::Create(Dimension::Fixed(30), Dimension::Fixed(12));
  const auto selected = [&] {
    screen.Clear();
    ftxui::Render(screen, scroller->Render());
    for (int y = 0; y < screen.dimy(); ++y) {
      if (screen.PixelAt(0, y).inverted) {
        return Row(screen, y);
      }
    }
    return std::string("none");
  };
  selected();
  for (int i = 0; i < 12; ++i) {
    scroller->OnEvent(ftxui::Event::ArrowDown);
  }
  const std::string before = selected();
  ASSERT_NE(before.find("line 110"), std::string::npos) << before;
  EXPECT_TRUE(scroller->OnEvent(ftxui::Event::Character('w')));
  const std::string wrapped = selected();
  EXPECT_NE(wrapped.find("line 110"), std::string::npos) << wrapped;
  // Further down the wrapped line, then back: the line's first row.
  scroller->OnEvent(ftxui::Event::ArrowDown);
  EXPECT_EQ(selected().find("line"), std::string::npos);
  EXPECT_TRUE(scroller->OnEvent(ftxui::Event::Character('w')));
  EXPECT_EQ(selected(), before);
}

// Tiny panes draw what fits and never fail.
TEST(RenderFileTest, TinyPanes) {
  const File file = MakeFile({kExample, MakeHunk(1000, 1000, {"-漢字", "+x"})});
  for (const bool wrap : {false, true}) {
    for (const bool split : {false, true}) {
      for (const int width : {1, 2, 5, 9}) {
        for (const int height : {1, 2, 40}) {
          TextView view;
          view.wrap = wrap;
          view.column = 8;
          const Screen screen = Draw(file, split, width, height, &view);
          EXPECT_EQ(testing::TerminalHazard(screen.ToString()), "");
        }
      }
    }
  }
}

}  // namespace
}  // namespace plimsy
