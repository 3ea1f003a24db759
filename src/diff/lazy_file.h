#ifndef PLIMSY_DIFF_LAZY_FILE_H_
#define PLIMSY_DIFF_LAZY_FILE_H_

#include <vector>

#include <ftxui/dom/elements.hpp>

#include "diff/diff.h"

namespace plimsy {

// One file's hunks as an element that asks for the size of the whole file
// but builds, lays out and draws only the rows that the screen's clip lets
// through, so a frame costs the same for ten lines and for a million. It
// draws the same cells as the element tree of RenderHunkJoined or
// RenderHunkSplit stacked with separators. It refers to `file`, which must
// outlive it. `split_rows`, when given, holds SplitRowCounts(file).
ftxui::Element LazyFile(const File& file,
                        bool split,
                        const std::vector<int>* split_rows);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_LAZY_FILE_H_
