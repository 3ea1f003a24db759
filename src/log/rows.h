#ifndef PLIMSY_LOG_ROWS_H_
#define PLIMSY_LOG_ROWS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <ftxui/dom/elements.hpp>
#include <ftxui/screen/color.hpp>

#include "log/commit.h"
#include "log/walk.h"

namespace plimsy::log {

// An author or committer header value: "Name <mail> 1714637472 +0200".
struct Signature {
  std::string person;  // "Name <mail>", or the whole value when undated
  std::string name;    // "Name"
  int64_t time = 0;    // seconds since the epoch
  int zone = 0;        // the offset as written: +0200 is 200, -0530 is -530
  bool dated = false;
};

Signature ParseSignature(std::string_view value);

// The day in the signature's own time zone, "2024-05-02"; empty when the
// value holds no date git could print.
std::string ShortDate(const Signature& signature);

// The moment as git prints it by default, "Thu May 2 10:11:12 2024 +0200";
// empty when the value holds no date git could print.
std::string GitDate(const Signature& signature);

// What one entry of the commit list shows, made safe to draw once, when
// the commit is listed.
struct CommitRow {
  std::string hash;  // abbreviated
  std::string date;  // the author's, short
  std::string author;
  int author_width = 0;  // in terminal cells
  std::vector<RefLabel> labels;
  std::string title;
};

CommitRow MakeCommitRow(const Commit& commit,
                        std::vector<RefLabel> labels,
                        std::size_t abbrev);

// Widths in cells of the columns before the title; 0 hides a column.
// `labels` is the most that the labels may take of the rest of the row.
struct CommitColumns {
  int hash = 0;
  int date = 0;
  int author = 0;
  int labels = 0;
  bool operator==(const CommitColumns&) const = default;
};

// The columns for rows `width` cells wide (the selection mark included),
// with hashes of `hash` cells and author names of up to `author` cells.
// The title keeps room first: the author column narrows, then it goes,
// then the date goes.
CommitColumns FitColumns(int width, int hash, int author);

// One entry of the commit list: the selection mark, the columns, the
// `graph` when there is one, the labels and the title, which takes the
// rest of the row.
ftxui::Element DrawCommitRow(const CommitRow& row,
                             const CommitColumns& columns,
                             bool active,
                             bool focused,
                             ftxui::Element graph = nullptr);

// The colour of a label of this kind, as git log colours it.
ftxui::Color LabelColor(RefKind kind);

// The labels as git log shows them, "(HEAD -> main, tag: v1)", each in
// the colour of its kind; nothing when there is none. Labels that would
// reach past `width` cells give way to "…".
ftxui::Elements LabelElements(const std::vector<RefLabel>& labels,
                              bool parentheses,
                              int width);

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_ROWS_H_
