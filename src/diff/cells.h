#ifndef PLIMSY_DIFF_CELLS_H_
#define PLIMSY_DIFF_CELLS_H_

#include <cstdint>

#include <ftxui/dom/elements.hpp>

#include "diff/diff.h"

// The cells that a rendered hunk is made of, shared by the element that
// holds a whole hunk and the one that holds only the rows in view.
namespace plimsy {

// A line number: plain decimal, left-aligned in its column.
ftxui::Element NumberCell(int64_t number);

// The dimmed "~" that stands where a side has no line number.
ftxui::Element PlaceholderCell();

// A line's text, coloured by its kind.
ftxui::Element LineCell(const Line& line);

// A text column asks for 800 cells, and xflex then lets it grow or shrink,
// so the text columns share whatever width the number columns leave.
ftxui::Element TextColumn(ftxui::Elements cells);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_CELLS_H_
