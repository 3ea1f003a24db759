#include "app/manual.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/commands.h"
#include "sys/process.h"

namespace plimsy {
namespace {

namespace fs = std::filesystem;

// The page installed under the same prefix as this executable.
std::string PageBesideExecutable() {
  std::error_code error;
  fs::path executable = fs::read_symlink("/proc/self/exe", error);
  if (error) {
    return {};
  }
  fs::path directory =
      executable.parent_path().parent_path() / "share" / "man" / "man1";
  for (const char* name : {"plimsy.1.gz", "plimsy.1"}) {
    fs::path page = directory / name;
    if (fs::is_regular_file(page, error)) {
      return page.string();
    }
  }
  return {};
}

bool ManFindsPage() {
  RunOptions quiet;
  quiet.in = PipeOption::kClose;
  quiet.out = PipeOption::kClose;
  quiet.err = PipeOption::kClose;
  return Run({"man", "-w", "plimsy"}, quiet).status == 0;
}

}  // namespace

int ShowManual() {
  try {
    std::string page = PageBesideExecutable();
    std::vector<std::string> man = {"man", "plimsy"};
    if (!page.empty()) {
      man = {"man", "-l", page};
    } else if (!ManFindsPage()) {
      return PrintHelp(0, nullptr);
    }
    if (int status = Run(man).status; status != 0) {
      return PrintHelp(0, nullptr);
    }
    return 0;
  } catch (const SpawnError&) {
    return PrintHelp(0, nullptr);
  }
}

}  // namespace plimsy
