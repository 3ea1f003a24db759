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

// What a file's section of the diff says happened to it.
enum class FileStatus : int32_t {
  Modified = 0,
  Added = 1,
  Deleted = 2,
  Renamed = 3,
  Copied = 4,
  // Only the mode changed (the executable bit, or the file's type).
  ModeChanged = 5,
  // Changed content that git shows without lines.
  Binary = 6,
  // A combined diff: a file whose merge conflicts are not resolved yet.
  Unmerged = 7,
};

struct File {
  // The file's paths before and after the change: the bytes of the path,
  // unquoted and without git's "a/" and "b/" prefixes. Empty for the side
  // that does not exist: the old side of an added file, the new side of a
  // deleted one.
  std::string old_name;
  std::string new_name;
  std::vector<Hunk> hunks;
  FileStatus status = FileStatus::Modified;
  // The similarity of a rename or a copy in percent; -1 when not given.
  int32_t similarity = -1;
  // The file modes as git printed them (such as "100644"); empty where the
  // headers gave none, which means an unchanged mode. The fields after
  // `hunks` all have initializers, so that a File can still be written as
  // {old_name, new_name, hunks}.
  std::string old_mode = {};
  std::string new_mode = {};
  // Git showed the file's content as binary, without lines.
  bool binary = false;
};

// Parses the output of one `git diff` run into its files.
std::vector<File> ParseDiff(std::string text);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_DIFF_H_
