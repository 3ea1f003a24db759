#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support.h"

namespace plimsy::testing {
namespace {

constexpr int kWidth = 100;
constexpr int kHeight = 20;

// Row `y` of a captured screen.
std::string RowOf(const std::string& screen, int y) {
  size_t begin = 0;
  for (int i = 0; i < y && begin != std::string::npos; ++i) {
    begin = screen.find('\n', begin);
    begin = begin == std::string::npos ? begin : begin + 1;
  }
  if (begin == std::string::npos) {
    return "";
  }
  return screen.substr(begin, screen.find('\n', begin) - begin);
}

// A mouse wheel notch in the SGR encoding at cell (x, y), from 0.
std::string Wheel(bool down, int x, int y) {
  return std::string("\x1b[<") + (down ? "65;" : "64;") +
         std::to_string(x + 1) + ";" + std::to_string(y + 1) + "M";
}

// Sixty changed files, f01.txt to f60.txt: more than the file list shows.
class ListEndToEndTest : public ::testing::Test {
 protected:
  ListEndToEndTest() {
    for (int i = 1; i <= kFiles; ++i) {
      repo_.Write(Name(i), "old\n");
    }
    repo_.Commit("first");
    for (int i = 1; i <= kFiles; ++i) {
      repo_.Write(Name(i), "new\n");
    }
  }

  static std::string Name(int i) {
    return std::string("f") + (i < 10 ? "0" : "") + std::to_string(i) + ".txt";
  }

  static constexpr int kFiles = 60;
  TempRepo repo_;
};

TEST_F(ListEndToEndTest, HomeAndEndInEveryFormAndTheWheel) {
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "diff"}, kWidth, kHeight);
  pane.WaitFor("│ f01.txt");

  // tmux's own End and Home keys, then the other forms terminals send.
  pane.SendKeys({"End"});
  pane.WaitFor("│ f60.txt");
  pane.SendKeys({"Home"});
  pane.WaitFor("│ f01.txt");
  const std::vector<std::pair<std::string, std::string>> forms = {
      {"\x1b[F", "\x1b[H"},
      {"\x1bOF", "\x1bOH"},
      {"\x1b[8~", "\x1b[7~"},
      {"\x1b[4~", "\x1b[1~"},
      {"G", "g"}};
  for (const auto& [end, home] : forms) {
    SCOPED_TRACE(end.substr(1));
    pane.SendLiteral(end);
    // The last row of the list, above the key hint: below the name row, so
    // the whole frame is drawn once it shows.
    std::string screen = pane.WaitUntil("the last file", [](const auto& s) {
      return RowOf(s, kHeight - 2).starts_with("> M f60.txt");
    });
    EXPECT_TRUE(Shows(screen, "│ f60.txt")) << screen;
    pane.SendLiteral(home);
    screen = pane.WaitFor("│ f01.txt");
    EXPECT_TRUE(RowOf(screen, 3).starts_with("> M f01.txt")) << screen;
  }

  // Two notches over the file list scroll it by six rows; the selection
  // follows to the first row in view.
  pane.SendLiteral(Wheel(true, 5, 10));
  pane.SendLiteral(Wheel(true, 5, 10));
  std::string screen = pane.WaitFor("│ f07.txt");
  EXPECT_TRUE(RowOf(screen, 3).starts_with("> M f07.txt")) << screen;
  // One back: the selection is still in view and stays.
  pane.SendLiteral(Wheel(false, 5, 10));
  screen = pane.WaitUntil("wheel up", [](const std::string& s) {
    return RowOf(s, 3).starts_with("  M f04.txt");
  });
  EXPECT_TRUE(Shows(screen, "│ f07.txt"));
}

TEST_F(ListEndToEndTest, UpAtTheFirstFileKeepsTheFocusInTheList) {
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "diff"}, kWidth, kHeight);
  pane.WaitFor("│ f01.txt");
  // Were the focus to move up into the header, Enter would toggle the
  // layout there.
  pane.SendKeys({"Up", "k", "Enter", "j"});
  const std::string screen = pane.WaitFor("│ f02.txt");
  EXPECT_TRUE(Shows(screen, "▣ [S]plit")) << screen;
}

TEST(ListEndToEndLogTest, WheelOverTheCommitList) {
  // Forty commits in one git run.
  TempRepo repo;
  std::string stream;
  for (int i = 1; i <= 40; ++i) {
    const std::string title = "change " + std::to_string(i);
    const std::string content = std::to_string(i) + "\n";
    stream += "commit refs/heads/main\nmark :" + std::to_string(i) +
              "\ncommitter A <a@example.com> " +
              std::to_string(1600000000 + i) + " +0000\ndata " +
              std::to_string(title.size()) + "\n" + title + "\n" +
              (i > 1 ? "from :" + std::to_string(i - 1) + "\n" : "") +
              "M 100644 inline f.txt\ndata " + std::to_string(content.size()) +
              "\n" + content + "\n";
  }
  repo.Git({"fast-import", "--quiet"}, stream);
  TmuxPane pane(repo.path(), {PlimsyBinary(), "log"}, kWidth, kHeight);
  pane.WaitFor("title:change 40");
  pane.SendLiteral(Wheel(true, 5, 10));
  const std::string screen = pane.WaitFor("title:change 37");
  EXPECT_TRUE(RowOf(screen, 3).starts_with("> ")) << screen;
}

}  // namespace
}  // namespace plimsy::testing
