#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <ftxui/component/component.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/dom/elements.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/dom/requirement.hpp>
#include <ftxui/dom/selection.hpp>
#include <ftxui/screen/pixel.hpp>
#include <ftxui/screen/screen.hpp>

#include "diff/diff.h"
#include "diff/file_look.h"
#include "diff/pairing.h"
#include "diff/render.h"
#include "diff/render_cache.h"
#include "ui/scroller.h"
#include "ui/text_view.h"
#include "ui_support.h"
#include "whole_file_render.h"

// RenderFile builds only the rows in view, and of each only the cells in
// view; RenderWholeFile builds every row in full. Both must put the same
// cells on the screen, however the file is shaped, however big the
// viewport, wherever it is scrolled to, down or across, and wrapped or not.
namespace plimsy {
namespace {

using ftxui::Component;
using ftxui::Element;
using ftxui::Event;
using ftxui::Screen;
using testing::MakeHunk;
using testing::RenderWholeFile;
namespace Dimension = ftxui::Dimension;

std::string RandomText(std::mt19937& random) {
  static const std::vector<std::string> kTexts = {
      "",
      "x",
      "int main() {",
      "  return value + 1;",
      "\tindented\twith\ttabs",
      "漢字",
      "漢字かな交じりの行 mixed with ASCII",
      "e\xcc\x81 combining",
      "emoji \xf0\x9f\x99\x82 here",
      "\x1b[31mred\x1b[0m\x07",
      "\xe0\x80 broken \xff\xfe bytes",
      "\xc2\x9b C1 control",
      std::string(120, 'w'),
      "漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢",
      "bidi \u202Eevil\u202C zero\u200Bwidth \u1112\u1161\u11AB \u1161",
      "\ttab\tseparated\tcolumns\t漢\tx",
      "int value = compute(alpha, beta);",
      "int value = compute(alpha, gamma);",
      // Long enough to be drawn from checkpoints.
      std::string(4200, 'L') + "\t漢end",
  };
  if (random() % 5 == 0) {
    std::string bytes(random() % 16, '\0');
    for (char& byte : bytes) {
      byte = static_cast<char>(random() % 256);
    }
    return bytes;
  }
  return kTexts[random() % kTexts.size()];
}

int32_t RandomStart(std::mt19937& random) {
  static const int32_t kStarts[] = {0, 1, 7, 9, 95, 998, 2147483000, -3};
  if (random() % 3 == 0) {
    return static_cast<int32_t>(random() % 100000);
  }
  return kStarts[random() % std::size(kStarts)];
}

// Up to four hunks, some empty, of up to 60 lines in runs of one kind.
File RandomFile(std::mt19937& random) {
  File file;
  const unsigned hunks = random() % 5;
  for (unsigned h = 0; h < hunks; ++h) {
    Hunk& hunk = file.hunks.emplace_back();
    hunk.old_start = RandomStart(random);
    hunk.new_start = RandomStart(random);
    const unsigned shape = random() % 10;
    const size_t lines = shape == 0  ? 0
                         : shape < 7 ? 1 + random() % 12
                                     : 13 + random() % 48;
    while (hunk.lines.size() < lines) {
      const auto kind = static_cast<LineKind>(random() % 3);
      const size_t run = 1 + random() % 6;
      for (size_t k = 0; k < run && hunk.lines.size() < lines; ++k) {
        hunk.AddLine(kind, RandomText(random));
      }
    }
  }
  return file;
}

// How the text is shown across.
struct Across {
  int column = 0;
  bool wrap = false;
};

std::string Describe(const Across& across) {
  return across.wrap ? "wrapped" : "column " + std::to_string(across.column);
}

TextView ViewOf(const Across& across) {
  TextView view;
  view.column = across.column;
  view.wrap = across.wrap;
  return view;
}

// The whole tree, as RenderFile draws it with `view`.
Element Reference(const File& file, bool split, TextView* view) {
  RenderOptions options;
  options.view = view;
  return RenderWholeFile(file, split, LookOf(file, options));
}

// Rows of the file unwrapped.
int ContentHeight(const File& file, bool split) {
  TextView view;
  Element element = Reference(file, split, &view);
  element->ComputeRequirement();
  return element->requirement().min_y;
}

std::string Describe(const ftxui::Pixel& pixel) {
  return "\"" + pixel.character + "\" bold " + std::to_string(pixel.bold) +
         " dim " + std::to_string(pixel.dim) + " inverted " +
         std::to_string(pixel.inverted) + " underlined " +
         std::to_string(pixel.underlined) + " automerge " +
         std::to_string(pixel.automerge) + " fg " +
         pixel.foreground_color.Print(false) + " bg " +
         pixel.background_color.Print(true);
}

bool Same(const ftxui::Pixel& a, const ftxui::Pixel& b) {
  return a.character == b.character && a.blink == b.blink && a.bold == b.bold &&
         a.dim == b.dim && a.italic == b.italic && a.inverted == b.inverted &&
         a.underlined == b.underlined &&
         a.underlined_double == b.underlined_double &&
         a.strikethrough == b.strikethrough && a.automerge == b.automerge &&
         a.hyperlink == b.hyperlink &&
         a.foreground_color == b.foreground_color &&
         a.background_color == b.background_color;
}

// The first cell where the screens differ, or "" when every cell and the
// cursor are the same.
std::string FirstDifference(const Screen& actual, const Screen& expected) {
  for (int y = 0; y < expected.dimy(); ++y) {
    for (int x = 0; x < expected.dimx(); ++x) {
      const ftxui::Pixel& a = actual.PixelAt(x, y);
      const ftxui::Pixel& e = expected.PixelAt(x, y);
      if (!Same(a, e)) {
        return "cell (" + std::to_string(x) + ", " + std::to_string(y) +
               "): " + Describe(a) + ", expected " + Describe(e);
      }
    }
  }
  const Screen::Cursor a = actual.cursor();
  const Screen::Cursor e = expected.cursor();
  if (a.x != e.x || a.y != e.y || a.shape != e.shape) {
    return "cursor differs";
  }
  return "";
}

// The size and flexibility that the element asks for, as one text.
std::string Describe(const Element& element) {
  element->ComputeRequirement();
  const ftxui::Requirement r = element->requirement();
  return "min " + std::to_string(r.min_x) + "x" + std::to_string(r.min_y) +
         " grow " + std::to_string(r.flex_grow_x) + "," +
         std::to_string(r.flex_grow_y) + " shrink " +
         std::to_string(r.flex_shrink_x) + "," +
         std::to_string(r.flex_shrink_y) + " focused " +
         std::to_string(r.focused.enabled);
}

Screen MakeScreen(int width, int height) {
  return Screen::Create(Dimension::Fixed(width), Dimension::Fixed(height));
}

// Rows of the file drawn `width` cells wide, its lines wrapped or not as
// `across` says.
int DrawnHeight(const File& file, bool split, const Across& across, int width) {
  TextView view = ViewOf(across);
  Element element = Reference(file, split, &view);
  Screen screen = MakeScreen(width, 1);
  ftxui::Render(screen, element);
  return element->requirement().min_y;
}

// A scroller over a file, in a container that gives it the focus or not.
// The drawing under test is given the split-layout row counts and a cache,
// as the screens give it; drawn without a frame below, it counts and finds
// everything itself.
struct Viewer {
  Viewer(const File& file,
         bool split,
         bool lazy,
         bool focused,
         const Across& across)
      : split_rows(SplitRowCounts(file)),
        view(ViewOf(across)),
        scroller(ftxui::Scroller(ftxui::Renderer([&file, split, lazy, this] {
          return lazy ? RenderFile(file, split, {&split_rows, &cache, &view})
                      : Reference(file, split, &view);
        }))),
        other(ftxui::Renderer([](bool) { return ftxui::text(""); })),
        container(ftxui::Container::Horizontal({scroller, other})) {
    container->SetActiveChild((focused ? scroller : other).get());
  }

