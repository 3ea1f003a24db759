#ifndef PLIMSY_DIFF_CELLS_H_
#define PLIMSY_DIFF_CELLS_H_

#include <cstdint>

#include <ftxui/dom/elements.hpp>

#include "diff/diff.h"

// The cells of fixed width that a drawn row is made of beside its texts:
// line numbers, signs and rules. They stand as tall as their row, which a
// wrapped line makes as tall as it needs: the number and sign show in its
// first row, rules and colours go all the way down.
namespace plimsy {

// A line number, left-aligned in a column of `width` cells.
ftxui::Element NumberCell(int64_t number, int width);

// The dimmed "~" that stands where a side has no line number.
ftxui::Element PlaceholderCell(int width);

// The one-cell "-", "+" or blank before a line's text, in its colours.
ftxui::Element SignCell(LineKind kind);

// The blank sign cell of a side without a line.
ftxui::Element EmptySignCell();

// A blank cell of `width`, where a marker's row has no line number.
ftxui::Element BlankCell(int width);

// The dim "\\" that stands in the sign's place before git's marker.
ftxui::Element MarkerSignCell();

// The one-cell rule between two columns.
ftxui::Element RuleCell();

}  // namespace plimsy

#endif  // PLIMSY_DIFF_CELLS_H_
