#include "ui/simple_button.h"

#include <gtest/gtest.h>

#include <string>

#include <ftxui/component/component.hpp>
#include <ftxui/component/component_options.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/dom/elements.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/color.hpp>
#include <ftxui/screen/screen.hpp>

namespace plimsy {
namespace {

using ftxui::Screen;
namespace Dimension = ftxui::Dimension;

std::string Row(const Screen& screen) {
  std::string row;
  for (int x = 0; x < screen.dimx(); ++x) {
    const std::string& character = screen.PixelAt(x, 0).character;
    row += character.empty() ? " " : character;
  }
  row.erase(row.find_last_not_of(' ') + 1);
  return row;
}

TEST(SimpleButtonOptionTest, TransformByState) {
  const std::string label = "[Q]uit";
  const struct {
    bool active;
    bool focused;
    // Neither of these may matter.
    bool state;
    int index;
  } cases[] = {
      {false, false, false, -1},
      {true, false, true, 0},
      {false, true, false, 3},
      {true, true, true, -1},
  };
  const ftxui::ButtonOption option = SimpleButtonOption();
  for (const auto& test : cases) {
    SCOPED_TRACE(std::string("active ") + (test.active ? "yes" : "no") +
                 ", focused " + (test.focused ? "yes" : "no"));
    ftxui::Element element = option.transform(
        {label, test.state, test.active, test.focused, test.index});
    element->ComputeRequirement();
    EXPECT_EQ(element->requirement().min_x, 6);
    EXPECT_EQ(element->requirement().min_y, 1);

    Screen screen = Screen::Create(Dimension::Fixed(10), Dimension::Fixed(1));
    // Beside a filler, the element gets only the width it asks for.
    ftxui::Render(screen, ftxui::hbox({element, ftxui::filler()}));
    EXPECT_EQ(Row(screen), label);
    for (int x = 0; x < screen.dimx(); ++x) {
      const ftxui::Pixel& pixel = screen.PixelAt(x, 0);
      const bool on_label = x < 6;
      EXPECT_EQ(pixel.bold, on_label && test.active) << "x " << x;
      EXPECT_EQ(pixel.inverted, on_label && test.focused) << "x " << x;
      EXPECT_FALSE(pixel.dim || pixel.underlined || pixel.blink);
      EXPECT_TRUE(pixel.foreground_color == ftxui::Color::Default);
      EXPECT_TRUE(pixel.background_color == ftxui::Color::Default);
    }
  }
}

TEST(SimpleButtonOptionTest, LeavesTheOtherMembersAtTheirDefaults) {
  const ftxui::ButtonOption option = SimpleButtonOption();
  const ftxui::ButtonOption defaults;
  EXPECT_EQ(*option.label, *defaults.label);
  EXPECT_FALSE(option.animated_colors.foreground.enabled);
  EXPECT_FALSE(option.animated_colors.background.enabled);
}

// Real buttons side by side: the library fills the state, the labels touch.
TEST(SimpleButtonOptionTest, ButtonsInAContainer) {
  const ftxui::ButtonOption option = SimpleButtonOption();
  int clicks = 0;
  auto minus = ftxui::Button(
      "[-1]", [&] { ++clicks; }, option);
  auto plus = ftxui::Button(
      "[+1]", [&] { ++clicks; }, option);
  auto row = ftxui::Container::Horizontal({minus, plus});

  Screen screen = Screen::Create(Dimension::Fixed(12), Dimension::Fixed(1));
  ftxui::Render(screen, row->Render());
  EXPECT_EQ(Row(screen), "[-1][+1]");
  for (int x = 0; x < 8; ++x) {
    const bool first = x < 4;
    EXPECT_EQ(screen.PixelAt(x, 0).bold, first) << "x " << x;
    EXPECT_EQ(screen.PixelAt(x, 0).inverted, first) << "x " << x;
  }

  EXPECT_TRUE(row->OnEvent(ftxui::Event::Return));
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace plimsy
