#include "diff/diff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "diff/file_labels.h"
#include "diff/strip_colour.h"
#include "fixtures.h"
#include "git/command_lines.h"
#include "git/run.h"
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

// One line per record: `file old new mark` with the similarity, the modes
// (old>new) and "binary" where the file has them, `hunk old_start
// new_start`, then the kind (C, A, D) and text of each line.
std::string Dump(const std::vector<File>& files) {
  std::string out;
  for (const File& file : files) {
    out += "file " + Quote(file.old_name) + " " + Quote(file.new_name) + " " +
           StatusMark(file.status);
    if (file.similarity >= 0) {
      out += " " + std::to_string(file.similarity) + "%";
    }
    if (!file.old_mode.empty() || !file.new_mode.empty()) {
      out += " " + file.old_mode + ">" + file.new_mode;
    }
    if (file.binary) {
      out += " binary";
    }
    out += "\n";
    for (const Hunk& hunk : file.hunks) {
      out += "hunk " + std::to_string(hunk.old_start) + " " +
             std::to_string(hunk.new_start) + "\n";
      for (const Line& line : hunk.lines) {
        const char* kind = line.kind == LineKind::kAdded     ? "A"
                           : line.kind == LineKind::kDeleted ? "D"
                                                             : "C";
        out += std::string(kind) + " " + Quote(std::string(line.text())) + "\n";
      }
    }
  }
  return out;
}

// Each line's kind (C, A, D) followed by "\\" where git marked the line as
// ending without a newline; hunks apart by a blank.
std::string Marks(const std::vector<File>& files) {
  std::string out;
  for (const File& file : files) {
    for (const Hunk& hunk : file.hunks) {
      out += out.empty() ? "" : " ";
      for (const Line& line : hunk.lines) {
        out += line.kind == LineKind::kAdded     ? "A"
               : line.kind == LineKind::kDeleted ? "D"
                                                 : "C";
        out += line.no_newline ? "\\" : "";
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
       "file \"f\" \"f\" M\n"
       "hunk 1 1\n"
       "C \"a\"\n"
       "D \"b\"\n"
       "A \"c\"\n"},
      {"two sections, two hunks",
       "diff --git a/x b/x\n--- a/x\n+++ b/x\n"
       "@@ -1 +1 @@\n-1\n+2\n"
       "@@ -10,2 +10,3 @@ int main()\n x\n+y\n"
       "diff --git a/y b/y\n--- a/y\n+++ b/y\n@@ -4 +4 @@\n-p\n+q\n",
       "file \"x\" \"x\" M\n"
       "hunk 1 1\nD \"1\"\nA \"2\"\n"
       "hunk 10 10\nC \"x\"\nA \"y\"\n"
       "file \"y\" \"y\" M\n"
       "hunk 4 4\nD \"p\"\nA \"q\"\n"},
      {"new file",
       "diff --git a/n b/n\nnew file mode 100644\nindex 0000000..e69de29\n"
       "--- /dev/null\n+++ b/n\n@@ -0,0 +1,3 @@\n+1\n+2\n+3\n",
       "file \"\" \"n\" A >100644\n"
       "hunk 0 1\nA \"1\"\nA \"2\"\nA \"3\"\n"},
      {"deleted file",
       "diff --git a/d b/d\ndeleted file mode 100644\n"
       "--- a/d\n+++ /dev/null\n@@ -1 +0,0 @@\n-gone\n",
       "file \"d\" \"\" D 100644>\n"
       "hunk 1 0\nD \"gone\"\n"},
      {"binary file",
       "diff --git a/img b/img\nindex 1111111..2222222 100644\n"
       "Binary files a/img and b/img differ\n",
       "file \"img\" \"img\" B binary\n"},
      {"quoted names",
       "diff --git \"a/sp\\303\\244ce\" \"b/sp\\303\\244ce\"\n"
       "--- \"a/sp\\303\\244ce\"\n+++ \"b/sp\\303\\244ce\"\n",
       "file \"sp\\xC3\\xA4ce\" \"sp\\xC3\\xA4ce\" M\n"},
      {"later header line replaces earlier",
       "diff --git a/f b/f\n--- a/one\n--- a/two\n+++ b/three\n+++ b/four\n",
       "file \"two\" \"four\" M\n"},
      {"header signs inside a hunk are content",
       "diff --git a/f b/f\n--- a/f\n+++ b/f\n@@ -1,3 +1,3 @@\n"
       "---x\n+++y\n--- a/f\n",
       "file \"f\" \"f\" M\n"
       "hunk 1 1\nD \"--x\"\nA \"++y\"\nD \"-- a/f\"\n"},
  });
}

