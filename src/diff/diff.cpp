#include "diff/diff.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string_view>
#include <utility>

namespace plimsy {

// Parsed lines are most of a diff's memory.
static_assert(sizeof(Line) == 16);

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads the decimal number at `pos`. `overflow` is set when it does not fit
// in a signed 32-bit integer. False when there is no digit at `pos`.
bool ReadNumber(std::string_view line,
                size_t& pos,
                int32_t& value,
                bool& overflow) {
  if (pos >= line.size() || !IsDigit(line[pos])) {
    return false;
  }
  int64_t number = 0;
  for (; pos < line.size() && IsDigit(line[pos]); ++pos) {
    if (number <= std::numeric_limits<int32_t>::max()) {
      number = number * 10 + (line[pos] - '0');
    }
  }
  if (number > std::numeric_limits<int32_t>::max()) {
    overflow = true;
  } else {
    value = static_cast<int32_t>(number);
  }
  return true;
}

bool Consume(std::string_view line, size_t& pos, std::string_view word) {
  if (line.substr(pos).starts_with(word)) {
    pos += word.size();
    return true;
  }
  return false;
}

// Reads "start[,count]" at `pos`; a range without a count counts one
// line. `count_overflow` is set when the count does not fit in 32 bits.
bool ReadRange(std::string_view line,
               size_t& pos,
               int32_t& start,
               int32_t& count,
               bool& overflow,
               bool& count_overflow) {
  if (!ReadNumber(line, pos, start, overflow)) {
    return false;
  }
  count = 1;
  if (!Consume(line, pos, ",")) {
    return true;
  }
  return ReadNumber(line, pos, count, count_overflow);
}

// Reads the starts from "@@ -A[,B] +C[,D] @@", ignoring whatever follows
// the closing signs. A combined diff's header has one more "@" on each side
// per extra parent and one "-" range per parent; the first of those ranges
// and the "+" range give the starts. A header that cannot be read, or whose
// starts do not fit in 32 bits, leaves both starts at 0 and gives false.
// `counts` gets the count of each range, the "-" ones first, or nothing
// when one does not fit in 32 bits.
bool ReadHunkHeader(std::string_view line,
                    Hunk& hunk,
                    std::vector<int64_t>& counts) {
  counts.clear();
  size_t signs = 0;
  while (signs < line.size() && line[signs] == '@') {
    ++signs;
  }
  size_t pos = signs;
  int32_t old_start = 0;
  int32_t new_start = 0;
  bool overflow = false;
  bool count_overflow = false;
  for (size_t range = 0; range + 1 < signs; ++range) {
    int32_t start = 0;
    int32_t count = 0;
    if (!Consume(line, pos, " -") ||
        !ReadRange(line, pos, start, count, overflow, count_overflow)) {
      return false;
    }
    if (range == 0) {
      old_start = start;
    }
    counts.push_back(count);
  }
  int32_t new_count = 0;
  if (!Consume(line, pos, " +") ||
      !ReadRange(line, pos, new_start, new_count, overflow, count_overflow) ||
      !Consume(line, pos, " ") || !Consume(line, pos, line.substr(0, signs)) ||
      overflow) {
    counts.clear();
    return false;
  }
  counts.push_back(new_count);
  if (count_overflow) {
    counts.clear();
  }
  hunk.old_start = old_start;
  hunk.new_start = new_start;
  return true;
}

// Reads the name that git wrote in C-style quotes at the start of `text`
// (which begins with the quote) into `name`: octal escapes become the
// bytes they stand for, and \t, \n, \", \\ and the other C escapes the
// characters. Returns the count of bytes read, closing quote included, or
// 0 when the quote is never closed.
size_t ReadQuoted(std::string_view text, std::string& name) {
  name.clear();
  for (size_t pos = 1; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '"') {
      return pos + 1;
    }
    if (c != '\\' || pos + 1 == text.size()) {
      name += c;
      continue;
    }
    const char escaped = text[++pos];
    if (escaped >= '0' && escaped <= '7') {
      unsigned byte = 0;
      const size_t end = std::min(pos + 3, text.size());
      for (; pos < end && text[pos] >= '0' && text[pos] <= '7'; ++pos) {
        byte = byte * 8 + static_cast<unsigned>(text[pos] - '0');
      }
      --pos;
      name += static_cast<char>(byte & 0xFF);
      continue;
    }
    switch (escaped) {
      case 'a':
        name += '\a';
        break;
      case 'b':
        name += '\b';
        break;
      case 'f':
        name += '\f';
        break;
      case 'n':
        name += '\n';
        break;
      case 'r':
        name += '\r';
        break;
      case 't':
        name += '\t';
        break;
      case 'v':
        name += '\v';
        break;
      default:
        name += escaped;
        break;
    }
  }
  return 0;
}

