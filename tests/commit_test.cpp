#include "log/commit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "git.h"
#include "support.h"

namespace plimsy {
namespace {

using testing::ScopedCwd;
using testing::TempDir;
using testing::TempRepo;

const std::string kAuthor = "A U Thor <author@example.com> 1700000000 +0100";
const std::string kCommitter =
    "C O Mitter <committer@example.com> 1700000100 -0530";

std::string WithoutNewlines(std::string text) {
  std::erase(text, '\n');
  return text;
}

// Counts the "git cat-file" runs while it lives.
class CatFileCounter {
 public:
  CatFileCounter() {
    SetGitObserver([this](const std::vector<std::string>& args) {
      if (args.size() > 1 && args[1] == "cat-file") {
        ++runs;
      }
    });
  }
  CatFileCounter(const CatFileCounter&) = delete;
  CatFileCounter& operator=(const CatFileCounter&) = delete;
  ~CatFileCounter() { SetGitObserver(nullptr); }

  int runs = 0;
};

struct Node {
  std::string label;
  std::vector<std::string> parents;  // labels of earlier nodes
};

// Writes `nodes` as commits with one git fast-import run; the last node
// becomes HEAD. Each title is the label followed by a number unique in this
// process, so the commits never collide with ones already in the cache.
// Returns the hash of every label.
std::map<std::string, std::string> Import(TempRepo& repo,
                                          const std::vector<Node>& nodes) {
  static int imports = 0;
  std::string suffix = " #" + std::to_string(++imports);
  std::map<std::string, int> marks;
  std::string stream;
  for (const Node& node : nodes) {
    int mark = static_cast<int>(marks.size()) + 1;
    marks[node.label] = mark;
    std::string message = node.label + suffix + "\n";
    if (node.parents.empty()) {
      stream += "reset refs/heads/main\n";
    }
    stream += "commit refs/heads/main\nmark :" + std::to_string(mark) +
              "\ncommitter Test User <test@example.com> 1700000000 +0000\n"
              "data " +
              std::to_string(message.size()) + "\n" + message;
    for (std::size_t i = 0; i < node.parents.size(); ++i) {
      stream += (i == 0 ? "from :" : "merge :") +
                std::to_string(marks.at(node.parents[i])) + "\n";
    }
    stream += "\n";
  }
  std::string marks_file = repo.path() + "/.git/test-marks";
  repo.Git({"fast-import", "--quiet", "--export-marks=" + marks_file}, stream);

  std::map<int, std::string> hash_of_mark;
  std::ifstream in(marks_file);
  std::string mark;
  std::string hash;
  while (in >> mark >> hash) {
    hash_of_mark[std::stoi(mark.substr(1))] = hash;
  }
  std::map<std::string, std::string> hashes;
  for (const auto& [label, number] : marks) {
    hashes[label] = hash_of_mark[number];
  }
  return hashes;
}

std::vector<Node> LinearHistory(int length) {
  std::vector<Node> nodes;
  for (int i = 0; i < length; ++i) {
    nodes.push_back(
        {"c" + std::to_string(i),
         i == 0 ? std::vector<std::string>{}
                : std::vector<std::string>{"c" + std::to_string(i - 1)}});
  }
  return nodes;
}

TEST(GetCommitTest, ParsesRealCommitObjects) {
  TempRepo repo;
  ScopedCwd cwd(repo.path());
  std::string tree =
      WithoutNewlines(repo.Git({"hash-object", "-t", "tree", "-w", "--stdin"}));
  auto hashes = Import(repo, {{"p1", {}}, {"p2", {}}, {"p3", {}}});
  const std::string p1 = hashes["p1"];
  const std::string p2 = hashes["p2"];
  const std::string p3 = hashes["p3"];

  auto object = [&](const std::vector<std::string>& parents,
                    const std::string& extra_headers,
                    const std::string& message) {
    std::string text = "tree " + tree + "\n";
    for (const std::string& parent : parents) {
      text += "parent " + parent + "\n";
    }
    return text + "author " + kAuthor + "\ncommitter " + kCommitter + "\n" +
           extra_headers + "\n" + message;
  };

  struct Case {
    std::string name;
    std::string object;
    std::string title{};
    std::vector<std::string> description{};
    std::vector<std::string> parents{};
    std::vector<std::string> authors = {kAuthor};
    std::vector<std::string> committers = {kCommitter};
    bool literally = false;
  };
  const std::string signature =
      "gpgsig -----BEGIN PGP SIGNATURE-----\n"
      " \n"
      " iHUEABYKAB0WIQRkZXNpZ25hdGVkIHNpZ25hdHVyZQAKCRBzaWduZWQAAAAA\n"
      " =AbCd\n"
      " -----END PGP SIGNATURE-----\n";
  const std::vector<Case> cases = {
      {.name = "five-line message",
       .object = object({p1}, "", "Title\n\nFirst body\n\nSecond body\n"),
       .title = "Title",
       .description = {"First body", "", "Second body"},
       .parents = {p1}},
      {.name = "one-line message",
       .object = object({p1}, "", "Only a title\n"),
       .title = "Only a title",
       .parents = {p1}},
      {.name = "no blank separator drops the second line",
       .object = object({p1}, "", "First\nSecond\nThird\n"),
       .title = "First",
       .description = {"Third"},
       .parents = {p1}},
      {.name = "trailing blank lines are kept",
       .object = object({p1}, "", "Title\n\nBody\n\n\n"),
       .title = "Title",
       .description = {"Body", "", ""},
       .parents = {p1}},
      {.name = "last line without a newline",
       .object = object({p1}, "", "Title\n\nBody"),
       .title = "Title",
       .description = {"Body"},
       .parents = {p1}},
      {.name = "empty message",
       .object = object({p1}, "", ""),
       .parents = {p1}},
      {.name = "no empty line after the header",
       .object = "tree " + tree + "\nparent " + p1 + "\nauthor " + kAuthor +
                 "\ncommitter " + kCommitter + "\n",
       .parents = {p1},
       .literally = true},
      {.name = "signature continuation lines are skipped",
       .object = object({p1}, signature, "Signed\n\nBody\n"),
       .title = "Signed",
       .description = {"Body"},
       .parents = {p1}},
      {.name = "encoding header, message bytes unchanged",
       .object = object({p1}, "encoding ISO-8859-1\n",
                        "Caf\xe9 cr\xe8me\n\n\xfc"
                        "ber\n"),
       .title = "Caf\xe9 cr\xe8me",
       .description = {"\xfc"
                       "ber"},
       .parents = {p1}},
      {.name = "merge",
       .object = object({p1, p2}, "", "Merge\n"),
       .title = "Merge",
       .parents = {p1, p2}},
      {.name = "octopus merge",
       .object = object({p1, p2, p3}, "", "Octopus\n"),
       .title = "Octopus",
       .parents = {p1, p2, p3}},
      {.name = "root commit",
       .object = object({}, "", "Root\n"),
       .title = "Root"},
      {.name = "bare keywords give empty values",
       .object = "tree " + tree + "\nparent\nauthor " + kAuthor +
                 "\nauthor\ncommitter\n\nBare\n",
       .title = "Bare",
       .parents = {""},
       .authors = {kAuthor, ""},
       .committers = {""},
       .literally = true},
  };

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = {"hash-object", "-t", "commit", "-w",
                                     "--stdin"};
    if (c.literally) {
      args.push_back("--literally");
    }
    std::string hash = WithoutNewlines(repo.Git(args, c.object));
    const Commit* commit = GetCommit(hash);
    ASSERT_NE(commit, nullptr);
    EXPECT_EQ(commit->hash, hash);
    EXPECT_EQ(commit->tree, tree);
    EXPECT_EQ(commit->title, c.title);
    EXPECT_EQ(commit->description, c.description);
    EXPECT_EQ(commit->parents, c.parents);
    EXPECT_EQ(commit->authors, c.authors);
    EXPECT_EQ(commit->committers, c.committers);
  }
}

TEST(GetCommitTest, SecondCallComesFromTheCache) {
  TempRepo repo;
  ScopedCwd cwd(repo.path());
  std::string hash = Import(repo, {{"cached", {}}})["cached"];
  CatFileCounter counter;

  const Commit* first = GetCommit(hash);
  const Commit* second = GetCommit(hash);

  EXPECT_EQ(counter.runs, 1);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->title.substr(0, 7), "cached ");
}

