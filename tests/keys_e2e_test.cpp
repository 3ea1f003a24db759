#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "fixtures.h"
#include "support.h"

namespace plimsy::testing {
namespace {

const std::vector<std::pair<int, std::string>> kSixHunks = {
    {20, "ROW 20"},   {60, "ROW 60"},   {100, "ROW 100"},
    {150, "ROW 150"}, {220, "ROW 220"}, {280, "ROW 280"}};

// The last row of a captured screen.
std::string LastRow(const std::string& screen) {
  std::string rows = screen;
  while (!rows.empty() && rows.back() == '\n') {
    rows.pop_back();
  }
  return rows.substr(rows.rfind('\n') + 1);
}

// A mouse wheel report in the SGR encoding at cell (x, y), counted from 1.
std::string Wheel(bool down, int x, int y) {
  return std::string("\x1b[<") + (down ? "65;" : "64;") + std::to_string(x) +
         ";" + std::to_string(y) + "M";
}

class KeysEndToEndTest : public ::testing::Test {
 protected:
  KeysEndToEndTest() {
    repo_.Write("long.txt", NumberedRows({}));
    repo_.Write("space.txt", "int main() {\n  return 0;\n}\n");
    repo_.Commit("root title");
    repo_.Write("long.txt", NumberedRows(kSixHunks));
    repo_.Commit("hunks");
    repo_.Write("space.txt", "int  main() {\n\treturn 0;\n}\n");
  }

  TempRepo repo_;
};

TEST_F(KeysEndToEndTest, DiffScreenHelpSearchHunksAndFocus) {
  repo_.Write("long.txt", NumberedRows({{20, "row 20 again"},
                                        {60, "row 60 again"},
                                        {100, "row 100 again"},
                                        {150, "row 150 again"},
                                        {220, "row 220 again"},
                                        {280, "row 280 again"}}));
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "diff"}, 100, 30);
  // A frame is written from the top down: a capture may catch one half
  // written, so what is checked below a waited-for text is waited for too.
  std::string screen = pane.WaitUntil("first frame", [](const std::string& s) {
    return Shows(s, "@@ -17,7 +17,7 @@") && Shows(LastRow(s), "? help");
  });

  pane.SendKeys({"?"});
  pane.WaitUntil("help", [](const std::string& s) {
    return Shows(s, "Keys of plimsy diff") && Shows(s, "next / previous hunk");
  });
  // Any key closes it and does nothing else.
  pane.SendKeys({"q"});
  pane.WaitUntil("help closed", [](const std::string& s) {
    return !Shows(s, "Keys of plimsy diff");
  });

  // Tab moves the focus, not the file selection: j then scrolls the
  // difference.
  pane.SendKeys({"Tab", "]"});
  screen = pane.WaitUntil("next hunk", [](const std::string& s) {
    return Shows(s, "@@ -57,7 +57,7 @@") && !Shows(s, "@@ -17,7 +17,7 @@");
  });
  EXPECT_TRUE(Shows(screen, "> M long.txt")) << screen;
  pane.SendKeys({"["});
  pane.WaitFor("@@ -17,7 +17,7 @@");

  pane.SendKeys({"/", "a", "g", "a", "i", "n", "Enter"});
  pane.SendKeys({"n", "n", "n", "n", "n", "n"});
  screen = pane.WaitUntil("search round", [](const std::string& s) {
    return Shows(LastRow(s), "Search went past the end, on from the top");
  });
  EXPECT_TRUE(Shows(screen, "row 20 again")) << screen;

  // Tab round to the file list: j moves to the next file.
  pane.SendKeys({"Tab", "j"});
  pane.WaitFor("> M space.txt");
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

TEST_F(KeysEndToEndTest, DiffScreenWhitespaceKeyDropsAWhitespaceOnlyChange) {
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "diff"}, 100, 30);
  std::string screen = pane.WaitFor("M space.txt");
  EXPECT_TRUE(Shows(screen, "☐ [W]hitespace")) << screen;
  pane.SendKeys({"W"});
  // Nothing is left to show, and the screen says so instead of closing.
  pane.WaitUntil("whitespace ignored", [](const std::string& s) {
    return Shows(s, "▣ [W]hitespace") && !Shows(s, "M space.txt") &&
           Shows(s, "No difference");
  });
  pane.SendKeys({"W"});
  pane.WaitFor("M space.txt");
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

