#include "log/walk.h"
#include "log/walk_feed.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "git/arguments.h"
#include "git/command_lines.h"
#include "log_history.h"
#include "support.h"

namespace plimsy::log {
namespace {

using testing::Import;
using testing::RunIn;
using testing::ScopedCwd;
using testing::TempDir;
using testing::TempRepo;

// The hashes that `git log` lists for `args` in the current directory,
// under the same environment as the walk.
std::vector<std::string> GitLog(const std::vector<std::string>& args) {
  std::vector<std::string> command = {"git", "log", "--format=%H"};
  command.insert(command.end(), args.begin(), args.end());
  testing::RunResult result = RunIn(".", command);
  EXPECT_EQ(result.status, 0) << result.err;
  return testing::OutputLines(result.out);
}

struct Walked {
  std::vector<std::string> hashes;
  std::map<std::string, std::vector<RefLabel>> labels;
  std::map<std::string, std::vector<std::string>> walk_parents;
  int status = -1;
  std::string error;
};

Walked WalkAll(const std::vector<std::string>& args) {
  Walked walked;
  std::unique_ptr<WalkFeed> walk =
      ReadWalk(WalkCommandLine(args), {}, WalkFeed::kAll);
  walk->WaitForEnd();
  WalkFeed::Update update = walk->Take();
  for (WalkRecord& record : update.records) {
    walked.hashes.push_back(record.commit.hash);
    walked.labels[record.commit.hash] = record.labels;
    walked.walk_parents[record.commit.hash] = record.walk_parents;
  }
  EXPECT_TRUE(walk->ended());
  EXPECT_TRUE(walk->Take().empty());
  walked.status = update.status;
  walked.error = update.error;
  return walked;
}

// The pull-request history, shared by the cases that only read it.
class PullRequestWalkTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    repo_ = new TempRepo;
    hashes_ = new std::map<std::string, std::string>(
        Import(*repo_, testing::PullRequestHistory(),
               {{"v1", "merge10"}, {"v2", "merge20"}}));
  }
  static void TearDownTestSuite() {
    delete hashes_;
    delete repo_;
  }

  static TempRepo* repo_;
  static std::map<std::string, std::string>* hashes_;
  ScopedCwd cwd_{repo_->path()};
};

TempRepo* PullRequestWalkTest::repo_ = nullptr;
std::map<std::string, std::string>* PullRequestWalkTest::hashes_ = nullptr;

TEST_F(PullRequestWalkTest, EveryCommitOnceInGitLogsOrder) {
  Walked walked = WalkAll({});
  EXPECT_EQ(walked.status, 0);
  // Root, 30 × (3 + merge), 10 fixes, the head commit; not the topic.
  EXPECT_EQ(walked.hashes.size(), 1u + 30 * 4 + 10 + 1);
  EXPECT_EQ(
      std::set<std::string>(walked.hashes.begin(), walked.hashes.end()).size(),
      walked.hashes.size());
  EXPECT_EQ(walked.hashes, GitLog({}));
  EXPECT_EQ(walked.hashes.front(), hashes_->at("head"));
}

TEST_F(PullRequestWalkTest, ArgumentsAsGitLogTakesThem) {
  const std::vector<std::vector<std::string>> cases = {
      {"main"},
      {"topic"},
      {"main..topic"},
      {"topic..main"},
      {"v1..v2"},
      {"v2", "^v1"},
      {"--all"},
      {"--branches"},
      {"--branches=pr-1*"},
      {"--tags"},
      {"--all", "--not", "main"},
      {"--author=Bob"},
      {"--author", "Carol", "--all"},
      {"--grep=FIX"},
      {"-i", "--grep=fix"},
      {"--grep", "Merge", "--invert-grep"},
      {"--since=1700001500"},
      {"--until", "1700001000", "topic"},
      {"-n", "5"},
      {"-7"},
      {"-n3"},
      {"--max-count=4", "--skip=3"},
      {"--first-parent"},
      {"--no-merges"},
      {"--merges"},
      {"--topo-order"},
      {"--date-order"},
      {"--author-date-order"},
      {"--reverse"},
      {"--reverse", "-n", "4"},
      {"--ancestry-path", "v1..topic"},
      {"--simplify-by-decoration", "--all"},
      {"--", "docs"},
      {"--", "src/pr3", "src/pr4"},
      {"--full-history", "--", "docs"},
      {"--follow", "--", "lib/new.txt"},
      {"--", "lib/new.txt"},
      {"topic", "--", "src/topic.txt"},
      {"--end-of-options", "topic", "--", "src"},
  };
  for (const std::vector<std::string>& args : cases) {
    std::string shown;
    for (const std::string& arg : args) {
      shown += arg + " ";
    }
    SCOPED_TRACE(shown);
    Walked walked = WalkAll(args);
    EXPECT_EQ(walked.status, 0) << walked.error;
    EXPECT_EQ(walked.hashes, GitLog(args));
    EXPECT_FALSE(walked.hashes.empty());
    EXPECT_EQ(RefusedArgument(args), "");
  }
}