// A name that is the whole of `text`: quoted, or as it stands.
std::string WholeName(std::string_view text) {
  std::string name;
  if (text.starts_with('"') && ReadQuoted(text, name) == text.size()) {
    return name;
  }
  return std::string(text);
}

// A quoted second name that ends `text`, as in `a/x "b/y\tz"`; returns its
// start, or npos.
size_t QuotedSecondName(std::string_view text, std::string& name) {
  if (!text.ends_with('"')) {
    return std::string_view::npos;
  }
  for (size_t pos = text.find(" \""); pos != std::string_view::npos;
       pos = text.find(" \"", pos + 1)) {
    if (ReadQuoted(text.substr(pos + 1), name) == text.size() - pos - 1) {
      return pos;
    }
  }
  return std::string_view::npos;
}

// Splits the two names of "diff --git <old> <new>". Either name may be
// quoted. Two bare names are ambiguous when they hold blanks; both sides
// name the same path unless the file was renamed or copied (and then later
// headers give the names), so the split that gives equal halves wins.
// Sets `prefixed` when the names carry git's "a/" and "b/" prefixes, which
// are then taken off.
void ReadGitNames(std::string_view text, File& file, bool& prefixed) {
  std::string& old_name = file.old_name;
  std::string& new_name = file.new_name;
  size_t read = 0;
  if (text.starts_with('"') && (read = ReadQuoted(text, old_name)) != 0 &&
      read < text.size() && text[read] == ' ') {
    new_name = WholeName(text.substr(read + 1));
  } else if (const size_t pos = QuotedSecondName(text, new_name);
             pos != std::string_view::npos) {
    old_name = text.substr(0, pos);
  } else {
    size_t split = std::string_view::npos;
    if (text.size() % 2 == 1 && text[text.size() / 2] == ' ') {
      const std::string_view left = text.substr(0, text.size() / 2);
      const std::string_view right = text.substr(left.size() + 1);
      if (left == right || (left.starts_with("a/") && right.starts_with("b/") &&
                            left.substr(2) == right.substr(2))) {
        split = left.size();
      }
    }
    if (split == std::string_view::npos && text.starts_with("a/")) {
      split = text.find(" b/");
    }
    if (split == std::string_view::npos) {
      split = text.find(' ');
    }
    if (split == std::string_view::npos) {
      old_name = text;
      new_name = text;
    } else {
      old_name = text.substr(0, split);
      new_name = text.substr(split + 1);
    }
  }
  prefixed = old_name.starts_with("a/") && new_name.starts_with("b/");
  if (prefixed) {
    old_name.erase(0, 2);
    new_name.erase(0, 2);
  }
}

// The name of a "---" or "+++" line, from its fifth character on. A bare
// name ends at a tab: git quotes names that hold one, and adds one after a
// name that holds a blank. False for "/dev/null", the side that does not
// exist.
bool ReadSideName(std::string_view text,
                  std::string_view prefix,
                  std::string& name) {
  if (!text.starts_with('"') || ReadQuoted(text, name) == 0) {
    name = text.substr(0, text.find('\t'));
  }
  if (name == "/dev/null") {
    name.clear();
    return false;
  }
  if (!prefix.empty() && name.starts_with(prefix)) {
    name.erase(0, prefix.size());
  }
  return true;
}

// The word that follows `key` in a header line such as "new file mode
// 100644".
std::string HeaderValue(std::string_view line, std::string_view key) {
  const std::string_view value = line.substr(key.size());
  return std::string(value.substr(0, value.find(' ')));
}

// The percentage of "similarity index 87%", or -1.
int32_t ReadPercent(std::string_view text) {
  int32_t percent = 0;
  size_t digits = 0;
  for (; digits < text.size() && IsDigit(text[digits]); ++digits) {
    if (digits == 3) {
      return -1;
    }
    percent = percent * 10 + (text[digits] - '0');
  }
  return digits == 0 ? -1 : percent;
}

