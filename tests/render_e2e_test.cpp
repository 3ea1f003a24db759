#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support.h"
#include "terminal_columns.h"

// The difference pane in a real terminal: scrolled across, wrapped, without
// colour, in a small window, and with characters that terminals draw in
// other widths than they seem to take.
namespace plimsy::testing {
namespace {

constexpr int kWidth = 100;
constexpr int kHeight = 24;

const std::string kEnd = "and this is the end of it";

std::vector<std::string> Rows(const std::string& screen) {
  std::vector<std::string> rows;
  std::istringstream in(screen);
  for (std::string row; std::getline(in, row);) {
    rows.push_back(row);
  }
  return rows;
}

class RenderEndToEndTest : public ::testing::Test {
 protected:
  RenderEndToEndTest() {
    repo_.Write("long.txt", "first\n" + Line("old") + "\nlast\n");
    repo_.Commit("first");
    repo_.Write("long.txt", "first\n" + Line("new") + "\nlast\n");
  }

  static std::string Line(const std::string& word) {
    std::string line = word + ":";
    for (int i = 0; i < 30; ++i) {
      line += " word" + std::to_string(i);
    }
    return line + " " + kEnd;
  }

  TempRepo repo_;
};

TEST_F(RenderEndToEndTest, RightScrollsToTheEndOfACutLine) {
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "diff"}, kWidth, kHeight);
  std::string screen = pane.WaitFor("-old: word0");
  EXPECT_FALSE(Shows(screen, kEnd));
  EXPECT_TRUE(Shows(screen, "›"));
  // The first Right moves the focus to the difference, the next ones
  // scroll it.
  for (int i = 0; i < 30; ++i) {
    pane.SendKeys({"Right"});
  }
  screen = pane.WaitUntil("the end in view", [](const std::string& s) {
    return Shows(s, "+‹") && Shows(s, kEnd);
  });
  EXPECT_TRUE(Shows(screen, "-‹"));
  // The numbers stay in their column.
  EXPECT_TRUE(Shows(screen, "│2│+‹"));

  pane.SendKeys({"0"});
  pane.WaitUntil("back at the start", [](const std::string& s) {
    return Shows(s, "-old: word0") && !Shows(s, kEnd);
  });
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

TEST_F(RenderEndToEndTest, WTogglesWrapping) {
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "diff"}, kWidth, kHeight);
  pane.WaitFor("-old: word0");
  pane.SendKeys({"Right", "w"});
  std::string screen = pane.WaitUntil("wrapped", [](const std::string& s) {
    return Shows(s, kEnd.substr(kEnd.size() - 10)) && !Shows(s, "›");
  });
  // The continuation rows leave the number cells blank.
  bool continued = false;
  for (const std::string& row : Rows(screen)) {
    continued = continued || Shows(row, "│ │ ");
  }
  EXPECT_TRUE(continued) << screen;
  pane.SendKeys({"w"});
  pane.WaitUntil("cut again",
                 [](const std::string& s) { return Shows(s, "›"); });
}

// Every colour is gone; the signs and the attributes stay.
TEST_F(RenderEndToEndTest, NoColor) {
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "diff"}, kWidth, kHeight,
                {"NO_COLOR=1"});
  pane.WaitFor("-old: word0");
  pane.SendKeys({"Right"});
  pane.WaitUntil("the difference focused", [&](const std::string&) {
    return Shows(pane.Capture(true), "7m");
  });
  EXPECT_TRUE(Shows(pane.Capture(), "+new: word0"));
  const std::string screen = pane.Capture(true);
  const std::regex sgr("\x1b\\[([0-9;]*)m");
  int sequences = 0;
  for (auto it = std::sregex_iterator(screen.begin(), screen.end(), sgr);
       it != std::sregex_iterator(); ++it) {
    ++sequences;
    std::istringstream parameters((*it)[1].str());
    for (std::string parameter; std::getline(parameters, parameter, ';');) {
      const int code = parameter.empty() ? 0 : std::stoi(parameter);
      const bool colour =
          (code >= 30 && code <= 38) || (code >= 40 && code <= 48) ||
          (code >= 90 && code <= 97) || (code >= 100 && code <= 107);
      EXPECT_FALSE(colour) << "colour " << code << " in\n" << screen;
    }
  }
  EXPECT_GT(sequences, 0) << "the attributes are drawn";

  // Without NO_COLOR, the same screen is coloured.
  TmuxPane coloured(repo_.path(), {PlimsyBinary(), "diff"}, kWidth, kHeight);
  coloured.WaitFor("-old: word0");
  EXPECT_TRUE(Shows(coloured.Capture(true), "48;2;0;128;0"));
}

