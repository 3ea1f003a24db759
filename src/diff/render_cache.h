#ifndef PLIMSY_DIFF_RENDER_CACHE_H_
#define PLIMSY_DIFF_RENDER_CACHE_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "diff/diff.h"
#include "diff/measures.h"
#include "diff/pairing.h"
#include "diff/text_layout.h"
#include "diff/word_diff.h"

// What the drawing of a file keeps between frames, and the look-ups that
// find a part there or make it and keep it.
namespace plimsy {

// What drawing one file learns and keeps from frame to frame: the widths of
// its number columns, the changed words of the line pairs drawn so far, the
// layouts of its long lines and, while wrapping, the rows every line takes.
// Made empty beside each parsed file, it must go with the file: it refers
// to the file's lines.
class RenderCache {
 public:
  RenderCache();
  ~RenderCache();
  RenderCache(RenderCache&&) noexcept;
  RenderCache& operator=(RenderCache&&) noexcept;

  struct Parts;
  Parts& parts();

 private:
  std::unique_ptr<Parts> parts_;
};

struct RenderCache::Parts {
  std::optional<NumberWidths> widths;
  std::unordered_map<
      const Line*,
      std::unordered_map<const Line*, std::shared_ptr<const WordChanges>>>
      words;
  size_t word_count = 0;
  TextLayouts layouts;
  std::shared_ptr<const WrappedRows> wrapped;
  std::shared_ptr<const HunkTops> tops;
  // Blocks of the long hunks drawn so far.
  std::unordered_map<const Hunk*, std::vector<Block>> blocks;
  // The widths of the text columns at the last frame, for counting wrapped
  // rows before the layout gives the widths again.
  int old_text_width = 0;
  int new_text_width = 0;
  // Lives as long as the cache: what the drawing hands out for later use
  // holds it weakly, to know that the cache and its file are still there.
  std::shared_ptr<int> alive = std::make_shared<int>(0);
};

// Blocks(hunk) when the hunk is long enough for them to spare work, kept in
// the cache; null otherwise.
const std::vector<Block>* BlocksOf(const Hunk& hunk, RenderCache* cache);

// The changed words of a deleted line and the added line it pairs with.
std::shared_ptr<const WordChanges> WordsOf(const Line& deleted,
                                           const Line& added,
                                           RenderCache* cache);

// The rows every entry of `file` takes wrapped at the given text widths,
// kept in `cache` when there is one.
std::shared_ptr<const WrappedRows> KeptWrap(const File& file,
                                            bool split,
                                            std::pair<int, int> widths,
                                            RenderCache* cache);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_RENDER_CACHE_H_
