#include "ui/glyphs.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <memory>

#include <ftxui/screen/string.hpp>

namespace plimsy {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// What one step of decoding found at the current position.
struct Step {
  // Bytes consumed.
  size_t length = 1;
  // The bytes are a complete, valid sequence.
  bool valid = false;
  // The sequence encodes a control character (C0, DEL or C1).
  bool control = false;
  uint32_t code_point = 0;
};

bool InRange(uint8_t byte, uint8_t low, uint8_t high) {
  return byte >= low && byte <= high;
}

// Decodes the sequence starting at `bytes[i]`. An invalid sequence ends
// before the first byte that cannot continue it, so each maximal invalid
// subpart takes exactly one step.
Step Decode(std::string_view bytes, size_t i) {
  const auto lead = static_cast<uint8_t>(bytes[i]);
  if (lead < 0x80) {
    return {1, true, lead < 0x20 || lead == 0x7F, lead};
  }
  size_t needed = 0;
  // The range the first continuation byte must lie in; later ones are
  // always 80..BF.
  uint8_t low = 0x80;
  uint8_t high = 0xBF;
  uint32_t code_point = 0;
  if (InRange(lead, 0xC2, 0xDF)) {
    needed = 1;
    code_point = lead & 0x1F;
  } else if (lead == 0xE0) {
    needed = 2;
    low = 0xA0;
    code_point = lead & 0x0F;
  } else if (lead == 0xED) {
    needed = 2;
    high = 0x9F;
    code_point = lead & 0x0F;
  } else if (InRange(lead, 0xE1, 0xEF)) {
    needed = 2;
    code_point = lead & 0x0F;
  } else if (lead == 0xF0) {
    needed = 3;
    low = 0x90;
    code_point = lead & 0x07;
  } else if (lead == 0xF4) {
    needed = 3;
    high = 0x8F;
    code_point = lead & 0x07;
  } else if (InRange(lead, 0xF1, 0xF3)) {
    needed = 3;
    code_point = lead & 0x07;
  } else {
    return {1, false, false, 0};
  }
  size_t length = 1;
  for (size_t k = 0; k < needed; ++k, ++length) {
    if (i + length >= bytes.size()) {
      return {length, false, false, 0};
    }
    const auto next = static_cast<uint8_t>(bytes[i + length]);
    if (!InRange(next, k == 0 ? low : 0x80, k == 0 ? high : 0xBF)) {
      return {length, false, false, 0};
    }
    code_point = (code_point << 6) | (next & 0x3F);
  }
  return {length, true, code_point <= 0x9F, code_point};
}

std::string Utf8(uint32_t code_point) {
  std::string out;
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code_point >> 18));
    out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
  return out;
}

// The cells that the library's layout gives a code point: 0 for a
// combining mark, which it puts in the cell of the character before, 1,
// or 2. Asked of the library itself, a page of 256 code points at a time,
// so that the two can never disagree.
int LayoutWidth(uint32_t code_point) {
  static std::array<std::unique_ptr<uint8_t[]>, 0x1100> pages;
  std::unique_ptr<uint8_t[]>& page = pages[code_point >> 8];
  if (page == nullptr) {
    page = std::make_unique<uint8_t[]>(256);
    const uint32_t first = code_point & ~0xFFu;
    for (uint32_t i = 0; i < 256; ++i) {
      page[i] = static_cast<uint8_t>(ftxui::string_width(Utf8(first + i)));
    }
  }
  return page[code_point & 0xFF];
}

struct Range {
  uint32_t first;
  uint32_t last;
};