TEST(ParseDiffTest, KeepsLineTextAsBytes) {
  const std::string head = "diff --git a/f b/f\n@@ -1 +1 @@\n";
  const std::string file = "file \"f\" \"f\" M\nhunk 1 1\n";
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

TEST(ParseDiffTest, ReadsNamesAndKindsFromTheHeaders) {
  ExpectParses({
      {"rename without content",
       "diff --git a/old b/new\nsimilarity index 100%\n"
       "rename from old\nrename to new\n",
       "file \"old\" \"new\" R 100%\n"},
      {"rename with content",
       "diff --git a/d/x.c b/e/x.c\nsimilarity index 87%\n"
       "rename from d/x.c\nrename to e/x.c\nindex 1..2 100644\n"
       "--- a/d/x.c\n+++ b/e/x.c\n@@ -1 +1 @@\n-a\n+b\n",
       "file \"d/x.c\" \"e/x.c\" R 87%\nhunk 1 1\nD \"a\"\nA \"b\"\n"},
      {"copy",
       "diff --git a/s b/c\nsimilarity index 100%\ncopy from s\ncopy to c\n",
       "file \"s\" \"c\" C 100%\n"},
      {"mode change only",
       "diff --git a/run.sh b/run.sh\nold mode 100644\nnew mode 100755\n",
       "file \"run.sh\" \"run.sh\" T 100644>100755\n"},
      {"mode change with content",
       "diff --git a/r b/r\nold mode 100644\nnew mode 100755\n"
       "--- a/r\n+++ b/r\n@@ -1 +1 @@\n+x\n",
       "file \"r\" \"r\" M 100644>100755\nhunk 1 1\nA \"x\"\n"},
      {"new binary file",
       "diff --git a/i b/i\nnew file mode 100644\nindex 0000000..1111111\n"
       "Binary files /dev/null and b/i differ\n",
       "file \"\" \"i\" A >100644 binary\n"},
      {"deleted empty file",
       "diff --git a/e b/e\ndeleted file mode 100644\nindex e69de29..0000000\n",
       "file \"e\" \"\" D 100644>\n"},
      {"binary patch",
       "diff --git a/i b/i\nindex 1..2 100644\nGIT binary patch\n"
       "literal 3\nKcmZSh&;S4c0RRC2\n\nliteral 3\nKcmZSh&;S4c0RRC2\n\n",
       "file \"i\" \"i\" B binary\n"},
      {"submodule",
       "diff --git a/sub b/sub\nindex 1111111..2222222 160000\n--- a/sub\n"
       "+++ b/sub\n@@ -1 +1 @@\n-Subproject commit 1111111\n"
       "+Subproject commit 2222222\n",
       "file \"sub\" \"sub\" M\nhunk 1 1\nD \"Subproject commit 1111111\"\n"
       "A \"Subproject commit 2222222\"\n"},
      {"blanks in both names, the same path",
       "diff --git a/my file b/my file\n--- a/my file\t\n+++ b/my file\t\n",
       "file \"my file\" \"my file\" M\n"},
      {"blanks in both names, b/ inside the name",
       "diff --git a/x b/y b/x b/y\n", "file \"x b/y\" \"x b/y\" M\n"},
      {"blanks in a rename: the rename lines decide",
       "diff --git a/old name b/new name\nsimilarity index 90%\n"
       "rename from old name\nrename to new name\n",
       "file \"old name\" \"new name\" R 90%\n"},
      {"quoted names with escapes",
       "diff --git \"a/t\\tq\\\"b\\\\.txt\" \"b/t\\tq\\\"b\\\\.txt\"\n"
       "--- \"a/t\\tq\\\"b\\\\.txt\"\t\n+++ \"b/t\\tq\\\"b\\\\.txt\"\t\n",
       "file \"t\\x09q\\x22b\\x5C.txt\" \"t\\x09q\\x22b\\x5C.txt\" M\n"},
      {"only the second name quoted",
       "diff --git a/plain \"b/t\\tx\"\nsimilarity index 50%\n",
       "file \"plain\" \"t\\x09x\" M 50%\n"},
      {"no prefixes", "diff --git f f\n--- f\n+++ f\n@@ -1 +1 @@\n+x\n",
       "file \"f\" \"f\" M\nhunk 1 1\nA \"x\"\n"},
      {"no prefixes, a path under a/", "diff --git a/x a/x\n--- a/x\n+++ a/x\n",
       "file \"a/x\" \"a/x\" M\n"},
      {"a file named dev/null",
       "diff --git a/dev/null b/dev/null\n--- a/dev/null\n+++ b/dev/null\n",
       "file \"dev/null\" \"dev/null\" M\n"},
      {"/dev/null alone means the side is missing",
       "diff --git a/n b/n\n--- /dev/null\n+++ b/n\n"
       "diff --git a/d b/d\n--- a/d\n+++ /dev/null\n",
       "file \"\" \"n\" A\nfile \"d\" \"\" D\n"},
      {"combined diff of an unmerged file",
       "diff --cc src/m.c\nindex 1,2..3\n--- a/src/m.c\n+++ b/src/m.c\n"
       "@@@ -1,1 -1,1 +1,5 @@@\n++<<<<<<< HEAD\n +ours\n",
       "file \"src/m.c\" \"src/m.c\" U\nhunk 1 1\nA \"+<<<<<<< HEAD\"\n"
       "C \"+ours\"\n"},
      {"combined diff, quoted name", "diff --combined \"\\303\\251.c\"\n",
       "file \"\\xC3\\xA9.c\" \"\\xC3\\xA9.c\" U\n"},
  });
}

// Moves what `reader` has handed over to `files`, the file being read too
// with `current`, joining parts as a screen joins them.
void TakeJoined(DiffReader& reader, std::vector<File>& files, bool current) {
  std::vector<FilePart> parts;
  reader.TakeParts(parts);
  if (current) {
    reader.TakeCurrentPart(parts);
  }
  for (FilePart& part : parts) {
    if (part.joins) {
      JoinPart(files.back(), std::move(part));
    } else {
      files.push_back(std::move(part.file));
    }
  }
}

// Reads `text`, taking the file being read in parts at each of `cuts`, and
// joins the parts again.
std::vector<File> ReadTakingParts(std::string_view text,
                                  DiffReader::Options options,
                                  const std::vector<std::size_t>& cuts) {
  DiffReader reader(options);
  std::vector<File> files;
  std::size_t pos = 0;
  for (std::size_t cut : cuts) {
    reader.Read(text.substr(pos, cut - pos));
    pos = cut;
    TakeJoined(reader, files, true);
  }
  reader.Read(text.substr(pos));
  reader.Finish();
  TakeJoined(reader, files, false);
  return files;
}

// A part may end inside a header, inside a hunk or after a counted hunk
// has ended; the joined file is the one read whole, its kind included.
TEST(ParseDiffTest, AFileTakenInPartsIsTheFileReadWhole) {
  const std::string texts[] = {
      "diff --git a/r b/r\nold mode 100644\nnew mode 100755\n--- a/r\n"
      "+++ b/r\n@@ -1 +1 @@\n-a\n+x\n",
      "diff --git a/run.sh b/run.sh\nold mode 100644\nnew mode 100755\n"
      "diff --git a/f b/f\n--- a/f\n+++ b/f\n@@ -1,2 +1,2 @@\n a\n-b\n+c\n"
      "@@ -9 +9 @@\n-y\n+z\n",
      "diff --cc m.c\n--- a/m.c\n+++ b/m.c\n@@@ -1,1 -1,1 +1,2 @@@\n"
      "++<<<\n +ours\n",
  };
  for (const bool mixed : {false, true}) {
    for (const std::string& text : texts) {
      const std::string whole = Dump(ReadTakingParts(text, {mixed}, {}));
      ASSERT_FALSE(whole.empty());
      for (std::size_t a = 0; a <= text.size(); ++a) {
        for (std::size_t b = a; b <= text.size(); b += 3) {
          ASSERT_EQ(Dump(ReadTakingParts(text, {mixed}, {a, b})), whole)
              << "parts taken at " << a << " and " << b << " of\n"
              << text;
        }
      }
    }
  }
}

// Git's "\\ No newline at end of file" goes on the line before it, in a
// diff read alone and in one among other text, whole and taken in parts.
TEST(ParseDiffTest, GitsNoNewlineMarkerGoesOnTheLineBeforeIt) {
  const std::string head = "diff --git a/f b/f\n--- a/f\n+++ b/f\n";
  const std::string marker = "\\ No newline at end of file\n";
  const struct {
    std::string name;
    std::string text;
    std::string marks;
  } cases[] = {
      {"added line", head + "@@ -1,2 +1,2 @@\n a\n-b\n+c\n" + marker, "CDA\\"},
      {"removed line", head + "@@ -1,2 +1,2 @@\n a\n-b\n" + marker + "+c\n",
       "CD\\A"},
      {"both", head + "@@ -1,2 +1,2 @@\n a\n-b\n" + marker + "+c\n" + marker,
       "CD\\A\\"},
      {"context line", head + "@@ -1,2 +1,3 @@\n a\n+b\n c\n" + marker,
       "CAC\\"},
      {"in the first of two files",
       head + "@@ -1 +1 @@\n-a\n+b\n" + marker + head + "@@ -1 +1 @@\n-c\n+d\n",
       "DA\\ DA"},
      {"after no line", head + "@@ -1 +1 @@\n" + marker + "-a\n+b\n", "DA"},
  };
  for (const bool mixed : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.name + (mixed ? " among other text" : ""));
      EXPECT_EQ(Marks(ReadTakingParts(c.text, {mixed}, {})), c.marks);
      for (std::size_t a = 0; a <= c.text.size(); ++a) {
        ASSERT_EQ(Marks(ReadTakingParts(c.text, {mixed}, {a, a})), c.marks)
            << "parts taken at " << a;
      }
    }
  }
}

