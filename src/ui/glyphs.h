#ifndef PLIMSY_UI_GLYPHS_H_
#define PLIMSY_UI_GLYPHS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plimsy {

// Tabs stop at every 8th column, counted from the start of the text.
inline constexpr int kTabWidth = 8;

// One glyph of a text as the screen draws it.
struct Glyph {
  // What its first cell holds: a character and the combining marks on it.
  // Valid until the reader moves on.
  std::string_view text;
  // Cells taken: 1, or 2 for a wide character, whose second cell is empty.
  int width = 1;
  // One character of the "<U+XXXX>" that stands for a character the
  // terminal would not draw where the screen's layout puts it.
  bool stand_in = false;
  // Where the bytes it comes from start in the text.
  size_t offset = 0;
};

// Reads bytes that git printed as the glyphs that are safe to draw and take
// exactly the cells the terminal gives them:
// - an invalid UTF-8 sequence (each maximal invalid subpart) becomes U+FFFD;
// - control characters (C0, DEL, C1) are dropped, except the tab, which
//   becomes blanks up to the next tab stop;
// - characters that the layout gives a cell but terminals draw in none
//   (zero-width and format characters such as U+200B, the bidirectional
//   controls, U+FEFF, U+2028) show as a visible "<U+XXXX>", so that nothing
//   shifts and nothing hides;
// - conjoining Hangul jamo are composed into their syllable where they make
//   one, otherwise shown as "<U+XXXX>" too;
// - combining marks join the glyph before them (and are dropped at the
//   start, where there is none).
class GlyphReader {
 public:
  explicit GlyphReader(std::string_view bytes);
  // Resumes reading at `offset`, where the glyphs before take `column`
  // columns; `offset` must be a place where AtCheckpoint() held.
  GlyphReader(std::string_view bytes, size_t offset, int64_t column);

  // The next glyph; false at the end of the text.
  bool Next(Glyph& glyph);

  // Skips up to `count` columns of printable ASCII, without reading them as
  // glyphs; returns the columns skipped.
  int64_t SkipAscii(int64_t count);

  // Where the next glyph's bytes start.
  size_t offset() const { return pos_; }
  // Columns taken by the glyphs read or skipped so far.
  int64_t column() const { return column_; }
  // Whether reading can resume here: no tab or stand-in is half read and
  // nothing that follows can join the glyph before.
  bool AtCheckpoint() const;

 private:
  // Completes a glyph whose first character is `base`, which started at
  // byte `start`, by taking in the combining marks that follow it.
  void Finish(Glyph& glyph, std::string_view base, size_t start, int width);
  void StartPending(std::string text, bool stand_in, size_t start);
  void NextPending(Glyph& glyph);

  std::string_view bytes_;
  size_t pos_ = 0;
  int64_t column_ = 0;
  // Blanks of a tab or characters of a stand-in, handed out one a glyph.
  std::string pending_;
  size_t pending_next_ = 0;
  bool pending_stand_in_ = false;
  size_t pending_offset_ = 0;
  // A glyph's text when it is not a plain slice of the bytes.
  std::string owned_;
};

}  // namespace plimsy

#endif  // PLIMSY_UI_GLYPHS_H_
