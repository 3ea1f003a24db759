#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "git/run.h"
#include "support.h"

namespace plimsy {
namespace {

using testing::PlimsyBinary;
using testing::RunIn;
using testing::Shows;
using testing::TempDir;
using testing::TempRepo;
using testing::TmuxPane;

// Where a user's setting comes from.
enum class Source { File, Parameters, Count, Environment };

const char* SourceName(Source source) {
  switch (source) {
    case Source::File:
      return "File";
    case Source::Parameters:
      return "Parameters";
    case Source::Count:
      return "Count";
    case Source::Environment:
      return "Environment";
  }
  return "";
}

struct ConfigCase {
  Source source;
  // A configuration key, or for Source::Environment a variable's name.
  std::string key;
  // "$DIR" stands for a scratch directory holding an executable script
  // "external" that prints a fixed text.
  std::string value;
  std::string name;
};

void PrintTo(const ConfigCase& param, std::ostream* out) {
  *out << param.name;
}

// Every setting from every source that can carry it: each one changes what
// a plain `git diff` prints.
std::vector<ConfigCase> Cases() {
  const struct {
    const char* name;
    const char* key;
    const char* value;
  } settings[] = {
      {"External", "diff.external", "$DIR/external"},
      {"NoPrefix", "diff.noprefix", "true"},
      {"MnemonicPrefix", "diff.mnemonicPrefix", "true"},
      {"ColorDiff", "color.diff", "always"},
      {"ColorUi", "color.ui", "always"},
      {"SubmoduleLog", "diff.submodule", "log"},
      {"SuppressBlankEmpty", "diff.suppressBlankEmpty", "true"},
      {"Context", "diff.context", "1"},
  };
  std::vector<ConfigCase> cases;
  for (Source source : {Source::File, Source::Parameters, Source::Count}) {
    for (const auto& setting : settings) {
      cases.push_back({source, setting.key, setting.value,
                       std::string(SourceName(source)) + setting.name});
    }
  }
  cases.push_back({Source::Environment, "GIT_EXTERNAL_DIFF", "$DIR/external",
                   "EnvironmentExternalDiff"});
  cases.push_back(
      {Source::Environment, "GIT_DIFF_OPTS", "-u1", "EnvironmentDiffOpts"});
  cases.push_back({Source::Environment, "GIT_DIFF_OPTS", "--unified=0",
                   "EnvironmentDiffOptsUnified"});
  return cases;
}

// A working tree that changes one line of src/f.txt, next to an empty
// line, and moves the submodule `sub` on by one commit.
class GitConfigTest : public ::testing::TestWithParam<ConfigCase> {
 protected:
  GitConfigTest() {
    repo_.Write("src/f.txt",
                "one\ntwo\n\nfour\nfive\nsix\nseven\neight\nnine\n");
    repo_.Write("sub/s.txt", "one\n");
    SubGit({"init", "-q", "-b", "main"});
    SubGit({"add", "s.txt"});
    SubGit({"commit", "-q", "-m", "sub one"});
    repo_.Commit("first");
    repo_.Write("src/f.txt",
                "one\ntwo\n\nfour\nFIVE\nsix\nseven\neight\nnine\n");
    repo_.Write("sub/s.txt", "two\n");
    SubGit({"commit", "-q", "-a", "-m", "sub two"});

    std::string script = scratch_.path() + "/external";
    std::ofstream(script) << "#!/bin/sh\necho external diff driver\n";
    chmod(script.c_str(), 0755);
  }

  void SubGit(const std::vector<std::string>& args) {
    std::vector<std::string> command = {"git", "-c", "user.name=T", "-c",
                                        "user.email=t@example.com"};
    command.insert(command.end(), args.begin(), args.end());
    ASSERT_EQ(RunIn(repo_.path() + "/sub", command, "",
                    {"GIT_CONFIG_NOSYSTEM=1", "GIT_CONFIG_GLOBAL=/dev/null"})
                  .status,
              0);
  }

  // The case's environment entries, its setting included when `with_setting`.
  std::vector<std::string> Environment(bool with_setting) {
    const ConfigCase& param = GetParam();
    std::string value = param.value;
    if (value.starts_with("$DIR")) {
      value = scratch_.path() + value.substr(4);
    }
    const std::string config = scratch_.path() + "/config";
    std::ofstream file(config);
    std::vector<std::string> env = {"GIT_CONFIG_NOSYSTEM=1",
                                    "GIT_CONFIG_GLOBAL=" + config};
    if (!with_setting) {
      return env;
    }
    const size_t dot = param.key.find('.');
    switch (param.source) {
      case Source::File:
        file << "[" << param.key.substr(0, dot) << "]\n\t"
             << param.key.substr(dot + 1) << " = " << value << "\n";
        break;
      case Source::Parameters:
        env.push_back("GIT_CONFIG_PARAMETERS='" + param.key + "'='" + value +
                      "'");
        break;
      case Source::Count:
        env.push_back("GIT_CONFIG_COUNT=1");
        env.push_back("GIT_CONFIG_KEY_0=" + param.key);
        env.push_back("GIT_CONFIG_VALUE_0=" + value);
        break;
      case Source::Environment:
        env.push_back(param.key + "=" + value);
        break;
    }
    return env;
  }

