#ifndef PLIMSY_UI_LAYOUT_H_
#define PLIMSY_UI_LAYOUT_H_

#include <functional>
#include <string>
#include <vector>

#include <ftxui/dom/elements.hpp>

// Elements that fit what they show to the room the layout gives them.
namespace plimsy {

// The title row of a pane, highlighted while the pane has the focus.
ftxui::Element PaneTitle(const std::string& title, bool focused);

// An element built only once its box is known, by `build` given the box's
// width and height, so that it can fit what it holds to the room it has.
ftxui::Element AtSize(
    std::function<ftxui::Element(int width, int height)> build);

// The first of `choices` that fits the width it is given; nothing when none
// does. `before_layout` runs before the one chosen is laid out.
ftxui::Element FirstThatFits(std::vector<ftxui::Element> choices,
                             std::function<void()> before_layout = {});

}  // namespace plimsy

#endif  // PLIMSY_UI_LAYOUT_H_