// Reads one line of a file's header: the lines between "diff" and the
// first hunk. `prefixed` and `combined` say how the "diff" line wrote the
// names. Returns false for a line that is no header line of git's.
bool ReadHeaderLine(std::string_view line,
                    bool prefixed,
                    bool combined,
                    File& file) {
  if (line.starts_with("--- ")) {
    if (!combined &&
        !ReadSideName(line.substr(4), prefixed ? "a/" : "", file.old_name) &&
        file.status == FileStatus::kModified) {
      file.status = FileStatus::kAdded;
    }
  } else if (line.starts_with("+++ ")) {
    if (!combined &&
        !ReadSideName(line.substr(4), prefixed ? "b/" : "", file.new_name) &&
        file.status == FileStatus::kModified) {
      file.status = FileStatus::kDeleted;
    }
  } else if (line.starts_with("rename from ")) {
    file.old_name = WholeName(line.substr(12));
    file.status = FileStatus::kRenamed;
  } else if (line.starts_with("rename to ")) {
    file.new_name = WholeName(line.substr(10));
    file.status = FileStatus::kRenamed;
  } else if (line.starts_with("copy from ")) {
    file.old_name = WholeName(line.substr(10));
    file.status = FileStatus::kCopied;
  } else if (line.starts_with("copy to ")) {
    file.new_name = WholeName(line.substr(8));
    file.status = FileStatus::kCopied;
  } else if (line.starts_with("similarity index ")) {
    file.similarity = ReadPercent(line.substr(17));
  } else if (line.starts_with("new file mode ")) {
    file.new_mode = HeaderValue(line, "new file mode ");
    file.old_name.clear();
    file.status = FileStatus::kAdded;
  } else if (line.starts_with("deleted file mode ")) {
    file.old_mode = HeaderValue(line, "deleted file mode ");
    file.new_name.clear();
    file.status = FileStatus::kDeleted;
  } else if (line.starts_with("old mode ")) {
    file.old_mode = HeaderValue(line, "old mode ");
  } else if (line.starts_with("new mode ")) {
    file.new_mode = HeaderValue(line, "new mode ");
  } else if (line.starts_with("Binary files ") ||
             line.starts_with("GIT binary patch")) {
    file.binary = true;
  } else {
    return line.starts_with("index ") ||
           line.starts_with("dissimilarity index ") ||
           line.starts_with("mode ");
  }
  return true;
}

// Opens a file's section at its "diff" line.
void ReadDiffLine(std::string_view line,
                  bool& prefixed,
                  bool& combined,
                  File& file) {
  prefixed = false;
  combined = false;
  if (line.starts_with("diff --git ")) {
    ReadGitNames(line.substr(11), file, prefixed);
    return;
  }
  std::string_view name;
  if (line.starts_with("diff --cc ")) {
    name = line.substr(10);
  } else if (line.starts_with("diff --combined ")) {
    name = line.substr(16);
  } else {
    return;
  }
  combined = true;
  file.status = FileStatus::kUnmerged;
  file.new_name = WholeName(name);
  file.old_name = file.new_name;
}

// Settles the status of a file whose section has ended: a file that is
// only "modified" may be binary, or have only its mode changed.
// `had_hunks` when hunks of it were handed over in parts before.
void FinishFile(File& file, bool had_hunks) {
  if (file.status != FileStatus::kModified) {
    return;
  }
  if (file.binary) {
    file.status = FileStatus::kBinary;
  } else if (file.hunks.empty() && !had_hunks && !file.old_mode.empty() &&
             !file.new_mode.empty() && file.old_mode != file.new_mode) {
    file.status = FileStatus::kModeChanged;
  }
}

LineKind KindOf(char sign) {
  return sign == '+'   ? LineKind::kAdded
         : sign == '-' ? LineKind::kDeleted
                       : LineKind::kContext;
}

// Lines reserved at once for a hunk; its header may claim any count.
constexpr int64_t kReserveLimit = 1 << 18;

// Gives back what a hunk reserved beyond its lines: its header may claim
// more lines than it holds, and a hunk of context lines holds fewer than
// its two sides count together.
void TrimLines(std::vector<Line>& lines) {
  if (lines.capacity() > lines.size() + lines.size() / 8 + 16) {
    lines.shrink_to_fit();
  }
}

// The text of a hunk that leaves the reader: in one block of its size.
void SettleHunk(Hunk& hunk) {
  TrimLines(hunk.lines);
  hunk.Compact();
}

// The first block of a hunk's text, and the largest that a block grows to
// before a line needs more.
constexpr std::size_t kFirstBlock = 256;
constexpr std::size_t kLargestBlock = 1 << 20;

}  // namespace

