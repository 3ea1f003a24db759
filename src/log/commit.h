#ifndef PLIMSY_LOG_COMMIT_H_
#define PLIMSY_LOG_COMMIT_H_

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace plimsy {

// One commit object's header values and message, as git printed them.
struct Commit {
  std::string hash;
  std::string title;
  std::string tree;
  std::vector<std::string> authors;
  std::vector<std::string> description;
  std::vector<std::string> committers;
  std::vector<std::string> parents;
};

// The object name of the commit HEAD names; empty when git fails.
std::string HeadHash();

// The cached record for `hash`, read from git on first use. Never null; the
// record lives until the process exits.
const Commit* GetCommit(const std::string& hash);

// Fills `commit`'s header fields and message from the raw commit object
// `text`, as "git cat-file commit" prints it. Leaves `hash` alone.
void ParseCommitObject(std::string_view text, Commit& commit);

// Grows `commits` and `titles` breadth-first along parent links from the
// hashes in `pending`, until the list reaches 80 entries past
// `selected_commit` or nothing is pending.
void load_more(std::deque<std::string>& pending,
               int& selected_commit,
               std::vector<const Commit*>& commits,
               std::vector<std::string>& titles);

}  // namespace plimsy

#endif  // PLIMSY_LOG_COMMIT_H_
