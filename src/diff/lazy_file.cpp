#include "diff/lazy_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <ftxui/dom/node.hpp>
#include <ftxui/dom/selection.hpp>
#include <ftxui/screen/box.hpp>
#include <ftxui/screen/screen.hpp>

#include "diff/cells.h"
#include "diff/render.h"

namespace plimsy {

namespace {

using ftxui::Box;
using ftxui::Element;
using ftxui::Elements;

// Width of the decimal text of `number`.
int NumberWidth(int64_t number) {
  int width = number < 0 ? 2 : 1;
  for (int64_t rest = number < 0 ? -number : number; rest >= 10; rest /= 10) {
    ++width;
  }
  return width;
}

// The widths of a hunk's two number columns, the same in both layouts: a
// column has a cell for every line (or row), a number or a "~", and is as
// wide as its widest cell.
struct NumberWidths {
  int old_width = 0;
  int new_width = 0;
};

// The width of a column of `rows` cells where the numbers that `count`
// lines take count up from `first`. The widest number is at one end of the
// run, and any number is at least as wide as "~".
int ColumnWidth(int64_t first, int count, int rows) {
  if (rows == 0) {
    return 0;
  }
  if (count == 0) {
    return 1;
  }
  return std::max(NumberWidth(first), NumberWidth(first + count - 1));
}

// A column's width if at least one line takes a number: never less than
// the width, found without reading a line.
int ColumnWidthBound(int64_t first, int rows) {
  return ColumnWidth(first, rows, rows);
}

// The width of the column that numbers the lines of every kind but
// `skipped`. Reading lines is what measuring costs, so they are counted
// only when the count can change the width. When no number the lines could
// take is wider than the first, any line that takes a number settles it.
int ColumnWidth(const std::vector<Line>& lines,
                int64_t first,
                LineKind skipped) {
  const int rows = static_cast<int>(lines.size());
  const auto numbered = [skipped](const Line& line) {
    return line.kind != skipped;
  };
  if (rows > 0 && NumberWidth(first) >= NumberWidth(first + rows - 1)) {
    return std::any_of(lines.begin(), lines.end(), numbered)
               ? NumberWidth(first)
               : 1;
  }
  const auto count = std::count_if(lines.begin(), lines.end(), numbered);
  return ColumnWidth(first, static_cast<int>(count), rows);
}

NumberWidths Widths(const Hunk& hunk) {
  return {ColumnWidth(hunk.lines, hunk.old_start, LineKind::Added),
          ColumnWidth(hunk.lines, hunk.new_start, LineKind::Deleted)};
}

// The widest pair of number columns of the file. A hunk's lines are read
// only when its bound beats the widest pair found so far; as the numbers
// grow down the file, that happens about once per digit.
int WidestNumbers(const std::vector<Hunk>& hunks) {
  int widest = 0;
  for (const Hunk& hunk : hunks) {
    const int rows = static_cast<int>(hunk.lines.size());
    const int bound = ColumnWidthBound(hunk.old_start, rows) +
                      ColumnWidthBound(hunk.new_start, rows);
    if (bound > widest) {
      const NumberWidths widths = Widths(hunk);
      widest = std::max(widest, widths.old_width + widths.new_width);
    }
  }
  return widest;
}

// The rows of the split layout, where the changed lines pair up: each run
// of them between context lines takes as many rows as its longer side.
int SplitRowCount(const Hunk& hunk) {
  int rows = 0;
  int run_deleted = 0;
  int run_added = 0;
  // Conditional expressions rather than a switch: faster on kinds that
  // follow no pattern.
  for (const Line& line : hunk.lines) {
    const bool is_context = line.kind == LineKind::Context;
    rows += is_context ? std::max(run_deleted, run_added) + 1 : 0;
    run_deleted =
        is_context ? 0 : run_deleted + (line.kind == LineKind::Deleted);
    run_added = is_context ? 0 : run_added + (line.kind == LineKind::Added);
  }
  return rows + std::max(run_deleted, run_added);
}

// The split layout reads every line of every hunk on every frame. The
// hunks' lines lie apart in memory: asking early for those of a hunk a few
// hunks ahead lets the memory fetch them while the hunks before it are
// counted.
void PrefetchLines(const Hunk& hunk) {
  constexpr size_t kBytes = 4096;
  const char* const data = reinterpret_cast<const char*>(hunk.lines.data());
  const size_t size = std::min(hunk.lines.size() * sizeof(Line), kBytes);
  for (size_t offset = 0; offset < size; offset += 64) {
    __builtin_prefetch(data + offset);
  }
}
constexpr size_t kPrefetchDistance = 8;

// Where a hunk lies in the file.
struct HunkLayout {
  const Hunk* hunk = nullptr;
  // First row of the hunk, counted from the top of the file.
  int top = 0;
  // Rows of cells; a hunk without lines still takes one row, as tall as
  // its column separators.
  int cell_rows = 0;
  int rows = 0;
};

// Stands in a column for the rows out of view: it takes their height and,
// in a number column, the width of the widest number of the whole hunk.
class Gap : public ftxui::Node {
 public:
  Gap(int width, int height) {
    requirement_.min_x = width;
    requirement_.min_y = height;
  }
};

Element MakeGap(int width, int height) {
  return std::make_shared<Gap>(width, height);
}

// A column separator drawn like the library's separator(), but over the
// rows in view only: a hunk's box can be far taller than the screen. Its
// column is never wider than one cell, which the library draws as "│".
class Rule : public ftxui::Node {
 public:
  Rule() {
    requirement_.min_x = 1;
    requirement_.min_y = 1;
  }