TEST(ParseDiffTest, UndoesGitsQuoting) {
  const struct {
    std::string quoted;
    std::string name;
  } cases[] = {
      {R"("a/\346\227\245.txt")", "\xE6\x97\xA5.txt"},
      {R"("a/\a\b\f\n\r\t\v")", "\a\b\f\n\r\t\v"},
      {R"("a/q\"b\\s")", "q\"b\\s"},
      {R"("a/\0")", std::string(1, '\0')},
      {R"("a/\1x")", "\x01x"},
      {R"("a/\1234")", "S4"},
      {R"("a/\777")", "\xFF"},
      {R"("a/\z")", "z"},
  };
  for (const auto& c : cases) {
    const std::vector<File> files =
        ParseDiff("diff --git a/x b/x\nrename to " + c.quoted.substr(0, 1) +
                  c.quoted.substr(3) + "\n--- " + c.quoted + "\n");
    ASSERT_EQ(files.size(), 1u) << c.quoted;
    EXPECT_EQ(files[0].old_name, c.name) << c.quoted;
    EXPECT_EQ(files[0].new_name, c.name) << c.quoted;
  }
}

// Headers git never prints, cut short or malformed, still give a record
// with names of their own bytes, never an exception.
TEST(ParseDiffTest, BrokenHeadersGiveNamesAsWritten) {
  ExpectParses({
      {"bare diff", "diff\n", "file \"\" \"\" M\n"},
      {"no names", "diff --git \n", "file \"\" \"\" M\n"},
      {"one name", "diff --git a/x\n", "file \"a/x\" \"a/x\" M\n"},
      {"unclosed quote", "diff --git \"a/x b/x\n",
       "file \"\\x22a/x\" \"b/x\" M\n"},
      {"lone quote", "diff --git \"\n", "file \"\\x22\" \"\\x22\" M\n"},
      {"escape at the end", "diff --cc \"x\\\n",
       "file \"\\x22x\\x5C\" "
       "\"\\x22x\\x5C\" U\n"},
      {"signs without a blank", "diff --git a/f b/f\n---\n+++\n",
       "file \"f\" \"f\" M\n"},
      {"signs and a blank", "diff --git a/f b/f\n--- \n+++ \n",
       "file \"\" \"\" M\n"},
      {"similarity out of range",
       "diff --git a/f b/g\nsimilarity index 99999999999999%\n"
       "rename from f\nrename to g\n",
       "file \"f\" \"g\" R\n"},
      {"similarity without digits", "diff\nsimilarity index %\n",
       "file \"\" \"\" M\n"},
      {"empty rename", "diff\nrename from \nrename to \"\n",
       "file \"\" \"\\x22\" R\n"},
      {"modes without values", "diff\nold mode \nnew mode \n",
       "file \"\" \"\" M\n"},
  });
}

