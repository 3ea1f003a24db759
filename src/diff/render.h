#ifndef PLIMSY_DIFF_RENDER_H_
#define PLIMSY_DIFF_RENDER_H_

#include <vector>

#include <ftxui/dom/elements.hpp>

#include "diff/diff.h"

namespace plimsy {

// The rows that each hunk of `file` takes in the split layout, where the
// changed lines pair up. Kept beside a parsed diff, they spare every frame
// a pass over all of the file's lines.
std::vector<int> SplitRowCounts(const File& file);

// One file's hunks, stacked with a separator between them, in the split
// (side by side) or the joined layout. The element asks for the size of the
// whole file but builds and draws only the rows in view; it refers to
// `file`, and to `split_rows` when given, which must be
// SplitRowCounts(file); both must outlive it.
ftxui::Element RenderFile(const File& file,
                          bool split,
                          const std::vector<int>* split_rows = nullptr);

ftxui::Element RenderHunkJoined(const Hunk& hunk);
ftxui::Element RenderHunkSplit(const Hunk& hunk);

// Pads the shorter side of the split layout with blank rows, whose number
// cell shows a dimmed "~", until both sides are equally long.
void BalanceSides(ftxui::Elements& old_numbers,
                  ftxui::Elements& old_texts,
                  ftxui::Elements& new_numbers,
                  ftxui::Elements& new_texts);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_RENDER_H_
