#ifndef PLIMSY_DIFF_ROW_ELEMENTS_H_
#define PLIMSY_DIFF_ROW_ELEMENTS_H_

#include <utility>

#include <ftxui/dom/elements.hpp>

#include "diff/diff.h"
#include "diff/file_look.h"
#include "diff/pairing.h"

// The elements of the rows a drawn file is made of, built one row at a
// time. A joined row is the old and new numbers, each followed by a rule,
// then the sign and the text: "12│13│ context". A split row is the old
// side, a rule, then the new side, each a number, a rule, the sign and the
// text: "12│-old text │12│+new text". A marker's row has no numbers, and
// git's words dim in the sign's and the text's places: "  │  │\\ No newline
// at end of file".
namespace plimsy {

// A hunk's dim header row.
ftxui::Element HeaderRow(const Hunk& hunk);

// The row of an entry, in either layout.
ftxui::Element JoinedRow(const Entry& entry, const FileLook& look);
ftxui::Element SplitRow(const Entry& entry, const FileLook& look);

// The widths of the text columns of a row laid out `width` cells wide.
std::pair<int, int> TextWidths(const FileLook& look, bool split, int width);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_ROW_ELEMENTS_H_
