#ifndef PLIMSY_UI_FINDER_H_
#define PLIMSY_UI_FINDER_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace plimsy {

// A search term, taken literally. A term without capital letters matches
// either case of ASCII letters; one with a capital matches exactly.
class Finder {
 public:
  explicit Finder(std::string term);

  const std::string& term() const { return term_; }
  bool ignores_case() const { return ignore_case_; }

  // Where the first match in `text` at or after `from` starts, or npos.
  size_t Find(std::string_view text, size_t from = 0) const;
  bool Matches(std::string_view text) const {
    return Find(text) != std::string_view::npos;
  }

 private:
  size_t FindFolded(std::string_view text, size_t from) const;

  std::string term_;
  // The term in lower case, while case is ignored.
  std::string folded_;
  bool ignore_case_ = false;
  bool has_letter_ = false;
  std::array<unsigned char, 256> fold_{};
};

}  // namespace plimsy

#endif  // PLIMSY_UI_FINDER_H_