// Under a path limit the walk links each commit to the nearest ancestors
// it lists, so that the graph joins them, where the commits' own parents
// are mostly not listed.
TEST_F(PullRequestWalkTest, UnderAPathLimitTheWalkLinksListedCommits) {
  const std::vector<std::vector<std::string>> cases = {
      {"--", "docs"},
      {"--", "src/pr3", "src/pr4"},
      {"topic", "--", "src/topic.txt"},
  };
  for (const std::vector<std::string>& args : cases) {
    SCOPED_TRACE(args.back());
    Walked walked = WalkAll(args);
    const std::set<std::string> listed(walked.hashes.begin(),
                                       walked.hashes.end());
    int linked = 0;
    for (const auto& [hash, parents] : walked.walk_parents) {
      for (const std::string& parent : parents) {
        EXPECT_TRUE(listed.contains(parent)) << hash << " " << parent;
        ++linked;
      }
    }
    EXPECT_GE(linked + 1, static_cast<int>(walked.hashes.size()));
  }
}

TEST_F(PullRequestWalkTest, LabelsOfEachCommit) {
  repo_->Git({"update-ref", "refs/remotes/origin/main", "main"});
  repo_->Git({"tag", "-a", "-m", "annotated", "v3", hashes_->at("merge30")});
  Walked walked = WalkAll({"--all"});
  repo_->Git({"update-ref", "-d", "refs/remotes/origin/main"});
  repo_->Git({"tag", "-d", "v3"});

  using K = RefKind;
  EXPECT_EQ(walked.labels[hashes_->at("head")],
            (std::vector<RefLabel>{{K::kHead, "HEAD -> main"},
                                   {K::kRemote, "origin/main"}}));
  EXPECT_EQ(walked.labels[hashes_->at("merge10")],
            (std::vector<RefLabel>{{K::kTag, "tag: v1"}}));
  EXPECT_EQ(walked.labels[hashes_->at("merge30")],
            (std::vector<RefLabel>{{K::kTag, "tag: v3"}}));
  EXPECT_EQ(walked.labels[hashes_->at("topic2")],
            (std::vector<RefLabel>{{K::kBranch, "topic"}}));
  EXPECT_EQ(walked.labels[hashes_->at("pr5.3")],
            (std::vector<RefLabel>{{K::kBranch, "pr-5"}}));
  EXPECT_TRUE(walked.labels[hashes_->at("pr5.2")].empty());
}

