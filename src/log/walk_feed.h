#ifndef PLIMSY_LOG_WALK_FEED_H_
#define PLIMSY_LOG_WALK_FEED_H_

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "feed/feed.h"
#include "log/commit.h"
#include "log/walk.h"

namespace plimsy::log {

// A commit as git's walk lists it, with its reference labels.
struct WalkRecord {
  Commit commit;
  // The parents the walk links the commit to: under a path limit, the
  // nearest ancestors it lists rather than the commit's own parents.
  std::vector<std::string> walk_parents;
  std::vector<RefLabel> labels;
  // The record stands for the one handed over before it, which was taken
  // for whole at a pause and turned out to go on.
  bool replaces = false;
};

// Reads the NUL-separated records of `git log --pretty=raw -z` for a feed:
//
//   commit 3f6c…e1 9a0b…c2 (HEAD -> refs/heads/main)\n
//   tree …\nparent …\nauthor …\ncommitter …\n\n    title\n\0commit …
//
// becomes one WalkRecord per commit; a record that names no commit is
// skipped. git writes a record's separator only with the next record, so a
// record that has come to the end of a line when git pauses is taken as
// whole.
class WalkParser {
 public:
  using Record = WalkRecord;

  void Read(std::string_view text);
  void Finish();
  std::size_t ready() const { return ready_.size(); }
  bool Due(bool) const { return !ready_.empty(); }
  bool Pending() const { return !flushed_ && partial_.ends_with('\n'); }
  void Flush(bool);
  void Take(std::vector<WalkRecord>& out, std::size_t most);

 private:
  void Parse(std::string_view record);

  // The record not yet ended by its separator.
  std::string partial_;
  // `partial_` has been handed over, at a pause; and it went on after all.
  bool flushed_ = false;
  bool flushed_record_ = false;
  bool replacing_ = false;
  std::deque<WalkRecord> ready_;
};

using WalkFeed = Feed<WalkParser>;

// Starts git's walk for `args` (without "git"), handing over `wanted`
// commits until more are wanted. Throws SpawnError when git
// cannot be started.
std::unique_ptr<WalkFeed> ReadWalk(const std::vector<std::string>& args,
                                   std::function<void()> wake,
                                   std::size_t wanted);

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_WALK_FEED_H_