// Runs the walk from HEAD and names the listed commits by their labels.
class WalkTest : public ::testing::Test {
 protected:
  void Build(const std::vector<Node>& nodes) {
    hashes_ = Import(repo_, nodes);
    pending_ = {HeadHash()};
  }

  void LoadMore() {
    load_more(pending_, selected_commit_, commits_, titles_);
    ASSERT_EQ(titles_.size(), commits_.size());
    for (std::size_t i = 0; i < commits_.size(); ++i) {
      EXPECT_EQ(titles_[i], commits_[i]->title);
    }
  }

  std::vector<std::string> Listed() const {
    std::map<std::string, std::string> labels;
    for (const auto& [label, hash] : hashes_) {
      labels[hash] = label;
    }
    std::vector<std::string> listed;
    for (const Commit* commit : commits_) {
      listed.push_back(labels.at(commit->hash));
    }
    return listed;
  }

  TempRepo repo_;
  ScopedCwd cwd_{repo_.path()};
  std::map<std::string, std::string> hashes_;
  std::deque<std::string> pending_;
  int selected_commit_ = 0;
  std::vector<const Commit*> commits_;
  std::vector<std::string> titles_;
};

TEST_F(WalkTest, ShortLinearHistoryLoadsEntirely) {
  Build(LinearHistory(5));
  EXPECT_EQ(pending_.front(), hashes_["c4"]);

  LoadMore();

  EXPECT_EQ(Listed(), (std::vector<std::string>{"c4", "c3", "c2", "c1", "c0"}));
  EXPECT_TRUE(pending_.empty());
}