TEST(ParseDiffTest, IgnoresLinesWithoutARecord) {
  ExpectParses({
      {"headers and hunk before any section",
       "--- a/f\n+++ b/f\n@@ -1 +1 @@\n-a\n+b\n", ""},
      {"content before the first hunk",
       "diff --git a/f b/f\n a\n+b\n-c\n@@ -1 +1 @@\n+d\n",
       "file \"f\" \"f\" M\nhunk 1 1\nA \"d\"\n"},
      {"content after a section with no hunk yet",
       "diff --git a/f b/f\n@@ -1 +1 @@\n+a\ndiff --git a/g b/g\n+b\n",
       "file \"f\" \"f\" M\nhunk 1 1\nA \"a\"\nfile \"g\" \"g\" M\n"},
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
       "file \"f\" \"f\" M\nhunk 1 1\nD \"a\"\nA \"b\"\n"},
  });
}

TEST(ParseDiffTest, ReadsEveryKindOfChangeGitPrints) {
  testing::TempRepo repo;
  const testing::ChangeFixture commits = testing::CommitEveryKindOfChange(repo);
  std::vector<std::string> args = {"diff"};
  args.insert(args.end(), ForcedDiffOptions().begin(),
              ForcedDiffOptions().end());
  args.insert(args.end(), {"-U1", commits.before, commits.after});
  std::string output;
  {
    testing::ScopedCwd cwd(repo.path());
    output = GitOutput(args);
  }
  EXPECT_EQ(
      Dump(ParseDiff(output)),
      "file \"\" \"added.txt\" A >100644\n"
      "hunk 0 1\nA \"added\"\n"
      "file \"source.txt\" \"copy.txt\" C 100%\n"
      "file \"\" \"docs/\\xE6\\x97\\xA5\\xE6\\x9C\\xAC\\xE8\\xAA\\x9E.txt\""
      " A >100644\n"
      "hunk 0 1\nA \"nihon\"\n"
      "file \"gone.txt\" \"\" D 100644>\n"
      "hunk 1 0\nD \"bye\"\n"
      "file \"image.bin\" \"image.bin\" B binary\n"
      "file \"keep.txt\" \"keep.txt\" M\n"
      "hunk 1 1\nC \"keep 1\"\nD \"keep 2\"\nA \"KEEP 2\"\nC \"keep 3\"\n"
      "file \"old name.txt\" \"new name.txt\" R 100%\n"
      "file \"run.sh\" \"run.sh\" T 100644>100755\n"
      "file \"source.txt\" \"source.txt\" M\n"
      "hunk 20 20\nC \"source line 20\"\nA \"source line 21\"\n"
      "file \"tab\\x09here \\x22q\\x22 back\\x5Cslash.txt\" "
      "\"tab\\x09here \\x22q\\x22 back\\x5Cslash.txt\" M\n"
      "hunk 1 1\nC \"odd\"\nA \"odder\"\n")
      << output;
}