  TempRepo repo_;
  TempDir scratch_;
};

TEST_P(GitConfigTest, TheDiffScreenShowsGitsOwnUnifiedDiff) {
  // The setting really does change what a plain git prints.
  EXPECT_NE(RunIn(repo_.path(), {"git", "diff"}, "", Environment(true)).out,
            RunIn(repo_.path(), {"git", "diff"}, "", Environment(false)).out);

  TmuxPane pane(repo_.path(), {PlimsyBinary(), "diff"}, 100, 24,
                Environment(true));
  // The last row of the hunk: a frame is written from the top down.
  pane.WaitFor("│8│ eight");
  const std::string screen = pane.WaitFor("│ src/f.txt");
  EXPECT_TRUE(Shows(screen, "> M src/f.txt ")) << screen;
  EXPECT_TRUE(Shows(screen, "  M sub ")) << screen;
  // Three lines of context on each side of the change, the empty line
  // among them.
  const std::vector<std::string> rows = {
      "│2│ two",  "│3│",     "│4│ four",  "│5│-five",
      "│5│+FIVE", "│6│ six", "│7│ seven", "│8│ eight",
  };
  for (const std::string& row : rows) {
    EXPECT_TRUE(Shows(screen, row)) << row << "\n" << screen;
  }
  EXPECT_FALSE(Shows(screen, "│1│ one")) << screen;
  EXPECT_FALSE(Shows(screen, "nine")) << screen;
  EXPECT_FALSE(Shows(screen, "external")) << screen;

  pane.SendKeys({"Down"});
  // The submodule's line lies below its name: a capture may catch the
  // name row of a frame still being written.
  const std::string submodule = pane.WaitFor("Subproject commit");
  EXPECT_TRUE(Shows(submodule, "│ sub\n")) << submodule;
  EXPECT_TRUE(Shows(submodule, "-Subproject commit") ||
              Shows(submodule, "│Subproject commit"))
      << submodule;
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

INSTANTIATE_TEST_SUITE_P(Settings,
                         GitConfigTest,
                         ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

// Sets environment variables for the life of the object and puts the
// previous values back afterwards.
class ScopedEnv {
 public:
  explicit ScopedEnv(
      const std::vector<std::pair<std::string, std::string>>& variables) {
    for (const auto& [name, value] : variables) {
      const char* previous = std::getenv(name.c_str());
      saved_.emplace_back(name, previous == nullptr
                                    ? std::nullopt
                                    : std::optional<std::string>(previous));
      setenv(name.c_str(), value.c_str(), 1);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  ~ScopedEnv() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        setenv(it->first.c_str(), it->second->c_str(), 1);
      } else {
        unsetenv(it->first.c_str());
      }
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// What a capturing git run sees: no prompts, no GIT_DIFF_OPTS, and the
// forced settings over the user's `git -c` entries, which otherwise stay in
// force.
TEST(CapturingEnvironmentTest, ChildGitSeesTheForcedSettings) {
  TempRepo repo;
  testing::ScopedCwd cwd(repo.path());
  ScopedEnv env({{"GIT_CONFIG_NOSYSTEM", "1"},
                 {"GIT_CONFIG_GLOBAL", "/dev/null"},
                 {"GIT_TERMINAL_PROMPT", "1"},
                 {"GIT_DIFF_OPTS", "-u1"},
                 {"GIT_CONFIG_PARAMETERS",
                  "'user.name'='Somebody' 'diff.noprefix'='true'"}});
  const GitResult printed =
      GitCapture({"-c", "alias.printenv=!printenv", "printenv",
                  "GIT_TERMINAL_PROMPT", "GIT_DIFF_OPTS"});
  EXPECT_EQ(printed.out, "0\n");
  EXPECT_EQ(GitOutput({"config", "user.name"}), "Somebody\n");
  EXPECT_EQ(GitOutput({"config", "diff.noprefix"}), "false\n");
  EXPECT_EQ(GitOutput({"config", "diff.suppressBlankEmpty"}), "false\n");
}

}  // namespace
}  // namespace plimsy
