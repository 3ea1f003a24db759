#include "ui/display_text.h"

#include "ui/glyphs.h"

namespace plimsy {

std::string DisplayText(std::string_view bytes) {
  size_t plain = 0;
  while (plain < bytes.size() && bytes[plain] >= 0x20 && bytes[plain] < 0x7F) {
    ++plain;
  }
  if (plain == bytes.size()) {
    return std::string(bytes);
  }
  // The last plain character may take the combining marks that follow it.
  const size_t resume = plain == 0 ? 0 : plain - 1;
  std::string out;
  out.reserve(bytes.size() + 16);
  out.append(bytes.substr(0, resume));
  GlyphReader reader(bytes, resume, static_cast<int64_t>(resume));
  Glyph glyph;
  while (reader.Next(glyph)) {
    out.append(glyph.text);
  }
  return out;
}

}  // namespace plimsy
