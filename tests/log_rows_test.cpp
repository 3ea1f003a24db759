#include "log/rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <ftxui/dom/elements.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/color.hpp>
#include <ftxui/screen/screen.hpp>

#include "log_history.h"
#include "support.h"
#include "ui/fit_width.h"

namespace plimsy::log {
namespace {

using ftxui::Color;
using ftxui::Screen;
using testing::TempRepo;

std::string RowText(const Screen& screen, int y) {
  std::string row;
  for (int x = 0; x < screen.dimx(); ++x) {
    const std::string& character = screen.PixelAt(x, y).character;
    row += character.empty() ? " " : character;
  }
  row.erase(row.find_last_not_of(' ') + 1);
  return row;
}

Screen DrawRow(const CommitRow& row,
               const CommitColumns& columns,
               int width,
               bool active = false,
               bool focused = false) {
  Screen screen = Screen::Create(ftxui::Dimension::Fixed(width),
                                 ftxui::Dimension::Fixed(1));
  ftxui::Render(screen, DrawCommitRow(row, columns, active, focused));
  return screen;
}

// The dates of real commits as git prints them, by default and short.
TEST(SignatureTest, DatesAsGitPrintsThem) {
  const std::vector<std::string> moments = {
      "0 +0000",          "1700000000 +0200", "1700000000 -0530",
      "1709164800 +1400", "1709164799 -1200", "951782400 +0545",
      "4102444799 -0100", "1234567890 +0000",
  };
  TempRepo repo;
  std::vector<std::string> hashes;
  for (const std::string& moment : moments) {
    const std::string object =
        "tree 4b825dc642cb6eb9a060e54bf8d69288fbee4904\nauthor A "
        "<a@example.com> " +
        moment + "\ncommitter A <a@example.com> " + moment + "\n\nt\n";
    std::string hash =
        repo.Git({"hash-object", "-t", "commit", "-w", "--stdin"}, object);
    hash.pop_back();
    hashes.push_back(hash);
  }
  std::vector<std::string> args = {"log", "--no-walk=unsorted",
                                   "--format=%ad%n%as"};
  args.insert(args.end(), hashes.begin(), hashes.end());
  const std::vector<std::string> shown = testing::OutputLines(repo.Git(args));
  ASSERT_EQ(shown.size(), 2 * moments.size());
  for (std::size_t i = 0; i < moments.size(); ++i) {
    SCOPED_TRACE(moments[i]);
    Signature signature = ParseSignature("A <a@example.com> " + moments[i]);
    EXPECT_TRUE(signature.dated);
    EXPECT_EQ(signature.person, "A <a@example.com>");
    EXPECT_EQ(signature.name, "A");
    EXPECT_EQ(GitDate(signature), shown[2 * i]);
    EXPECT_EQ(ShortDate(signature), shown[2 * i + 1]);
  }
}

TEST(SignatureTest, ValuesWithoutADate) {
  struct Case {
    std::string value;
    std::string person;
    std::string name;
  };
  const std::vector<Case> cases = {
      {"Name <mail>", "Name <mail>", "Name"},
      {"Name <mail> 12x +0000", "Name <mail>", "Name"},
      {"Name <mail> 12 0000", "Name <mail>", "Name"},
      {"Name <mail> 12 +00000", "Name <mail>", "Name"},
      {"Name <mail> -12 +0000", "Name <mail>", "Name"},
      {"Name <mail>  12 +0000", "Name <mail>", "Name"},
      {"Name <mail> 99999999999999999999 +0000", "Name <mail>", "Name"},
      {"just a name ", "just a name ", "just a name"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    Signature signature = ParseSignature(c.value);
    EXPECT_FALSE(signature.dated);
    EXPECT_EQ(signature.person, c.person);
    EXPECT_EQ(signature.name, c.name);
    EXPECT_EQ(ShortDate(signature), "");
    EXPECT_EQ(GitDate(signature), "");
  }
}

TEST(FitColumnsTest, TitleKeepsRoomFirst) {
  struct Case {
    int width;
    int author;
    CommitColumns columns;
  };
  // mark 2, hash 7 and a blank: 10 cells; the date and its blank 11.
  const std::vector<Case> cases = {
      {120, 14, {7, 10, 14, 74}}, {57, 14, {7, 10, 14, 11}},
      {55, 14, {7, 10, 13, 10}},  {50, 14, {7, 10, 8, 10}},
      {49, 14, {7, 10, 0, 18}},   {50, 6, {7, 10, 6, 12}},
      {41, 14, {7, 10, 0, 10}},   {40, 14, {7, 0, 0, 20}},
      {12, 14, {7, 0, 0, 0}},     {0, 14, {7, 0, 0, 0}},
      {120, 0, {7, 10, 0, 89}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " " + std::to_string(c.author));
    EXPECT_EQ(FitColumns(c.width, 7, c.author), c.columns);
  }
}

TEST(CommitRowTest, ColumnsLineUpAndTheTitleIsCutLast) {
  Commit commit;
  commit.hash = "0123456789abcdef0123456789abcdef01234567";
  commit.title = "A title that is long enough to be cut";
  commit.authors = {"Ümit Çelik-Longname <u@example.com> 1700000000 +0200"};
  CommitRow row = MakeCommitRow(commit,
                                {{RefKind::kHead, "HEAD -> main"},
                                 {RefKind::kRemote, "origin/main"},
                                 {RefKind::kTag, "tag: v1"}},
                                9);
  EXPECT_EQ(row.hash, "012345678");
  EXPECT_EQ(row.date, "2023-11-15");
  EXPECT_EQ(row.author, "Ümit Çelik-Longname");
  EXPECT_EQ(row.author_width, 19);

  struct Case {
    int width;
    std::string text;
  };
  const std::vector<Case> cases = {
      {120,
       "  012345678 2023-11-15 Ümit Çelik-Longname (HEAD -> main, "
       "origin/main, tag: v1) A title that is long enough to be cut"},
      {70,
       "  012345678 2023-11-15 Ümit Çelik-Longname (HEAD -> main, …) A "
       "title t"},
      {60, "  012345678 2023-11-15 Ümit Çelik-Long… (…) A title that is"},
      {40, "  012345678 (HEAD -> main, …) A title th"},
      {30, "  012345678 (…) A title that i"},
      {14, "  012345678 A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    Screen screen =
        DrawRow(row, FitColumns(c.width, 9, row.author_width), c.width);
    EXPECT_EQ(RowText(screen, 0), c.text);
  }
}

TEST(CommitRowTest, SelectionAndColours) {
  Commit commit;
  commit.hash = std::string(40, 'a');
  commit.title = "title";
  commit.authors = {"Bo <b@example.com> 1700000000 +0000"};
  CommitRow row = MakeCommitRow(commit, {{RefKind::kBranch, "topic"}}, 7);
  const CommitColumns columns = FitColumns(80, 7, 2);

  Screen plain = DrawRow(row, columns, 80);
  EXPECT_EQ(RowText(plain, 0), "  aaaaaaa 2023-11-14 Bo (topic) title");
  EXPECT_EQ(plain.PixelAt(2, 0).foreground_color, Color(Color::Yellow));
  EXPECT_EQ(plain.PixelAt(10, 0).foreground_color, Color(Color::Blue));
  EXPECT_EQ(plain.PixelAt(21, 0).foreground_color, Color(Color::Green));
  EXPECT_EQ(plain.PixelAt(25, 0).foreground_color, Color(Color::Green));
  EXPECT_TRUE(plain.PixelAt(25, 0).bold);
  EXPECT_EQ(plain.PixelAt(32, 0).foreground_color, Color(Color::Default));
  EXPECT_FALSE(plain.PixelAt(32, 0).inverted);

  Screen active = DrawRow(row, columns, 80, true, false);
  EXPECT_EQ(RowText(active, 0), "> aaaaaaa 2023-11-14 Bo (topic) title");
  EXPECT_TRUE(active.PixelAt(32, 0).bold);
  EXPECT_FALSE(active.PixelAt(32, 0).inverted);

  Screen focused = DrawRow(row, columns, 80, true, true);
  for (int x : {0, 2, 32, 79}) {
    EXPECT_TRUE(focused.PixelAt(x, 0).inverted) << x;
  }
}

TEST(CommitRowTest, UnsafeBytesAreMadeSafeOnce) {
  Commit commit;
  commit.hash = std::string(40, 'a');
  commit.title = "t\x1B]0;x\x07";
  commit.authors = {"N\x1B[2J\xff <n@example.com> 1700000000 +0000"};
  CommitRow row = MakeCommitRow(commit, {{RefKind::kBranch, "b\x1B[1m"}}, 7);
  EXPECT_EQ(row.title, "t]0;x");
  EXPECT_EQ(row.author, "N[2J\uFFFD");
  EXPECT_EQ(row.labels[0].name, "b[1m");
}

TEST(FitWidthTest, CutsByCells) {
  EXPECT_EQ(FitWidth("short", 8), "short");
  EXPECT_EQ(FitWidth("exactly8", 8), "exactly8");
  EXPECT_EQ(FitWidth("too long name", 8), "too lon…");
  EXPECT_EQ(FitWidth("日本語の名前", 6), "日本…");
  EXPECT_EQ(FitWidth("日本語の名前", 5), "日本…");
  EXPECT_EQ(FitWidth("abc", 1), "…");
  EXPECT_EQ(FitWidth("abc", 0), "");
}

}  // namespace
}  // namespace plimsy::log