// Characters that the library lays out in a cell of their own but that
// terminals draw in none (zero-width, format and bidirectional controls,
// line and paragraph separators, Hangul vowel and final jamo, combining
// marks newer than the library's tables), and two that take their cells
// but hide in a word: the zero-width non-joiner and the soft hyphen, which
// terminals disagree about.
constexpr Range kInvisible[] = {
    {0x00AD, 0x00AD},   {0x061C, 0x061C},   {0x0898, 0x089F},
    {0x08CA, 0x08D2},   {0x0C3C, 0x0C3C},   {0x1160, 0x11FF},
    {0x180E, 0x180F},   {0x1AC1, 0x1ACE},   {0x1DFA, 0x1DFA},
    {0x200B, 0x200F},   {0x2028, 0x202E},   {0x2060, 0x2064},
    {0x2066, 0x206F},   {0xD7B0, 0xD7FF},   {0xFEFF, 0xFEFF},
    {0xFFF9, 0xFFFB},   {0x10F82, 0x10F85}, {0x11070, 0x11070},
    {0x11073, 0x11074}, {0x110C2, 0x110C2}, {0x13430, 0x1343F},
    {0x1BCA0, 0x1BCA3}, {0x1CF00, 0x1CF2D}, {0x1CF30, 0x1CF46},
    {0x1D173, 0x1D17A}, {0x1E2AE, 0x1E2AE}, {0xE0001, 0xE0001},
};

bool Invisible(uint32_t code_point) {
  if (code_point < kInvisible[0].first) {
    return false;
  }
  const Range* range =
      std::upper_bound(std::begin(kInvisible), std::end(kInvisible), code_point,
                       [](uint32_t c, const Range& r) { return c < r.first; });
  return code_point <= (range - 1)->last;
}

// Conjoining Hangul jamo that compose into a precomposed syllable.
constexpr uint32_t kLeadFirst = 0x1100;
constexpr uint32_t kLeadLast = 0x1112;
constexpr uint32_t kVowelFirst = 0x1161;
constexpr uint32_t kVowelLast = 0x1175;
constexpr uint32_t kTrailFirst = 0x11A8;
constexpr uint32_t kTrailLast = 0x11C2;
constexpr uint32_t kSyllableFirst = 0xAC00;
constexpr uint32_t kSyllableLast = 0xD7A3;
constexpr uint32_t kTrailCount = 28;
constexpr uint32_t kVowelCount = 21;

bool IsTrail(uint32_t code_point) {
  return code_point >= kTrailFirst && code_point <= kTrailLast;
}

std::string StandIn(uint32_t code_point) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string digits;
  for (uint32_t rest = code_point; rest != 0 || digits.size() < 4; rest >>= 4) {
    digits.insert(digits.begin(), kHex[rest & 0xF]);
  }
  return "<U+" + digits + ">";
}

bool IsPrintableAscii(char byte) {
  return byte >= 0x20 && byte < 0x7F;
}

}  // namespace

GlyphReader::GlyphReader(std::string_view bytes) : bytes_(bytes) {}

GlyphReader::GlyphReader(std::string_view bytes, size_t offset, int64_t column)
    : bytes_(bytes), pos_(offset), column_(column) {}

bool GlyphReader::AtCheckpoint() const {
  if (pending_next_ < pending_.size()) {
    return false;
  }
  if (pos_ >= bytes_.size() || IsPrintableAscii(bytes_[pos_]) ||
      bytes_[pos_] == '\t') {
    return true;
  }
  const Step step = Decode(bytes_, pos_);
  return !step.valid || (!step.control && (LayoutWidth(step.code_point) != 0 ||
                                           Invisible(step.code_point)));
}

int64_t GlyphReader::SkipAscii(int64_t count) {
  if (count <= 0 || pending_next_ < pending_.size()) {
    return 0;
  }
  const size_t begin = pos_;
  const size_t end =
      pos_ + static_cast<size_t>(std::min<int64_t>(
                 count, static_cast<int64_t>(bytes_.size() - pos_)));
  while (pos_ < end && IsPrintableAscii(bytes_[pos_])) {
    ++pos_;
  }
  column_ += static_cast<int64_t>(pos_ - begin);
  return static_cast<int64_t>(pos_ - begin);
}

void GlyphReader::StartPending(std::string text, bool stand_in, size_t start) {
  pending_ = std::move(text);
  pending_next_ = 0;
  pending_stand_in_ = stand_in;
  pending_offset_ = start;
}

void GlyphReader::NextPending(Glyph& glyph) {
  const size_t i = pending_next_++;
  const std::string_view character(&pending_[i], 1);
  glyph.stand_in = pending_stand_in_;
  if (pending_next_ < pending_.size()) {
    glyph.text = character;
    glyph.width = 1;
    glyph.offset = pending_offset_;
    ++column_;
    return;
  }
  Finish(glyph, character, pending_offset_, 1);
  glyph.stand_in = pending_stand_in_;
}

