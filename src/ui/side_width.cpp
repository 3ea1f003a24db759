#include "ui/side_width.h"

#include <algorithm>
#include <cmath>

namespace plimsy {

void SideWidth::Fit(int width, double share) {
  // A width the divider set since the last fit is the user's new choice.
  if (fitted_ >= 0 && shown_ != fitted_) {
    *chosen_ = shown_;
  }
  const int most = std::max(1, static_cast<int>(std::floor(width * share)));
  shown_ = std::clamp(*chosen_, 0, most);
  fitted_ = shown_;
}

}  // namespace plimsy
