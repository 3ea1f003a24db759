#include "diff/file_labels.h"

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
  }
  return '?';
}

const std::string& FileName(const File& file) {
  return file.new_name.empty() ? file.old_name : file.new_name;
}

std::string FileEntry(const File& file) {
  return std::string(1, StatusMark(file.status)) + " " + FileName(file);
}

std::string NameRow(const File& file) {
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
  for (const std::string& row : NoHunkRows(file)) {
    rows.push_back(ftxui::text(DisplayText(row)));
  }
  return ftxui::vbox(std::move(rows));
}

}  // namespace plimsy
