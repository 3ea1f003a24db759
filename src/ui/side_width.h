#ifndef PLIMSY_UI_SIDE_WIDTH_H_
#define PLIMSY_UI_SIDE_WIDTH_H_

namespace plimsy {

// The width a side pane is shown with: the user's choice, no wider than a
// share of the screen. A drag on the divider becomes the user's choice.
class SideWidth {
 public:
  explicit SideWidth(int* chosen) : chosen_(chosen), shown_(*chosen) {}
  // Fits the shown width to a screen `width` cells wide, `share` of it at
  // most.
  void Fit(int width, double share);
  // What the divider moves.
  int* shown() { return &shown_; }

 private:
  int* chosen_;
  int shown_;
  int fitted_ = -1;
};

}  // namespace plimsy

#endif  // PLIMSY_UI_SIDE_WIDTH_H_
