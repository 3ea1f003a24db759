#ifndef PLIMSY_DIFF_COLOURS_H_
#define PLIMSY_DIFF_COLOURS_H_

#include <ftxui/screen/color.hpp>

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

const TextStyle& StyleOf(LineKind kind);
// Dim, without colour: the hunks' header rows and the "~" placeholders.
const TextStyle& DimStyle();

}  // namespace plimsy

#endif  // PLIMSY_DIFF_COLOURS_H_
