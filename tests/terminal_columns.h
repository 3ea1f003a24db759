#ifndef PLIMSY_TESTS_TERMINAL_COLUMNS_H_
#define PLIMSY_TESTS_TERMINAL_COLUMNS_H_

#include <clocale>
#include <cwchar>
#include <string>

#include <ftxui/screen/screen.hpp>
#include <ftxui/screen/string.hpp>

namespace plimsy::testing {

// The UTF-8 locale in which the C library's wcwidth stands for the
// terminal: 0 when the system has none.
inline locale_t TerminalLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  return locale;
}

// The columns a terminal moves across as it prints `text`, by wcwidth;
// -1000 for a character it would not print.
inline int TerminalWidth(const std::string& text) {
  const locale_t previous = uselocale(TerminalLocale());
  std::mbstate_t state{};
  int columns = 0;
  size_t i = 0;
  while (i < text.size()) {
    wchar_t character = 0;
    const size_t length =
        std::mbrtowc(&character, text.data() + i, text.size() - i, &state);
    if (length == 0 || length > text.size() - i) {
      columns = -1000;
      break;
    }
    const int width = wcwidth(character);
    columns += width < 0 ? -1000 : width;
    i += length;
  }
  uselocale(previous);
  return columns;
}

// The columns a terminal moves across as it prints row `y` of `screen` the
// way Screen::ToString writes it out; the screen's width when every cell
// lands where the layout put it.
inline int TerminalColumns(const ftxui::Screen& screen, int y) {
  int columns = 0;
  bool skip = false;
  for (int x = 0; x < screen.dimx(); ++x) {
    const std::string& character = screen.PixelAt(x, y).character;
    if (!skip) {
      columns += TerminalWidth(character.empty() ? " " : character);
    }
    skip = ftxui::string_width(character) == 2;
  }
  return columns;
}

}  // namespace plimsy::testing

#endif  // PLIMSY_TESTS_TERMINAL_COLUMNS_H_
