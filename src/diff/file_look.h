#ifndef PLIMSY_DIFF_FILE_LOOK_H_
#define PLIMSY_DIFF_FILE_LOOK_H_

#include "diff/diff.h"
#include "diff/render.h"
#include "diff/render_cache.h"
#include "diff/text_cell.h"

// What every row of a file is drawn with, found once for the file from
// the options it is rendered with.
namespace plimsy {

// What the hunks of one file are drawn with.
struct FileLook {
  // Widths of the two number columns.
  int old_width = 1;
  int new_width = 1;
  TextOptions text;
  // Changed words found so far, or null.
  RenderCache* cache = nullptr;
};

// The look that RenderFile draws `file` with.
FileLook LookOf(const File& file, const RenderOptions& options);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_FILE_LOOK_H_
