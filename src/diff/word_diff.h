#ifndef PLIMSY_DIFF_WORD_DIFF_H_
#define PLIMSY_DIFF_WORD_DIFF_H_

#include <cstddef>
#include <string_view>
#include <vector>

namespace plimsy {

// Bytes [begin, end) of a line's text.
struct ByteRange {
  size_t begin = 0;
  size_t end = 0;
};

// The parts of a deleted line and of the added line that replaced it that
// differ, each side's ranges in order and apart.
struct WordChanges {
  std::vector<ByteRange> before;
  std::vector<ByteRange> after;
};

// Compares the words of two lines: runs of letters, digits, underscores and
// non-ASCII characters, runs of blanks, and single other characters. Gives
// no ranges when the lines have too little in common for a highlight to
// help, or when they are too long or too different to compare cheaply.
WordChanges ChangedWords(std::string_view before, std::string_view after);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_WORD_DIFF_H_