void GlyphReader::Finish(Glyph& glyph,
                         std::string_view base,
                         size_t start,
                         int width) {
  glyph.width = width;
  glyph.offset = start;
  glyph.stand_in = false;
  column_ += width;
  // Combining marks join the glyph. Controls are dropped wherever they
  // are, so the marks after one still join it.
  std::string marks;
  bool gap = false;
  bool dropped = false;
  size_t scan = pos_;
  while (scan < bytes_.size() && !IsPrintableAscii(bytes_[scan]) &&
         bytes_[scan] != '\t') {
    const Step step = Decode(bytes_, scan);
    if (!step.valid) {
      break;
    }
    if (step.control) {
      dropped = true;
      scan += step.length;
      continue;
    }
    if (LayoutWidth(step.code_point) != 0 || Invisible(step.code_point)) {
      break;
    }
    marks.append(bytes_.substr(scan, step.length));
    scan += step.length;
    pos_ = scan;
    gap = gap || dropped;
  }
  const bool slice = base.data() == bytes_.data() + start;
  if (slice && !gap) {
    glyph.text = bytes_.substr(start, pos_ - start);
    return;
  }
  owned_.assign(base);
  owned_ += marks;
  glyph.text = owned_;
}

bool GlyphReader::Next(Glyph& glyph) {
  if (pending_next_ < pending_.size()) {
    NextPending(glyph);
    return true;
  }
  while (pos_ < bytes_.size()) {
    const size_t start = pos_;
    if (IsPrintableAscii(bytes_[pos_])) {
      ++pos_;
      Finish(glyph, bytes_.substr(start, 1), start, 1);
      return true;
    }
    const Step step = Decode(bytes_, pos_);
    pos_ += step.length;
    if (!step.valid) {
      Finish(glyph, kReplacement, start, 1);
      return true;
    }
    if (step.control) {
      if (bytes_[start] == '\t') {
        StartPending(std::string(kTabWidth - column_ % kTabWidth, ' '), false,
                     start);
        NextPending(glyph);
        return true;
      }
      continue;
    }
    uint32_t code_point = step.code_point;
    // A leading jamo and a vowel, or a syllable without a final and a
    // final, compose into one syllable as terminals draw them.
    bool composed = false;
    if (pos_ < bytes_.size()) {
      const Step next = Decode(bytes_, pos_);
      if (code_point >= kLeadFirst && code_point <= kLeadLast && next.valid &&
          next.code_point >= kVowelFirst && next.code_point <= kVowelLast) {
        code_point = kSyllableFirst + ((code_point - kLeadFirst) * kVowelCount +
                                       (next.code_point - kVowelFirst)) *
                                          kTrailCount;
        pos_ += next.length;
        composed = true;
      }
    }
    if ((composed ||
         (code_point >= kSyllableFirst && code_point <= kSyllableLast &&
          (code_point - kSyllableFirst) % kTrailCount == 0)) &&
        pos_ < bytes_.size()) {
      const Step next = Decode(bytes_, pos_);
      if (next.valid && IsTrail(next.code_point)) {
        code_point += next.code_point - (kTrailFirst - 1);
        pos_ += next.length;
        composed = true;
      }
    }
    if (composed) {
      std::string syllable = Utf8(code_point);
      Finish(glyph, "", start, 0);
      // Finish took the marks after the syllable; put the syllable first.
      owned_ = syllable + std::string(glyph.text);
      glyph.text = owned_;
      glyph.width = 2;
      column_ += 2;
      return true;
    }
    if (Invisible(code_point)) {
      StartPending(StandIn(code_point), true, start);
      NextPending(glyph);
      return true;
    }
    const int width = LayoutWidth(code_point);
    if (width == 0) {
      // A combining mark with no glyph before it to join.
      continue;
    }
    Finish(glyph, bytes_.substr(start, step.length), start, width);
    return true;
  }
  return false;
}

}  // namespace plimsy
