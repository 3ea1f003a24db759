#ifndef PLIMSY_LOG_WALK_H_
#define PLIMSY_LOG_WALK_H_

#include <string>
#include <string_view>
#include <vector>

#include "log/commit.h"

namespace plimsy::log {

enum class RefKind { kHead, kBranch, kRemote, kTag, kOther };

// One reference label of a commit, named as git log shows it: "HEAD ->
// main", "main", "origin/main", "tag: v1.0", "grafted".
struct RefLabel {
  RefKind kind = RefKind::kOther;
  std::string name;
  bool operator==(const RefLabel&) const = default;
};

// The labels in git's full decoration text, without its parentheses:
// "HEAD -> refs/heads/main, tag: refs/tags/v1.0". Each label once.
std::vector<RefLabel> ParseDecorations(std::string_view text);

// One record of `git log --pretty=raw --decorate=full -z`: the "commit"
// line with the object name, the parents the walk links it to (with
// --parents) and its decorations, the raw header, and the message indented
// by four blanks. Fills `commit`, `walk_parents` and `labels`; false, and
// nothing to trust, when the record does not start with a commit line.
bool ParseLogRecord(std::string_view record,
                    Commit& commit,
                    std::vector<std::string>& walk_parents,
                    std::vector<RefLabel>& labels);

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_WALK_H_