TEST_F(WalkTest, WindowFollowsTheSelection) {
  Build(LinearHistory(200));

  LoadMore();
  ASSERT_EQ(commits_.size(), 80u);
  EXPECT_EQ(commits_.front()->hash, hashes_["c199"]);
  EXPECT_EQ(commits_.back()->hash, hashes_["c120"]);
  EXPECT_EQ(pending_, std::deque<std::string>{hashes_["c119"]});

  struct Step {
    int selected;
    std::size_t loaded;
  };
  const std::vector<Step> steps = {{1, 81},    {100, 180}, {10, 180},
                                   {119, 199}, {120, 200}, {199, 200}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.selected);
    selected_commit_ = step.selected;
    LoadMore();
    EXPECT_EQ(commits_.size(), step.loaded);
  }
  EXPECT_TRUE(pending_.empty());
  EXPECT_EQ(Listed().back(), "c0");
}

TEST_F(WalkTest, MergeParentsQueueAfterWhatIsPending) {
  Build({{"r", {}},
         {"p1", {"r"}},
         {"p2", {"r"}},
         {"n", {"p1", "p2"}},
         {"x", {"r"}},
         {"m", {"x", "n"}}});

  LoadMore();

  EXPECT_EQ(Listed(), (std::vector<std::string>{"m", "x", "n", "r", "p1", "p2",
                                                "r", "r"}));
  EXPECT_TRUE(pending_.empty());
}

TEST_F(WalkTest, DiamondListsSharedHistoryTwiceReadingItOnce) {
  Build(
      {{"a", {}}, {"r", {"a"}}, {"p", {"r"}}, {"q", {"r"}}, {"m", {"p", "q"}}});
  CatFileCounter counter;

  LoadMore();

  EXPECT_EQ(Listed(),
            (std::vector<std::string>{"m", "p", "q", "r", "r", "a", "a"}));
  EXPECT_EQ(counter.runs, 5);
  EXPECT_EQ(commits_[3], commits_[4]);
}

TEST(LoadMoreTest, OutsideARepositoryListsOneEmptyCommit) {
  TempDir dir;
  ScopedCwd cwd(dir.path());

  std::deque<std::string> pending = {HeadHash()};
  EXPECT_EQ(pending.front(), "");
  int selected_commit = 0;
  std::vector<const Commit*> commits;
  std::vector<std::string> titles;
  load_more(pending, selected_commit, commits, titles);

  ASSERT_EQ(commits.size(), 1u);
  EXPECT_EQ(titles, std::vector<std::string>{""});
  const Commit& commit = *commits[0];
  EXPECT_EQ(commit.hash, "");
  EXPECT_EQ(commit.title, "");
  EXPECT_EQ(commit.tree, "");
  EXPECT_TRUE(commit.authors.empty());
  EXPECT_TRUE(commit.committers.empty());
  EXPECT_TRUE(commit.parents.empty());
  EXPECT_TRUE(commit.description.empty());
  EXPECT_TRUE(pending.empty());
}

}  // namespace
}  // namespace plimsy
