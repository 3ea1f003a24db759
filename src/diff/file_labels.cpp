#include "diff/file_labels.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "diff/render.h"
#include "ui/display_text.h"

namespace plimsy {
namespace {

// ", 87% similar", or nothing when git gave no similarity.
std::string Similarity(const File& file) {
  return file.similarity < 0
             ? std::string()
             : ", " + std::to_string(file.similarity) + "% similar";
}

// "renamed, 87% similar", "copied", or nothing for a file that is neither.
std::string RenameOrCopy(const File& file) {
  if (file.status == FileStatus::kRenamed) {
    return "renamed" + Similarity(file);
  }
  if (file.status == FileStatus::kCopied) {
    return "copied" + Similarity(file);
  }
  return std::string();
}

// ", mode 100644", or nothing without a mode.
std::string Mode(const std::string& mode) {
  return mode.empty() ? std::string() : ", mode " + mode;
}

// Digits of a commit's name in a description's title.
constexpr std::size_t kShortHash = 7;

}  // namespace

char StatusMark(FileStatus status) {
  switch (status) {
    case FileStatus::kModified:
      return 'M';
    case FileStatus::kAdded:
      return 'A';
    case FileStatus::kDeleted:
      return 'D';
    case FileStatus::kRenamed:
      return 'R';
    case FileStatus::kCopied:
      return 'C';
    case FileStatus::kModeChanged:
      return 'T';
    case FileStatus::kBinary:
      return 'B';
    case FileStatus::kUnmerged:
      return 'U';
    case FileStatus::kDescription:
      return ' ';
  }
  return '?';
}

const std::string& FileName(const File& file) {
  return file.new_name.empty() ? file.old_name : file.new_name;
}

std::string DescriptionTitle(const File& description) {
  std::string_view text = description.text;
  const auto next_line = [&text] {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view()
                                         : text.substr(end + 1);
    return line;
  };
  const std::string_view first = next_line();
  std::string name;
  if (first.starts_with("commit ") || first.starts_with("From ")) {
    const std::string_view rest = first.substr(first.find(' ') + 1);
    name = std::string(
        rest.substr(0, std::min<std::size_t>(rest.find(' '), kShortHash)));
  }
  if (name.empty()) {
    return std::string(first);
  }
  // The title: a mail's subject without its "[PATCH]" tag, or the first
  // line of the message after the header's blank line.
  bool in_header = true;
  while (!text.empty()) {
    std::string_view line = next_line();
    if (line.starts_with("Subject: ")) {
      line.remove_prefix(9);
      if (line.starts_with('[') && line.find("] ") != std::string_view::npos) {
        line.remove_prefix(line.find("] ") + 2);
      }
      return name + " " + std::string(line);
    }
    if (in_header) {
      in_header = !line.empty();
      continue;
    }
    const std::size_t start = line.find_first_not_of(' ');
    if (start != std::string_view::npos) {
      return name + " " + std::string(line.substr(start));
    }
  }
  return name;
}

std::string FileEntry(const File& file) {
  if (file.status == FileStatus::kDescription) {
    return DescriptionTitle(file);
  }
  return std::string(1, StatusMark(file.status)) + " " + FileName(file);
}

std::string NameRow(const File& file) {
  if (file.status == FileStatus::kDescription) {
    return DescriptionTitle(file);
  }
  // Two files compared with --no-index have two names without being a
  // rename.
  if (file.status == FileStatus::kRenamed ||
      file.status == FileStatus::kCopied ||
      (!file.old_name.empty() && !file.new_name.empty() &&
       file.old_name != file.new_name)) {
    return file.old_name + " -> " + file.new_name;
  }
  return FileName(file);
}

std::string NameRowNote(const File& file) {
  return file.hunks.empty() ? std::string() : RenameOrCopy(file);
}

ftxui::Element NameRowElement(const File& file) {
  const std::string note = NameRowNote(file);
  return ftxui::hbox({
      ftxui::text(" " + DisplayText(NameRow(file))),
      ftxui::text(note.empty() ? "" : "  " + note) | ftxui::dim,
  });
}

std::vector<std::string> NoHunkRows(const File& file) {
  std::vector<std::string> rows;
  switch (file.status) {
    case FileStatus::kAdded:
      rows.push_back("new file" + Mode(file.new_mode));
      break;
    case FileStatus::kDeleted:
      rows.push_back("deleted file" + Mode(file.old_mode));
      break;
    case FileStatus::kRenamed:
    case FileStatus::kCopied:
      rows.push_back(RenameOrCopy(file));
      break;
    case FileStatus::kUnmerged:
      rows.push_back("unmerged");
      break;
    case FileStatus::kModified:
    case FileStatus::kModeChanged:
    case FileStatus::kBinary:
    case FileStatus::kDescription:
      break;
  }
  if (file.binary) {
    rows.push_back("binary file");
  }
  if (!file.old_mode.empty() && !file.new_mode.empty() &&
      file.old_mode != file.new_mode) {
    rows.push_back("mode " + file.old_mode + " \u2192 " + file.new_mode);
  }
  if (rows.empty()) {
    rows.push_back("no lines to show");
  }
  return rows;
}

ftxui::Element RenderDifference(const File& file,
                                bool split,
                                const RenderOptions& options) {
  if (!file.hunks.empty()) {
    return RenderFile(file, split, options);
  }
  ftxui::Elements rows;
  if (file.status == FileStatus::kDescription) {
    // The commit's text as git printed it, its first line marked as git
    // marks it.
    std::string_view text = file.text;
    while (!text.empty()) {
      const std::size_t end = text.find('\n');
      ftxui::Element row = ftxui::text(DisplayText(text.substr(0, end)));
      rows.push_back(rows.empty() ? row | ftxui::bold |
                                        ftxui::color(ftxui::Color::Yellow)
                                  : row);
      text = end == std::string_view::npos ? std::string_view()
                                           : text.substr(end + 1);
    }
    return ftxui::vbox(std::move(rows));
  }
  for (const std::string& row : NoHunkRows(file)) {
    rows.push_back(ftxui::text(DisplayText(row)));
  }
  return ftxui::vbox(std::move(rows));
}

}  // namespace plimsy
