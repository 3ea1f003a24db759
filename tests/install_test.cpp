#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support.h"

namespace plimsy::testing {
namespace {

namespace fs = std::filesystem;

const char kVersion[] = "1.3.0";
const char kUsage[] =
    "\nplimsy is a terminal user interface for git.\n\nUsage:\n  - plimsy "
    "<command> [args]*\n\nAvailable TUI commands:\n  - diff\n  - log\n\n"
    "Fallback to git:\n  - git \n  - ... (fallback to git)\n\nOther "
    "commands:\n  - version\n  - help\n\n\n";
// The manual page's NAME line as man renders it.
const char kNameLine[] = "plimsy, git-plimsy - terminal user interface for git";

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

std::string Path() {
  const char* path = std::getenv("PATH");
  return path ? path : "/usr/bin:/bin";
}

// The git executable the tests run, found on PATH.
std::string GitExecutable() {
  std::stringstream path(Path());
  std::string directory;
  while (std::getline(path, directory, ':')) {
    std::string candidate = directory + "/git";
    if (!directory.empty() && access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
  }
  return "/usr/bin/git";
}

// The pagers git and man would start, and the manual search path, set so
// that the tests read plain text from the installed tree only.
std::vector<std::string> PlainPagers(const std::string& path) {
  return {"PATH=" + path, "MANPAGER=cat", "PAGER=cat", "GIT_PAGER=cat",
          "MANWIDTH=80",  "MANPATH",      "MANOPT",    "LANG=C.UTF-8"};
}

// The installed files, relative to the prefix: links as "name -> target".
std::set<std::string> Listing(const std::string& root) {
  std::set<std::string> files;
  for (const fs::directory_entry& entry :
       fs::recursive_directory_iterator(root)) {
    std::string name = entry.path().lexically_relative(root).string();
    if (entry.is_symlink()) {
      files.insert(name + " -> " + fs::read_symlink(entry.path()).string());
    } else if (entry.is_regular_file()) {
      files.insert(name);
    }
  }
  return files;
}

const std::set<std::string> kInstalledFiles = {
    "bin/plimsy",
    "bin/git-plimsy -> plimsy",
    "share/man/man1/plimsy.1.gz",
    "share/man/man1/git-plimsy.1.gz -> plimsy.1.gz",
    "share/bash-completion/completions/plimsy",
    "share/bash-completion/completions/git-plimsy -> plimsy",
};

class InstallTest : public ::testing::Test {
 protected:
  InstallTest() {
    RunResult install = RunIn(PLIMSY_BUILD_DIR, {"cmake", "--install", ".",
                                                 "--prefix", prefix_.path()});
    EXPECT_EQ(install.status, 0) << install.err;
    repo_.Write("a.txt", "one\n");
    repo_.Commit("first");
    repo_.Write("a.txt", "two\n");
  }

  std::string Bin() const { return prefix_.path() + "/bin"; }

  RunResult Run(const std::vector<std::string>& args) {
    return RunIn(repo_.path(), args, "", PlainPagers(Bin() + ":" + Path()));
  }

  TempDir prefix_;
  TempRepo repo_;
};

TEST_F(InstallTest, InstallsTheBinaryTheGitSubcommandThePageAndCompletion) {
  EXPECT_EQ(Listing(prefix_.path()), kInstalledFiles);

  RunResult version = Run({"git", "plimsy", "version"});
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_EQ(version.out, std::string(kVersion) + "\n");

  // Under either name plimsy hands other commands to git.
  for (const char* name : {"plimsy", "git-plimsy"}) {
    RunResult ours = Run({name, "status", "--short"});
    RunResult theirs = Run({"git", "status", "--short"});
    EXPECT_EQ(ours.status, 0) << name;
    EXPECT_EQ(ours.out, theirs.out) << name;
  }
  RunResult status = Run({"git", "plimsy", "status", "--short"});
  EXPECT_EQ(status.out, " M a.txt\n");
}

TEST_F(InstallTest, HelpAfterACommandOpensTheManualPage) {
  const std::vector<std::vector<std::string>> asks = {
      {"git", "plimsy", "--help"},
      {"git", "help", "plimsy"},
      {"plimsy", "diff", "--help"},
  };
  for (const auto& ask : asks) {
    RunResult result = Run(ask);
    std::string words = ::testing::PrintToString(ask);
    EXPECT_EQ(result.status, 0) << words << "\n" << result.err;
    EXPECT_NE(result.out.find(kNameLine), std::string::npos) << words << "\n"
                                                             << result.out;
    EXPECT_NE(result.out.find(std::string("plimsy ") + kVersion),
              std::string::npos)
        << words;
  }

  // After "--" it names a path, which git diff is given.
  RunResult path = Run({"plimsy", "diff", "--", "--help"});
  RunResult git = Run({"git", "diff", "--", "--help"});
  EXPECT_EQ(path.status, git.status);
  EXPECT_EQ(path.out, git.out);

  // Without man, or without an installed page, the usage text stands in.
  TempDir no_man;
  fs::create_symlink(GitExecutable(), no_man.path() + "/git");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"diff", "--help"},
        {"diff", "HEAD", "--help", "--", "a.txt"},
        {"log", "--help"}}) {
    std::vector<std::string> command = {Bin() + "/plimsy"};
    command.insert(command.end(), args.begin(), args.end());
    RunResult without_man =
        RunIn(repo_.path(), command, "", PlainPagers(no_man.path()));
    EXPECT_EQ(without_man.status, 0) << without_man.err;
    EXPECT_EQ(without_man.out, kUsage) << ::testing::PrintToString(args);
  }
  RunResult not_installed =
      RunIn(repo_.path(), {PlimsyBinary(), "log", "--help"}, "",
            {"MANPATH=" + no_man.path(), "MANPAGER=cat"});
  EXPECT_EQ(not_installed.status, 0) << not_installed.err;
  EXPECT_EQ(not_installed.out, kUsage);
}