  void Render(ftxui::Screen& screen) override {
    const Box area = Box::Intersection(box_, screen.stencil);
    for (int y = area.y_min; y <= area.y_max; ++y) {
      for (int x = area.x_min; x <= area.x_max; ++x) {
        ftxui::Pixel& pixel = screen.PixelAt(x, y);
        pixel.character = "│";
        pixel.automerge = true;
      }
    }
  }
};

Element MakeRule() {
  return std::make_shared<Rule>();
}

// The cells of a window of rows of one hunk: a column each for old numbers,
// new numbers, old texts and new texts (the joined layout uses only the old
// texts).
struct Columns {
  Elements old_numbers;
  Elements new_numbers;
  Elements old_texts;
  Elements new_texts;
};

void JoinedRows(const Hunk& hunk, int from, int to, Columns& columns) {
  int64_t old_line = hunk.old_start;
  int64_t new_line = hunk.new_start;
  for (int row = 0; row < from; ++row) {
    const LineKind kind = hunk.lines[row].kind;
    old_line += kind != LineKind::Added;
    new_line += kind != LineKind::Deleted;
  }
  for (int row = from; row < to; ++row) {
    const Line& line = hunk.lines[row];
    switch (line.kind) {
      case LineKind::Context:
        columns.old_numbers.push_back(NumberCell(old_line++));
        columns.new_numbers.push_back(NumberCell(new_line++));
        break;
      case LineKind::Deleted:
        columns.old_numbers.push_back(NumberCell(old_line++));
        columns.new_numbers.push_back(PlaceholderCell());
        break;
      case LineKind::Added:
        columns.old_numbers.push_back(PlaceholderCell());
        columns.new_numbers.push_back(NumberCell(new_line++));
        break;
    }
    columns.old_texts.push_back(LineCell(line));
  }
}

// One side of a split row: its number and text cells, or a blank filler
// behind a dimmed "~" when the side has no line there.
void SplitSide(const Line* line,
               int64_t number,
               Elements& numbers,
               Elements& texts) {
  if (line == nullptr) {
    numbers.push_back(PlaceholderCell());
    texts.push_back(ftxui::text(""));
    return;
  }
  numbers.push_back(NumberCell(number));
  texts.push_back(LineCell(*line));
}

// The rows of the split layout, as BalanceSides pairs them: within each run
// of changed lines, the k-th deleted line faces the k-th added line, and the
// shorter side is filled up at the run's end.
void SplitRows(const Hunk& hunk, int from, int to, Columns& columns) {
  const std::vector<Line>& lines = hunk.lines;
  const size_t count = lines.size();
  int64_t old_line = hunk.old_start;
  int64_t new_line = hunk.new_start;
  int row = 0;
  size_t i = 0;
  while (i < count && row < to) {
    if (lines[i].kind == LineKind::Context) {
      if (row >= from) {
        SplitSide(&lines[i], old_line, columns.old_numbers, columns.old_texts);
        SplitSide(&lines[i], new_line, columns.new_numbers, columns.new_texts);
      }
      ++old_line;
      ++new_line;
      ++row;
      ++i;
      continue;
    }
    size_t end = i;
    int deleted = 0;
    int added = 0;
    for (; end < count && lines[end].kind != LineKind::Context; ++end) {
      deleted += lines[end].kind == LineKind::Deleted;
      added += lines[end].kind == LineKind::Added;
    }
    const int run_rows = std::max(deleted, added);
    if (row + run_rows > from) {
      size_t next_deleted = i;
      size_t next_added = i;
      for (int k = 0; k < run_rows && row + k < to; ++k) {
        while (next_deleted < end &&
               lines[next_deleted].kind != LineKind::Deleted) {
          ++next_deleted;
        }
        while (next_added < end && lines[next_added].kind != LineKind::Added) {
          ++next_added;
        }
        if (row + k >= from) {
          SplitSide(k < deleted ? &lines[next_deleted] : nullptr, old_line + k,
                    columns.old_numbers, columns.old_texts);
          SplitSide(k < added ? &lines[next_added] : nullptr, new_line + k,
                    columns.new_numbers, columns.new_texts);
        }
        next_deleted += next_deleted < end;
        next_added += next_added < end;
      }
    }
    old_line += deleted;
    new_line += added;
    row += run_rows;
    i = end;
  }
}

// The two ends of a selection. Selection shows only its box, whose opposite
// corners the ends are; which diagonal they lie on shows when the selection
// is saturated against a box that holds only the top-left corner: it
// shrinks to that corner exactly when an end lies there. Which end came
// first does not matter, as saturating treats the two alike.
struct SelectionEnds {
  int x0 = 0;
  int y0 = 0;
  int x1 = 0;
  int y1 = 0;
};

SelectionEnds Ends(ftxui::Selection& selection) {
  const Box box = selection.GetBox();
  const Box corner{box.x_min - 1, box.x_min, box.y_min - 1, box.y_min};
  const Box probe = selection.SaturateHorizontal(corner).GetBox();
  if (probe.x_min == probe.x_max) {
    return {box.x_min, box.y_min, box.x_max, box.y_max};
  }
  return {box.x_max, box.y_min, box.x_min, box.y_max};
}

class LazyFileNode : public ftxui::Node {
 public:
  LazyFileNode(const File& file, bool split, const std::vector<int>* split_rows)
      : file_(file), split_(split) {
    const std::vector<Hunk>& hunks = file.hunks;
    hunks_.reserve(hunks.size());
    int top = 0;
    for (size_t i = 0; i < hunks.size(); ++i) {
      HunkLayout& layout = hunks_.emplace_back();
      layout.hunk = &hunks[i];
      layout.top = top;
      if (split && split_rows != nullptr) {
        layout.cell_rows = (*split_rows)[i];
      } else if (split) {
        if (i + kPrefetchDistance < hunks.size()) {
          PrefetchLines(hunks[i + kPrefetchDistance]);
        }
        layout.cell_rows = SplitRowCount(hunks[i]);
      } else {
        layout.cell_rows = static_cast<int>(hunks[i].lines.size());
      }
      layout.rows = std::max(layout.cell_rows, 1);
      top += layout.rows + 1;
    }
    // Every hunk but the last is followed by a separator row.
    requirement_.min_y = hunks.empty() ? 0 : top - 1;
    // Number columns, separators and the 800 cells of each text column.
    requirement_.min_x =
        hunks.empty() ? 0 : WidestNumbers(hunks) + (split ? 1603 : 802);
  }

