#include "ui/header.h"

#include <optional>
#include <utility>

#include <ftxui/screen/color.hpp>
#include <ftxui/screen/string.hpp>

#include "ui/display_text.h"
#include "ui/fit_width.h"
#include "ui/layout.h"

namespace plimsy {
namespace {

using ftxui::Element;
using ftxui::Elements;

// How the header is worded at one width.
struct HeaderForm {
  // "%s" stands for the title.
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
                 const std::string& title,
                 const std::string& status,
                 const HeaderControls* controls,
                 ftxui::Box& quit) {
  Elements items;
  if (!title.empty()) {
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

// The form's title for `title` with `room` cells left beside the rest of
// the form: whole, or cut after the screen's name and at least one more
// character, a blank before what follows; none when even that does not
// fit.
std::optional<std::string> TitleIn(const HeaderForm& form,
                                   const std::string& title,
                                   int room) {
  std::string words = form.title;
  const size_t mark = words.find("%s");
  if (mark == std::string::npos) {
    return words;
  }
  // The brackets, "plimsy" and the blanks after it and after the cut.
  const int frame = ftxui::string_width(words) - 1;
  const std::string whole = words.replace(mark, 2, title);
  if (ftxui::string_width(whole) <= room) {
    return whole;
  }
  const size_t name_end = title.find(' ');
  // The name, a blank, a character and "…".
  const int least = ftxui::string_width(title.substr(0, name_end)) + 3;
  if (name_end == std::string::npos || room - frame < least) {
    return std::nullopt;
  }
  std::string cut = form.title;
  return cut.replace(mark, 2, FitWidth(title, room - frame)) + " ";
}

// The cells that `form` takes besides its title.
int RestWidth(const HeaderForm& form,
              const std::string& status,
              const HeaderControls* controls,
              ftxui::Box& quit) {
  Element rest = HeaderAt(form, "", status, controls, quit);
  rest->ComputeRequirement();
  return rest->requirement().min_x;
}

}  // namespace

Element HeaderBar(const std::string& title,
                  const std::string& status,
                  const HeaderControls* controls,
                  ftxui::Box& quit,
                  bool no_color) {
  const std::string shown = DisplayText(status);
  const std::string named = DisplayText(title);
  Element bar = AtSize([named, shown, controls, &quit](int width, int) {
    Elements choices;
    for (const HeaderForm& form : kHeaderForms) {
      if (form.status && shown.empty()) {
        continue;
      }
      const std::optional<std::string> words =
          TitleIn(form, named, width - RestWidth(form, shown, controls, quit));
      if (words) {
        choices.push_back(HeaderAt(form, *words, shown, controls, quit));
      }
    }
    return FirstThatFits(std::move(choices), [controls, &quit] {
      quit = ftxui::Box{0, -1, 0, -1};
      if (controls != nullptr) {
        controls->forget();
      }
    });
  });
  bar |= ftxui::size(ftxui::HEIGHT, ftxui::EQUAL, 1);
  // Without colours the bar would not stand out at all.
  if (no_color) {
    return bar | ftxui::inverted;
  }
  return bar | ftxui::bgcolor(ftxui::Color::White) |
         ftxui::color(ftxui::Color::Black);
}

}  // namespace plimsy