// Completes each argument in bash as a user with bash-completion would,
// with the cursor at the line's end, and prints the candidates of each,
// one a line, after a line "== <line>".
constexpr char kCompleteLines[] = R"(
. /usr/share/bash-completion/bash_completion
for line in "$@"; do
  echo "== $line"
  COMP_LINE=$line
  COMP_POINT=${#line}
  read -ra COMP_WORDS <<<"$line"
  [[ $line == *' ' ]] && COMP_WORDS+=('')
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  command=${COMP_WORDS[0]}
  complete -p "$command" >/dev/null 2>&1 || __load_completion "$command"
  spec=$(complete -p "$command") || continue
  function=${spec##*-F }
  function=${function%% *}
  COMPREPLY=()
  "$function" "$command" "${COMP_WORDS[COMP_CWORD]}" \
    "${COMP_WORDS[COMP_CWORD-1]}"
  printf '%s\n' "${COMPREPLY[@]}"
done
)";

TEST_F(InstallTest, BashCompletesCommandWordsThenAsGitDoes) {
  repo_.Git({"branch", "feature-branch"});
  struct Case {
    std::string line;
    std::set<std::string> includes;
    std::set<std::string> excludes;
  };
  const std::vector<Case> cases = {
      {"plimsy ", {"diff", "log", "help", "version", "status", "commit"}, {}},
      {"plimsy ver", {"version"}, {"diff"}},
      {"plimsy diff feature-", {"feature-branch"}, {}},
      {"plimsy diff --cach", {"--cached"}, {}},
      {"plimsy log --onel", {"--oneline"}, {}},
      {"plimsy log fea", {"feature-branch"}, {}},
      {"plimsy status --shor", {"--short"}, {}},
      {"plimsy git ", {"status", "diff"}, {"version", "git"}},
      {"plimsy git log --onel", {"--oneline"}, {}},
      {"plimsy version ", {}, {"diff", "status"}},
      {"git plimsy ", {"diff", "log", "help", "version", "status"}, {}},
      {"git plimsy diff feature-", {"feature-branch"}, {}},
      {"git plimsy log --onel", {"--oneline"}, {}},
      {"git-plimsy di", {"diff"}, {}},
  };
  std::vector<std::string> command = {"bash", "--norc",       "--noprofile",
                                      "-c",   kCompleteLines, "complete"};
  for (const Case& c : cases) {
    command.push_back(c.line);
  }
  std::vector<std::string> env = PlainPagers(Bin() + ":" + Path());
  env.push_back("XDG_DATA_DIRS=" + prefix_.path() + "/share:/usr/share");
  env.push_back("HOME=" + prefix_.path());
  RunResult result = RunIn(repo_.path(), command, "", env);
  ASSERT_EQ(result.status, 0) << result.err;

  std::map<std::string, std::set<std::string>> offered;
  std::stringstream lines(result.out);
  std::string line;
  std::string current;
  while (std::getline(lines, line)) {
    if (line.starts_with("== ")) {
      current = line.substr(3);
      offered[current];
      continue;
    }
    line.erase(line.find_last_not_of(' ') + 1);
    if (!line.empty()) {
      offered[current].insert(line);
    }
  }
  for (const Case& c : cases) {
    ASSERT_TRUE(offered.contains(c.line)) << c.line << "\n" << result.err;
    const std::set<std::string>& candidates = offered[c.line];
    for (const std::string& word : c.includes) {
      EXPECT_TRUE(candidates.contains(word))
          << "\"" << c.line << "\" lacks " << word << "; offers "
          << ::testing::PrintToString(candidates);
    }
    for (const std::string& word : c.excludes) {
      EXPECT_FALSE(candidates.contains(word))
          << "\"" << c.line << "\" offers " << word;
    }
    if (c.includes.empty()) {
      EXPECT_TRUE(candidates.empty()) << "\"" << c.line << "\" offers "
                                      << ::testing::PrintToString(candidates);
    }
  }
}

std::string StagedPage() {
  return std::string(PLIMSY_BUILD_DIR) + "/stage/plimsy.1";
}

TEST(ManualPageTest, RendersWithoutWarnings) {
  RunResult groff = RunIn(".", {"groff", "-ww", "-man", "-z", StagedPage()});
  EXPECT_EQ(groff.status, 0);
  EXPECT_EQ(groff.err, "");
  RunResult man = RunIn(".", {"man", "--warnings", "-l", StagedPage()}, "",
                        {"MANPAGER=cat", "MANWIDTH=80", "LANG=C.UTF-8"});
  EXPECT_EQ(man.status, 0);
  EXPECT_EQ(man.err, "");
  EXPECT_NE(man.out.find(kNameLine), std::string::npos);
  for (const char* section :
       {"SYNOPSIS", "DESCRIPTION", "COMMANDS", "KEYS", "ENVIRONMENT",
        "EXIT STATUS", "EXAMPLES", "NO_COLOR", "GIT_DIR", "127"}) {
    EXPECT_NE(man.out.find(section), std::string::npos) << section;
  }
}

// The keys of the key tables: each table row's first cell in the README's
// "## Keys" section, and each tag paragraph's tag in the manual page's KEYS
// section, with the markup of both removed.
std::multiset<std::string> ReadmeKeys(const std::string& readme) {
  std::multiset<std::string> keys;
  std::stringstream lines(readme);
  std::string line;
  bool in_keys = false;
  while (std::getline(lines, line)) {
    if (line.starts_with("## ")) {
      in_keys = line == "## Keys";
      continue;
    }
    if (!in_keys || !line.starts_with("|") ||
        line.find("---") != std::string::npos) {
      continue;
    }
    std::string cell = line.substr(1, line.find('|', 1) - 1);
    cell.erase(std::remove(cell.begin(), cell.end(), '`'), cell.end());
    cell = std::regex_replace(cell, std::regex("^ +| +$"), "");
    if (cell != "key") {
      keys.insert(cell);
    }
  }
  return keys;
}

std::multiset<std::string> ManualKeys(const std::string& page) {
  std::multiset<std::string> keys;
  std::stringstream lines(page);
  std::string line;
  bool in_keys = false;
  bool tag_next = false;
  while (std::getline(lines, line)) {
    if (line.starts_with(".SH")) {
      in_keys = line == ".SH KEYS";
      continue;
    }
    if (!in_keys) {
      continue;
    }
    if (tag_next) {
      line = std::regex_replace(line, std::regex(R"(\\f[BIRP])"), "");
      line = std::regex_replace(line, std::regex(R"(\\-)"), "-");
      keys.insert(line);
    }
    tag_next = line == ".TP";
  }
  return keys;
}

TEST(ManualPageTest, ListsTheKeysOfTheReadme) {
  std::multiset<std::string> readme =
      ReadmeKeys(ReadFile(std::string(PLIMSY_SOURCE_DIR) + "/README.md"));
  std::multiset<std::string> manual = ManualKeys(ReadFile(StagedPage()));
  EXPECT_FALSE(readme.empty());
  EXPECT_EQ(readme, manual)
      << "the README's key tables and the KEYS section of doc/plimsy.1.in "
         "differ";
}

TEST(DebianPackageTest, BuildsAndRunsOnceExtracted) {
  TempDir output;
  RunResult cpack =
      RunIn(PLIMSY_BUILD_DIR, {"cpack", "-G", "DEB", "-B", output.path(),
                               "--config", "CPackConfig.cmake"});
  ASSERT_EQ(cpack.status, 0) << cpack.out << cpack.err;
  std::string arch = RunIn(".", {"dpkg", "--print-architecture"}).out;
  arch.erase(arch.find_last_not_of('\n') + 1);
  std::string deb = output.path() + "/plimsy_" + kVersion + "_" + arch + ".deb";
  ASSERT_TRUE(fs::exists(deb)) << cpack.out;

  RunResult fields = RunIn(".", {"dpkg-deb", "-f", deb, "Package", "Version",
                                 "Architecture", "Depends"});
  EXPECT_NE(fields.out.find("Package: plimsy\n"), std::string::npos);
  EXPECT_NE(fields.out.find(std::string("Version: ") + kVersion + "\n"),
            std::string::npos);
  EXPECT_TRUE(
      std::regex_search(fields.out, std::regex(R"(Depends: .*\bgit\b)")))
      << fields.out;
  EXPECT_TRUE(std::regex_search(fields.out, std::regex(R"(Depends: .*libc6)")))
      << fields.out;

  TempDir root;
  RunResult extract = RunIn(".", {"dpkg-deb", "-x", deb, root.path()});
  ASSERT_EQ(extract.status, 0) << extract.err;
  EXPECT_EQ(Listing(root.path() + "/usr"), kInstalledFiles);
  RunResult version = RunIn(".", {root.path() + "/usr/bin/plimsy", "version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string(kVersion) + "\n");
  RunResult page = RunIn(".",
                         {"man", "--warnings", "-l",
                          root.path() + "/usr/share/man/man1/git-plimsy.1.gz"},
                         "", {"MANPAGER=cat", "MANWIDTH=80", "LANG=C.UTF-8"});
  EXPECT_EQ(page.status, 0);
  EXPECT_EQ(page.err, "");
  EXPECT_NE(page.out.find(kNameLine), std::string::npos);
}

}  // namespace
}  // namespace plimsy::testing