void Hunk::AddLine(LineKind kind, std::string_view text) {
  // A line of 4 GiB or more keeps its first 4 GiB; no terminal shows more.
  const auto size =
      static_cast<uint32_t>(std::min<std::size_t>(text.size(), UINT32_MAX));
  if (size == 0) {
    lines.push_back(Line{"", 0, kind});
    return;
  }
  if (size > room) {
    const std::size_t last = blocks.empty() ? kFirstBlock / 2 : block_size;
    block_size = std::max<std::size_t>(size, std::min(2 * last, kLargestBlock));
    blocks.push_back(std::make_shared_for_overwrite<char[]>(block_size));
    room = block_size;
  }
  char* const data = blocks.back().get() + (block_size - room);
  std::copy_n(text.data(), size, data);
  room -= size;
  lines.push_back(Line{data, size, kind});
}

void Hunk::Compact() {
  if (blocks.size() < 2 && room == 0) {
    return;
  }
  std::size_t size = 0;
  for (const Line& line : lines) {
    size += line.size;
  }
  if (size == 0) {
    blocks.clear();
    block_size = 0;
    room = 0;
    return;
  }
  std::shared_ptr<char[]> block = std::make_shared_for_overwrite<char[]>(size);
  char* data = block.get();
  for (Line& line : lines) {
    std::copy_n(line.data, line.size, data);
    line.data = data;
    data += line.size;
  }
  blocks.assign(1, std::move(block));
  block_size = size;
  room = 0;
}

bool StartsFileSection(std::string_view line) {
  // "diff -u old new" and the like, as diff(1) writes them.
  return line.starts_with("diff --git ") || line.starts_with("diff --cc ") ||
         line.starts_with("diff --combined ") || line.starts_with("diff -");
}

bool JoinPart(File& file, FilePart part) {
  if (part.marks_last_line && !file.hunks.empty() &&
      !file.hunks.back().lines.empty()) {
    file.hunks.back().lines.back().no_newline = true;
  }
  std::vector<Hunk> hunks = std::move(file.hunks);
  std::vector<Hunk>& more = part.file.hunks;
  auto next = more.begin();
  const bool joins_hunk =
      part.joins_hunk && !hunks.empty() && next != more.end();
  if (joins_hunk) {
    std::vector<Line>& lines = hunks.back().lines;
    std::vector<Line>& rest = next->lines;
    // The lines moved keep their text in the blocks of the part's hunk,
    // which go with them; the hunk's last block is no longer written to.
    std::vector<std::shared_ptr<char[]>>& blocks = hunks.back().blocks;
    blocks.insert(blocks.end(), next->blocks.begin(), next->blocks.end());
    hunks.back().room = 0;
    // The end of a hunk often comes as its longest part: moving the
    // beginning in front of it, in room it already has, spares moving the
    // long part into a new block.
    if (rest.size() > lines.size() &&
        rest.capacity() - rest.size() >= lines.size()) {
      rest.insert(rest.begin(), std::make_move_iterator(lines.begin()),
                  std::make_move_iterator(lines.end()));
      lines = std::move(rest);
    } else {
      lines.insert(lines.end(), std::make_move_iterator(rest.begin()),
                   std::make_move_iterator(rest.end()));
    }
    ++next;
  }
  hunks.insert(hunks.end(), std::make_move_iterator(next),
               std::make_move_iterator(more.end()));
  file = std::move(part.file);
  file.hunks = std::move(hunks);
  if (part.whole && !file.hunks.empty()) {
    TrimLines(file.hunks.back().lines);
  }
  return joins_hunk;
}

std::vector<File> ParseDiff(std::string text) {
  DiffReader reader;
  reader.Read(text);
  // The text is no longer needed while the last file settles.
  std::string().swap(text);
  reader.Finish();
  std::vector<File> files;
  reader.TakeFiles(files);
  return files;
}

DiffReader::DiffReader() = default;

DiffReader::DiffReader(Options options) : options_(options) {}

