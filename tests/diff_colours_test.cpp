#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include <ftxui/screen/color.hpp>
#include <ftxui/screen/terminal.hpp>

#include "diff/colour_choice.h"
#include "diff/colours.h"
#include "support.h"

namespace plimsy {
namespace {

struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
};

// The colour that xterm shows for entry `index` of its 256 colours.
Rgb XtermRgb(int index) {
  static constexpr Rgb kSixteen[] = {
      {0, 0, 0},       {205, 0, 0},   {0, 205, 0},   {205, 205, 0},
      {0, 0, 238},     {205, 0, 205}, {0, 205, 205}, {229, 229, 229},
      {127, 127, 127}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
      {92, 92, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
  };
  if (index < 16) {
    return kSixteen[index];
  }
  if (index < 232) {
    static constexpr int kLevels[] = {0, 95, 135, 175, 215, 255};
    const int cube = index - 16;
    return {kLevels[cube / 36], kLevels[cube / 6 % 6], kLevels[cube % 6]};
  }
  const int grey = 8 + 10 * (index - 232);
  return {grey, grey, grey};
}

// The relative luminance of a colour of the sRGB space.
double Luminance(Rgb colour) {
  const auto linear = [](int channel) {
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(colour.red) + 0.7152 * linear(colour.green) +
         0.0722 * linear(colour.blue);
}

double Contrast(Rgb a, Rgb b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The least contrast of text on its background that reads well.
constexpr double kReadable = 4.5;
// How much the changed words' background stands out from the line's.
constexpr double kStandsOut = 1.5;

// Every text on every background of both schemes reads well in true colour
// and in the 256 colours of xterm's palette; line numbers on the
// terminal's own background, for a black and a dark grey one, or a white
// and a light grey one.
TEST(DiffColoursTest, EveryTextReadsWellOnItsBackground) {
  const struct {
    const char* name;
    Background background;
    Rgb terminals[2];
  } backgrounds[] = {
      {"dark", Background::kDark, {{0, 0, 0}, XtermRgb(235)}},
      {"light", Background::kLight, {{255, 255, 255}, XtermRgb(255)}},
  };
  for (const auto& b : backgrounds) {
    const DiffScheme& scheme = SchemeFor(b.background);
    for (const bool true_colour : {true, false}) {
      SCOPED_TRACE(std::string(b.name) +
                   (true_colour ? ", true colour" : ", 256 colours"));
      const auto rgb = [true_colour](const SchemeColour& colour) {
        return true_colour ? Rgb{colour.red, colour.green, colour.blue}
                           : XtermRgb(colour.index);
      };
      const struct {
        const char* name;
        const KindColours& colours;
      } kinds[] = {{"removed", scheme.deleted}, {"added", scheme.added}};
      for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const KindColours& c = kind.colours;
        EXPECT_GE(Contrast(rgb(c.text), rgb(c.background)), kReadable);
        EXPECT_GE(Contrast(rgb(c.changed_text), rgb(c.changed_background)),
                  kReadable);
        EXPECT_GE(Contrast(rgb(c.background), rgb(c.changed_background)),
                  kStandsOut);
      }
      for (const Rgb& terminal : b.terminals) {
        EXPECT_GE(Contrast(rgb(scheme.number), terminal), kReadable);
      }
    }
  }
}

TEST(DiffColoursTest, BackgroundFromTheTerminalOrTheSetting) {
  const struct {
    const char* value;
    std::optional<Background> background;
  } colorfgbg[] = {
      {"15;0", Background::kDark},
      {"0;15", Background::kLight},
      {"default;default;0", Background::kDark},
      {"0;default;8", Background::kDark},
      {"0;7", Background::kLight},
      {"0;9", Background::kLight},
      {"15;6", Background::kDark},
      {"15;default", std::nullopt},
      {"15;16", std::nullopt},
      {"15;", std::nullopt},
      {"", std::nullopt},
      {"0;1x", std::nullopt},
  };
  for (const auto& c : colorfgbg) {
    EXPECT_EQ(BackgroundOfColorFgBg(c.value), c.background) << c.value;
  }
  const struct {
    const char* value;
    std::optional<Background> background;
  } settings[] = {
      {"dark\n", Background::kDark},
      {"light\n", Background::kLight},
      {"", std::nullopt},
      {"Light\n", std::nullopt},
      {"bright\n", std::nullopt},
  };
  for (const auto& c : settings) {
    EXPECT_EQ(BackgroundNamed(c.value), c.background) << c.value;
  }
}

// Sets (or, with null, unsets) an environment variable for the life of
// the object.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    if (old != nullptr) {
      old_ = old;
    }
    Set(value);
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;
  ~ScopedVariable() { Set(old_ ? old_->c_str() : nullptr); }

  void Set(const char* value) {
    if (value == nullptr) {
      unsetenv(name_);
    } else {
      setenv(name_, value, 1);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// The setting comes before COLORFGBG, which comes before a dark background;
// with 16 colours the colours stay as they were, whatever the background.
TEST(DiffColoursTest, TheSettingComesFirst) {
  testing::TempRepo repo;
  testing::ScopedCwd cwd(repo.path());
  ScopedVariable no_color("NO_COLOR", nullptr);
  ScopedVariable colorfgbg("COLORFGBG", nullptr);
  const ftxui::Terminal::Color depth = ftxui::Terminal::ColorSupport();
  using Depth = ftxui::Terminal::Color;
  // Once set, the setting stays for the cases after.
  const struct {
    const char* colorfgbg;
    const char* setting;
    Depth depth;
    std::optional<Background> background;
  } cases[] = {
      {nullptr, nullptr, Depth::TrueColor, Background::kDark},
      {"0;15", nullptr, Depth::TrueColor, Background::kLight},
      {"0;15", nullptr, Depth::Palette256, Background::kLight},
      {"0;15", "dark", Depth::Palette256, Background::kDark},
      {"15;0", "light", Depth::TrueColor, Background::kLight},
      {"0;15", "bright", Depth::TrueColor, Background::kLight},
      {"15;0", "light", Depth::Palette16, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.colorfgbg == nullptr ? "-" : c.colorfgbg) + " " +
                 (c.setting == nullptr ? "-" : c.setting));
    colorfgbg.Set(c.colorfgbg);
    if (c.setting != nullptr) {
      repo.Git({"config", "plimsy.background", c.setting});
    }
    ftxui::Terminal::SetColorSupport(c.depth);
    UseColours(Depth::Palette16, Background::kDark);
    ftxui::Color expected = StyleOf(LineKind::kAdded).background;
    if (c.background) {
      const SchemeColour& added = SchemeFor(*c.background).added.background;
      expected = c.depth == Depth::TrueColor
                     ? ftxui::Color::RGB(added.red, added.green, added.blue)
                     : ftxui::Color(
                           static_cast<ftxui::Color::Palette256>(added.index));
    }
    ChooseDiffColours();
    EXPECT_EQ(StyleOf(LineKind::kAdded).background, expected);
  }
  ftxui::Terminal::SetColorSupport(depth);
  UseColours(Depth::Palette16, Background::kDark);
}

}  // namespace
}  // namespace plimsy
