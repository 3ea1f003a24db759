#ifndef PLIMSY_DIFF_FEED_H_
#define PLIMSY_DIFF_FEED_H_

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "diff/diff.h"
#include "diff/strip_colour.h"
#include "feed/feed.h"

namespace plimsy {

// A file, or a part of one, as the screens take it: parsed, with the
// split layout's row counts of its hunks made beside it.
struct LoadedFile {
  FilePart part;
  std::vector<int> split_rows;
  // The bytes of the text read when the part was: the text up to its end,
  // and a little beyond.
  std::size_t end = 0;
};

// Reads a diff's files for a feed. The first hand-over waits for a
// screenful (more files, or more rows of them, than a screen holds); a long
// file is handed over in parts as it doubles, so that its start shows
// before git has printed its end. When the text pauses, the files read and
// the start of the current one go at once.
class DiffParser {
 public:
  using Record = LoadedFile;

  // With `strip_colour`, the terminal's control sequences are taken out
  // first.
  DiffParser(DiffReader::Options options, bool strip_colour);

  void Read(std::string_view text);
  void Finish();
  std::size_t ready() const { return ready_.size(); }
  bool Due(bool first) const;
  bool Pending() const;
  void Flush(bool all);
  void Take(std::vector<LoadedFile>& out, std::size_t most);

  // Rows of a file's part that are worth showing before the file is whole,
  // and files that are worth showing before the text ends: more than a
  // screen holds.
  static constexpr std::size_t kFirstRows = 256;
  static constexpr std::size_t kFirstFiles = 128;

 private:
  void TakeFinished();
  bool PartDue() const;
  void TakePart();

  DiffReader reader_;
  bool strip_colour_;
  ColourStripper stripper_;
  std::string stripped_;
  std::vector<LoadedFile> ready_;
  std::vector<FilePart> taken_;
  // The rows of the current file when a part of it was last handed over.
  std::size_t part_rows_ = 0;
  std::size_t files_read_ = 0;
  // The rows of the files read whole.
  std::size_t rows_read_ = 0;
  std::size_t bytes_read_ = 0;
};

using DiffFeed = Feed<DiffParser>;

// git's diff for `args` (without "git"), read by a feed that calls `wake`
// as DiffFeed does. Throws SpawnError when git cannot be
// started.
std::unique_ptr<DiffFeed> ReadGitDiff(const std::vector<std::string>& args,
                                      std::function<void()> wake);

// A diff read from descriptor `fd`, which the feed owns and closes, after
// `head`, the part of it read already; colour sequences are taken out and
// lines outside the files' sections ignored.
std::unique_ptr<DiffFeed> ReadDiffText(std::string head,
                                       int fd,
                                       std::function<void()> wake);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_FEED_H_
