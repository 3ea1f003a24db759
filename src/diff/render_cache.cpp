#include "diff/render_cache.h"

namespace plimsy {

RenderCache::RenderCache() : parts_(std::make_unique<Parts>()) {}
RenderCache::~RenderCache() = default;
RenderCache::RenderCache(RenderCache&&) noexcept = default;
RenderCache& RenderCache::operator=(RenderCache&&) noexcept = default;

RenderCache::Parts& RenderCache::parts() {
  return *parts_;
}

const std::vector<Block>* BlocksOf(const Hunk& hunk, RenderCache* cache) {
  // Shorter hunks are read faster than their blocks are looked up.
  constexpr size_t kLongHunk = 1024;
  if (cache == nullptr || hunk.lines.size() < kLongHunk) {
    return nullptr;
  }
  auto& blocks = cache->parts().blocks;
  auto it = blocks.find(&hunk);
  if (it == blocks.end()) {
    it = blocks.emplace(&hunk, Blocks(hunk)).first;
  }
  return &it->second;
}

std::shared_ptr<const WrappedRows> KeptWrap(const File& file,
                                            bool split,
                                            std::pair<int, int> widths,
                                            RenderCache* cache) {
  std::shared_ptr<const WrappedRows> kept;
  if (cache != nullptr) {
    kept = cache->parts().wrapped;
  }
  if (kept != nullptr && kept->split == split &&
      kept->old_width == widths.first && kept->new_width == widths.second) {
    return kept;
  }
  kept = std::make_shared<const WrappedRows>(
      WrapFile(file, split, widths.first, widths.second,
               cache != nullptr ? &cache->parts().layouts : nullptr));
  if (cache != nullptr) {
    cache->parts().wrapped = kept;
  }
  return kept;
}

std::shared_ptr<const WordChanges> WordsOf(const Line& deleted,
                                           const Line& added,
                                           RenderCache* cache) {
  if (cache == nullptr) {
    return std::make_shared<const WordChanges>(
        ChangedWords(deleted.text(), added.text()));
  }
  RenderCache::Parts& parts = cache->parts();
  // Lines scrolled past long ago are the ones forgotten; what is in view is
  // found again within the frame.
  constexpr size_t kMostPairs = 1 << 16;
  if (parts.word_count >= kMostPairs) {
    parts.words.clear();
    parts.word_count = 0;
  }
  std::shared_ptr<const WordChanges>& words = parts.words[&deleted][&added];
  if (words == nullptr) {
    words = std::make_shared<const WordChanges>(
        ChangedWords(deleted.text(), added.text()));
    ++parts.word_count;
  }
  return words;
}

}  // namespace plimsy
