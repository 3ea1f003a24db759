#ifndef PLIMSY_TESTS_UI_SUPPORT_H_
#define PLIMSY_TESTS_UI_SUPPORT_H_

#include <cstdint>
#include <string>
#include <vector>

#include <ftxui/component/event.hpp>
#include <ftxui/component/mouse.hpp>

#include "diff/diff.h"
#include "diff/pairing.h"

namespace plimsy::testing {

// A hunk from lines written as in a diff body: a prefix of ' ', '-' or '+',
// then the text; a line "\\" marks the line before it as ending without a
// newline.
inline Hunk MakeHunk(int32_t old_start,
                     int32_t new_start,
                     const std::vector<std::string>& lines) {
  Hunk hunk;
  hunk.old_start = old_start;
  hunk.new_start = new_start;
  for (const std::string& line : lines) {
    if (line == "\\") {
      hunk.lines.back().no_newline = true;
      continue;
    }
    const LineKind kind = line[0] == '-'   ? LineKind::kDeleted
                          : line[0] == '+' ? LineKind::kAdded
                                           : LineKind::kContext;
    hunk.AddLine(kind, std::string_view(line).substr(1));
  }
  return hunk;
}

// The split-layout row counts that a screen keeps beside `files`.
inline std::vector<std::vector<int>> SplitRowCountsOf(
    const std::vector<File>& files) {
  std::vector<std::vector<int>> counts;
  for (const File& file : files) {
    counts.push_back(SplitRowCounts(file));
  }
  return counts;
}

// A press of `button` at cell (x, y).
inline ftxui::Event MouseAt(ftxui::Mouse::Button button, int x, int y) {
  ftxui::Mouse mouse;
  mouse.button = button;
  mouse.motion = ftxui::Mouse::Pressed;
  mouse.x = x;
  mouse.y = y;
  return ftxui::Event::Mouse("", mouse);
}

}  // namespace plimsy::testing

#endif  // PLIMSY_TESTS_UI_SUPPORT_H_
