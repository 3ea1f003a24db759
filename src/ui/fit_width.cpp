#include "ui/fit_width.h"

#include <ftxui/screen/string.hpp>

namespace plimsy {

std::string FitWidth(const std::string& text, int width) {
  if (ftxui::string_width(text) <= width) {
    return text;
  }
  std::string fitted;
  int used = 0;
  for (const std::string& glyph : ftxui::Utf8ToGlyphs(text)) {
    int glyph_width = ftxui::string_width(glyph);
    if (used + glyph_width > width - 1) {
      break;
    }
    fitted += glyph;
    used += glyph_width;
  }
  return width > 0 ? fitted + "…" : fitted;
}

}  // namespace plimsy
