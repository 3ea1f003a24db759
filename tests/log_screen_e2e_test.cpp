#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support.h"

namespace plimsy::testing {
namespace {

// 150 commits "walk 1" … "walk 150", one file each; the newest also adds a
// 120-line file.
void WriteHistory(TempRepo& repo) {
  std::string stream;
  for (int i = 1; i <= 150; ++i) {
    const std::string n = std::to_string(i);
    const std::string message = "walk " + n + "\n";
    stream += "commit refs/heads/main\nmark :" + n +
              "\ncommitter T <t@example.com> 1700000000 +0000\ndata " +
              std::to_string(message.size()) + "\n" + message +
              (i > 1 ? "from :" + std::to_string(i - 1) + "\n" : "") +
              "M 100644 inline file" + n + ".txt\ndata " +
              std::to_string(n.size() + 1) + "\n" + n + "\n";
    if (i == 150) {
      std::string big;
      for (int line = 1; line <= 120; ++line) {
        big += "big line " + std::to_string(line) + "\n";
      }
      stream += "M 100644 inline big.txt\ndata " + std::to_string(big.size()) +
                "\n" + big;
    }
    stream += "\n";
  }
  repo.Git({"fast-import", "--quiet"}, stream);
}

// The number in the title row of the commit details, or -1.
int ShownWalk(const std::string& screen) {
  const std::string label = "    title:walk ";
  size_t at = screen.find(label);
  return at == std::string::npos ? -1
                                 : std::stoi(screen.substr(at + label.size()));
}

TEST(LogScreenEndToEndTest, BrowseHistoryAndDiff) {
  TempRepo repo;
  WriteHistory(repo);
  TmuxPane pane(repo.path(), {PlimsyBinary(), "log"}, 100, 30);

  std::string screen = pane.WaitFor("> walk 150");
  EXPECT_NE(screen.find("[plimsy log]"), std::string::npos) << screen;
  EXPECT_NE(screen.find("committer:T <t@example.com> 1700000000 +0000"),
            std::string::npos)
      << screen;

  // Down to the last of the first 80 entries, then a page further: every
  // key tops the list up before the menu moves.
  pane.SendKeys(std::vector<std::string>(79, "Down"));
  pane.WaitFor("    title:walk 71\n");
  pane.SendKeys({"PageDown"});
  int shown = 71;
  for (int tries = 0; tries < 500 && shown == 71; ++tries) {
    shown = ShownWalk(pane.Capture());
  }
  ASSERT_GT(shown, 0);
  EXPECT_LT(shown, 70);
  // Exact key counts: a list key that moves nothing goes on to the
  // containers, which would move the focus. Home and End are left out as
  // tmux sends sequences for them that the terminal library does not read.
  pane.SendKeys(std::vector<std::string>(shown - 1, "Down"));
  pane.WaitFor("    title:walk 1\n");
  pane.SendKeys(std::vector<std::string>(149, "Up"));
  pane.WaitFor("    title:walk 150\n");

  pane.SendKeys({"Right", "Down"});
  screen = pane.WaitFor("big line 1");
  EXPECT_EQ(screen.find("big line 120"), std::string::npos) << screen;
  pane.SendKeys({"Right"});
  pane.SendKeys(std::vector<std::string>(5, "PageDown"));
  pane.WaitFor("big line 120");
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

}  // namespace
}  // namespace plimsy::testing