TEST_F(PullRequestWalkTest, FailuresEndTheWalkWithGitsStatusAndMessage) {
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  const std::vector<Case> cases = {
      {{"no-such-revision"}, "unknown revision"},
      {{"--since"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.front());
    Walked walked = WalkAll(c.args);
    EXPECT_TRUE(walked.hashes.empty());
    EXPECT_EQ(walked.status, 128);
    EXPECT_NE(walked.error.find(c.error), std::string::npos) << walked.error;
    EXPECT_TRUE(walked.error.starts_with("fatal: ")) << walked.error;
  }
}

TEST(WalkTest, EmptyRepositoryAndOutsideOne) {
  TempRepo empty;
  {
    ScopedCwd cwd(empty.path());
    Walked walked = WalkAll({});
    EXPECT_TRUE(walked.hashes.empty());
    EXPECT_EQ(walked.status, 128);
    EXPECT_NE(walked.error.find("does not have any commits yet"),
              std::string::npos)
        << walked.error;
  }
  TempDir outside;
  ScopedCwd cwd(outside.path());
  Walked walked = WalkAll({});
  EXPECT_EQ(walked.status, 128);
  EXPECT_NE(walked.error.find("not a git repository"), std::string::npos)
      << walked.error;
}

TEST(WalkTest, CommitsAreReadAsTheyAreAskedFor) {
  TempRepo repo;
  Import(repo, testing::LinearHistory(1000));
  ScopedCwd cwd(repo.path());
  std::unique_ptr<WalkFeed> walk = ReadWalk(WalkCommandLine({}), {}, 10);
  walk->WaitForRecords(10);
  ASSERT_EQ(walk->Take().records.size(), 10u);
  // git is still printing the rest: far more than a pipe holds.
  EXPECT_FALSE(walk->ended());
  EXPECT_EQ(kill(walk->pid(), 0), 0);
}

TEST(ParseDecorationsTest, LabelsAsGitLogNamesThem) {
  using K = RefKind;
  struct Case {
    std::string text;
    std::vector<RefLabel> labels;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"HEAD -> refs/heads/main, refs/remotes/origin/main, tag: refs/tags/v1",
       {{K::kHead, "HEAD -> main"},
        {K::kRemote, "origin/main"},
        {K::kTag, "tag: v1"}}},
      {"HEAD, refs/heads/a)b, refs/heads/x/y",
       {{K::kHead, "HEAD"}, {K::kBranch, "a)b"}, {K::kBranch, "x/y"}}},
      {"grafted, refs/stash, replaced",
       {{K::kOther, "grafted"},
        {K::kOther, "refs/stash"},
        {K::kOther, "replaced"}}},
      {"refs/heads/main, refs/heads/main", {{K::kBranch, "main"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseDecorations(c.text), c.labels);
  }
}

TEST(ParseLogRecordTest, RecordsThatAreNoCommitRecordsAreRejected) {
  const std::string name(40, 'a');
  Commit commit;
  std::vector<std::string> walk_parents;
  std::vector<RefLabel> labels;
  EXPECT_FALSE(ParseLogRecord("", commit, walk_parents, labels));
  EXPECT_FALSE(
      ParseLogRecord("tree " + name + "\n", commit, walk_parents, labels));
  EXPECT_FALSE(
      ParseLogRecord("commit --output=x\n", commit, walk_parents, labels));
  EXPECT_FALSE(ParseLogRecord("commit " + name.substr(1) + "\n", commit,
                              walk_parents, labels));
  ASSERT_TRUE(ParseLogRecord(
      "commit " + name + " (refs/heads/main)\ntree " + name + "\n\n    Title\n",
      commit, walk_parents, labels));
  EXPECT_EQ(commit.hash, name);
  EXPECT_EQ(commit.title, "Title");
  EXPECT_EQ(labels, (std::vector<RefLabel>{{RefKind::kBranch, "main"}}));
}

// git writes a record's separator only with the next record: at a pause,
// the record read up to a line's end goes at once, and stands until the
// text shows that it went on.
TEST(WalkParserTest, ARecordIsHandedOverAtAPause) {
  const std::string a(40, 'a');
  const std::string b(40, 'b');
  const std::string first = "commit " + a + "\ntree " + a + "\n\n    One\n";
  struct Case {
    std::string name;
    // Pieces of the text; a pause between each.
    std::vector<std::string> pieces;
    // The titles handed over, and whether each replaced the one before.
    std::vector<std::pair<std::string, bool>> records;
  };
  const std::vector<Case> cases = {
      {"whole, then the next",
       {first, std::string(1, '\0') + "commit " + b + "\n\n    Two\n"},
       {{"One", false}, {"Two", false}}},
      {"went on after the pause",
       {first, "    more\n", std::string(1, '\0')},
       {{"One", false}, {"One", true}}},
      {"cut inside a line",
       {first.substr(0, first.size() - 2), "e\n"},
       {{"One", false}}},
  };
  for (const Case& c : cases) {
    WalkParser parser;
    std::vector<WalkRecord> records;
    for (const std::string& piece : c.pieces) {
      parser.Read(piece);
      parser.Flush(false);
      parser.Take(records, 10);
    }
    parser.Finish();
    parser.Take(records, 10);
    std::vector<std::pair<std::string, bool>> got;
    for (const WalkRecord& record : records) {
      got.emplace_back(record.commit.title, record.replaces);
    }
    EXPECT_EQ(got, c.records) << c.name;
  }
}

// The walk's parents stand between the name and the decorations; the
// object's own parent lines stay the commit's parents.
TEST(ParseLogRecordTest, WalkParentsOnTheCommitLine) {
  const std::string name(40, 'a');
  const std::string first(40, 'b');
  const std::string second(40, 'c');
  const std::string own(40, 'd');
  struct Case {
    std::string line;
    std::vector<std::string> walk_parents;
    std::vector<RefLabel> labels;
  };
  const std::vector<Case> cases = {
      {name, {}, {}},
      {name + " " + first, {first}, {}},
      {name + " " + first + " " + second + " (tag: refs/tags/v1)",
       {first, second},
       {{RefKind::kTag, "tag: v1"}}},
      {name + " " + first + " oops (refs/heads/main)", {first}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Commit commit;
    std::vector<std::string> walk_parents;
    std::vector<RefLabel> labels;
    ASSERT_TRUE(ParseLogRecord("commit " + c.line + "\ntree " + name +
                                   "\nparent " + own + "\n\n    Title\n",
                               commit, walk_parents, labels));
    EXPECT_EQ(commit.hash, name);
    EXPECT_EQ(walk_parents, c.walk_parents);
    EXPECT_EQ(labels, c.labels);
    EXPECT_EQ(commit.parents, std::vector<std::string>{own});
  }
}

}  // namespace
}  // namespace plimsy::log
