#include "log/rows.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <utility>

#include <ftxui/screen/color.hpp>
#include <ftxui/screen/string.hpp>

#include "ui/display_text.h"
#include "ui/fit_width.h"

namespace plimsy::log {
namespace {

using ftxui::Color;
using ftxui::Element;
using ftxui::Elements;

constexpr int kMarkWidth = 2;
constexpr int kDateWidth = 10;
// The title keeps this much of a row before other columns give way.
constexpr int kTitleRoom = 20;
// An author column narrower than this goes.
constexpr int kAuthorMinimum = 8;
// The least that labels leave of the title.
constexpr int kTitleBeside = 10;

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && text.back() == ' ') {
    text.remove_suffix(1);
  }
  return text;
}

// The signature's moment in its own time zone, as a calendar date.
bool LocalTime(const Signature& signature, std::tm& tm) {
  if (!signature.dated) {
    return false;
  }
  int minutes = signature.zone < 0 ? -signature.zone : signature.zone;
  minutes = minutes / 100 * 60 + minutes % 100;
  int64_t offset = int64_t{minutes} * 60 * (signature.zone < 0 ? -1 : 1);
  std::time_t time = static_cast<std::time_t>(signature.time + offset);
  return gmtime_r(&time, &tm) != nullptr;
}

}  // namespace

ftxui::Color LabelColor(RefKind kind) {
  switch (kind) {
    case RefKind::kHead:
      return Color::Cyan;
    case RefKind::kBranch:
      return Color::Green;
    case RefKind::kRemote:
      return Color::Red;
    case RefKind::kTag:
      return Color::Yellow;
    case RefKind::kOther:
      break;
  }
  return Color::Magenta;
}

Signature ParseSignature(std::string_view value) {
  Signature signature;
  std::size_t close = value.rfind('>');
  if (close == std::string_view::npos) {
    signature.person = value;
    signature.name = TrimRight(value);
    return signature;
  }
  signature.person = value.substr(0, close + 1);
  signature.name = TrimRight(value.substr(0, value.find('<')));

  std::string_view rest = value.substr(close + 1);
  if (!rest.starts_with(' ')) {
    return signature;
  }
  rest.remove_prefix(1);
  std::size_t space = rest.find(' ');
  std::string_view time = rest.substr(0, space);
  std::string_view zone = space == std::string_view::npos
                              ? std::string_view()
                              : rest.substr(space + 1);
  auto [time_end, time_error] =
      std::from_chars(time.data(), time.data() + time.size(), signature.time);
  if (time.empty() || time_error != std::errc() ||
      time_end != time.data() + time.size() || signature.time < 0 ||
      zone.size() != 5 || (zone[0] != '+' && zone[0] != '-')) {
    return signature;
  }
  int offset = 0;
  auto [zone_end, zone_error] =
      std::from_chars(zone.data() + 1, zone.data() + zone.size(), offset);
  if (zone_error != std::errc() || zone_end != zone.data() + zone.size()) {
    return signature;
  }
  signature.zone = zone[0] == '-' ? -offset : offset;
  signature.dated = true;
  return signature;
}

std::string ShortDate(const Signature& signature) {
  std::tm tm{};
  if (!LocalTime(signature, tm)) {
    return "";
  }
  char text[32];
  std::snprintf(text, sizeof(text), "%04d-%02d-%02d", tm.tm_year + 1900,
                tm.tm_mon + 1, tm.tm_mday);
  return text;
}

std::string GitDate(const Signature& signature) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed",
                                          "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr",
                                            "May", "Jun", "Jul", "Aug",
                                            "Sep", "Oct", "Nov", "Dec"};
  std::tm tm{};
  if (!LocalTime(signature, tm)) {
    return "";
  }
  char text[64];
  std::snprintf(text, sizeof(text), "%s %s %d %02d:%02d:%02d %d %+05d",
                kDays[tm.tm_wday], kMonths[tm.tm_mon], tm.tm_mday, tm.tm_hour,
                tm.tm_min, tm.tm_sec, tm.tm_year + 1900, signature.zone);
  return text;
}

