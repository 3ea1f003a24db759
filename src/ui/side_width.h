#ifndef PLIMSY_UI_SIDE_WIDTH_H_
#define PLIMSY_UI_SIDE_WIDTH_H_

#include <optional>

namespace plimsy {

// How wide a side pane is in a row of panes until the user sets its width:
// `share` of what the row has past its first `kept` cells, within `least`
// and `most`, and never more than `most_share` of the row.
struct WidthRule {
  double share = 0.25;
  int kept = 0;
  int least = 0;
  int most = 1000;
  double most_share = 1.0;
};

// The width `rule` gives a side pane in a row `width` cells wide.
int RuleWidth(const WidthRule& rule, int width);

// The width a side pane is drawn with: its rule's, or the share of the row
// that the user gave it, so that a resize of the window scales it. Neither
// makes the pane narrower than the rule's least, when the rule allows that.
class SideWidth {
 public:
  explicit SideWidth(WidthRule rule) : rule_(rule) {}
  // The pane's width in a row `width` cells wide.
  int Fit(int width) const;
  // The user made the pane `cells` wide in a row `width` cells wide.
  void Choose(int cells, int width);

 private:
  WidthRule rule_;
  std::optional<double> chosen_share_;
};

}  // namespace plimsy

#endif  // PLIMSY_UI_SIDE_WIDTH_H_
