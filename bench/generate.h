#ifndef PLIMSY_BENCH_GENERATE_H_
#define PLIMSY_BENCH_GENERATE_H_

#include <cstddef>
#include <random>
#include <string>
#include <string_view>

#include "diff/diff.h"

// Synthetic diffs for benchmarks: source-like lines of mixed length (mostly
// short, some long, a few of a thousand bytes), some indented with tabs,
// in hunks that mix context, deleted and added runs.
namespace plimsy::bench {

inline std::string GeneratedLineText(std::mt19937& random) {
  static constexpr std::string_view kWords[] = {
      "int",    "return", "value",  "if",     "(",      ")",    "{", "}",
      "const",  "auto",   "std::",  "vector", "string", "=",    "+", ";",
      "for",    "while",  "buffer", "index",  "size()", "->",   "0", "nullptr",
      "Render", "text",   "//",     "TODO",   "é",      "日本", ",", "x"};
  std::string text;
  const unsigned shape = random() % 100;
  size_t length = 0;
  if (shape < 10) {
    length = random() % 4;
  } else if (shape < 68) {
    length = 10 + random() % 50;
  } else if (shape < 98) {
    length = 60 + random() % 60;
  } else {
    length = 200 + random() % 800;
  }
  const unsigned indent = random() % 4;
  text.append(indent, random() % 3 == 0 ? '\t' : ' ');
  while (text.size() < length) {
    text += kWords[random() % std::size(kWords)];
    text += ' ';
  }
  return text;
}

// Fills `hunk` with `lines` content lines, texts as git would print them
// (tabs not expanded).
inline void GenerateHunkLines(std::mt19937& random, size_t lines, Hunk& hunk) {
  while (hunk.lines.size() < lines) {
    const unsigned choice = random() % 4;
    const LineKind kind = choice < 2    ? LineKind::kContext
                          : choice == 2 ? LineKind::kDeleted
                                        : LineKind::kAdded;
    const size_t run = 1 + random() % (kind == LineKind::kContext ? 6 : 5);
    for (size_t k = 0; k < run && hunk.lines.size() < lines; ++k) {
      hunk.AddLine(kind, GeneratedLineText(random));
    }
  }
}

// The text of a `git diff` run over `files` files, each with
// `hunks_per_file` hunks of `lines_per_hunk` content lines.
inline std::string GenerateDiff(size_t files,
                                size_t hunks_per_file,
                                size_t lines_per_hunk,
                                unsigned seed) {
  std::mt19937 random(seed);
  std::string out;
  for (size_t f = 0; f < files; ++f) {
    const std::string name = "src/module_" + std::to_string(f) + "/file.cc";
    out += "diff --git a/" + name + " b/" + name + "\n";
    out += "index 3f2a9c1..b71e0d4 100644\n";
    out += "--- a/" + name + "\n+++ b/" + name + "\n";
    int old_start = 1;
    int new_start = 1;
    for (size_t h = 0; h < hunks_per_file; ++h) {
      Hunk hunk;
      GenerateHunkLines(random, lines_per_hunk, hunk);
      int old_count = 0;
      int new_count = 0;
      for (const Line& line : hunk.lines) {
        old_count += line.kind != LineKind::kAdded;
        new_count += line.kind != LineKind::kDeleted;
      }
      out += "@@ -" + std::to_string(old_start) + "," +
             std::to_string(old_count) + " +" + std::to_string(new_start) +
             "," + std::to_string(new_count) + " @@ void Function" +
             std::to_string(h) + "()\n";
      for (const Line& line : hunk.lines) {
        out += line.kind == LineKind::kAdded     ? '+'
               : line.kind == LineKind::kDeleted ? '-'
                                                 : ' ';
        out += line.text();
        out += '\n';
      }
      const int gap = 10 + static_cast<int>(random() % 90);
      old_start += old_count + gap;
      new_start += new_count + gap;
    }
  }
  return out;
}

// One parsed file whose hunks hold `changed_lines` added and deleted lines
// in all, with context around them.
inline File GenerateFile(size_t changed_lines, unsigned seed) {
  std::mt19937 random(seed);
  File file;
  file.old_name = "src/generated.cc";
  file.new_name = "src/generated.cc";
  size_t changed = 0;
  int old_start = 1;
  int new_start = 1;
  while (changed < changed_lines) {
    Hunk& hunk = file.hunks.emplace_back();
    hunk.old_start = old_start;
    hunk.new_start = new_start;
    GenerateHunkLines(random, 20 + random() % 40, hunk);
    for (Line& line : hunk.lines) {
      if (line.kind != LineKind::kContext) {
        if (changed == changed_lines) {
          line.kind = LineKind::kContext;
        } else {
          ++changed;
        }
      }
      old_start += line.kind != LineKind::kAdded;
      new_start += line.kind != LineKind::kDeleted;
    }
    const int gap = 10 + static_cast<int>(random() % 90);
    old_start += gap;
    new_start += gap;
  }
  return file;
}

}  // namespace plimsy::bench

#endif  // PLIMSY_BENCH_GENERATE_H_
