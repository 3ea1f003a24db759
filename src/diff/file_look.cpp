#include "diff/file_look.h"

#include "diff/measures.h"

namespace plimsy {

FileLook LookOf(const File& file, const RenderOptions& options) {
  FileLook look;
  NumberWidths widths;
  if (options.cache != nullptr) {
    RenderCache::Parts& parts = options.cache->parts();
    if (!parts.widths.has_value()) {
      parts.widths = FileNumberWidths(file);
    }
    widths = *parts.widths;
    look.text.layouts = &parts.layouts;
  } else {
    widths = FileNumberWidths(file);
  }
  look.old_width = widths.old_width;
  look.new_width = widths.new_width;
  if (options.view != nullptr) {
    look.text.column = options.view->column;
    look.text.wrap = options.view->wrap;
    look.text.column_limit = &options.view->column_limit;
    look.text.highlight = options.view->highlight.get();
  }
  look.cache = options.cache;
  return look;
}

}  // namespace plimsy
