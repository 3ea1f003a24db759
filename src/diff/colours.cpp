#include "diff/colours.h"

namespace plimsy {
namespace {

using ftxui::Color;

constexpr DiffScheme kDarkScheme = {
    .deleted = {.text = {255, 200, 200, 224},
                .background = {74, 30, 34, 52},
                .changed_text = {255, 255, 255, 231},
                .changed_background = {160, 32, 40, 124}},
    .added = {.text = {200, 255, 200, 194},
              .background = {29, 59, 37, 22},
              .changed_text = {255, 255, 255, 231},
              .changed_background = {0, 128, 0, 28}},
    .number = {154, 154, 154, 246},
};

constexpr DiffScheme kLightScheme = {
    .deleted = {.text = {31, 31, 31, 235},
                .background = {255, 227, 227, 224},
                .changed_text = {0, 0, 0, 16},
                .changed_background = {255, 160, 160, 210}},
    .added = {.text = {31, 31, 31, 235},
              .background = {221, 244, 221, 194},
              .changed_text = {0, 0, 0, 16},
              .changed_background = {140, 210, 140, 114}},
    .number = {106, 106, 106, 241},
};

// The styles every cell refers to; they change only between frames.
struct Styles {
  TextStyle context;
  TextStyle deleted;
  TextStyle added;
  TextStyle number;
};

// The look of 16 colours. A colour given in RGB is matched to the
// terminal's palette when it is made, which costs more than drawing a row:
// the cells refer to styles made beforehand.
Styles StrongStyles() {
  Styles styles;
  styles.deleted.foreground = Color::RGB(255, 200, 200);
  styles.deleted.background = Color::RGB(128, 0, 0);
  styles.deleted.changed_foreground = Color::RGB(255, 255, 255);
  styles.deleted.changed_background = Color::RGB(200, 40, 40);
  styles.added.foreground = Color::RGB(200, 255, 200);
  styles.added.background = Color::RGB(0, 128, 0);
  styles.added.changed_foreground = Color::RGB(0, 0, 0);
  styles.added.changed_background = Color::RGB(80, 200, 80);
  return styles;
}

Styles& Current() {
  static Styles styles = StrongStyles();
  return styles;
}

Color Make(const SchemeColour& colour, bool true_colour) {
  return true_colour ? Color::RGB(colour.red, colour.green, colour.blue)
                     : Color(static_cast<Color::Palette256>(colour.index));
}

TextStyle Make(const KindColours& colours, bool true_colour) {
  TextStyle style;
  style.foreground = Make(colours.text, true_colour);
  style.background = Make(colours.background, true_colour);
  style.changed_foreground = Make(colours.changed_text, true_colour);
  style.changed_background = Make(colours.changed_background, true_colour);
  return style;
}

}  // namespace

const DiffScheme& SchemeFor(Background background) {
  return background == Background::kLight ? kLightScheme : kDarkScheme;
}

void UseColours(ftxui::Terminal::Color depth, Background background) {
  const bool true_colour = depth == ftxui::Terminal::Color::TrueColor;
  if (!true_colour && depth != ftxui::Terminal::Color::Palette256) {
    Current() = StrongStyles();
    return;
  }
  const DiffScheme& scheme = SchemeFor(background);
  Styles styles;
  styles.deleted = Make(scheme.deleted, true_colour);
  styles.added = Make(scheme.added, true_colour);
  styles.number.foreground = Make(scheme.number, true_colour);
  Current() = styles;
}

const TextStyle& StyleOf(LineKind kind) {
  const Styles& styles = Current();
  switch (kind) {
    case LineKind::kDeleted:
      return styles.deleted;
    case LineKind::kAdded:
      return styles.added;
    case LineKind::kContext:
      break;
  }
  return styles.context;
}

const TextStyle& NumberStyle() {
  return Current().number;
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
