#include "log/commit.h"

#include <cstddef>
#include <map>
#include <memory>
#include <utility>

#include "git.h"

namespace plimsy {
namespace {

// The part of `line` after a keyword of `length` characters and the space
// that follows it; empty when the line stops before that.
std::string HeaderValue(std::string_view line, std::size_t length) {
  std::size_t start = length + 1;
  return line.size() > start ? std::string(line.substr(start)) : std::string();
}

}  // namespace

std::string HeadHash() {
  std::string hash = GitOutput({"rev-list", "HEAD", "-1"});
  std::erase(hash, '\n');
  return hash;
}

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
      commit.tree = line.substr(5);
    } else if (line.starts_with("parent")) {
      commit.parents.push_back(HeaderValue(line, 6));
    } else if (line.starts_with("author")) {
      commit.authors.push_back(HeaderValue(line, 6));
    } else if (line.starts_with("committer")) {
      commit.committers.push_back(HeaderValue(line, 9));
    } else if (line.empty()) {
      in_header = false;
    }
  }
}

const Commit* GetCommit(const std::string& hash) {
  static std::map<std::string, std::unique_ptr<Commit>> cache;
  std::unique_ptr<Commit>& entry = cache[hash];
  if (entry) {
    return entry.get();
  }
  // Stored before git runs, so a failed read stays cached as an empty
  // record instead of being retried.
  entry = std::make_unique<Commit>();
  entry->hash = hash;
  ParseCommitObject(GitOutput({"cat-file", "commit", hash}), *entry);
  return entry.get();
}

void load_more(std::deque<std::string>& pending,
               int& selected_commit,
               std::vector<const Commit*>& commits,
               std::vector<std::string>& titles) {
  while (!pending.empty()) {
    if (selected_commit <= static_cast<int>(commits.size()) - 80) {
      return;
    }
    // Read before the hash leaves the queue, so that a git that cannot be
    // started loses nothing.
    const Commit* commit = GetCommit(pending.front());
    pending.pop_front();
    pending.insert(pending.end(), commit->parents.begin(),
                   commit->parents.end());
    titles.push_back(commit->title);
    commits.push_back(commit);
  }
}

}  // namespace plimsy
