#ifndef PLIMSY_DIFF_LAZY_FILE_H_
#define PLIMSY_DIFF_LAZY_FILE_H_

#include <ftxui/dom/elements.hpp>

#include "diff/diff.h"
#include "diff/render.h"

namespace plimsy {

// One file's hunks as an element that asks for the size of the whole file
// but builds, lays out and draws only the rows that the screen's clip lets
// through, so a frame costs the same for ten lines and for a million. It
// draws the same cells as the element tree of every row would, as far as
// the screen shows them. It refers to `file` and to what `options` points
// to, which must outlive it.
ftxui::Element LazyFile(const File& file,
                        bool split,
                        const RenderOptions& options);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_LAZY_FILE_H_
