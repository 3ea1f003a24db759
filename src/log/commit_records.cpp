#include "log/commit_records.h"

#include <algorithm>
#include <utility>

#include "git/command_lines.h"
#include "log/commit.h"

namespace plimsy::log {

CommitRecordsRead StartReadingCommits(const std::vector<std::string>& hashes,
                                      const std::set<std::string>& missing,
                                      std::function<void()> wake) {
  CommitRecordsRead read;
  for (const std::string& hash : hashes) {
    if (IsObjectName(hash) && CachedCommit(hash) == nullptr &&
        !missing.contains(hash) &&
        std::find(read.wanted.begin(), read.wanted.end(), hash) ==
            read.wanted.end()) {
      read.wanted.push_back(hash);
    }
  }
  if (!read.wanted.empty()) {
    read.feed = ReadWalk(CommitRecordsCommandLine(read.wanted), std::move(wake),
                         WalkFeed::kAll);
  }
  return read;
}

bool TakeReadCommits(CommitRecordsRead& read, std::set<std::string>& missing) {
  if (read.feed == nullptr) {
    return true;
  }
  WalkFeed::Update update = read.feed->Take();
  for (WalkRecord& record : update.records) {
    KeepCommit(std::move(record.commit));
  }
  if (!update.ended) {
    return false;
  }
  for (const std::string& hash : read.wanted) {
    if (CachedCommit(hash) == nullptr) {
      missing.insert(hash);
    }
  }
  read = {};
  return true;
}

void ReadCommits(const std::vector<std::string>& hashes,
                 std::set<std::string>& missing) {
  CommitRecordsRead read = StartReadingCommits(hashes, missing, {});
  if (read.feed != nullptr) {
    read.feed->WaitForEnd();
  }
  TakeReadCommits(read, missing);
}

}  // namespace plimsy::log
