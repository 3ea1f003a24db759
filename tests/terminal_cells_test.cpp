#include "ui/terminal_cells.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <ftxui/dom/elements.hpp>
#include <ftxui/screen/color.hpp>
#include <ftxui/screen/screen.hpp>

#include "terminal_columns.h"

namespace plimsy {
namespace {

using ftxui::Color;
namespace Dimension = ftxui::Dimension;

ftxui::Screen Draw(ftxui::Element element, int width) {
  auto screen =
      ftxui::Screen::Create(Dimension::Fixed(width), Dimension::Fixed(1));
  ftxui::Render(screen, element);
  return screen;
}

// A wide character whose second cell falls on the next column's separator,
// or off the screen, would push the rest of the row right.
TEST(TerminalCellsTest, WideCharacterWithoutRoomIsCut) {
  ASSERT_NE(testing::TerminalLocale(), locale_t{}) << "no C.UTF-8 locale";
  const auto row = [] {
    return ftxui::hbox(
        {ftxui::text("abc漢字") | ftxui::size(ftxui::WIDTH, ftxui::EQUAL, 4),
         ftxui::separator(), ftxui::text("xy漢")});
  };
  // The first one also hides the separator.
  EXPECT_EQ(testing::TerminalColumns(Draw(row(), 8), 0), 9);
  EXPECT_NE(Draw(row(), 8).ToString().find("漢x"), std::string::npos);

  const ftxui::Screen screen = Draw(TerminalCells(row(), false), 8);
  EXPECT_EQ(testing::TerminalColumns(screen, 0), 8);
  EXPECT_EQ(screen.PixelAt(3, 0).character, "›");
  EXPECT_TRUE(screen.PixelAt(3, 0).dim);
  EXPECT_EQ(screen.PixelAt(4, 0).character, "│");
  EXPECT_EQ(screen.PixelAt(7, 0).character, "›");

  // A wide character with its second cell free is left alone.
  const ftxui::Screen fits = Draw(TerminalCells(ftxui::text("ab漢"), false), 6);
  EXPECT_EQ(fits.PixelAt(2, 0).character, "漢");
  EXPECT_EQ(testing::TerminalColumns(fits, 0), 6);
}

TEST(TerminalCellsTest, NoColorKeepsOnlyTheAttributes) {
  const auto styled = [] {
    return ftxui::hbox({
        ftxui::text("a") | ftxui::color(Color::RGB(200, 255, 200)) |
            ftxui::bgcolor(Color::RGB(0, 128, 0)) | ftxui::bold,
        ftxui::text("b") | ftxui::color(Color::Red) | ftxui::dim,
        ftxui::text("c") | ftxui::bgcolor(Color::White) | ftxui::inverted,
    });
  };
  const ftxui::Screen colored = Draw(TerminalCells(styled(), false), 3);
  EXPECT_EQ(colored.PixelAt(0, 0).background_color, Color::RGB(0, 128, 0));

  const ftxui::Screen plain = Draw(TerminalCells(styled(), true), 3);
  for (int x = 0; x < 3; ++x) {
    EXPECT_EQ(plain.PixelAt(x, 0).foreground_color, Color(Color::Default));
    EXPECT_EQ(plain.PixelAt(x, 0).background_color, Color(Color::Default));
  }
  EXPECT_TRUE(plain.PixelAt(0, 0).bold);
  EXPECT_TRUE(plain.PixelAt(1, 0).dim);
  EXPECT_TRUE(plain.PixelAt(2, 0).inverted);
  EXPECT_EQ(plain.ToString().find("38;"), std::string::npos);
  EXPECT_EQ(plain.ToString().find("48;"), std::string::npos);
}

TEST(TerminalCellsTest, NoColorMeansSetAndNotEmpty) {
  const char* saved = std::getenv("NO_COLOR");
  const std::string previous = saved == nullptr ? "" : saved;
  unsetenv("NO_COLOR");
  EXPECT_FALSE(NoColorRequested());
  setenv("NO_COLOR", "", 1);
  EXPECT_FALSE(NoColorRequested());
  setenv("NO_COLOR", "1", 1);
  EXPECT_TRUE(NoColorRequested());
  if (saved == nullptr) {
    unsetenv("NO_COLOR");
  } else {
    setenv("NO_COLOR", previous.c_str(), 1);
  }
}

}  // namespace
}  // namespace plimsy