CommitRow MakeCommitRow(const Commit& commit,
                        std::vector<RefLabel> labels,
                        std::size_t abbrev) {
  CommitRow row;
  row.hash = commit.hash.substr(0, abbrev);
  if (!commit.authors.empty()) {
    Signature author = ParseSignature(commit.authors.front());
    row.date = ShortDate(author);
    row.author = DisplayText(author.name);
    row.author_width = ftxui::string_width(row.author);
  }
  for (RefLabel& label : labels) {
    label.name = DisplayText(label.name);
  }
  row.labels = std::move(labels);
  row.title = DisplayText(commit.title);
  return row;
}

CommitColumns FitColumns(int width, int hash, int author) {
  CommitColumns columns{hash, kDateWidth, 0};
  // Cells left after the mark, the hash and the blank that follows it.
  const int free = width - kMarkWidth - hash - 1;
  const int author_room = free - (kDateWidth + 1) - kTitleRoom - 1;
  if (author > 0 && author_room >= std::min(author, kAuthorMinimum)) {
    columns.author = std::min(author, author_room);
  } else if (free - (kDateWidth + 1) < kTitleRoom) {
    columns.date = 0;
  }
  const int rest = free - (columns.date > 0 ? columns.date + 1 : 0) -
                   (columns.author > 0 ? columns.author + 1 : 0);
  columns.labels = std::max(rest - kTitleBeside, 0);
  return columns;
}

Elements LabelElements(const std::vector<RefLabel>& labels,
                       bool parentheses,
                       int width) {
  Elements elements;
  if (labels.empty()) {
    return elements;
  }
  const Color punctuation = Color::Yellow;
  int used = parentheses ? 2 : 0;
  if (parentheses) {
    elements.push_back(ftxui::text("(") | ftxui::color(punctuation));
  }
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const int separator = i > 0 ? 2 : 0;
    const int label_width = ftxui::string_width(labels[i].name);
    // The last label may use the room that "…" would need.
    const int room = i + 1 == labels.size() ? width : width - 3;
    if (used + separator + label_width > room) {
      elements.push_back(ftxui::text(i > 0 ? ", …" : "…") |
                         ftxui::color(punctuation));
      break;
    }
    if (i > 0) {
      elements.push_back(ftxui::text(", ") | ftxui::color(punctuation));
    }
    elements.push_back(ftxui::text(labels[i].name) | ftxui::bold |
                       ftxui::color(LabelColor(labels[i].kind)));
    used += separator + label_width;
  }
  if (parentheses) {
    elements.push_back(ftxui::text(")") | ftxui::color(punctuation));
  }
  return elements;
}

Element DrawCommitRow(const CommitRow& row,
                      const CommitColumns& columns,
                      bool active,
                      bool focused,
                      Element graph) {
  using ftxui::EQUAL;
  using ftxui::WIDTH;
  Elements cells;
  cells.push_back(ftxui::text(active ? "> " : "  "));
  cells.push_back(ftxui::text(row.hash) | ftxui::color(Color::Yellow) |
                  ftxui::size(WIDTH, EQUAL, columns.hash));
  if (columns.date > 0) {
    cells.push_back(ftxui::text(" "));
    cells.push_back(ftxui::text(row.date) | ftxui::color(Color::Blue) |
                    ftxui::size(WIDTH, EQUAL, columns.date));
  }
  if (columns.author > 0) {
    cells.push_back(ftxui::text(" "));
    cells.push_back(ftxui::text(FitWidth(row.author, columns.author)) |
                    ftxui::color(Color::Green) |
                    ftxui::size(WIDTH, EQUAL, columns.author));
  }
  cells.push_back(ftxui::text(" "));
  if (graph != nullptr) {
    cells.push_back(std::move(graph));
    cells.push_back(ftxui::text(" "));
  }
  // What does not fit is cut from the end of the title and the labels,
  // never from the columns.
  if (!row.labels.empty() && columns.labels > 0) {
    for (Element& label : LabelElements(row.labels, true, columns.labels)) {
      cells.push_back(std::move(label));
    }
    cells.push_back(ftxui::text(" "));
  }
  cells.push_back(ftxui::text(row.title) | ftxui::xflex_shrink);
  Element element = ftxui::hbox(std::move(cells));
  if (focused) {
    element |= ftxui::inverted;
  }
  if (active) {
    element |= ftxui::bold;
  }
  return element;
}

}  // namespace plimsy::log
