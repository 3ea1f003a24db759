#ifndef PLIMSY_DIFF_DIFF_H_
#define PLIMSY_DIFF_DIFF_H_

#include <cstdint>
#include <string>
#include <vector>

namespace plimsy {

enum class LineKind : int32_t {
  Context = 0,
  Added = 1,
  Deleted = 2,
};

struct Line {
  LineKind kind = LineKind::Context;
  // The line as git printed it, without its first character; tabs are
  // expanded where the text is drawn, at the columns it is drawn in.
  std::string text;
};

struct Hunk {
  int32_t old_start = 0;
  int32_t new_start = 0;
  // The whole "@@" line as git printed it, with its ranges and the
  // function context that follows them.
  std::string header;
  std::vector<Line> lines;
};

struct File {
  std::string old_name;
  std::string new_name;
  std::vector<Hunk> hunks;
};

// Parses the output of one `git diff` run into its files.
std::vector<File> ParseDiff(std::string text);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_DIFF_H_