// Reads `text` in pieces cut at random places and returns the files the
// reader handed over. With `parts`, the file being read is also taken in
// parts at random moments, and they are joined as a screen joins them.
std::vector<File> ReadInPieces(const std::string& text,
                               std::mt19937& random,
                               DiffReader::Options options = {},
                               bool parts = false) {
  DiffReader reader(options);
  std::vector<File> files;
  // Most cuts fall inside lines; some pieces are long.
  std::uniform_int_distribution<std::size_t> length(1, 200);
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t n = random() % 8 == 0 ? 4096 : length(random);
    reader.Read(std::string_view(text).substr(pos, n));
    pos += n;
    if (random() % 2 != 0) {
      continue;
    }
    if (!parts) {
      reader.TakeFiles(files);
      continue;
    }
    TakeJoined(reader, files, random() % 2 == 0);
  }
  reader.Finish();
  if (parts) {
    TakeJoined(reader, files, false);
  } else {
    reader.TakeFiles(files);
  }
  return files;
}

// Every kind of change, a file of many hunks, one without a newline at its
// end, and a commit message with a line that starts like a diff.
class RealDiffTest : public ::testing::Test {
 protected:
  void SetUp() override {
    changes_ = testing::CommitEveryKindOfChange(repo_);
    std::string many;
    for (int i = 0; i < 3000; ++i) {
      many += "line " + std::to_string(i) + "\n";
    }
    repo_.Write("many.txt", many);
    repo_.Write("end.txt", "a\nb");
    first_ = repo_.Commit("many hunks");
    for (int i = 0; i < 3000; i += 37) {
      const std::string from = "line " + std::to_string(i) + "\n";
      many.replace(many.find(from), from.size(), "changed\n\n");
    }
    repo_.Write("many.txt", many);
    repo_.Write("end.txt", "a\nc");
    second_ = repo_.Commit("changes everywhere\n\ndiff in the message body");
  }

