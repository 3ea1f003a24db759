#include "diff/diff.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "git.h"
#include "support.h"

namespace plimsy {
namespace {

using namespace std::string_literals;

// Writes a byte string in quotes with anything unprintable escaped, so that
// a whole parse can be compared as one readable text.
std::string Quote(const std::string& bytes) {
  std::string out = "\"";
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// One line per record: `file old new`, `hunk old_start new_start`, then
// the kind (C, A, D) and text of each line.
std::string Dump(const std::vector<File>& files) {
  std::string out;
  for (const File& file : files) {
    out += "file " + Quote(file.old_name) + " " + Quote(file.new_name) + "\n";
    for (const Hunk& hunk : file.hunks) {
      out += "hunk " + std::to_string(hunk.old_start) + " " +
             std::to_string(hunk.new_start) + "\n";
      for (const Line& line : hunk.lines) {
        const char* kind = line.kind == LineKind::Added     ? "A"
                           : line.kind == LineKind::Deleted ? "D"
                                                            : "C";
        out += std::string(kind) + " " + Quote(line.text) + "\n";
      }
    }
  }
  return out;
}

struct ParseCase {
  std::string name;
  std::string diff;
  std::string expected;
};

void ExpectParses(const std::vector<ParseCase>& cases) {
  for (const ParseCase& c : cases) {
    EXPECT_EQ(Dump(ParseDiff(c.diff)), c.expected) << c.name;
  }
}

TEST(ParseDiffTest, BuildsFilesHunksAndLines) {
  ExpectParses({
      {"empty text", "", ""},
      {"one section",
       "diff --git a/f b/f\n"
       "index 1234567..89abcde 100644\n"
       "--- a/f\n"
       "+++ b/f\n"
       "@@ -1,2 +1,2 @@\n"
       " a\n"
       "-b\n"
       "+c\n",
       "file \" a/f\" \"f\"\n"
       "hunk 1 1\n"
       "C \"a\"\n"
       "D \"b\"\n"
       "A \"c\"\n"},
      {"two sections, two hunks",
       "diff --git a/x b/x\n--- a/x\n+++ b/x\n"
       "@@ -1 +1 @@\n-1\n+2\n"
       "@@ -10,2 +10,3 @@ int main()\n x\n+y\n"
       "diff --git a/y b/y\n--- a/y\n+++ b/y\n@@ -4 +4 @@\n-p\n+q\n",
       "file \" a/x\" \"x\"\n"
       "hunk 1 1\nD \"1\"\nA \"2\"\n"
       "hunk 10 10\nC \"x\"\nA \"y\"\n"
       "file \" a/y\" \"y\"\n"
       "hunk 4 4\nD \"p\"\nA \"q\"\n"},
      {"new file",
       "diff --git a/n b/n\nnew file mode 100644\nindex 0000000..e69de29\n"
       "--- /dev/null\n+++ b/n\n@@ -0,0 +1,3 @@\n+1\n+2\n+3\n",
       "file \" /dev/null\" \"n\"\n"
       "hunk 0 1\nA \"1\"\nA \"2\"\nA \"3\"\n"},
      {"deleted file",
       "diff --git a/d b/d\ndeleted file mode 100644\n"
       "--- a/d\n+++ /dev/null\n@@ -1 +0,0 @@\n-gone\n",
       "file \" a/d\" \"ev/null\"\n"
       "hunk 1 0\nD \"gone\"\n"},
      {"binary file",
       "diff --git a/img b/img\nindex 1111111..2222222 100644\n"
       "Binary files a/img and b/img differ\n",
       "file \"\" \"\"\n"},
      {"quoted names",
       "diff --git \"a/sp\\303\\244ce\" \"b/sp\\303\\244ce\"\n"
       "--- \"a/sp\\303\\244ce\"\n+++ \"b/sp\\303\\244ce\"\n",
       "file \" \\x22a/sp\\x5C303\\x5C244ce\\x22\" "
       "\"/sp\\x5C303\\x5C244ce\\x22\"\n"},
      {"later header line replaces earlier",
       "diff --git a/f b/f\n--- a/one\n--- a/two\n+++ b/three\n+++ b/four\n",
       "file \" a/two\" \"four\"\n"},
      {"header signs inside a hunk are content",
       "diff --git a/f b/f\n--- a/f\n+++ b/f\n@@ -1,3 +1,3 @@\n"
       "---x\n+++y\n--- a/f\n",
       "file \" a/f\" \"f\"\n"
       "hunk 1 1\nD \"--x\"\nA \"++y\"\nD \"-- a/f\"\n"},
  });
}

TEST(ParseDiffTest, KeepsLineTextAsBytes) {
  const std::string head = "diff --git a/f b/f\n@@ -1 +1 @@\n";
  const std::string file = "file \"\" \"\"\nhunk 1 1\n";
  ExpectParses({
      {"tab after prefix", head + "+\tx\n", file + "A \"\\x09x\"\n"},
      {"two tabs", head + "+\t\tx\n", file + "A \"\\x09\\x09x\"\n"},
      {"tab inside text", head + " a\tb\n", file + "C \"a\\x09b\"\n"},
      {"lone sign", head + "+\n-\n", file + "A \"\"\nD \"\"\n"},
      {"no-newline marker", head + "-b\n\\ No newline at end of file\n+c\n",
       file + "D \"b\"\nA \"c\"\n"},
      {"no final newline", head + " a\n+c", file + "C \"a\"\nA \"c\"\n"},
      {"carriage return kept", head + "+c\r\n", file + "A \"c\\x0D\"\n"},
      {"blank line ignored", head + "\n+c\n", file + "A \"c\"\n"},
      {"NUL and invalid UTF-8", head + "+\x00\xFF\xE0x\n"s,
       file + "A \"\\x00\\xFF\\xE0x\"\n"},
  });
}

TEST(ParseDiffTest, ReadsHunkHeaderStarts) {
  struct HeaderCase {
    std::string header;
    int32_t old_start;
    int32_t new_start;
  };
  const std::vector<HeaderCase> cases = {
      {"@@ -1,2 +3,4 @@", 1, 3},
      {"@@ -5 +7 @@", 5, 7},
      {"@@ -0,0 +1,3 @@", 0, 1},
      {"@@ -12,3 +14,5 @@ void f(int x)", 12, 14},
      {"@@ -3,4 +5,6 @@ int f()\r", 3, 5},
      {"@@ -3,4 +5,6 @@\r", 3, 5},
      {"@@ -1,2 +3,4 @@@", 1, 3},
      {"@@ -007 +0008 @@", 7, 8},
      {"@@ -2147483647 +1 @@", 2147483647, 1},
      {"@@ -1,99999999999 +2,99999999999 @@", 1, 2},
      {"@@@ -10,2 -20,3 +30,4 @@@", 10, 30},
      {"@@@@ -1 -2 -3 +4 @@@@ merge", 1, 4},
      {"@@ -2147483648 +1 @@", 0, 0},
      {"@@ -1 +99999999999999999999 @@", 0, 0},
      {"@@", 0, 0},
      {"@@ -a +b @@", 0, 0},
      {"@@ -1, +2 @@", 0, 0},
      {"@@ -1 +2", 0, 0},
      {"@@ -1 +2 @", 0, 0},
      {"@@  -1 +2 @@", 0, 0},
      {"@@@ -1 +2 @@@", 0, 0},
      {"@@@ -1 -2 +3 @@", 0, 0},
  };
  for (const HeaderCase& c : cases) {
    const std::vector<File> files =
        ParseDiff("diff --git a/f b/f\n" + c.header + "\n+x\n");
    ASSERT_EQ(files.size(), 1u) << c.header;
    ASSERT_EQ(files[0].hunks.size(), 1u) << c.header;
    EXPECT_EQ(files[0].hunks[0].old_start, c.old_start) << c.header;
    EXPECT_EQ(files[0].hunks[0].new_start, c.new_start) << c.header;
    EXPECT_EQ(files[0].hunks[0].lines.size(), 1u) << c.header;
  }
}

TEST(ParseDiffTest, ShortNewNameHeaderGivesEmptyName) {
  ExpectParses({
      {"bare signs", "diff\n+++\n", "file \"\" \"\"\n"},
      {"five characters", "diff\n+++ b\n", "file \"\" \"\"\n"},
      {"six characters", "diff\n+++ b/\n", "file \"\" \"\"\n"},
      {"one-character name", "diff\n+++ b/x\n", "file \"\" \"x\"\n"},
  });
}

TEST(ParseDiffTest, IgnoresLinesWithoutARecord) {
  ExpectParses({
      {"headers and hunk before any section",
       "--- a/f\n+++ b/f\n@@ -1 +1 @@\n-a\n+b\n", ""},
      {"content before the first hunk",
       "diff --git a/f b/f\n a\n+b\n-c\n@@ -1 +1 @@\n+d\n",
       "file \"\" \"\"\nhunk 1 1\nA \"d\"\n"},
      {"content after a section with no hunk yet",
       "diff --git a/f b/f\n@@ -1 +1 @@\n+a\ndiff --git a/g b/g\n+b\n",
       "file \"\" \"\"\nhunk 1 1\nA \"a\"\nfile \"\" \"\"\n"},
      {"--stat",
       " src/a.c | 4 ++--\n b      | 1 -\n"
       " 2 files changed, 2 insertions(+), 3 deletions(-)\n",
       ""},
      {"--shortstat", " 1 file changed, 1 insertion(+)\n", ""},
      {"--name-only", "src/a.c\n+weird\n-name\n@@odd\n", ""},
      {"--summary",
       " create mode 100644 new.txt\n delete mode 100644 old.txt\n"
       " rename a.txt => b.txt (100%)\n mode change 100644 => 100755 s\n",
       ""},
      {"--stat with a patch",
       " f | 2 +-\n 1 file changed\n\ndiff --git a/f b/f\n--- a/f\n"
       "+++ b/f\n@@ -1 +1 @@\n-a\n+b\n",
       "file \" a/f\" \"f\"\nhunk 1 1\nD \"a\"\nA \"b\"\n"},
  });
}

TEST(ParseDiffTest, ParsesRealGitOutput) {
  testing::TempRepo repo;
  const std::string text =
      "line one\nline two\nline three\nline four\nline five\n";
  repo.Write("keep.txt", "alpha\nbeta\ngamma\n");
  repo.Write("old.txt", text);
  repo.Write("run.sh", "echo hi\n");
  repo.Write("image.bin", "\x89PNG\x00\x01\x02"s);
  repo.Write("gone.txt", "bye\n");
  const std::string first = repo.Commit("first");

  repo.Write("keep.txt", "alpha\n\tBETA\ngamma\n");
  repo.Git({"mv", "old.txt", "new.txt"});
  std::filesystem::permissions(repo.path() + "/run.sh",
                               std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add);
  repo.Write("image.bin", "\x89PNG\x00\x03\x04"s);
  repo.Git({"rm", "-q", "gone.txt"});
  const std::string second = repo.Commit("second");

  std::string output;
  {
    testing::ScopedCwd cwd(repo.path());
    output = GitOutput({"diff", "-U3", first, second});
  }
  EXPECT_EQ(Dump(ParseDiff(output)),
            "file \" a/gone.txt\" \"ev/null\"\n"
            "hunk 1 0\nD \"bye\"\n"
            "file \"\" \"\"\n"
            "file \" a/keep.txt\" \"keep.txt\"\n"
            "hunk 1 1\nC \"alpha\"\nD \"beta\"\nA \"\\x09BETA\"\nC \"gamma\"\n"
            "file \"\" \"\"\n"
            "file \"\" \"\"\n")
      << output;
}

}  // namespace
}  // namespace plimsy
