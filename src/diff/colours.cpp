#include "diff/colours.h"

namespace plimsy {

using ftxui::Color;

// Made once: a colour given in RGB is matched to the terminal's palette when
// it is made, which costs more than drawing a row.
const TextStyle& StyleOf(LineKind kind) {
  static const TextStyle context;
  static const TextStyle deleted = [] {
    TextStyle style;
    style.foreground = Color::RGB(255, 200, 200);
    style.background = Color::RGB(128, 0, 0);
    style.changed_foreground = Color::RGB(255, 255, 255);
    style.changed_background = Color::RGB(200, 40, 40);
    return style;
  }();
  static const TextStyle added = [] {
    TextStyle style;
    style.foreground = Color::RGB(200, 255, 200);
    style.background = Color::RGB(0, 128, 0);
    style.changed_foreground = Color::RGB(0, 0, 0);
    style.changed_background = Color::RGB(80, 200, 80);
    return style;
  }();
  switch (kind) {
    case LineKind::kDeleted:
      return deleted;
    case LineKind::kAdded:
      return added;
    case LineKind::kContext:
      break;
  }
  return context;
}

const TextStyle& DimStyle() {
  static const TextStyle header = [] {
    TextStyle style;
    style.dim = true;
    return style;
  }();
  return header;
}

}  // namespace plimsy
