#include "diff/render.h"

#include <utility>

#include "diff/lazy_file.h"
#include "diff/rows.h"

namespace plimsy {

using ftxui::Element;

RenderCache::RenderCache() : parts_(std::make_unique<Parts>()) {}
RenderCache::~RenderCache() = default;
RenderCache::RenderCache(RenderCache&&) noexcept = default;
RenderCache& RenderCache::operator=(RenderCache&&) noexcept = default;

RenderCache::Parts& RenderCache::parts() {
  return *parts_;
}

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

Element RenderFile(const File& file, bool split, const RenderOptions& options) {
  return LazyFile(file, split, options);
}

Element RenderFile(const File& file,
                   bool split,
                   const std::vector<int>* split_rows) {
  RenderOptions options;
  options.split_rows = split_rows;
  return LazyFile(file, split, options);
}

}  // namespace plimsy
