#include "diff/diff.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string_view>

namespace plimsy {

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

// Reads "start[,count]" at `pos`; the count is matched but not kept.
bool ReadRange(std::string_view line,
               size_t& pos,
               int32_t& start,
               bool& overflow) {
  if (!ReadNumber(line, pos, start, overflow)) {
    return false;
  }
  if (!Consume(line, pos, ",")) {
    return true;
  }
  int32_t count = 0;
  bool count_overflow = false;
  return ReadNumber(line, pos, count, count_overflow);
}

// Reads the starts from "@@ -A[,B] +C[,D] @@", ignoring whatever follows
// the closing signs. A combined diff's header has one more "@" on each side
// per extra parent and one "-" range per parent; the first of those ranges
// and the "+" range give the starts. A header that cannot be read, or whose
// starts do not fit in 32 bits, leaves both starts at 0.
void ReadHunkHeader(std::string_view line, Hunk& hunk) {
  size_t signs = 0;
  while (signs < line.size() && line[signs] == '@') {
    ++signs;
  }
  size_t pos = signs;
  int32_t old_start = 0;
  int32_t new_start = 0;
  bool overflow = false;
  for (size_t range = 0; range + 1 < signs; ++range) {
    int32_t start = 0;
    if (!Consume(line, pos, " -") || !ReadRange(line, pos, start, overflow)) {
      return;
    }
    if (range == 0) {
      old_start = start;
    }
  }
  if (!Consume(line, pos, " +") || !ReadRange(line, pos, new_start, overflow) ||
      !Consume(line, pos, " ") || !Consume(line, pos, line.substr(0, signs)) ||
      overflow) {
    return;
  }
  hunk.old_start = old_start;
  hunk.new_start = new_start;
}

std::string_view NextLine(std::string_view& rest) {
  const size_t end = rest.find('\n');
  std::string_view line = rest.substr(0, end);
  rest =
      end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return line;
}

// Counts the content lines of the hunk whose body starts `rest`, so that its
// line list is allocated once.
size_t CountHunkLines(std::string_view rest) {
  size_t count = 0;
  while (!rest.empty()) {
    const std::string_view line = NextLine(rest);
    if (line.starts_with("@@") || line.starts_with("diff")) {
      break;
    }
    if (!line.empty() && (line[0] == ' ' || line[0] == '+' || line[0] == '-')) {
      ++count;
    }
  }
  return count;
}

}  // namespace

std::vector<File> ParseDiff(std::string text) {
  std::vector<File> files;
  bool in_header = true;
  // The last hunk's lines; null until the last file has a hunk.
  std::vector<Line>* lines = nullptr;
  std::string_view rest(text);
  while (!rest.empty()) {
    const std::string_view line = NextLine(rest);
    if (line.starts_with("diff")) {
      files.emplace_back();
      in_header = true;
      lines = nullptr;
    } else if (line.starts_with("index")) {
      continue;
    } else if (in_header && line.starts_with("---")) {
      if (!files.empty()) {
        files.back().old_name = std::string(line.substr(3));
      }
    } else if (in_header && line.starts_with("+++")) {
      if (!files.empty()) {
        files.back().new_name =
            line.size() > 6 ? std::string(line.substr(6)) : std::string();
      }
    } else if (line.starts_with("@@")) {
      in_header = false;
      if (files.empty()) {
        continue;
      }
      Hunk& hunk = files.back().hunks.emplace_back();
      hunk.header = line;
      ReadHunkHeader(line, hunk);
      hunk.lines.reserve(CountHunkLines(rest));
      lines = &hunk.lines;
    } else if (!line.empty() && lines != nullptr) {
      LineKind kind;
      switch (line[0]) {
        case ' ':
          kind = LineKind::Context;
          break;
        case '+':
          kind = LineKind::Added;
          break;
        case '-':
          kind = LineKind::Deleted;
          break;
        default:
          continue;
      }
      lines->push_back(Line{kind, std::string(line.substr(1))});
    }
  }
  return files;
}

}  // namespace plimsy
