#ifndef PLIMSY_DIFF_RENDER_H_
#define PLIMSY_DIFF_RENDER_H_

#include <ftxui/dom/elements.hpp>

#include "diff/diff.h"

namespace plimsy {

// One file's hunks, stacked with a separator between them, in the split
// (side by side) or the joined layout. The element asks for the size of the
// whole file but builds and draws only the rows in view; it refers to
// `file`, which must outlive it.
ftxui::Element RenderFile(const File& file, bool split);

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
