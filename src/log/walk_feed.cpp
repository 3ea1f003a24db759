#include "log/walk_feed.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace plimsy::log {

void WalkParser::Parse(std::string_view record) {
  WalkRecord parsed;
  if (ParseLogRecord(record, parsed.commit, parsed.walk_parents,
                     parsed.labels)) {
    parsed.replaces = replacing_;
    ready_.push_back(std::move(parsed));
  }
  replacing_ = false;
}

void WalkParser::Flush(bool) {
  if (Pending()) {
    const std::size_t before = ready_.size();
    Parse(partial_);
    flushed_ = true;
    // Only a record handed over has one to stand for later.
    flushed_record_ = ready_.size() > before;
  }
}

void WalkParser::Read(std::string_view text) {
  while (!text.empty()) {
    if (flushed_) {
      flushed_ = false;
      if (text.front() == '\0') {
        // The record handed over was whole: the next one starts.
        partial_.clear();
        text.remove_prefix(1);
        continue;
      }
      replacing_ = flushed_record_;
    }
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
  if (!partial_.empty() && !flushed_) {
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
