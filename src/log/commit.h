#ifndef PLIMSY_LOG_COMMIT_H_
#define PLIMSY_LOG_COMMIT_H_

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

// Whether `text` is a full object name as git prints it: 40 (SHA-1) or 64
// (SHA-256) lower-case hexadecimal digits.
bool IsObjectName(std::string_view text);

// Fills `commit`'s header fields and message from the raw commit object
// `text`, as "git cat-file commit" prints it. Leaves `hash` alone. A tree or
// parent value that is not an object name is left out.
void ParseCommitObject(std::string_view text, Commit& commit);

// The record read for `hash` in this process, or null. Records live until
// the process exits and never change.
const Commit* CachedCommit(const std::string& hash);

// Keeps `commit` as the record of its hash, unless one is kept already, and
// returns the kept one.
const Commit* KeepCommit(Commit commit);

}  // namespace plimsy

#endif  // PLIMSY_LOG_COMMIT_H_
