#include "ui/display_text.h"

#include <gtest/gtest.h>

#include <ftxui/dom/elements.hpp>
#include <ftxui/screen/screen.hpp>
#include <random>
#include <string>
#include <vector>

#include "terminal_columns.h"
#include "terminal_safety.h"

namespace plimsy {
namespace {

using namespace std::string_literals;

const std::string kFffd = "\xEF\xBF\xBD";

struct DisplayCase {
  std::string name;
  std::string bytes;
  std::string expected;
};

TEST(DisplayTextTest, MapsBytesToSafeText) {
  const std::vector<DisplayCase> cases = {
      {"empty", "", ""},
      {"ascii", "int main() { return 0; }", "int main() { return 0; }"},
      {"multilingual", "Grüße, Ελληνικά, עברית, Русский",
       "Grüße, Ελληνικά, עברית, Русский"},
      {"full width", "日本語テキスト ＡＢＣ", "日本語テキスト ＡＢＣ"},
      {"four bytes", "emoji \xF0\x9F\x98\x80 end",
       "emoji \xF0\x9F\x98\x80 end"},
      {"highest code point", "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
      {"no-break space after C1", "\xC2\xA0", "\xC2\xA0"},
      {"replacement char kept", kFffd, kFffd},
      {"lone continuation", "a\x80z", "a" + kFffd + "z"},
      {"two continuations", "\xBF\x80", kFffd + kFffd},
      {"overlong slash", "\xC0\xAF", kFffd + kFffd},
      {"overlong C1 lead", "\xC1\xBF", kFffd + kFffd},
      {"E0 then too low", "\xE0\x80", kFffd + kFffd},
      {"overlong three bytes", "\xE0\x80\xAF", kFffd + kFffd + kFffd},
      {"surrogate", "\xED\xA0\x80", kFffd + kFffd + kFffd},
      {"above U+10FFFF", "\xF4\x90\x80\x80", kFffd + kFffd + kFffd + kFffd},
      {"F5 and FF leads", "\xF5\x80\xFF", kFffd + kFffd + kFffd},
      {"truncated four bytes",
       "\xF0\x9F\x98"
       "A",
       kFffd + "A"},
      {"truncated at end", "ok\xE2\x82", "ok" + kFffd},
      {"truncated two bytes",
       "\xC3"
       "A",
       kFffd + "A"},
      {"lead swallowing escape", "a\xE0\x1B]0;pwned\x07z",
       "a" + kFffd + "]0;pwnedz"},
      {"C0 controls",
       "a\x00"
       "b\x01\x1B[31mc\r\n"s,
       "ab[31mc"},
      {"DEL", "x\x7Fy", "xy"},
      {"C1 encoded",
       "a\xC2\x80"
       "b\xC2\x9B"
       "c\xC2\x9F"
       "d",
       "abcd"},
      {"tab", "\t", "        "},
      {"tabs among text", "a\tb\t\tc",
       "a       b" + std::string(15, ' ') + "c"},
      {"tab after invalid", "\xFF\t", kFffd + "       "},
      {"tab after a wide character", "漢\tx", "漢      x"},
      {"tab after a stand-in", "\u200B\tx", "<U+200B>        x"},
      {"zero-width space", "a\u200Bb", "a<U+200B>b"},
      {"zero-width joiner", "a\u200Db", "a<U+200D>b"},
      {"bidi override and pop", "\u202Eevil\u202C", "<U+202E>evil<U+202C>"},
      {"bidi marks and isolates", "\u200E\u200F\u2066\u2069",
       "<U+200E><U+200F><U+2066><U+2069>"},
      {"arabic letter mark", "\u061C", "<U+061C>"},
      {"byte order mark", "\uFEFFx", "<U+FEFF>x"},
      {"line and paragraph separators", "a\u2028b\u2029", "a<U+2028>b<U+2029>"},
      {"soft hyphen", "co\u00ADde", "co<U+00AD>de"},
      {"language tag", "\U000E0001", "<U+E0001>"},
      {"conjoining jamo compose", "\u1112\u1161\u11AB", "\uD55C"},
      {"syllable and final compose", "\uAC00\u11A8", "\uAC01"},
      {"lone vowel jamo", "\u1161", "<U+1161>"},
      {"lone final jamo", "x\u11AB", "x<U+11AB>"},
      {"extended final jamo", "\uD7CB", "<U+D7CB>"},
      {"leading jamo alone", "\u1100", "\u1100"},
      {"combining mark kept", "e\u0301", "e\u0301"},
      {"combining mark with nothing before", "\u0301a", "a"},
      {"control between character and mark", "e\x01\u0301", "e\u0301"},
  };
  for (const DisplayCase& c : cases) {
    EXPECT_EQ(DisplayText(c.bytes), c.expected) << c.name;
  }
}

std::string RenderToTerminal(const std::string& display) {
  using namespace ftxui;
  auto screen = Screen::Create(Dimension::Fixed(60), Dimension::Fixed(3));
  Render(
      screen,
      vbox({
          text(display),
          hbox({text(display) | color(Color::Red), text(display) | inverted}),
          text(display) | bold | bgcolor(Color::RGB(1, 2, 3)),
      }));
  return screen.ToString();
}

// Random byte strings that mix raw bytes, controls and valid multi-byte
// characters, so that sequences are often broken mid-way.
std::vector<std::string> RandomByteStrings() {
  const std::vector<std::string> pieces = {
      "a", "\t",   "\x1B",     "\x07",     "\x7F", "\xC2\x9B", "é",    "日",
      "😀", "\xE0", "\xF0\x9F", "\xED\xA0", "\xC0", "\xC2",     "\x80", "\xFF",
  };
  std::mt19937 random(1234);
  std::vector<std::string> strings;
  for (int n = 0; n < 2000; ++n) {
    std::string bytes;
    const int length = static_cast<int>(random() % 48);
    for (int k = 0; k < length; ++k) {
      if (random() % 2 == 0) {
        bytes += static_cast<char>(random() % 256);
      } else {
        bytes += pieces[random() % pieces.size()];
      }
    }
    strings.push_back(bytes);
  }
  return strings;
}

TEST(DisplayTextTest, RawBytesReachTheTerminal) {
  // Shows that the check sees the fault that display text prevents.
  EXPECT_NE(plimsy::testing::TerminalHazard(
                RenderToTerminal("a\xE0\x1B]0;pwned\x07z")),
            "");
}

TEST(DisplayTextTest, RenderedTextIsSafeForTheTerminal) {
  std::vector<std::string> inputs = {
      "a\xE0\x1B]0;pwned\x07z",
      "\xC0\x9B]52;c;aGk=\x07",
      "\xE0\x80\x9B"
      "31m",
      "\xF0\x80\x80\x9B"
      "2J",
      "x\xC2\x9B"
      "1;1H",
      "\xE2\x1B[2J",
  };
  for (const std::string& bytes : RandomByteStrings()) {
    inputs.push_back(bytes);
  }
  for (const std::string& bytes : inputs) {
    const std::string display = DisplayText(bytes);
    EXPECT_EQ(DisplayText(display), display) << ::testing::PrintToString(bytes);
    EXPECT_EQ(plimsy::testing::TerminalHazard(RenderToTerminal(display)), "")
        << ::testing::PrintToString(bytes);
  }
}

// Characters that the layout gives a cell and terminals draw in none,
// between text in a column followed by a separator: drawn raw, the
// separator and all after it would shift left.
const std::vector<std::string>& InvisibleCharacters() {
  static const std::vector<std::string> characters = {
      "\u200B", "\u200C", "\u200D", "\u200E", "\u200F", "\u202A",     "\u202B",
      "\u202C", "\u202D", "\u202E", "\u2066", "\u2067", "\u2068",     "\u2069",
      "\u061C", "\uFEFF", "\u2028", "\u2029", "\u2060", "\u00AD",     "\u1160",
      "\u1161", "\u11A8", "\u11FF", "\uD7B0", "\uD7FB", "\U000E0001", "\u180E",
  };
  return characters;
}

ftxui::Screen DrawInColumn(const std::string& display) {
  using namespace ftxui;
  auto screen = Screen::Create(Dimension::Fixed(24), Dimension::Fixed(1));
  Render(screen, hbox({text(display) | size(WIDTH, EQUAL, 20), separator(),
                       text("end")}));
  return screen;
}

TEST(DisplayTextTest, InvisibleCharactersKeepEveryCellInPlace) {
  ASSERT_NE(testing::TerminalLocale(), locale_t{}) << "no C.UTF-8 locale";
  // The fault: the terminal draws the rest of the row a column to the left.
  EXPECT_EQ(testing::TerminalColumns(DrawInColumn("a\u200Bb"), 0), 23);
  for (const std::string& character : InvisibleCharacters()) {
    SCOPED_TRACE(::testing::PrintToString(character));
    const std::string display = DisplayText("a" + character + "b");
    const ftxui::Screen screen = DrawInColumn(display);
    EXPECT_EQ(testing::TerminalColumns(screen, 0), 24) << display;
    EXPECT_EQ(screen.PixelAt(20, 0).character, "│");
    EXPECT_TRUE(display.find("<U+") != std::string::npos) << display;
  }
  // Jamo that make a syllable are drawn as the syllable, in its two cells.
  const ftxui::Screen syllable =
      DrawInColumn(DisplayText("\u1112\u1161\u11AB\u1100\u1161"));
  EXPECT_EQ(testing::TerminalColumns(syllable, 0), 24);
  EXPECT_EQ(syllable.PixelAt(0, 0).character, "\uD55C");
  EXPECT_EQ(syllable.PixelAt(2, 0).character, "\uAC00");
}

}  // namespace
}  // namespace plimsy