  // The texts git prints for a diff screen.
  std::vector<std::string> Diffs() {
    return {
        repo_.Git({"diff", changes_.before, changes_.after}),
        repo_.Git({"diff", first_, second_}),
        repo_.Git({"diff", "--no-prefix", "-U0", changes_.before, second_}),
        repo_.Git({"diff", "-U20", "--find-renames", changes_.before, second_}),
    };
  }

  testing::TempRepo repo_;
  testing::ChangeFixture changes_;
  std::string first_;
  std::string second_;
};

TEST_F(RealDiffTest, ReadingInPiecesGivesTheWholeParse) {
  std::mt19937 random(20261210);
  for (const std::string& text : Diffs()) {
    const std::string whole = Dump(ParseDiff(text));
    ASSERT_FALSE(whole.empty());
    for (int round = 0; round < 40; ++round) {
      const bool parts = round % 2 == 1;
      ASSERT_TRUE(Dump(ReadInPieces(text, random, {}, parts)) == whole)
          << "round " << round << (parts ? ", in parts," : "") << " of\n"
          << text.substr(0, 300);
    }
  }
  // One byte at a time.
  const std::string text = repo_.Git({"diff", changes_.before, changes_.after});
  DiffReader reader;
  for (char c : text) {
    reader.Read(std::string_view(&c, 1));
  }
  reader.Finish();
  std::vector<File> files;
  reader.TakeFiles(files);
  EXPECT_EQ(Dump(files), Dump(ParseDiff(text)));
}

