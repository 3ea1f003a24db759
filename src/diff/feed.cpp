#include "diff/feed.h"

#include <utility>

#include "diff/pairing.h"

namespace plimsy {
namespace {

// The rows a file's difference takes: its hunks' headers and lines.
std::size_t Rows(const File& file) {
  std::size_t rows = file.hunks.size();
  for (const Hunk& hunk : file.hunks) {
    rows += hunk.lines.size();
  }
  return rows;
}

LoadedFile Loaded(FilePart part, std::size_t end) {
  LoadedFile loaded{std::move(part), {}, end};
  loaded.split_rows = SplitRowCounts(loaded.part.file);
  return loaded;
}

}  // namespace

DiffParser::DiffParser(DiffReader::Options options, bool strip_colour)
    : reader_(options), strip_colour_(strip_colour) {}

void DiffParser::Read(std::string_view text) {
  bytes_read_ += text.size();
  if (strip_colour_) {
    stripped_.clear();
    stripper_.Strip(text, stripped_);
    text = stripped_;
  }
  reader_.Read(text);
  TakeFinished();
}

void DiffParser::Finish() {
  reader_.Finish();
  TakeFinished();
}

void DiffParser::TakeFinished() {
  reader_.TakeParts(taken_);
  if (taken_.empty()) {
    return;
  }
  part_rows_ = 0;
  files_read_ += taken_.size();
  for (FilePart& part : taken_) {
    rows_read_ += Rows(part.file);
    ready_.push_back(Loaded(std::move(part), bytes_read_));
  }
  taken_.clear();
}

// A part is moved, not copied, but each makes the screen measure the whole
// file again: parts come as the file doubles.
bool DiffParser::PartDue() const {
  const std::size_t rows = reader_.current_rows();
  return rows >= kFirstRows && rows >= 2 * part_rows_;
}

bool DiffParser::Due(bool first) const {
  if (first) {
    return files_read_ >= kFirstFiles ||
           rows_read_ + reader_.current_rows() >= kFirstRows;
  }
  return !ready_.empty() || PartDue();
}

void DiffParser::TakePart() {
  const std::size_t rows = reader_.current_rows();
  reader_.TakeCurrentPart(taken_);
  for (FilePart& part : taken_) {
    ready_.push_back(Loaded(std::move(part), bytes_read_));
  }
  taken_.clear();
  part_rows_ = rows;
}

// The start of a file that has not ended, and later parts as it doubles,
// so that a file printed slowly is not measured again for every few rows.
bool DiffParser::Pending() const {
  const std::size_t rows = reader_.current_rows();
  return rows > 0 && rows >= 2 * part_rows_;
}

void DiffParser::Flush(bool all) {
  if (Pending() || (all && reader_.current_rows() > part_rows_)) {
    TakePart();
  }
}

void DiffParser::Take(std::vector<LoadedFile>& out, std::size_t) {
  if (PartDue()) {
    TakePart();
  }
  out = std::move(ready_);
  ready_.clear();
}

std::unique_ptr<DiffFeed> ReadGitDiff(const std::vector<std::string>& args,
                                      std::function<void()> wake) {
  return std::make_unique<DiffFeed>(FeedSource::Git(args),
                                    DiffParser({}, false), std::move(wake));
}

std::unique_ptr<DiffFeed> ReadDiffText(std::string head,
                                       int fd,
                                       std::function<void()> wake) {
  return std::make_unique<DiffFeed>(
      FeedSource::Descriptor(std::move(head), fd),
      DiffParser(DiffReader::Options{.mixed_text = true}, true),
      std::move(wake));
}

}  // namespace plimsy
