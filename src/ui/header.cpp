#include "ui/header.h"

#include <utility>

#include <ftxui/screen/color.hpp>

#include "ui/display_text.h"
#include "ui/layout.h"

namespace plimsy {
namespace {

using ftxui::Element;
using ftxui::Elements;

// How the header is worded at one width.
struct HeaderForm {
  // "%s" stands for the screen's name.
  const char* title;
  bool status;
  // The form of the controls; none when negative.
  int controls;
  // Between the controls and the quit button.
  const char* gap;
  const char* quit;
};

// From the widest to the narrowest: words go before labels are shortened,
// and a label is shown whole or not at all.
constexpr HeaderForm kHeaderForms[] = {
    {"[plimsy %s]", true, 0, "  ", "[Q]uit"},
    {"plimsy", true, 1, " ", "[Q]uit"},
    {"plimsy", true, 2, " ", "[Q]"},
    {"[plimsy %s]", false, 0, "  ", "[Q]uit"},
    {"plimsy", false, 1, " ", "[Q]uit"},
    {"plimsy", false, 2, " ", "[Q]"},
    {"", false, 2, " ", "[Q]"},
    {"", false, 3, " ", "[Q]"},
    {"", false, -1, "", "[Q]"},
};

Element HeaderAt(const HeaderForm& form,
                 const std::string& name,
                 const std::string& status,
                 const HeaderControls* controls,
                 ftxui::Box& quit) {
  Elements items;
  if (*form.title != '\0') {
    std::string title = form.title;
    const size_t mark = title.find("%s");
    if (mark != std::string::npos) {
      title.replace(mark, 2, name);
    }
    items.push_back(ftxui::text(title));
  }
  if (form.status && !status.empty()) {
    items.push_back(ftxui::text(" " + status) | ftxui::dim);
  }
  items.push_back(ftxui::filler());
  if (controls != nullptr && form.controls >= 0) {
    for (Element& control : controls->render(form.controls)) {
      items.push_back(std::move(control));
    }
    items.push_back(ftxui::filler());
    items.push_back(ftxui::text(form.gap));
  }
  items.push_back(ftxui::text(form.quit) | ftxui::reflect(quit));
  return ftxui::hbox(std::move(items));
}

}  // namespace

Element HeaderBar(const std::string& name,
                  const std::string& status,
                  const HeaderControls* controls,
                  ftxui::Box& quit,
                  bool no_color) {
  const std::string shown = DisplayText(status);
  Elements choices;
  for (const HeaderForm& form : kHeaderForms) {
    if (form.status && shown.empty()) {
      continue;
    }
    choices.push_back(HeaderAt(form, name, shown, controls, quit));
  }
  Element bar = FirstThatFits(std::move(choices), [controls, &quit] {
    quit = ftxui::Box{0, -1, 0, -1};
    if (controls != nullptr) {
      controls->forget();
    }
  });
  // Without colours the bar would not stand out at all.
  if (no_color) {
    return bar | ftxui::inverted;
  }
  return bar | ftxui::bgcolor(ftxui::Color::White) |
         ftxui::color(ftxui::Color::Black);
}

}  // namespace plimsy
