#ifndef PLIMSY_DIFF_COLOUR_CHOICE_H_
#define PLIMSY_DIFF_COLOUR_CHOICE_H_

#include <optional>
#include <string_view>

#include "diff/colours.h"

// Which colours the diffs are drawn in on this terminal.
namespace plimsy {

// The background that COLORFGBG tells, as terminals set it ("15;0",
// "default;default;0"): its last field, the background's colour of the
// 16, is 0 to 6 or 8 for a dark one, 7 or 9 to 15 for a light one. None
// when it tells neither.
std::optional<Background> BackgroundOfColorFgBg(std::string_view value);

// The background that the setting plimsy.background names as git prints
// it: "light" or "dark". None for anything else.
std::optional<Background> BackgroundNamed(std::string_view value);

// Draws the diffs in the colours for this terminal's colour depth and
// background: the one the setting plimsy.background names, else the one
// COLORFGBG tells, else a dark one. Runs git for the setting, and only
// where the depth leaves a choice: call it once, before the screen opens.
void ChooseDiffColours();

}  // namespace plimsy

#endif  // PLIMSY_DIFF_COLOUR_CHOICE_H_
