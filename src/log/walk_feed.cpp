#include "log/walk_feed.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace plimsy::log {

void WalkParser::Parse(std::string_view record) {
  WalkRecord parsed;
  if (ParseLogRecord(record, parsed.commit, parsed.walk_parents,
                     parsed.labels)) {
    ready_.push_back(std::move(parsed));
  }
}

void WalkParser::Read(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find('\0');
    if (end == std::string_view::npos) {
      partial_.append(text);
      return;
    }
    if (partial_.empty()) {
      Parse(text.substr(0, end));
    } else {
      partial_.append(text.substr(0, end));
      Parse(partial_);
      partial_.clear();
    }
    text.remove_prefix(end + 1);
  }
}

void WalkParser::Finish() {
  // The last record has no separator after it.
  if (!partial_.empty()) {
    Parse(partial_);
    partial_.clear();
  }
}

void WalkParser::Take(std::vector<WalkRecord>& out, std::size_t most) {
  const std::size_t count = std::min(most, ready_.size());
  out.insert(out.end(), std::make_move_iterator(ready_.begin()),
             std::make_move_iterator(ready_.begin() + count));
  ready_.erase(ready_.begin(), ready_.begin() + count);
}

std::unique_ptr<WalkFeed> ReadWalk(const std::vector<std::string>& args,
                                   std::function<void()> wake,
                                   std::size_t wanted) {
  return std::make_unique<WalkFeed>(FeedSource::Git(args), WalkParser(),
                                    std::move(wake), wanted);
}

}  // namespace plimsy::log
