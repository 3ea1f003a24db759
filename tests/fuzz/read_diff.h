#ifndef PLIMSY_TESTS_FUZZ_READ_DIFF_H_
#define PLIMSY_TESTS_FUZZ_READ_DIFF_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "diff/diff.h"
#include "diff/strip_colour.h"

namespace plimsy::fuzz {

inline bool Same(const File& a, const File& b) {
  if (a.old_name != b.old_name || a.new_name != b.new_name ||
      a.status != b.status || a.similarity != b.similarity ||
      a.old_mode != b.old_mode || a.new_mode != b.new_mode ||
      a.binary != b.binary || a.text != b.text ||
      a.hunks.size() != b.hunks.size()) {
    return false;
  }
  for (size_t i = 0; i < a.hunks.size(); ++i) {
    const Hunk& x = a.hunks[i];
    const Hunk& y = b.hunks[i];
    if (x.old_start != y.old_start || x.new_start != y.new_start ||
        x.header != y.header || x.lines.size() != y.lines.size()) {
      return false;
    }
    for (size_t j = 0; j < x.lines.size(); ++j) {
      if (x.lines[j].kind != y.lines[j].kind ||
          x.lines[j].no_newline != y.lines[j].no_newline ||
          x.lines[j].text() != y.lines[j].text()) {
        return false;
      }
    }
  }
  return true;
}

// Parses arbitrary bytes as diff text whole, then reads them in pieces cut
// where the input's own bytes say: the same files as the whole parse; and
// a pager's mixed, coloured text must not fail. Aborts when the pieces
// give other files. Returns the files of the whole.
inline std::vector<File> ParseEveryWay(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<File> files = ParseDiff(std::string(text));
  for (const bool mixed : {false, true}) {
    DiffReader reader({.mixed_text = mixed});
    ColourStripper stripper;
    std::vector<File> read;
    std::vector<FilePart> parts;
    // The file being read is taken in parts too, as a screen takes a
    // long one, and joined again.
    auto take = [&reader, &read, &parts](bool current) {
      reader.TakeParts(parts);
      if (current) {
        reader.TakeCurrentPart(parts);
      }
      for (FilePart& part : parts) {
        if (part.joins) {
          JoinPart(read.back(), std::move(part));
        } else {
          read.push_back(std::move(part.file));
        }
      }
      parts.clear();
    };
    for (size_t pos = 0, n = 0; pos < size; pos += n) {
      n = 1 + data[pos] % 64;
      std::string piece(text.substr(pos, n));
      if (mixed) {
        std::string plain;
        stripper.Strip(piece, plain);
        piece.swap(plain);
      }
      reader.Read(piece);
      take(data[pos] % 3 == 0);
    }
    reader.Finish();
    take(false);
    if (!mixed && !std::equal(read.begin(), read.end(), files.begin(),
                              files.end(), Same)) {
      std::fprintf(stderr, "reading in pieces gave other files\n");
      std::abort();
    }
  }
  return files;
}

}  // namespace plimsy::fuzz

#endif  // PLIMSY_TESTS_FUZZ_READ_DIFF_H_
