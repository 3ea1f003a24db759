#include "fixtures.h"

#include <filesystem>

namespace plimsy::testing {
namespace {

std::string NumberedLines(const std::string& word, int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) {
    text += word + " " + std::to_string(i) + "\n";
  }
  return text;
}

}  // namespace

ChangeFixture CommitEveryKindOfChange(TempRepo& repo) {
  using namespace std::string_literals;
  repo.Git({"config", "diff.renames", "copies"});
  repo.Write("keep.txt", "keep 1\nkeep 2\nkeep 3\n");
  repo.Write("old name.txt", NumberedLines("rename line", 20));
  repo.Write("source.txt", NumberedLines("source line", 20));
  repo.Write("gone.txt", "bye\n");
  repo.Write("image.bin", "\x89PNG\x00\x01\x02"s);
  repo.Write("run.sh", "echo hi\n");
  repo.Write(kOddName, "odd\n");
  ChangeFixture commits;
  commits.before = repo.Commit("before");

  repo.Write("copy.txt", NumberedLines("source line", 20));
  repo.Write("source.txt", NumberedLines("source line", 21));
  repo.Git({"mv", "old name.txt", "new name.txt"});
  repo.Write("keep.txt", "keep 1\nKEEP 2\nkeep 3\n");
  repo.Git({"rm", "-q", "gone.txt"});
  repo.Write("image.bin", "\x89PNG\x00\x03\x04"s);
  std::filesystem::permissions(repo.path() + "/run.sh",
                               std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add);
  repo.Write(kUnicodeName, "nihon\n");
  repo.Write("added.txt", "added\n");
  repo.Write(kOddName, "odd\nodder\n");
  commits.after = repo.Commit("after");
  return commits;
}

}  // namespace plimsy::testing
