#include "diff/measures.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace plimsy {

namespace {

// Width of the decimal text of `number`.
int NumberWidth(int64_t number) {
  int width = number < 0 ? 2 : 1;
  for (int64_t rest = number < 0 ? -number : number; rest >= 10; rest /= 10) {
    ++width;
  }
  return width;
}

// The widest of the numbers `first` .., `count` of them; numbers are widest
// at one end of a run, and "~" takes one cell.
int RunWidth(int64_t first, int64_t count) {
  if (count == 0) {
    return 1;
  }
  return std::max(NumberWidth(first), NumberWidth(first + count - 1));
}

// The width of the column that numbers the lines of every kind but
// `skipped`, if it can be wider than `widest`. Reading lines is what
// measuring costs, so they are counted only then.
int ColumnWidth(const std::vector<Line>& lines,
                int64_t first,
                LineKind skipped,
                int widest) {
  const auto rows = static_cast<int64_t>(lines.size());
  if (RunWidth(first, rows) <= widest) {
    return widest;
  }
  const auto count = std::count_if(
      lines.begin(), lines.end(),
      [skipped](const Line& line) { return line.kind != skipped; });
  return std::max(widest, RunWidth(first, count));
}

// Without kept split-layout row counts, every hunk's lines are read on every
// frame. The hunks' lines lie apart in memory: asking early for those of a
// hunk a few hunks ahead lets the memory fetch them while the hunks before
// it are counted.
void PrefetchLines(const Hunk& hunk) {
  constexpr size_t kBytes = 4096;
  const char* const data = reinterpret_cast<const char*>(hunk.lines.data());
  const size_t size = std::min(hunk.lines.size() * sizeof(Line), kBytes);
  for (size_t offset = 0; offset < size; offset += 64) {
    __builtin_prefetch(data + offset);
  }
}
constexpr size_t kPrefetchDistance = 8;

}  // namespace

NumberWidths FileNumberWidths(const File& file) {
  NumberWidths widths;
  for (const Hunk& hunk : file.hunks) {
    widths.old_width = ColumnWidth(hunk.lines, hunk.old_start, LineKind::kAdded,
                                   widths.old_width);
    widths.new_width = ColumnWidth(hunk.lines, hunk.new_start,
                                   LineKind::kDeleted, widths.new_width);
  }
  return widths;
}

int64_t EntryRows(const Entry& entry,
                  bool split,
                  int old_width,
                  int new_width,
                  TextLayouts* layouts) {
  // A side shows a line, git's marker, or nothing.
  const auto text = [](const Line* line, bool marker) {
    return line != nullptr ? line->text()
           : marker        ? kNoNewlineText
                           : std::string_view();
  };
  if (!split) {
    const Line* line =
        entry.old_line != nullptr ? entry.old_line : entry.new_line;
    return WrappedRowCount(text(line, true), old_width, layouts);
  }
  int64_t rows = 1;
  if (entry.old_line != nullptr || entry.old_marker) {
    rows = WrappedRowCount(text(entry.old_line, entry.old_marker), old_width,
                           layouts);
  }
  if (entry.new_line != nullptr || entry.new_marker) {
    rows =
        std::max(rows, WrappedRowCount(text(entry.new_line, entry.new_marker),
                                       new_width, layouts));
  }
  return rows;
}

WrappedRows WrapFile(const File& file,
                     bool split,
                     int old_width,
                     int new_width,
                     TextLayouts* layouts) {
  WrappedRows wrapped;
  wrapped.split = split;
  wrapped.old_width = old_width;
  wrapped.new_width = new_width;
  wrapped.ends.reserve(file.hunks.size());
  for (const Hunk& hunk : file.hunks) {
    std::vector<int64_t>& ends = wrapped.ends.emplace_back();
    Entries entries(hunk, split);
    Entry entry;
    int64_t rows = 0;
    while (entries.Next(entry)) {
      rows += EntryRows(entry, split, old_width, new_width, layouts);
      ends.push_back(rows);
    }
  }
  return wrapped;
}

int64_t RowWhenToggled(const File& file,
                       bool wrap,
                       const WrappedRows& wrapped,
                       int64_t row) {
  // Tops of the hunks as drawn now and as they will be.
  int64_t top = 0;
  int64_t top_then = 0;
  for (size_t h = 0; h < file.hunks.size(); ++h) {
    const std::vector<int64_t>& ends = wrapped.ends[h];
    const int64_t entries = static_cast<int64_t>(ends.size());
    const int64_t wrapped_rows = entries == 0 ? 0 : ends.back();
    const int64_t rows = wrap ? wrapped_rows : entries;
    const int64_t rows_then = wrap ? entries : wrapped_rows;
    if (row <= top + rows || h + 1 == file.hunks.size()) {
      if (row <= top) {
        return top_then;
      }
      const int64_t offset =
          std::min(row - top - 1, std::max<int64_t>(rows - 1, 0));
      if (entries == 0) {
        return top_then;
      }
      if (wrap) {
        // From a wrapped row to its entry.
        const int64_t entry =
            std::upper_bound(ends.begin(), ends.end(), offset) - ends.begin();
        return top_then + 1 + std::min(entry, entries - 1);
      }
      return top_then + 1 + (offset == 0 ? 0 : ends[offset - 1]);
    }
    top += 1 + rows;
    top_then += 1 + rows_then;
  }
  return row;
}

std::shared_ptr<const HunkTops> MeasureHunkTops(
    const File& file,
    bool split,
    const WrappedRows* wrapped,
    std::pair<int, int> widths,
    const std::vector<int>* split_rows) {
  auto measured = std::make_shared<HunkTops>();
  measured->split = split;
  measured->wrap = wrapped != nullptr;
  measured->widths = widths;
  const std::vector<Hunk>& hunks = file.hunks;
  std::vector<int64_t>& tops = measured->tops;
  tops.reserve(hunks.size() + 1);
  int64_t top = 0;
  for (size_t i = 0; i < hunks.size(); ++i) {
    tops.push_back(top);
    int64_t rows = 0;
    if (wrapped != nullptr) {
      const std::vector<int64_t>& ends = wrapped->ends[i];
      rows = ends.empty() ? 0 : ends.back();
    } else if (split && split_rows != nullptr) {
      rows = (*split_rows)[i];
    } else {
      if (split && i + kPrefetchDistance < hunks.size()) {
        PrefetchLines(hunks[i + kPrefetchDistance]);
      }
      rows = EntryCount(hunks[i], split);
    }
    top += 1 + rows;
  }
  tops.push_back(top);
  return measured;
}

}  // namespace plimsy