// end.txt ends without a newline on both sides.
TEST_F(RealDiffTest, ReadingInPiecesKeepsTheNoNewlineMarkers) {
  std::mt19937 random(20261211);
  const std::string text = repo_.Git({"diff", first_, second_});
  const std::string whole = Marks(ParseDiff(text));
  ASSERT_NE(whole.find("D\\A\\"), std::string::npos) << whole;
  for (int round = 0; round < 20; ++round) {
    const bool parts = round % 2 == 1;
    ASSERT_EQ(Marks(ReadInPieces(text, random, {}, parts)), whole)
        << "round " << round << (parts ? ", in parts" : "");
  }
}

// What a pager is given: commits' headers and messages, mail headers and
// signatures between the files, often coloured. Its files are those of the
// plain diffs of the same commits, each commit's under a description of it.
TEST_F(RealDiffTest, TextAroundTheFilesIsKeptAndColoursTakenOut) {
  const std::string plain =
      Dump(ParseDiff(repo_.Git({"diff", changes_.before, changes_.after}))) +
      Dump(ParseDiff(repo_.Git({"diff", changes_.after, first_}))) +
      Dump(ParseDiff(repo_.Git({"diff", first_, second_})));
  struct Case {
    std::string name;
    std::vector<std::string> args;
  };
  const std::vector<Case> cases = {
      {"log -p", {"log", "-p", "--reverse", changes_.before + ".." + second_}},
      {"coloured log -p",
       {"-c", "color.ui=always", "log", "-p", "--reverse",
        changes_.before + ".." + second_}},
      {"format-patch",
       {"format-patch", "--stdout", changes_.before + ".." + second_}},
  };
  // Each commit's short name and title, oldest first.
  std::vector<std::string> commits;
  const std::string listed = repo_.Git(
      {"log", "--reverse", "--format=%H %s", changes_.before + ".." + second_});
  std::string_view log = listed;
  while (!log.empty()) {
    const std::string_view line = log.substr(0, log.find('\n'));
    commits.push_back(std::string(line.substr(0, 7)) +
                      std::string(line.substr(40)));
    log.remove_prefix(std::min(log.size(), line.size() + 1));
  }
  std::mt19937 random(7);
  for (const Case& c : cases) {
    const std::string text = repo_.Git(c.args);
    ColourStripper stripper;
    std::string stripped;
    // Sequences cut between pieces go whole too.
    for (std::size_t pos = 0; pos < text.size(); pos += 7) {
      stripper.Strip(std::string_view(text).substr(pos, 7), stripped);
    }
    EXPECT_EQ(stripped.find('\x1b'), std::string::npos) << c.name;
    for (int round = 0; round < 10; ++round) {
      // Compared whole: a difference would print thousands of lines.
      const bool parts = round % 2 == 1;
      std::vector<File> files =
          ReadInPieces(stripped, random, {.mixed_text = true}, parts);
      std::vector<std::string> titles;
      std::erase_if(files, [&titles](const File& file) {
        if (file.status != FileStatus::kDescription) {
          return false;
        }
        // A mail's signature after its files is kept as an entry of its
        // own.
        if (!file.text.starts_with("-- \n")) {
          titles.push_back(DescriptionTitle(file));
        }
        return true;
      });
      EXPECT_TRUE(Dump(files) == plain)
          << c.name << " round " << round << (parts ? ", in parts" : "");
      EXPECT_EQ(titles, commits) << c.name;
    }
  }
}

}  // namespace
}  // namespace plimsy
