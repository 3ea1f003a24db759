#ifndef PLIMSY_LOG_PANELS_H_
#define PLIMSY_LOG_PANELS_H_

#include <functional>
#include <string>
#include <vector>

#include <ftxui/component/component.hpp>
#include <ftxui/dom/elements.hpp>

#include "diff/diff.h"
#include "diff/render.h"
#include "log/commit.h"
#include "ui/text_view.h"

// The drawings of the log screen. Each factory returns a function that the
// screen hands to a Renderer; the function reads the state it was given by
// reference on every frame and never changes it.
namespace plimsy::log {

// The labelled header rows of `commit`, a separator, then its description.
ftxui::Element CommitDetails(const Commit& commit);

// The selected file's diff, or the selected commit's details while the
// "description" entry (0) or an index past the files is selected.
std::function<ftxui::Element()> ContentRenderer(
    const int& selected_file,
    const std::vector<File>& files,
    const std::vector<std::vector<int>>& split_rows,
    std::vector<RenderCache>& render_caches,
    TextView& view,
    const bool& split,
    const std::vector<const Commit*>& commits,
    const int& selected_commit);

// The black on white bar with the title, the layout and context controls
// and the quit button.
std::function<ftxui::Element()> HeaderRenderer(ftxui::Component split_checkbox,
                                               ftxui::Component minus_button,
                                               const int& context,
                                               ftxui::Component plus_button,
                                               ftxui::Component quit_button);

std::function<ftxui::Element()> CommitPaneRenderer(
    ftxui::Component commit_menu);
std::function<ftxui::Element()> FilesPaneRenderer(ftxui::Component file_menu);
std::function<ftxui::Element()> ContentPaneRenderer(
    ftxui::Component content_scroller);
std::function<ftxui::Element()> BodyRenderer(ftxui::Component panes);

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_PANELS_H_
