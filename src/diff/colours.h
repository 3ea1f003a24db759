#ifndef PLIMSY_DIFF_COLOURS_H_
#define PLIMSY_DIFF_COLOURS_H_

#include <cstdint>

#include <ftxui/screen/color.hpp>
#include <ftxui/screen/terminal.hpp>

#include "diff/diff.h"

// The colours that the cells of a drawn difference are painted in.
namespace plimsy {

// The colours of a line's text and sign, and of its changed words.
struct TextStyle {
  ftxui::Color foreground = ftxui::Color::Default;
  ftxui::Color background = ftxui::Color::Default;
  ftxui::Color changed_foreground = ftxui::Color::Default;
  ftxui::Color changed_background = ftxui::Color::Default;
  bool dim = false;
};

// The terminal's background, as far as it is known.
enum class Background { kDark, kLight };

// A colour of a scheme: its RGB value, drawn on a terminal of true colour,
// and the colour of the 256-colour palette drawn for it on a terminal of
// 256 colours.
struct SchemeColour {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t index = 0;
};

// The colours of removed or added lines: muted behind the line, stronger
// behind its changed words.
struct KindColours {
  SchemeColour text;
  SchemeColour background;
  SchemeColour changed_text;
  SchemeColour changed_background;
};

// How diffs are drawn on a terminal of more than 16 colours.
struct DiffScheme {
  KindColours deleted;
  KindColours added;
  // Line numbers, on the terminal's own background.
  SchemeColour number;
};

const DiffScheme& SchemeFor(Background background);

// Draws diffs from now on for a terminal of colour depth `depth` on
// `background`: in the scheme's colours, or with 16 colours or fewer in
// strong ones that do not depend on the background, which is also how
// they are drawn until this is called.
void UseColours(ftxui::Terminal::Color depth, Background background);

const TextStyle& StyleOf(LineKind kind);
// The line numbers.
const TextStyle& NumberStyle();
// Dim, without colour: the hunks' header rows and the "~" placeholders.
const TextStyle& DimStyle();

}  // namespace plimsy

#endif  // PLIMSY_DIFF_COLOURS_H_
