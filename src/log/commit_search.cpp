#include "log/commit_search.h"

namespace plimsy::log {

CommitSearch ReadCommitSearch(const Finder& typed) {
  const std::string& term = typed.term();
  // "m:" alone is looked for as it is.
  if (term.size() > kMessageSearchPrefix.size() &&
      term.starts_with(kMessageSearchPrefix)) {
    return {Finder(term.substr(kMessageSearchPrefix.size())), true};
  }
  return {typed, false};
}

std::string CommitSearchText(const CommitRow& row) {
  std::string text = row.hash + " " + row.date + " " + row.author + " ";
  for (const RefLabel& label : row.labels) {
    text += label.name + " ";
  }
  return text + row.title;
}

bool CommitMatches(const CommitSearch& search,
                   const Commit& commit,
                   const CommitRow& row) {
  if (!search.in_messages) {
    return search.finder.Matches(CommitSearchText(row));
  }
  if (search.finder.Matches(commit.title)) {
    return true;
  }
  for (const std::string& line : commit.description) {
    if (search.finder.Matches(line)) {
      return true;
    }
  }
  return false;
}

}  // namespace plimsy::log
