#ifndef PLIMSY_LOG_COMMIT_SEARCH_H_
#define PLIMSY_LOG_COMMIT_SEARCH_H_

#include <string>
#include <string_view>

#include "log/commit.h"
#include "log/rows.h"
#include "ui/finder.h"

// What the commit list's search looks through: what an entry shows (its
// hash, date, author, labels and title), or, for a term after "m:", the
// commit's whole message.
namespace plimsy::log {

inline constexpr std::string_view kMessageSearchPrefix = "m:";

// A term typed into the commit list's prompt, as it is looked for.
struct CommitSearch {
  Finder finder;
  bool in_messages = false;
};

CommitSearch ReadCommitSearch(const Finder& typed);

// What the entry of the commit list shows, as searched.
std::string CommitSearchText(const CommitRow& row);

bool CommitMatches(const CommitSearch& search,
                   const Commit& commit,
                   const CommitRow& row);

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_COMMIT_SEARCH_H_
