#include "diff/word_diff.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plimsy {
namespace {

// The changed parts of a line, as text.
std::vector<std::string> Parts(const std::string& text,
                               const std::vector<ByteRange>& ranges) {
  std::vector<std::string> parts;
  for (const ByteRange& range : ranges) {
    parts.push_back(text.substr(range.begin, range.end - range.begin));
  }
  return parts;
}

TEST(ChangedWordsTest, FindsTheWordsThatDiffer) {
  using Words = std::vector<std::string>;
  const struct {
    const char* name;
    std::string before;
    std::string after;
    Words removed;
    Words added;
  } cases[] = {
      {"one number", "return value + 1;", "return value + 2;", {"1"}, {"2"}},
      {"a word in the middle",
       "the quick brown fox",
       "the quick red fox",
       {"brown"},
       {"red"}},
      {"a word added", "call(a, b)", "call(a, b, c)", {}, {", c"}},
      {"indentation", "\tfoo();", "    foo();", {"\t"}, {"    "}},
      {"blanks between changed words join them",
       "a b c d",
       "a x y d",
       {"b c"},
       {"x y"}},
      {"non-ASCII words", "naïve café", "naïve cafe", {"café"}, {"cafe"}},
      {"same line", "same", "same", {}, {}},
      {"nothing in common", "int x = 1;", "return foo(bar);", {}, {}},
      {"only blanks", "  ", "\t", {"  "}, {"\t"}},
      {"too long to compare",
       std::string(5000, 'a') + " x",
       std::string(5000, 'a') + " y",
       {},
       {}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    const WordChanges changes = ChangedWords(test.before, test.after);
    EXPECT_EQ(Parts(test.before, changes.before), test.removed);
    EXPECT_EQ(Parts(test.after, changes.after), test.added);
  }
}

// Lines that need more edits than a frame can spare are not compared.
TEST(ChangedWordsTest, GivesUpOnLinesTooDifferentToCompareCheaply) {
  std::string before;
  std::string after;
  for (int i = 0; i < 400; ++i) {
    before += "a" + std::to_string(i) + " ";
    after += (i % 2 == 0 ? "b" : "a") + std::to_string(i) + " ";
  }
  const WordChanges changes = ChangedWords(before, after);
  EXPECT_TRUE(changes.before.empty());
  EXPECT_TRUE(changes.after.empty());
}

}  // namespace
}  // namespace plimsy
