#include "log/commit.h"

#include <memory>
#include <unordered_map>
#include <utility>

namespace plimsy {
namespace {

// Keyed by each record's own hash: a history's worth of records, found by
// hashing rather than by comparing names, with no copy of the names.
using CommitCache =
    std::unordered_map<std::string_view, std::unique_ptr<Commit>>;

CommitCache& Cache() {
  static CommitCache cache;
  return cache;
}

}  // namespace

bool IsObjectName(std::string_view text) {
  if (text.size() != 40 && text.size() != 64) {
    return false;
  }
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
      return false;
    }
  }
  return true;
}

// Header keywords count only with their space: "parent_x" or "authorship"
// lines are other headers, which a crafted object may carry.
void ParseCommitObject(std::string_view text, Commit& commit) {
  bool in_header = true;
  int message_line = 0;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view()
                                         : text.substr(end + 1);
    if (!in_header) {
      if (message_line == 0) {
        commit.title = line;
      } else if (message_line >= 2) {
        commit.description.emplace_back(line);
      }
      ++message_line;
    } else if (line.starts_with("tree ")) {
      std::string_view value = line.substr(5);
      commit.tree = IsObjectName(value) ? value : std::string_view();
    } else if (line.starts_with("parent ")) {
      std::string_view value = line.substr(7);
      if (IsObjectName(value)) {
        commit.parents.emplace_back(value);
      }
    } else if (line.starts_with("author ")) {
      commit.authors.emplace_back(line.substr(7));
    } else if (line.starts_with("committer ")) {
      commit.committers.emplace_back(line.substr(10));
    } else if (line.empty()) {
      in_header = false;
    }
  }
}

const Commit* CachedCommit(const std::string& hash) {
  auto found = Cache().find(hash);
  return found == Cache().end() ? nullptr : found->second.get();
}

const Commit* KeepCommit(Commit commit) {
  auto found = Cache().find(commit.hash);
  if (found != Cache().end()) {
    return found->second.get();
  }
  auto kept = std::make_unique<Commit>(std::move(commit));
  const Commit* record = kept.get();
  Cache().emplace(record->hash, std::move(kept));
  return record;
}

}  // namespace plimsy
