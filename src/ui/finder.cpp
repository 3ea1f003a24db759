#include "ui/finder.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace plimsy {

Finder::Finder(std::string term) : term_(std::move(term)) {
  ignore_case_ = std::none_of(term_.begin(), term_.end(),
                              [](char c) { return c >= 'A' && c <= 'Z'; });
  for (int i = 0; i < 256; ++i) {
    fold_[i] = static_cast<unsigned char>(i >= 'A' && i <= 'Z' ? i + 32 : i);
  }
  folded_ = term_;
  for (char& c : folded_) {
    c = static_cast<char>(fold_[static_cast<unsigned char>(c)]);
    has_letter_ = has_letter_ || (c >= 'a' && c <= 'z');
  }
}

size_t Finder::Find(std::string_view text, size_t from) const {
  if (term_.empty() || from > text.size()) {
    return std::string_view::npos;
  }
  // A term without letters has one case only.
  if (!ignore_case_ || !has_letter_) {
    return text.find(term_, from);
  }
  return FindFolded(text, from);
}

// Candidates are found by the two cases of the first byte, each with
// memchr, which is many times faster than comparing byte by byte.
size_t Finder::FindFolded(std::string_view text, size_t from) const {
  const size_t length = folded_.size();
  if (text.size() - from < length) {
    return std::string_view::npos;
  }
  const unsigned char lower = static_cast<unsigned char>(folded_[0]);
  const unsigned char upper = lower >= 'a' && lower <= 'z'
                                  ? static_cast<unsigned char>(lower - 32)
                                  : lower;
  const char* const begin = text.data();
  const char* const last = begin + text.size() - length;
  const char* next_lower = begin + from;
  const char* next_upper = begin + from;
  const char* found_lower = nullptr;
  const char* found_upper = nullptr;
  while (true) {
    if (found_lower == nullptr || found_lower < next_lower) {
      found_lower = next_lower <= last
                        ? static_cast<const char*>(std::memchr(
                              next_lower, lower, last - next_lower + 1))
                        : nullptr;
      if (found_lower == nullptr) {
        found_lower = last + 1;
      }
    }
    if (upper == lower) {
      found_upper = last + 1;
    } else if (found_upper == nullptr || found_upper < next_upper) {
      found_upper = next_upper <= last
                        ? static_cast<const char*>(std::memchr(
                              next_upper, upper, last - next_upper + 1))
                        : nullptr;
      if (found_upper == nullptr) {
        found_upper = last + 1;
      }
    }
    const char* candidate = std::min(found_lower, found_upper);
    if (candidate > last) {
      return std::string_view::npos;
    }
    size_t i = 1;
    while (i < length && fold_[static_cast<unsigned char>(candidate[i])] ==
                             static_cast<unsigned char>(folded_[i])) {
      ++i;
    }
    if (i == length) {
      return static_cast<size_t>(candidate - begin);
    }
    next_lower = next_upper = candidate + 1;
  }
}

}  // namespace plimsy