  // The requirement is known from the start; what is reset here is the
  // selection, which lasts one drawing, as it does for the library's texts.
  void ComputeRequirement() override { selection_.reset(); }

  void SetBox(Box box) override {
    Node::SetBox(box);
    // Too few rows for the file: the stacked hunks shrink in proportion,
    // which the whole element tree reproduces exactly. Only an unframed
    // file meets this; a frame gives its content all the rows it asks for.
    if (box.y_max - box.y_min + 1 < requirement_.min_y) {
      if (whole_ == nullptr) {
        whole_ = WholeFile();
      }
      whole_->ComputeRequirement();
      whole_->SetBox(box);
    } else {
      whole_ = nullptr;
    }
  }

  // The cells are built only when drawn, once the clip is known, so the
  // selection is kept until then.
  void Select(ftxui::Selection& selection) override {
    if (whole_ != nullptr) {
      whole_->Select(selection);
      return;
    }
    if (Box::Intersection(selection.GetBox(), box_).IsEmpty()) {
      return;
    }
    selection_ = Ends(selection);
  }

  void Render(ftxui::Screen& screen) override {
    if (whole_ != nullptr) {
      whole_->Render(screen);
      return;
    }
    const Box area = Box::Intersection(box_, screen.stencil);
    if (area.IsEmpty()) {
      return;
    }
    const int first = area.y_min - box_.y_min;
    const int last = std::min(area.y_max - box_.y_min + 1, requirement_.min_y);
    auto hunk = std::upper_bound(
        hunks_.begin(), hunks_.end(), first,
        [](int row, const HunkLayout& layout) { return row < layout.top; });
    if (hunk != hunks_.begin()) {
      --hunk;
    }
    for (; hunk != hunks_.end() && hunk->top - 1 < last; ++hunk) {
      if (hunk != hunks_.begin() && hunk->top - 1 >= first) {
        DrawSeparator(screen, hunk->top - 1);
      }
      const int from = std::max(first - hunk->top, 0);
      const int to = std::min(last - hunk->top, hunk->rows);
      if (from < to) {
        DrawHunk(screen, *hunk, from, to);
      }
    }
  }

