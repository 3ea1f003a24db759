#include "diff/colour_choice.h"

#include <charconv>
#include <cstdlib>
#include <string>

#include <ftxui/screen/terminal.hpp>

#include "git/command_lines.h"
#include "git/run.h"
#include "sys/process.h"
#include "ui/terminal_cells.h"

namespace plimsy {

std::optional<Background> BackgroundOfColorFgBg(std::string_view value) {
  const std::string_view last = value.substr(value.rfind(';') + 1);
  int colour = -1;
  const auto [end, error] =
      std::from_chars(last.data(), last.data() + last.size(), colour);
  if (error != std::errc() || end != last.data() + last.size() || colour < 0 ||
      colour > 15) {
    return std::nullopt;
  }
  return colour <= 6 || colour == 8 ? Background::kDark : Background::kLight;
}

std::optional<Background> BackgroundNamed(std::string_view value) {
  if (value.ends_with('\n')) {
    value.remove_suffix(1);
  }
  if (value == "dark") {
    return Background::kDark;
  }
  if (value == "light") {
    return Background::kLight;
  }
  return std::nullopt;
}

void ChooseDiffColours() {
  const ftxui::Terminal::Color depth = ftxui::Terminal::ColorSupport();
  // Without colours, or with 16 of them, the background changes nothing.
  if (NoColorRequested() || (depth != ftxui::Terminal::Color::TrueColor &&
                             depth != ftxui::Terminal::Color::Palette256)) {
    return;
  }
  std::optional<Background> background;
  try {
    background = BackgroundNamed(GitOutput(BackgroundSettingCommandLine()));
  } catch (const SpawnError&) {
    // Without git there is no setting.
  }
  const char* colorfgbg = std::getenv("COLORFGBG");
  if (!background && colorfgbg != nullptr) {
    background = BackgroundOfColorFgBg(colorfgbg);
  }
  UseColours(depth, background.value_or(Background::kDark));
}

}  // namespace plimsy
