#ifndef PLIMSY_DIFF_FILE_LABELS_H_
#define PLIMSY_DIFF_FILE_LABELS_H_

#include <string>
#include <vector>

#include <ftxui/dom/elements.hpp>

#include "diff/diff.h"
#include "diff/render.h"

// How a changed file is named and described on both screens. The texts
// hold the bytes of the names; callers draw them through DisplayText.
namespace plimsy {

// One character for the file's status: M, A, D, R, C, T (mode only),
// B (binary) or U (unmerged).
char StatusMark(FileStatus status);

// The file's name: the new one, or the old one for a deleted file.
const std::string& FileName(const File& file);

// A description's title: the commit's short name and the first line of
// its message (a mail's subject), or its first line when it names no
// commit.
std::string DescriptionTitle(const File& description);

// A file list entry: the status mark, a blank, then the file's name; a
// description's title.
std::string FileEntry(const File& file);

// The name row above a file's difference: "old -> new" for a rename or a
// copy, or when the two names differ; the file's name otherwise.
std::string NameRow(const File& file);

// What the name row adds after the names of a rename or a copy whose lines
// are shown: "renamed, 87% similar"; nothing for other files, and for a
// file without hunks, whose pane says it in its NoHunkRows.
std::string NameRowNote(const File& file);

// The name row as drawn: the NameRow after a blank, then its NameRowNote,
// dim.
ftxui::Element NameRowElement(const File& file);

// What the difference pane says about a file that has no hunks, one row
// per fact: its kind of change, "binary file", a mode change.
std::vector<std::string> NoHunkRows(const File& file);

// The file's difference as RenderFile draws it, or its NoHunkRows when it
// has no hunks. Refers to `file` and to what `options` points to as
// RenderFile does.
ftxui::Element RenderDifference(const File& file,
                                bool split,
                                const RenderOptions& options = {});

}  // namespace plimsy

#endif  // PLIMSY_DIFF_FILE_LABELS_H_