TEST_F(RenderEndToEndTest, SmallWindow) {
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "diff"}, 40, 12);
  pane.WaitFor("plimsy");
  pane.SendKeys({"Right", "Right", "j", "w", "s", "j", "w", "0", "Down"});
  const std::string screen = pane.WaitUntil(
      "drawn", [](const std::string& s) { return Shows(s, "│@@"); });
  EXPECT_EQ(Rows(screen).size(), 12u) << screen;
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

// Lines and names with characters that the library and the terminal give
// different widths: the terminal puts every rule where the screen drew it.
TEST_F(RenderEndToEndTest, RulesStayInTheirColumns) {
  ASSERT_NE(TerminalLocale(), locale_t{}) << "no C.UTF-8 locale";
  repo_.Git({"config", "core.quotePath", "false"});
  const std::string odd =
      "a\u202Eb\u202Cc\u200Bd\u200De\uFEFFf\u2066g\u2069h\u1161i\u00ADj"
      "\u1112\u1161\u11ABk漢字\tl";
  repo_.Write("odd\u202E\u200Bname漢字漢字漢字漢字漢字漢字漢字.txt",
              "same " + odd + "\nx " + odd + "\n");
  repo_.Commit("odd");
  repo_.Write("odd\u202E\u200Bname漢字漢字漢字漢字漢字漢字漢字.txt",
              "same " + odd + "\ny " + odd + "\n");
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "diff"}, kWidth, kHeight);
  pane.WaitFor("<U+202E>");
  // Wrapped, every character of the lines is in view.
  pane.SendKeys({"Right", "w"});
  const std::string screen = pane.WaitUntil(
      "wrapped", [](const std::string& s) { return Shows(s, "<U+1161>"); });
  // The display columns of the rules, the scroll indicator and the
  // divider, row by row.
  std::vector<std::vector<int>> columns;
  for (const std::string& row : Rows(screen)) {
    std::vector<int>& at = columns.emplace_back();
    int column = 0;
    size_t i = 0;
    while (i < row.size()) {
      size_t length = 1;
      while (i + length < row.size() &&
             (static_cast<unsigned char>(row[i + length]) & 0xC0) == 0x80) {
        ++length;
      }
      const std::string character = row.substr(i, length);
      if (character == "│" || character == "┃" || character == "├" ||
          character == "┼") {
        at.push_back(column);
      }
      column += TerminalWidth(character);
      i += length;
    }
  }
  // Rows of the split layout have the divider and three rules.
  std::vector<int> expected;
  int rows = 0;
  for (const std::vector<int>& at : columns) {
    if (at.size() >= 4) {
      if (expected.empty()) {
        expected = at;
      }
      EXPECT_EQ(std::vector<int>(at.begin(), at.begin() + 4),
                std::vector<int>(expected.begin(), expected.begin() + 4))
          << screen;
      ++rows;
    }
  }
  EXPECT_GE(rows, 4) << screen;
  // The divider stays in column 30 on every row of the panes.
  for (size_t y = 1; y < columns.size(); ++y) {
    if (!columns[y].empty()) {
      EXPECT_EQ(columns[y][0], 30) << "row " << y << "\n" << screen;
    }
  }
}

}  // namespace
}  // namespace plimsy::testing
