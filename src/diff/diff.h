#ifndef PLIMSY_DIFF_DIFF_H_
#define PLIMSY_DIFF_DIFF_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plimsy {

enum class LineKind : uint8_t {
  kContext = 0,
  kAdded = 1,
  kDeleted = 2,
};

struct Line {
  // The line as git printed it, without its first character; tabs are
  // expanded where the text is drawn, at the columns it is drawn in.
  std::string_view text() const { return {data, size}; }

  // The text lies in its hunk's blocks, which outlive every move and copy
  // of the hunk; a line and its text cost little more than the text.
  const char* data = "";
  uint32_t size = 0;
  LineKind kind = LineKind::kContext;
  // Git's "\ No newline at end of file" followed the line: it ends its
  // side of the file without a newline.
  bool no_newline = false;
};

struct Hunk {
  int32_t old_start = 0;
  int32_t new_start = 0;
  // The whole "@@" line as git printed it, with its ranges and the
  // function context that follows them.
  std::string header;
  std::vector<Line> lines;
  // The lines' text, block after block. A block is shared, never moved and
  // never written over, so that copies of a hunk keep valid lines.
  std::vector<std::shared_ptr<char[]>> blocks = {};
  // The size of the last block, and the bytes still free at its end.
  std::size_t block_size = 0;
  std::size_t room = 0;

  // Adds a line with a copy of `text`.
  void AddLine(LineKind kind, std::string_view text);
  // Puts the lines' text in one block of its size, when the blocks hold
  // more than that.
  void Compact();
};

// What a file's section of the diff says happened to it.
enum class FileStatus : int32_t {
  kModified = 0,
  kAdded = 1,
  kDeleted = 2,
  kRenamed = 3,
  kCopied = 4,
  // Only the mode changed (the executable bit, or the file's type).
  kModeChanged = 5,
  // Changed content that git shows without lines.
  kBinary = 6,
  // A combined diff: a file whose merge conflicts are not resolved yet.
  kUnmerged = 7,
  // No file: the text around the files in a mixed text, such as a commit's
  // header and message, which the files after it belong to.
  kDescription = 8,
};

struct File {
  // The file's paths before and after the change: the bytes of the path,
  // unquoted and without git's "a/" and "b/" prefixes. Empty for the side
  // that does not exist: the old side of an added file, the new side of a
  // deleted one.
  std::string old_name;
  std::string new_name;
  std::vector<Hunk> hunks;
  FileStatus status = FileStatus::kModified;
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
  // A description's text, line by line.
  std::string text = {};
};

// Parses the output of one `git diff` run into its files.
std::vector<File> ParseDiff(std::string text);

// Whether `line` opens a file's section in a text that holds other lines
// too: a commit message's line that merely starts with "diff" does not.
bool StartsFileSection(std::string_view line);

// A file's section as a reader hands it over: whole, or the part of it
// read since the part before. JoinPart puts the parts together again.
struct FilePart {
  File file;
  // The part goes on with the file of the part taken before it...
  bool joins = false;
  // ...and its first hunk goes on with that part's last hunk.
  bool joins_hunk = false;
  // The file's section has ended with this part.
  bool whole = true;
  // Git's "\ No newline at end of file" came after the last line of the
  // part before, which was read before the marker arrived.
  bool marks_last_line = false;
};

// Adds `part` to `file`, the file of the parts taken before it, which
// `part` joins: hunks and lines are moved, and the file's own fields become
// the part's, which are the later ones. The file's last line takes the
// marker the part carries for it. Says whether the part's first hunk went
// on with the file's last one.
bool JoinPart(File& file, FilePart part);

// Reads a diff's text in pieces, as it arrives, and hands over each file
// once its section has ended. Whatever the pieces, the files are those
// that ParseDiff gives for the whole text.
class DiffReader {
 public:
  struct Options {
    // The text may hold other lines between the files' sections: a
    // commit's header and message, a mail's headers, a signature. They
    // are kept as descriptions, before the files they come before. A hunk
    // then ends after as many lines as its header counts (an empty line
    // among them is an empty context line, as git prints one when told to
    // drop trailing blanks), and a header ends at a line that is no header
    // line.
    bool mixed_text = false;
  };

  DiffReader();
  explicit DiffReader(Options options);

  // Reads the next piece of the text.
  void Read(std::string_view text);
  // Ends the text: its last line and its last file are complete.
  void Finish();
  // Moves the files completed so far to the end of `files`, in order. For
  // a reader that never handed over a part of a file.
  void TakeFiles(std::vector<File>& files);
  // Moves the files completed so far to the end of `parts`, in order; the
  // files handed over in part before come as their last parts.
  void TakeParts(std::vector<FilePart>& parts);
  bool has_files() const { return !done_.empty(); }

  // Moves what has arrived of the file being read, since its last part
  // was taken, to the end of `parts`, so that a long file can be shown
  // before its end without being copied. Its status is settled only in its
  // last part. Does nothing outside a file.
  void TakeCurrentPart(std::vector<FilePart>& parts);
  // The hunks and lines of the current file so far, its parts taken
  // included.
  std::size_t current_rows() const { return current_rows_; }

 private:
  void ReadLine(std::string_view line);
  void KeepText(std::string_view line);
  void EndText();
  bool ReadHunkLine(std::string_view line);
  bool ReadCountedLine(std::string_view line);
  void SettleLastHunk();
  void EndFile();

  Options options_;
  // The last line, while its end has not arrived.
  std::string rest_;
  // Lines of a mixed text outside the files' sections since the last
  // description.
  std::string text_;
  std::vector<FilePart> done_;
  std::optional<File> file_;
  std::size_t current_rows_ = 0;
  // A part of the current file has been taken; one with hunks; and the
  // first of the hunks left goes on with that part's last one.
  bool part_taken_ = false;
  bool hunks_taken_ = false;
  bool joins_hunk_ = false;
  bool prefixed_ = false;
  bool combined_ = false;
  bool in_header_ = true;
  // The hunk being read; null outside a hunk.
  Hunk* hunk_ = nullptr;
  // Where the last line read lies, when it was a hunk's line: the marker
  // that may follow it goes on it, or, once a part has taken it, with the
  // next part.
  enum class LastLine : uint8_t { kNone, kInFile, kTaken };
  LastLine last_line_ = LastLine::kNone;
  // A marker came for a line that a part had taken: the next part carries
  // it.
  bool marks_taken_line_ = false;
  // Lines the last hunk still holds on each side (each parent's, then the
  // result's), by its header, when hunks are counted; empty when not.
  std::vector<int64_t> left_;
  // The lines the last hunk reserved, by its header: its part read later
  // reserves as many, so the lines read before fit in front of it.
  std::size_t reserved_ = 0;
};

}  // namespace plimsy

#endif  // PLIMSY_DIFF_DIFF_H_
