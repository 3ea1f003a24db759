#ifndef PLIMSY_LOG_PANELS_H_
#define PLIMSY_LOG_PANELS_H_

#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <ftxui/component/component.hpp>
#include <ftxui/dom/elements.hpp>

#include "log/commit.h"
#include "log/rows.h"
#include "log/state.h"
#include "log/walk.h"
#include "ui/list.h"

// The drawings of the log screen. Each factory returns a function that the
// screen hands to a Renderer; the function reads the state it was given by
// reference on every frame and never changes it.
namespace plimsy::log {

// The labelled header rows of `commit` (with its reference `labels`, and
// its parents named by `abbrev` digits and their titles, or as not in the
// repository when in `missing`), a separator, then its description.
ftxui::Element CommitDetails(const Commit& commit,
                             const std::vector<RefLabel>& labels,
                             std::size_t abbrev,
                             const std::set<std::string>& missing);

// The selected file's diff, or the selected commit's details while the
// "description" entry (0) or an index past the files is selected, under
// git's error text when its diff failed; "loading…" for a file that has
// not arrived yet while `loading`.
std::function<ftxui::Element()> ContentRenderer(State& state);

// Draws an entry of the commit list from the state's rows, in columns
// fitted to the commit pane's width, with its row of the graph when that
// shows.
std::function<ftxui::Element(const ListEntryState&)> CommitEntry(
    const State& state);

// Draws an entry of the file list, its name cut with "…" to the list's
// width.
std::function<ftxui::Element(const ListEntryState&)> FileEntry(
    const State& state);

// The panes, each under its title, which is highlighted while the pane has
// the focus.
// The commit list, over `stopped` when git's walk failed; its title
// followed by the selection's `position` when there is one.
std::function<ftxui::Element()> CommitPaneRenderer(
    ftxui::Component commit_menu,
    const std::string& stopped,
    std::function<std::string()> position = {});
// The file list, under `note` when it is not empty, over "loading…" while
// `loading`.
std::function<ftxui::Element()> FilesPaneRenderer(ftxui::Component file_menu,
                                                  const std::string& note,
                                                  const bool& loading);
// The content, under the name row of the file shown when its lines are:
// its full name, old and new for a rename or a copy.
std::function<ftxui::Element()> ContentPaneRenderer(
    ftxui::Component content_scroller,
    const State& state);

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_PANELS_H_
