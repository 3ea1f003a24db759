#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "diff/diff.h"
#include "git.h"
#include "support.h"

namespace plimsy {
namespace {

using testing::RunIn;
using testing::ScopedCwd;
using testing::TempDir;
using testing::TempRepo;

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

struct ExpectedLine {
  LineKind kind;
  std::string text;
};

struct ConfigCase {
  std::string name;
  // The user's global configuration file.
  std::string global_config;
  // Further environment; "$DIR" stands for a scratch directory holding an
  // executable script "external" that prints a fixed text.
  std::vector<std::pair<std::string, std::string>> env;
  int32_t old_start;
  std::vector<ExpectedLine> lines;
};

void PrintTo(const ConfigCase& param, std::ostream* out) {
  *out << param.name;
}

const std::vector<ExpectedLine> kThreeLinesOfContext = {
    {LineKind::Context, "two"},   {LineKind::Context, ""},
    {LineKind::Context, "four"},  {LineKind::Deleted, "five"},
    {LineKind::Added, "FIVE"},    {LineKind::Context, "six"},
    {LineKind::Context, "seven"}, {LineKind::Context, "eight"},
};

class GitConfigTest : public ::testing::TestWithParam<ConfigCase> {
 protected:
  GitConfigTest() : cwd_(repo_.path()) {
    repo_.Write("src/f.txt",
                "one\ntwo\n\nfour\nfive\nsix\nseven\neight\nnine\n");
    repo_.Commit("first");
    repo_.Write("src/f.txt",
                "one\ntwo\n\nfour\nFIVE\nsix\nseven\neight\nnine\n");
    std::ofstream(scratch_.path() + "/config") << GetParam().global_config;
    std::string script = scratch_.path() + "/external";
    std::ofstream(script) << "#!/bin/sh\necho external diff driver\n";
    chmod(script.c_str(), 0755);
  }

  // The case's environment, with the user's configuration file in place.
  std::vector<std::pair<std::string, std::string>> Environment() {
    std::vector<std::pair<std::string, std::string>> env = {
        {"GIT_CONFIG_NOSYSTEM", "1"},
        {"GIT_CONFIG_GLOBAL", scratch_.path() + "/config"},
    };
    for (auto [name, value] : GetParam().env) {
      if (value.starts_with("$DIR")) {
        value = scratch_.path() + value.substr(4);
      }
      env.emplace_back(name, value);
    }
    return env;
  }

  TempRepo repo_;
  ScopedCwd cwd_;
  TempDir scratch_;
};

TEST_P(GitConfigTest, DiffTextKeepsTheShapeTheParserReads) {
  std::vector<std::pair<std::string, std::string>> env = Environment();
  std::string output;
  {
    ScopedEnv scoped(env);
    output = GitOutput({"diff"});
  }
  std::vector<File> files = ParseDiff(output);
  ASSERT_EQ(files.size(), 1u) << output;
  EXPECT_EQ(files[0].old_name, " a/src/f.txt");
  EXPECT_EQ(files[0].new_name, "src/f.txt");
  ASSERT_EQ(files[0].hunks.size(), 1u) << output;
  const Hunk& hunk = files[0].hunks[0];
  EXPECT_EQ(hunk.old_start, GetParam().old_start);
  EXPECT_EQ(hunk.new_start, GetParam().old_start);
  ASSERT_EQ(hunk.lines.size(), GetParam().lines.size()) << output;
  for (size_t i = 0; i < hunk.lines.size(); ++i) {
    EXPECT_EQ(hunk.lines[i].kind, GetParam().lines[i].kind) << i;
    EXPECT_EQ(hunk.lines[i].text, GetParam().lines[i].text) << i;
  }

  // The same settings really do change what a plain git prints.
  std::vector<std::string> plain_env;
  for (const auto& [name, value] : env) {
    plain_env.push_back(name + "=" + value);
  }
  EXPECT_NE(RunIn(repo_.path(), {"git", "diff"}, "", plain_env).out, output);
}

INSTANTIATE_TEST_SUITE_P(
    Settings,
    GitConfigTest,
    ::testing::Values(
        ConfigCase{"ColorUiAlways",
                   "[color]\n\tui = always\n",
                   {},
                   2,
                   kThreeLinesOfContext},
        ConfigCase{"ColorDiffAlways",
                   "[color]\n\tdiff = always\n",
                   {},
                   2,
                   kThreeLinesOfContext},
        ConfigCase{"NoPrefix",
                   "[diff]\n\tnoprefix = true\n",
                   {},
                   2,
                   kThreeLinesOfContext},
        ConfigCase{"MnemonicPrefix",
                   "[diff]\n\tmnemonicPrefix = true\n",
                   {},
                   2,
                   kThreeLinesOfContext},
        ConfigCase{"SuppressBlankEmpty",
                   "[diff]\n\tsuppressBlankEmpty = true\n",
                   {},
                   2,
                   kThreeLinesOfContext},
        ConfigCase{"ExternalDiff",
                   "",
                   {{"GIT_EXTERNAL_DIFF", "$DIR/external"}},
                   2,
                   kThreeLinesOfContext},
        // The user's own entries stay in force; the forced ones come after
        // them and win where both name the same setting.
        ConfigCase{"UserEntriesKept",
                   "",
                   {{"GIT_CONFIG_COUNT", "2"},
                    {"GIT_CONFIG_KEY_0", "diff.context"},
                    {"GIT_CONFIG_VALUE_0", "1"},
                    {"GIT_CONFIG_KEY_1", "color.ui"},
                    {"GIT_CONFIG_VALUE_1", "always"}},
                   4,
                   {{LineKind::Context, "four"},
                    {LineKind::Deleted, "five"},
                    {LineKind::Added, "FIVE"},
                    {LineKind::Context, "six"}}}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace plimsy
