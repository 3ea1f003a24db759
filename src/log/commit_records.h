#ifndef PLIMSY_LOG_COMMIT_RECORDS_H_
#define PLIMSY_LOG_COMMIT_RECORDS_H_

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "log/walk_feed.h"

// The records of commits named by their hashes, such as a commit's parents
// whose titles its details show, read by git off the loop's thread and kept
// with the others (KeepCommit).
namespace plimsy::log {

struct CommitRecordsRead {
  // None when there is nothing to read.
  std::unique_ptr<WalkFeed> feed;
  std::vector<std::string> wanted;
};

// Starts reading the records of `hashes` that are neither kept nor in
// `missing`, with one git run; `wake` as a feed's. Throws SpawnError when
// git cannot be started.
CommitRecordsRead StartReadingCommits(const std::vector<std::string>& hashes,
                                      const std::set<std::string>& missing,
                                      std::function<void()> wake);

// Keeps the records the read has handed over. Once it has ended, adds to
// `missing` each name git did not give, ends the read and returns true.
bool TakeReadCommits(CommitRecordsRead& read, std::set<std::string>& missing);

// Reads the records of `hashes` as the two above do, waiting for git's end.
void ReadCommits(const std::vector<std::string>& hashes,
                 std::set<std::string>& missing);

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_COMMIT_RECORDS_H_