 private:
  Element WholeFile() const {
    Elements hunks;
    for (const Hunk& hunk : file_.hunks) {
      if (!hunks.empty()) {
        hunks.push_back(ftxui::separator());
      }
      hunks.push_back(split_ ? RenderHunkSplit(hunk) : RenderHunkJoined(hunk));
    }
    return ftxui::vbox(std::move(hunks));
  }

  void DrawSeparator(ftxui::Screen& screen, int row) const {
    Element separator = ftxui::separator();
    separator->ComputeRequirement();
    const int y = box_.y_min + row;
    separator->SetBox({box_.x_min, box_.x_max, y, y});
    separator->Render(screen);
  }

  // Lays out the rows `from` to `to` (excluded) of a hunk where the whole
  // hunk would lie, the rows around them taken by gaps, so that every cell
  // and every column gets the box it would have in the whole tree.
  void DrawHunk(ftxui::Screen& screen,
                const HunkLayout& layout,
                int from,
                int to) const {
    from = std::min(from, layout.cell_rows);
    to = std::min(to, layout.cell_rows);
    const int below = layout.cell_rows - to;
    const NumberWidths widths = Widths(*layout.hunk);
    Columns columns;
    columns.old_numbers.push_back(MakeGap(widths.old_width, from));
    columns.new_numbers.push_back(MakeGap(widths.new_width, from));
    columns.old_texts.push_back(MakeGap(0, from));
    if (split_) {
      columns.new_texts.push_back(MakeGap(0, from));
      SplitRows(*layout.hunk, from, to, columns);
    } else {
      JoinedRows(*layout.hunk, from, to, columns);
    }
    columns.old_numbers.push_back(MakeGap(widths.old_width, below));
    columns.new_numbers.push_back(MakeGap(widths.new_width, below));
    columns.old_texts.push_back(MakeGap(0, below));
    if (split_) {
      columns.new_texts.push_back(MakeGap(0, below));
    }

    Element element;
    if (split_) {
      element = ftxui::hbox({
                    ftxui::vbox(std::move(columns.old_numbers)),
                    MakeRule(),
                    TextColumn(std::move(columns.old_texts)),
                    MakeRule(),
                    ftxui::vbox(std::move(columns.new_numbers)),
                    MakeRule(),
                    TextColumn(std::move(columns.new_texts)),
                }) |
                ftxui::xflex;
    } else {
      element = ftxui::hbox({
                    ftxui::vbox(std::move(columns.old_numbers)),
                    MakeRule(),
                    ftxui::vbox(std::move(columns.new_numbers)),
                    MakeRule(),
                    TextColumn(std::move(columns.old_texts)),
                }) |
                ftxui::xflex;
    }
    element->ComputeRequirement();
    const int y = box_.y_min + layout.top;
    element->SetBox({box_.x_min, box_.x_max, y, y + layout.rows - 1});
    if (selection_.has_value()) {
      ftxui::Selection selection(selection_->x0, selection_->y0, selection_->x1,
                                 selection_->y1);
      ftxui::Selection in_file = selection.SaturateVertical(box_);
      element->Select(in_file);
    }
    element->Render(screen);
  }

  const File& file_;
  const bool split_;
  std::vector<HunkLayout> hunks_;
  // The whole element tree, while the box is too short for the file.
  Element whole_;
  std::optional<SelectionEnds> selection_;
};

}  // namespace

std::vector<int> SplitRowCounts(const File& file) {
  std::vector<int> counts;
  counts.reserve(file.hunks.size());
  for (const Hunk& hunk : file.hunks) {
    counts.push_back(SplitRowCount(hunk));
  }
  return counts;
}

Element LazyFile(const File& file,
                 bool split,
                 const std::vector<int>* split_rows) {
  return std::make_shared<LazyFileNode>(file, split, split_rows);
}

}  // namespace plimsy
