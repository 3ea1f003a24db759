#include "ui/side_width.h"

#include <algorithm>
#include <cmath>

namespace plimsy {
namespace {

// What a width the user chose leaves to the panes beside.
constexpr int kLeftBeside = 20;

// The most that `rule` lets a pane take of a row `width` cells wide.
int Cap(const WidthRule& rule, int width) {
  return std::max(0, static_cast<int>(std::floor(width * rule.most_share)));
}

}  // namespace

int RuleWidth(const WidthRule& rule, int width) {
  const int cap = std::min(rule.most, Cap(rule, width));
  const int least = std::min(rule.least, cap);
  const int wanted =
      static_cast<int>(std::floor(rule.share * std::max(width - rule.kept, 0)));
  return std::clamp(wanted, least, cap);
}

int SideWidth::Fit(int width) const {
  if (!chosen_share_) {
    return RuleWidth(rule_, width);
  }
  const int least = std::min(rule_.least, Cap(rule_, width));
  const int most = std::max(least, width - kLeftBeside);
  return std::clamp(static_cast<int>(std::lround(*chosen_share_ * width)),
                    least, most);
}

void SideWidth::Choose(int cells, int width) {
  if (width > 0) {
    // Kept as the width it is drawn with, so that a key that cannot narrow
    // the pane any more leaves the next that widens it nothing to undo.
    chosen_share_ = static_cast<double>(cells) / width;
    chosen_share_ = static_cast<double>(Fit(width)) / width;
  }
}

}  // namespace plimsy
