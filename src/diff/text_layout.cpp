#include "diff/text_layout.h"

#include <cstring>

namespace plimsy {

namespace {

// Texts are read from a checkpoint at most this many bytes before what is
// drawn; shorter texts are laid out anew each time they are drawn.
constexpr size_t kCheckpointBytes = 4096;

// Whether `text` is printable ASCII only, eight bytes at a time: a long
// line is read whole when it is first drawn.
bool IsPlain(std::string_view text) {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHighs = 0x8080808080808080ull;
  // A high bit marks a byte of 0x80 or more, a byte below 0x20, or a DEL.
  uint64_t other = 0;
  size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word = 0;
    std::memcpy(&word, text.data() + i, 8);
    const uint64_t del = word ^ (0x7F * kOnes);
    other |= word | ((word - 0x20 * kOnes) & ~word) | ((del - kOnes) & ~del);
  }
  for (; i < text.size(); ++i) {
    other |= static_cast<uint8_t>(text[i] - 0x20) > 0x5E ? kHighs : 0;
  }
  return (other & kHighs) == 0;
}

}  // namespace

TextLayout LayOut(std::string_view text, int width) {
  TextLayout layout;
  layout.checkpoints.push_back({});
  if (IsPlain(text)) {
    const auto size = static_cast<int64_t>(text.size());
    layout.plain = true;
    layout.columns = size;
    layout.rows = width <= 0 || size == 0 ? 1 : (size + width - 1) / width;
    return layout;
  }
  GlyphReader reader(text);
  GlyphPlacer placer(width, 0, 0);
  size_t next_checkpoint = kCheckpointBytes;
  Glyph glyph;
  while (true) {
    if (reader.offset() >= next_checkpoint && reader.AtCheckpoint()) {
      layout.checkpoints.push_back(placer.Checkpoint(reader));
      next_checkpoint = reader.offset() + kCheckpointBytes;
    }
    const int64_t skipped = reader.SkipAscii(static_cast<int64_t>(
        std::max(next_checkpoint, reader.offset() + 1) - reader.offset()));
    if (skipped > 0) {
      placer.PlaceNarrow(skipped);
      continue;
    }
    if (!reader.Next(glyph)) {
      break;
    }
    placer.Place(glyph.width);
  }
  layout.columns = reader.column();
  layout.rows = placer.row() + 1;
  return layout;
}

const TextLayout& TextLayouts::Get(std::string_view text, int width) {
  if (text.size() < kCheckpointBytes) {
    scratch_ = LayOut(text, width);
    return scratch_;
  }
  const auto key = std::make_pair(text.data(), width);
  auto it = layouts_.find(key);
  // Each width the pane has had keeps its own layouts; a pane resized again
  // and again starts afresh.
  constexpr size_t kMostLayouts = 256;
  if (it == layouts_.end() && layouts_.size() >= kMostLayouts) {
    layouts_.clear();
  }
  if (it == layouts_.end()) {
    it = layouts_.emplace(key, LayOut(text, width)).first;
  }
  return it->second;
}

int64_t WrappedRowCount(std::string_view text,
                        int width,
                        TextLayouts* layouts) {
  if (width <= 0) {
    return 1;
  }
  if (text.size() < kCheckpointBytes && IsPlain(text)) {
    return text.empty()
               ? 1
               : (static_cast<int64_t>(text.size()) + width - 1) / width;
  }
  if (layouts != nullptr) {
    return layouts->Get(text, width).rows;
  }
  return LayOut(text, width).rows;
}

}  // namespace plimsy
