#ifndef PLIMSY_UI_FIT_WIDTH_H_
#define PLIMSY_UI_FIT_WIDTH_H_

#include <string>

namespace plimsy {

// `text` cut to `width` cells, with "…" marking the cut.
std::string FitWidth(const std::string& text, int width);

}  // namespace plimsy

#endif  // PLIMSY_UI_FIT_WIDTH_H_
