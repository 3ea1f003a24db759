#ifndef PLIMSY_TESTS_WHOLE_FILE_RENDER_H_
#define PLIMSY_TESTS_WHOLE_FILE_RENDER_H_

#include <ftxui/dom/elements.hpp>

#include "diff/diff.h"
#include "diff/file_look.h"

// The reference that RenderFile is checked against: a file drawn the plain
// way, every row of every hunk built and laid out by the library.
namespace plimsy::testing {

// The whole file as one element tree: each hunk's header row, then one row
// per line (joined) or per pair of lines (split), drawing what RenderFile
// draws.
ftxui::Element RenderWholeFile(const File& file,
                               bool split,
                               const FileLook& look);

}  // namespace plimsy::testing

#endif  // PLIMSY_TESTS_WHOLE_FILE_RENDER_H_
