#include "diff/render.h"

#include "diff/lazy_file.h"

namespace plimsy {

using ftxui::Element;

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