TEST_F(KeysEndToEndTest, DiffScreenInA40By12Window) {
  repo_.Write("long.txt", NumberedRows({{20, "row 20 again"}}));
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "diff"}, 40, 12);
  std::string screen = pane.WaitFor("row 20 again");
  const std::string header = screen.substr(0, screen.find('\n'));
  EXPECT_TRUE(Shows(header, "plimsy")) << header;
  EXPECT_TRUE(Shows(header, "[Q]")) << header;
  EXPECT_EQ(std::count(header.begin(), header.end(), '['),
            std::count(header.begin(), header.end(), ']'))
      << header;
  // The joined layout: the deleted line above the added one.
  EXPECT_TRUE(Shows(screen, "-ROW 20")) << screen;
  EXPECT_LT(screen.find("-ROW 20"), screen.find("+row 20 again")) << screen;
  pane.SendKeys({"?"});
  pane.WaitFor("Keys");
  pane.SendKeys({"x", "q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

TEST_F(KeysEndToEndTest, LogScreenHelpSearchHunksFocusAndWheel) {
  repo_.Commit("spaces");
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "log"}, 120, 30);
  pane.WaitFor("title:spaces");

  pane.SendKeys({"?"});
  std::string screen = pane.WaitUntil("help", [](const std::string& s) {
    return Shows(s, "Keys of plimsy log") && Shows(s, "next / previous commit");
  });
  pane.SendKeys({"Escape"});
  pane.WaitUntil("help closed", [](const std::string& s) {
    return !Shows(s, "Keys of plimsy log");
  });

  pane.SendKeys({"/", "h", "u", "n", "k", "s", "Enter"});
  pane.WaitFor("title:hunks");
  pane.SendKeys({"n"});
  screen = pane.WaitUntil("search round", [](const std::string& s) {
    return Shows(LastRow(s), "Search went past the end, on from the top");
  });
  EXPECT_TRUE(Shows(screen, "title:hunks")) << screen;

  // Tab to the file list, choose long.txt, Tab to the content.
  pane.SendKeys({"Tab", "j", "Tab"});
  pane.WaitFor("@@ -17,7 +17,7 @@");
  pane.SendKeys({"]"});
  pane.WaitUntil("next hunk", [](const std::string& s) {
    return Shows(s, "@@ -57,7 +57,7 @@") && !Shows(s, "@@ -17,7 +17,7 @@");
  });
  pane.SendKeys({"["});
  pane.WaitFor("@@ -17,7 +17,7 @@");

  // Three rows a notch, over the content.
  for (int i = 0; i < 3; ++i) {
    pane.SendLiteral(Wheel(true, 100, 10));
  }
  pane.WaitUntil("wheel down", [](const std::string& s) {
    return !Shows(s, "@@ -57,7 +57,7 @@") && Shows(s, "│57 │ row 57");
  });
  for (int i = 0; i < 3; ++i) {
    pane.SendLiteral(Wheel(false, 100, 10));
  }
  pane.WaitFor("@@ -17,7 +17,7 @@");
  pane.SendKeys({"Q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

TEST_F(KeysEndToEndTest, LogScreenWhitespaceKey) {
  repo_.Commit("spaces");
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "log"}, 120, 30);
  pane.WaitFor("title:spaces");
  pane.SendKeys({"Tab", "j"});
  pane.WaitFor("-  return 0;");
  pane.SendKeys({"W"});
  pane.WaitUntil("whitespace ignored", [](const std::string& s) {
    return Shows(s, "▣ [W]hitespace") && !Shows(s, "-  return 0;");
  });
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

TEST_F(KeysEndToEndTest, LogScreenInA40By12Window) {
  repo_.Commit("spaces");
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "log"}, 40, 12);
  std::string screen = pane.WaitFor("Content");
  const std::string header = screen.substr(0, screen.find('\n'));
  EXPECT_EQ(std::count(header.begin(), header.end(), '['),
            std::count(header.begin(), header.end(), ']'))
      << header;
  pane.SendKeys({"Tab", "Tab", "?"});
  pane.WaitFor("Keys");
  pane.SendKeys({"x", "q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

}  // namespace
}  // namespace plimsy::testing
