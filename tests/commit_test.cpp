#include "log/commit.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "git/run.h"
#include "log/commit_records.h"
#include "log/walk.h"
#include "log_history.h"
#include "support.h"

namespace plimsy {
namespace {

using log::ReadCommits;
using testing::Import;
using testing::ScopedCwd;
using testing::TempRepo;

const std::string kAuthor = "A U Thor <author@example.com> 1700000000 +0100";
const std::string kCommitter =
    "C O Mitter <committer@example.com> 1700000100 -0530";
const std::string kTree = "4b825dc642cb6eb9a060e54bf8d69288fbee4904";
const std::string kP1 = "1111111111111111111111111111111111111111";
const std::string kP2 = "2222222222222222222222222222222222222222";
const std::string kP3 =
    "3333333333333333333333333333333333333333333333333333333333333333";

std::string WithoutNewlines(std::string text) {
  std::erase(text, '\n');
  return text;
}

// Counts the git runs while it lives.
class GitRuns {
 public:
  GitRuns() {
    SetGitObserver([this](const std::vector<std::string>&) { ++count; });
  }
  GitRuns(const GitRuns&) = delete;
  GitRuns& operator=(const GitRuns&) = delete;
  ~GitRuns() { SetGitObserver(nullptr); }

  int count = 0;
};

std::string Object(const std::vector<std::string>& parents,
                   const std::string& extra_headers,
                   const std::string& message) {
  std::string text = "tree " + kTree + "\n";
  for (const std::string& parent : parents) {
    text += "parent " + parent + "\n";
  }
  return text + "author " + kAuthor + "\ncommitter " + kCommitter + "\n" +
         extra_headers + "\n" + message;
}

struct ParseCase {
  std::string name;
  std::string object;
  std::string title{};
  std::vector<std::string> description{};
  std::vector<std::string> parents{};
  std::vector<std::string> authors = {kAuthor};
  std::vector<std::string> committers = {kCommitter};
  std::string tree = kTree;
};

void ExpectParsed(const Commit& commit, const ParseCase& c) {
  EXPECT_EQ(commit.tree, c.tree);
  EXPECT_EQ(commit.title, c.title);
  EXPECT_EQ(commit.description, c.description);
  EXPECT_EQ(commit.parents, c.parents);
  EXPECT_EQ(commit.authors, c.authors);
  EXPECT_EQ(commit.committers, c.committers);
}

TEST(ParseCommitObjectTest, HeadersAndMessage) {
  const std::string signature =
      "gpgsig -----BEGIN PGP SIGNATURE-----\n"
      " \n"
      " iHUEABYKAB0WIQRkZXNpZ25hdGVkIHNpZ25hdHVyZQAKCRBzaWduZWQAAAAA\n"
      " =AbCd\n"
      " -----END PGP SIGNATURE-----\n";
  const std::vector<ParseCase> cases = {
      {.name = "five-line message",
       .object = Object({kP1}, "", "Title\n\nFirst body\n\nSecond body\n"),
       .title = "Title",
       .description = {"First body", "", "Second body"},
       .parents = {kP1}},
      {.name = "no blank separator drops the second line",
       .object = Object({kP1}, "", "First\nSecond\nThird\n"),
       .title = "First",
       .description = {"Third"},
       .parents = {kP1}},
      {.name = "trailing blank lines are kept",
       .object = Object({kP1}, "", "Title\n\nBody\n\n\n"),
       .title = "Title",
       .description = {"Body", "", ""},
       .parents = {kP1}},
      {.name = "last line without a newline",
       .object = Object({kP1}, "", "Title\n\nBody"),
       .title = "Title",
       .description = {"Body"},
       .parents = {kP1}},
      {.name = "no empty line after the header",
       .object = "tree " + kTree + "\nparent " + kP1 + "\nauthor " + kAuthor +
                 "\ncommitter " + kCommitter + "\n",
       .parents = {kP1}},
      {.name = "signature continuation lines are skipped",
       .object = Object({kP1}, signature, "Signed\n\nBody\n"),
       .title = "Signed",
       .description = {"Body"},
       .parents = {kP1}},
      {.name = "octopus merge, SHA-256 names",
       .object = Object({kP1, kP2, kP3}, "", "Octopus\n"),
       .title = "Octopus",
       .parents = {kP1, kP2, kP3}},
      {.name = "root commit",
       .object = Object({}, "", "Root\n"),
       .title = "Root"},
      {.name = "keywords without their blank are other headers",
       .object = "tree " + kTree + "\nparent\nparent_--output=leak\nparentx " +
                 kP1 + "\nauthor " + kAuthor + "\nauthorship x\nauthor\n" +
                 "committer " + kCommitter + "\ncommitters y\ncommitter\n" +
                 "treehouse " + kTree + "\n\nCrafted\n",
       .title = "Crafted"},
      {.name = "values that are no object names are left out",
       .object = "tree --output=leak\nparent --output=leak\nparent " +
                 kP1.substr(1) + "\nparent " + std::string(40, 'A') +
                 "\nparent " + kP1 + " \nparent " + kP2 + "\nauthor " +
                 kAuthor + "\ncommitter " + kCommitter + "\n\nValues\n",
       .title = "Values",
       .parents = {kP2},
       .tree = ""},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.name);
    Commit commit;
    commit.hash = "kept";
    ParseCommitObject(c.object, commit);
    EXPECT_EQ(commit.hash, "kept");
    ExpectParsed(commit, c);
  }
}

TEST(IsObjectNameTest, FullLowerCaseHexOnly) {
  EXPECT_TRUE(IsObjectName(kP1));
  EXPECT_TRUE(IsObjectName(kP3));
  EXPECT_FALSE(IsObjectName(""));
  EXPECT_FALSE(IsObjectName(kP1.substr(1)));
  EXPECT_FALSE(IsObjectName(kP1 + "1"));
  EXPECT_FALSE(IsObjectName(std::string(40, 'A')));
  EXPECT_FALSE(IsObjectName(std::string(39, '1') + "g"));
  EXPECT_FALSE(IsObjectName("--output=leak"));
}

// Real objects, read back as the log reads them: through git log's raw
// records, whose messages git indents and re-encodes.
TEST(ReadCommitsTest, RecordsAsGitLogPrintsThem) {
  TempRepo repo;
  ScopedCwd cwd(repo.path());
  auto parents = Import(repo, {{.label = "p1"}, {.label = "p2"}});
  const std::string p1 = parents["p1"];
  const std::string p2 = parents["p2"];
  auto object = [&](const std::vector<std::string>& parents,
                    const std::string& extra_headers,
                    const std::string& message) {
    std::string text = "tree " + kTree + "\n";
    for (const std::string& parent : parents) {
      text += "parent " + parent + "\n";
    }
    return text + "author " + kAuthor + "\ncommitter " + kCommitter + "\n" +
           extra_headers + "\n" + message;
  };
  const std::vector<ParseCase> cases = {
      {.name = "five-line message",
       .object = object({p1}, "", "Title\n\nFirst body\n\nSecond body\n"),
       .title = "Title",
       .description = {"First body", "", "Second body"},
       .parents = {p1}},
      {.name = "indented body lines keep their own indentation",
       .object = object({p1}, "", "Title\n\n    code\n\tTab\n"),
       .title = "Title",
       .description = {"    code", "\tTab"},
       .parents = {p1}},
      {.name = "trailing blank lines are dropped as git log drops them",
       .object = object({p1}, "", "Title\n\nBody\n\n\n"),
       .title = "Title",
       .description = {"Body"},
       .parents = {p1}},
      {.name = "leading blank lines are skipped as git log skips them",
       .object = object({p1}, "", "\n\nTitle\n\nBody\n"),
       .title = "Title",
       .description = {"Body"},
       .parents = {p1}},
      {.name = "empty message",
       .object = object({p1}, "", ""),
       .parents = {p1}},
      {.name = "merge",
       .object = object({p1, p2}, "", "Merge\n"),
       .title = "Merge",
       .parents = {p1, p2}},
      {.name = "root commit",
       .object = object({}, "", "Root\n"),
       .title = "Root"},
      {.name = "message and names re-encoded to UTF-8",
       .object = "tree " + kTree + "\nparent " + p1 +
                 "\nauthor J\xf6rg <j@example.com> 1700000000 +0200\n"
                 "committer J\xf6rg <j@example.com> 1700000000 +0200\n"
                 "encoding ISO-8859-1\n\nCaf\xe9 cr\xe8me\n\n\xfc"
                 "ber\n",
       .title = "Caf\u00e9 cr\u00e8me",
       .description = {"\u00fc"
                       "ber"},
       .parents = {p1},
       .authors = {"J\u00f6rg <j@example.com> 1700000000 +0200"},
       .committers = {"J\u00f6rg <j@example.com> 1700000000 +0200"}},
      {.name = "crafted header after the committer",
       .object = object({p1}, "parent_--output=leak\n", "Crafted\n"),
       .title = "Crafted",
       .parents = {p1}},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string hash = WithoutNewlines(
        repo.Git({"hash-object", "-t", "commit", "-w", "--stdin"}, c.object));
    std::set<std::string> missing;
    ReadCommits({hash}, missing);
    const Commit* commit = CachedCommit(hash);
    ASSERT_NE(commit, nullptr);
    EXPECT_TRUE(missing.empty());
    EXPECT_EQ(commit->hash, hash);
    ExpectParsed(*commit, c);
  }
}

TEST(ReadCommitsTest, OneRunForWhatIsNeitherKeptNorMissing) {
  TempRepo repo;
  ScopedCwd cwd(repo.path());
  auto hashes = Import(repo, {{.label = "read once"}, {.label = "second"}});
  const std::string absent(40, 'e');
  std::set<std::string> missing;
  GitRuns runs;

  ReadCommits({hashes["read once"], absent, "--output=leak", hashes["second"]},
              missing);
  EXPECT_EQ(runs.count, 1);
  EXPECT_EQ(missing, std::set<std::string>{absent});
  const Commit* first = CachedCommit(hashes["read once"]);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->title, "read once");
  EXPECT_EQ(CachedCommit(hashes["second"])->title, "second");

  ReadCommits({hashes["read once"], absent, hashes["second"]}, missing);
  EXPECT_EQ(runs.count, 1);
  EXPECT_EQ(CachedCommit(hashes["read once"]), first);
}

TEST(KeepCommitTest, FirstRecordOfAHashStays) {
  Commit first;
  first.hash = std::string(40, 'a');
  first.title = "first";
  Commit second = first;
  second.title = "second";
  const Commit* kept = KeepCommit(first);
  EXPECT_EQ(KeepCommit(second), kept);
  EXPECT_EQ(kept->title, "first");
  EXPECT_EQ(CachedCommit(first.hash), kept);
  EXPECT_EQ(CachedCommit(std::string(40, 'b')), nullptr);
}

}  // namespace
}  // namespace plimsy