void DiffReader::Read(std::string_view text) {
  if (!rest_.empty()) {
    const size_t end = text.find('\n');
    if (end == std::string_view::npos) {
      rest_.append(text);
      return;
    }
    rest_.append(text.substr(0, end));
    ReadLine(rest_);
    rest_.clear();
    text.remove_prefix(end + 1);
  }
  while (!text.empty()) {
    const size_t end = text.find('\n');
    if (end == std::string_view::npos) {
      rest_.assign(text);
      return;
    }
    ReadLine(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
}

void DiffReader::Finish() {
  if (!rest_.empty()) {
    ReadLine(rest_);
    rest_.clear();
  }
  EndFile();
  EndText();
}

void DiffReader::TakeFiles(std::vector<File>& files) {
  files.reserve(files.size() + done_.size());
  for (FilePart& part : done_) {
    files.push_back(std::move(part.file));
  }
  done_.clear();
}

void DiffReader::TakeParts(std::vector<FilePart>& parts) {
  if (parts.empty()) {
    parts = std::move(done_);
  } else {
    parts.insert(parts.end(), std::make_move_iterator(done_.begin()),
                 std::make_move_iterator(done_.end()));
  }
  done_.clear();
}

void DiffReader::TakeCurrentPart(std::vector<FilePart>& parts) {
  if (!file_) {
    return;
  }
  FilePart part;
  part.joins = part_taken_;
  part.joins_hunk = joins_hunk_;
  part.whole = false;
  part.marks_last_line = std::exchange(marks_taken_line_, false);
  if (last_line_ == LastLine::kInFile) {
    last_line_ = LastLine::kTaken;
  }
  SettleLastHunk();
  std::vector<Hunk> hunks = std::move(file_->hunks);
  file_->hunks.clear();
  part.file = *file_;
  part.file.hunks = std::move(hunks);
  hunks_taken_ = hunks_taken_ || !part.file.hunks.empty();
  part_taken_ = true;
  // A hunk still being read goes on in a hunk of the next part, with its
  // header, for the lines still to come.
  joins_hunk_ = hunk_ != nullptr;
  if (joins_hunk_) {
    const Hunk& last = part.file.hunks.back();
    Hunk& next = file_->hunks.emplace_back(
        Hunk{last.old_start, last.new_start, last.header, {}});
    next.lines.reserve(reserved_);
    hunk_ = &next;
  }
  parts.push_back(std::move(part));
}

void DiffReader::SettleLastHunk() {
  if (file_ && !file_->hunks.empty()) {
    SettleHunk(file_->hunks.back());
  }
}

void DiffReader::EndFile() {
  hunk_ = nullptr;
  left_.clear();
  if (file_) {
    SettleLastHunk();
    FinishFile(*file_, hunks_taken_);
    done_.push_back(FilePart{std::move(*file_), part_taken_, joins_hunk_, true,
                             marks_taken_line_});
    file_.reset();
  }
  last_line_ = LastLine::kNone;
  marks_taken_line_ = false;
  current_rows_ = 0;
  part_taken_ = false;
  hunks_taken_ = false;
  joins_hunk_ = false;
}

// A line of a counted hunk, whose first columns hold a sign for each
// parent; false when the hunk holds no such line (any more), which ends it.
bool DiffReader::ReadCountedLine(std::string_view line) {
  const size_t parents = left_.size() - 1;
  // An empty line stands for a context line whose blanks were dropped.
  const std::string_view signs =
      line.empty() ? std::string_view() : line.substr(0, parents);
  if (!line.empty() && signs.size() < parents) {
    return false;
  }
  bool in_result = true;
  for (const char sign : signs) {
    if (sign != ' ' && sign != '+' && sign != '-') {
      return false;
    }
    in_result = in_result && sign != '-';
  }
  // Each side the line belongs to must still hold a line.
  for (size_t side = 0; side <= parents; ++side) {
    const bool on_side =
        side == parents ? in_result : signs.empty() || signs[side] != '+';
    if (on_side && left_[side] == 0) {
      hunk_ = nullptr;
      return false;
    }
  }
  bool rest = false;
  for (size_t side = 0; side <= parents; ++side) {
    const bool on_side =
        side == parents ? in_result : signs.empty() || signs[side] != '+';
    left_[side] -= on_side ? 1 : 0;
    rest = rest || left_[side] != 0;
  }
  if (line.empty()) {
    hunk_->AddLine(LineKind::kContext, {});
  } else {
    hunk_->AddLine(KindOf(line[0]), line.substr(1));
  }
  last_line_ = LastLine::kInFile;
  ++current_rows_;
  if (!rest) {
    hunk_ = nullptr;
  }
  return true;
}

void DiffReader::ReadLine(std::string_view line) {
  // Git's "\ No newline at end of file" belongs to the line before it.
  const LastLine last = std::exchange(last_line_, LastLine::kNone);
  if (line.starts_with('\\') && last != LastLine::kNone) {
    if (last == LastLine::kInFile) {
      file_->hunks.back().lines.back().no_newline = true;
    } else {
      marks_taken_line_ = true;
    }
    return;
  }
  if (hunk_ != nullptr) {
    if (!left_.empty()) {
      if (ReadCountedLine(line)) {
        return;
      }
    } else if (!line.empty() &&
               (line[0] == ' ' || line[0] == '+' || line[0] == '-')) {
      hunk_->AddLine(KindOf(line[0]), line.substr(1));
      last_line_ = LastLine::kInFile;
      ++current_rows_;
      return;
    }
  }
  if (line.starts_with("diff") &&
      (!options_.mixed_text || StartsFileSection(line))) {
    EndFile();
    EndText();
    file_.emplace();
    ReadDiffLine(line, prefixed_, combined_, *file_);
    in_header_ = true;
  } else if (line.starts_with("@@") && ReadHunkLine(line)) {
  } else if (in_header_ && file_ &&
             ReadHeaderLine(line, prefixed_, combined_, *file_)) {
  } else if (options_.mixed_text) {
    in_header_ = false;
    KeepText(line);
  }
}

namespace {

// Whether `line` starts a commit's text: `git log` and `git show` start it
// with the commit's name, a mailbox (`git format-patch`) with a "From" line
// that names it.
bool StartsCommit(std::string_view line) {
  const auto named = [](std::string_view rest) {
    const std::string_view name = rest.substr(0, rest.find(' '));
    return name.size() >= 7 &&
           name.find_first_not_of("0123456789abcdef") == std::string::npos;
  };
  return (line.starts_with("commit ") && named(line.substr(7))) ||
         (line.starts_with("From ") && named(line.substr(5)));
}

}  // namespace

namespace {

// Whether `line` belongs to a binary patch's data: its "literal" and
// "delta" heads, its lines of base-85 text (no blanks), and the empty
// lines that end its blocks.
bool InBinaryPatch(std::string_view line) {
  return line.empty() || line.starts_with("literal ") ||
         line.starts_with("delta ") ||
         (line.size() >= 2 && line.find(' ') == std::string_view::npos);
}

}  // namespace

void DiffReader::KeepText(std::string_view line) {
  // git's mark of a last line without a newline belongs to the file, and
  // so does the data of a binary patch.
  if (file_ && (line.starts_with('\\') ||
                (file_->binary && text_.empty() && InBinaryPatch(line)))) {
    return;
  }
  if (StartsCommit(line)) {
    EndText();
  }
  text_.append(line);
  text_.push_back('\n');
}

void DiffReader::EndText() {
  const std::size_t first = text_.find_first_not_of(" \t\n");
  if (first == std::string::npos) {
    text_.clear();
    return;
  }
  const std::size_t start = text_.rfind('\n', first);
  text_.erase(0, start == std::string::npos ? 0 : start + 1);
  text_.erase(text_.find_last_not_of(" \t\n") + 1);
  EndFile();
  File description;
  description.status = FileStatus::kDescription;
  description.text = std::move(text_);
  text_.clear();
  done_.push_back(FilePart{std::move(description), false, false, true});
}

bool DiffReader::ReadHunkLine(std::string_view line) {
  hunk_ = nullptr;
  in_header_ = false;
  if (!file_) {
    return false;
  }
  Hunk hunk;
  const bool read = ReadHunkHeader(line, hunk, left_);
  if (options_.mixed_text && !read) {
    // Some other text that starts with the signs.
    left_.clear();
    return false;
  }
  SettleLastHunk();
  Hunk& added = file_->hunks.emplace_back(std::move(hunk));
  ++current_rows_;
  added.header = line;
  // A hunk holds at least as many lines as its longer side.
  reserved_ = left_.size() == 2
                  ? static_cast<std::size_t>(std::min<int64_t>(
                        std::max(left_[0], left_[1]), kReserveLimit))
                  : 0;
  added.lines.reserve(reserved_);
  if (!options_.mixed_text) {
    left_.clear();
  }
  // A hunk of no lines, as a mixed text may hold, has ended already.
  if (left_.empty() || std::any_of(left_.begin(), left_.end(),
                                   [](int64_t left) { return left != 0; })) {
    hunk_ = &added;
  }
  return true;
}

}  // namespace plimsy