  std::vector<int> split_rows;
  RenderCache cache;
  TextView view;
  Component scroller;
  Component other;
  Component container;
};

// A mouse drag, from one cell to another, either way round.
struct Drag {
  int x0;
  int y0;
  int x1;
  int y1;
};

ftxui::Selection MakeSelection(const std::optional<Drag>& drag) {
  if (!drag.has_value()) {
    return ftxui::Selection();
  }
  return ftxui::Selection(drag->x0, drag->y0, drag->x1, drag->y1);
}

// What the viewport looks like, and where in the file.
struct View {
  int width;
  int height;
  // The selected row, reached by pressing ArrowDown as often.
  int row;
  bool focused;
  std::optional<Drag> drag;
  Across across;
};

std::string Describe(const View& view) {
  std::string text =
      std::to_string(view.width) + "x" + std::to_string(view.height) + " row " +
      std::to_string(view.row) + (view.focused ? " focused" : " unfocused") +
      " " + Describe(view.across);
  if (view.drag.has_value()) {
    text += " drag (" + std::to_string(view.drag->x0) + ", " +
            std::to_string(view.drag->y0) + ") to (" +
            std::to_string(view.drag->x1) + ", " +
            std::to_string(view.drag->y1) + ")";
  }
  return text;
}

// Draws the file through the scroller with RenderFile and with the
// reference; returns where the two screens first differ.
std::string ScrolledDifference(const File& file, bool split, const View& view) {
  Viewer lazy(file, split, true, view.focused, view.across);
  Viewer whole(file, split, false, view.focused, view.across);
  // A first frame lays the scrollers out, which a page needs.
  Screen actual = MakeScreen(view.width, view.height);
  Screen expected = MakeScreen(view.width, view.height);
  ftxui::Render(actual, lazy.scroller->Render());
  ftxui::Render(expected, whole.scroller->Render());
  for (int k = 0; k < view.row; ++k) {
    lazy.scroller->OnEvent(Event::ArrowDown);
    whole.scroller->OnEvent(Event::ArrowDown);
  }
  actual = MakeScreen(view.width, view.height);
  expected = MakeScreen(view.width, view.height);
  ftxui::Selection actual_selection = MakeSelection(view.drag);
  ftxui::Selection expected_selection = MakeSelection(view.drag);
  ftxui::Render(actual, lazy.scroller->Render().get(), actual_selection);
  ftxui::Render(expected, whole.scroller->Render().get(), expected_selection);
  std::string difference = FirstDifference(actual, expected);
  if (difference.empty() && lazy.view.column_limit != whole.view.column_limit) {
    difference = "column limit " + std::to_string(lazy.view.column_limit) +
                 ", expected " + std::to_string(whole.view.column_limit);
  }
  return difference;
}

// How the text is shown across: from the start, scrolled, and wrapped.
std::vector<Across> Acrosses(std::mt19937& random) {
  return {{0, false},
          {8 * static_cast<int>(1 + random() % 4), false},
          {static_cast<int>(random() % 4500), false},
          {0, true}};
}

struct Layout {
  bool split;
  const char* name;
};
constexpr Layout kLayouts[] = {{false, "joined"}, {true, "split"}};

TEST(RenderDifferentialTest, UnframedMatchesReference) {
  std::mt19937 random(20240601);
  for (int f = 0; f < 40; ++f) {
    const File file = RandomFile(random);
    for (const Layout& layout : kLayouts) {
      const std::vector<Across> acrosses = Acrosses(random);
      for (const Across& across :
           {acrosses[random() % 2], acrosses[2 + random() % 2]}) {
        SCOPED_TRACE("file " + std::to_string(f) + " " + layout.name + " " +
                     Describe(across));
        TextView lazy_view = ViewOf(across);
        TextView whole_view = ViewOf(across);
        // The layout around the file sees only this.
        EXPECT_EQ(Describe(RenderFile(file, layout.split,
                                      {nullptr, nullptr, &lazy_view})),
                  Describe(Reference(file, layout.split, &whole_view)));
        const int height = ContentHeight(file, layout.split);
        // Taller than the file, exactly as tall, and too short, where the
        // rows below the screen are cut, as a frame cuts the whole tree.
        const int heights[] = {height + 3, std::max(height, 1),
                               1 + static_cast<int>(random() % (height + 1))};
        const int widths[] = {1, 9, 1 + static_cast<int>(random() % 140), 830};
        for (const int h : heights) {
          const int w = widths[random() % std::size(widths)];
          SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
          Screen actual = MakeScreen(w, h);
          ftxui::Render(actual, RenderFile(file, layout.split,
                                           {nullptr, nullptr, &lazy_view}));
          Screen expected = MakeScreen(w, h);
          ftxui::Render(expected, Reference(file, layout.split, &whole_view) |
                                      ftxui::yframe);
          EXPECT_EQ(FirstDifference(actual, expected), "");
        }
      }
    }
  }
}

TEST(RenderDifferentialTest, ScrollerMatchesReference) {
  std::mt19937 random(77);
  for (int f = 0; f < 30; ++f) {
    const File file = RandomFile(random);
    for (const Layout& layout : kLayouts) {
      const int height = ContentHeight(file, layout.split);
      for (const bool focused : {true, false}) {
        const int w = 1 + static_cast<int>(random() % 130);
        const int h = 1 + static_cast<int>(random() % 24);
        const std::vector<Across> acrosses = Acrosses(random);
        const Across& across = acrosses[random() % acrosses.size()];
        // The first row, the last one and one in between; wrapped, the
        // last row lies further down.
        for (const int row :
             {0, std::max(height - 1, 0) * (across.wrap ? 3 : 1),
              static_cast<int>(random() % (height + 1))}) {
          const View view{w, h, row, focused, std::nullopt, across};
          SCOPED_TRACE("file " + std::to_string(f) + " " + layout.name + " " +
                       Describe(view));
          EXPECT_EQ(ScrolledDifference(file, layout.split, view), "");
        }
      }
    }
  }
}

// A number column is as wide as its widest cell: the numbers a hunk shows
// may cross to more digits or from negative to positive, a column of only
// "~" is one cell wide, and the widest pair of columns of the file sets
// how wide the file asks to be.
TEST(RenderDifferentialTest, NumberColumnsMatchReference) {
  const struct {
    const char* name;
    File file;
  } cases[] = {
      {"crossing to two digits",
       {"", "", {MakeHunk(8, 9, {" a", " b", " c"})}}},
      {"crossing to six digits",
       {"", "", {MakeHunk(99999, 1, {"-a", "-b", " c"})}}},
      {"crossing zero", {"", "", {MakeHunk(-3, -1, {" a", " b", " c", " d"})}}},
      {"only added far down",
       {"", "", {MakeHunk(998, 5, {"+a", "+b"}), MakeHunk(1005, 12, {" c"})}}},
      {"only deleted far down", {"", "", {MakeHunk(12345, 77, {"-a", "-b"})}}},
      {"empty hunks around one line",
       {"",
        "",
        {MakeHunk(5, 5, {}), MakeHunk(7, 7, {" a"}), MakeHunk(9, 9, {})}}},
      // The last hunk has the longest numbers but only "~" on its old side.
      {"widest numbers without a number",
       {"",
        "",
        {MakeHunk(5000, 5000, {" a", "-b", "+c"}),
         MakeHunk(90000, 90000, {"+d"})}}},
      {"widest numbers last",
       {"", "", {MakeHunk(1, 1, {" a"}), MakeHunk(100000, 100000, {"+b"})}}},
  };
  for (const auto& test : cases) {
    for (const Layout& layout : kLayouts) {
      SCOPED_TRACE(std::string(test.name) + " " + layout.name);
      TextView lazy_view;
      TextView whole_view;
      EXPECT_EQ(Describe(RenderFile(test.file, layout.split,
                                    {nullptr, nullptr, &lazy_view})),
                Describe(Reference(test.file, layout.split, &whole_view)));
      const int height = ContentHeight(test.file, layout.split);
      for (int row = 0; row < height; ++row) {
        const View view{40, 2, row, true, std::nullopt, {}};
        EXPECT_EQ(ScrolledDifference(test.file, layout.split, view), "")
            << Describe(view);
      }
    }
  }
}

// Long hunks are drawn from their blocks of context and changed lines,
// found once: runs as git prints them (deleted lines first) and runs whose
// kinds take turns, entered anywhere.
TEST(RenderDifferentialTest, LongHunksMatchReference) {
  std::mt19937 random(31337);
  File file;
  Hunk& long_hunk = file.hunks.emplace_back();
  long_hunk.old_start = 90;
  long_hunk.new_start = 9990;
  const auto add = [&](char kind, int count) {
    for (int i = 0; i < count; ++i) {
      const LineKind line_kind = kind == '-'   ? LineKind::kDeleted
                                 : kind == '+' ? LineKind::kAdded
                                               : LineKind::kContext;
      long_hunk.AddLine(line_kind,
                        std::string(1, kind) + " " + RandomText(random));
    }
  };
  add(' ', 40);
  add('-', 700);
  add('+', 300);
  add(' ', 3);
  for (int i = 0; i < 200; ++i) {
    add(i % 3 == 0 ? '+' : '-', 1);
  }
  add(' ', 500);
  add('+', 20);
  file.hunks.push_back(MakeHunk(5000, 15000, {" a", "-b", "+c"}));
  for (const Layout& layout : kLayouts) {
    const int height = ContentHeight(file, layout.split);
    for (const int row : {0, 30, 45, 500, 760, 900, 1100, 1150, 1300, 1500,
                          height - 5, height - 1}) {
      for (const Across& across : {Across{0, false}, Across{0, true}}) {
        const View view{90, 12, row, true, std::nullopt, across};
        SCOPED_TRACE(std::string(layout.name) + " " + Describe(view));
        EXPECT_EQ(ScrolledDifference(file, layout.split, view), "");
      }
    }
  }
}

// Git's marker after a line takes an entry of its own: after context lines,
// after the last line of either side of a run or of both, and anywhere in a
// run, as a broken diff may have it; in short hunks and in long ones, which
// are entered through their blocks.
TEST(RenderDifferentialTest, MarkedLinesMatchReference) {
  std::mt19937 random(2026);
  const std::vector<std::string> lines = {
      " a", "\\", " b", "-c", "-d", "\\", "+e", "+f", "\\", " g", "-h", "\\",
      "+i", "-j", "\\", "+k", "+l", "\\", "+m", "-n", "-o", "\\", " p", "\\"};
  File file;
  file.hunks.push_back(MakeHunk(7, 7, lines));
  Hunk& long_hunk = file.hunks.emplace_back();
  long_hunk.old_start = 100;
  long_hunk.new_start = 100;
  while (long_hunk.lines.size() < 1100) {
    const Hunk part = MakeHunk(1, 1, lines);
    for (const Line& line : part.lines) {
      long_hunk.AddLine(line.kind, RandomText(random));
      long_hunk.lines.back().no_newline = line.no_newline;
    }
  }
  for (const Layout& layout : kLayouts) {
    const int height = ContentHeight(file, layout.split);
    std::vector<int> rows;
    for (int row = 0; row < 100; ++row) {
      rows.push_back(row);
    }
    for (int i = 0; i < 3; ++i) {
      rows.push_back(static_cast<int>(random() % height));
    }
    rows.push_back(height - 1);
    for (const int row : rows) {
      for (const Across& across : {Across{0, false}, Across{0, true}}) {
        const View view{70, 6, row, true, std::nullopt, across};
        SCOPED_TRACE(std::string(layout.name) + " " + Describe(view));
        EXPECT_EQ(ScrolledDifference(file, layout.split, view), "");
      }
    }
  }
}

// A mouse selection inverts the selected cells; it reaches the cells through
// every box on the way, so the rows in view must see it as in the full tree,
// also when it starts or ends outside the file.
TEST(RenderDifferentialTest, SelectionMatchesReference) {
  std::mt19937 random(4242);
  for (int f = 0; f < 30; ++f) {
    const File file = RandomFile(random);
    for (const Layout& layout : kLayouts) {
      const int height = ContentHeight(file, layout.split);
      const int w = 1 + static_cast<int>(random() % 100);
      const int h = 1 + static_cast<int>(random() % 20);
      const int row = static_cast<int>(random() % (height + 1));
      const std::vector<Across> acrosses = Acrosses(random);
      for (int s = 0; s < 4; ++s) {
        const Across& across = acrosses[s];
        // Ends up to two cells beyond the screen on every side.
        const auto coordinate = [&random](int size) {
          return static_cast<int>(random() % (size + 4)) - 2;
        };
        const Drag drag{coordinate(w), coordinate(h), coordinate(w),
                        coordinate(h)};
        const View view{w, h, row, true, drag, across};
        SCOPED_TRACE("file " + std::to_string(f) + " " + layout.name + " " +
                     Describe(view));
        EXPECT_EQ(ScrolledDifference(file, layout.split, view), "");

        // Unframed, with every row drawn; then the same elements drawn
        // again without a selection, which must leave none behind.
        TextView lazy_view = ViewOf(across);
        TextView whole_view = ViewOf(across);
        const Element lazy =
            RenderFile(file, layout.split, {nullptr, nullptr, &lazy_view});
        const Element whole = Reference(file, layout.split, &whole_view);
        const int rows = DrawnHeight(file, layout.split, across, w) + 1;
        Screen actual = MakeScreen(w, rows);
        Screen expected = MakeScreen(w, rows);
        ftxui::Selection actual_selection = MakeSelection(drag);
        ftxui::Selection expected_selection = MakeSelection(drag);
        ftxui::Render(actual, lazy.get(), actual_selection);
        ftxui::Render(expected, whole.get(), expected_selection);
        EXPECT_EQ(FirstDifference(actual, expected), "");
        actual = MakeScreen(w, rows);
        expected = MakeScreen(w, rows);
        ftxui::Render(actual, lazy);
        ftxui::Render(expected, whole);
        EXPECT_EQ(FirstDifference(actual, expected), "");
      }
    }
  }
}

}  // namespace
}  // namespace plimsy
