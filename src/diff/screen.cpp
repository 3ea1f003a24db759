#include "diff/screen.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>

#include <ftxui/component/component.hpp>
#include <ftxui/component/component_options.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/component/screen_interactive.hpp>
#include <ftxui/dom/elements.hpp>
#include <ftxui/screen/color.hpp>

#include "diff/file_labels.h"
#include "diff/format_options.h"
#include "diff/render.h"
#include "git.h"
#include "process.h"
#include "terminal.h"
#include "ui/display_text.h"
#include "ui/list.h"
#include "ui/scroller.h"
#include "ui/simple_button.h"
#include "ui/terminal_cells.h"

namespace plimsy::diff {
namespace {

using ftxui::Component;
using ftxui::Element;
using ftxui::Event;

// The index of the file the difference pane shows, or -1 when the list is
// empty. The menu clamps the selection when it draws; this keeps the pane
// safe even if it is drawn first.
int32_t SelectedIndex(const State& state) {
  const int32_t last = static_cast<int32_t>(state.files.size()) - 1;
  return last < 0 ? -1 : std::clamp(state.selected_file, 0, last);
}

const File* SelectedFile(const State& state) {
  const int32_t index = SelectedIndex(state);
  return index < 0 ? nullptr : &state.files[index];
}

// The status a git that cannot be started stands for, as a shell has it.
constexpr int kGitNotStarted = 127;

// What git said when its last run failed, one row per line.
Element FailureText(const State& state) {
  ftxui::Elements rows;
  std::string_view rest = state.git_error;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    rows.push_back(ftxui::text(DisplayText(rest.substr(0, end))));
    rest = end == std::string_view::npos ? std::string_view()
                                         : rest.substr(end + 1);
  }
  if (rows.empty()) {
    rows.push_back(ftxui::text("git diff failed with exit status " +
                               std::to_string(state.git_status)));
  }
  return ftxui::vbox(std::move(rows));
}

}  // namespace

namespace {

// How long a key that runs git waits for git's output before the frame is
// drawn: a short diff comes whole in one frame, a long one shows what has
// arrived by then and the rest as it comes.
constexpr auto kSettleTime = std::chrono::milliseconds(40);

std::function<void()> Waker(State& state) {
  if (!state.post) {
    return {};
  }
  return [post = state.post, &state] { post([&state] { TakeLoaded(state); }); };
}

void ClearFiles(State& state) {
  state.files.clear();
  state.file_names.clear();
  state.split_rows.clear();
  state.render_caches.clear();
  state.partial_last = false;
}

// Takes what the load has read after waiting for its end: for a moment
// when a loop goes on reading, as long as it takes otherwise.
void Settle(State& state) {
  if (state.post) {
    state.load->WaitForEnd(DiffLoad::Clock::now() + kSettleTime);
  } else {
    state.load->WaitForEnd();
  }
  TakeLoaded(state);
}

void Append(State& state, LoadedFile loaded) {
  state.file_names.push_back(FileEntry(loaded.file));
  state.files.push_back(std::move(loaded.file));
  state.split_rows.push_back(std::move(loaded.split_rows));
  state.render_caches.emplace_back();
}

// The first screen needs a file, or the end of the text.
void WaitForFirstScreen(State& state) {
  if (state.load != nullptr && state.files.empty()) {
    state.load->WaitForFirst();
    TakeLoaded(state);
  }
}

}  // namespace

void refresh(State& state) {
  if (state.from_input) {
    return;
  }
  state.load.reset();
  ClearFiles(state);
  state.loading = false;
  state.git_status = 0;
  state.git_error.clear();
  std::vector<std::string> args = {"diff"};
  args.insert(args.end(), ForcedDiffOptions().begin(),
              ForcedDiffOptions().end());
  args.push_back("-U" + std::to_string(state.context));
  args.insert(args.end(), state.arguments.begin(), state.arguments.end());
  state.load = std::make_unique<DiffLoad>(args, Waker(state));
  state.loading = true;
  Settle(state);
}

bool TakeLoaded(State& state) {
  if (state.load == nullptr) {
    return false;
  }
  LoadUpdate update = state.load->Take();
  if (update.empty()) {
    return false;
  }
  if (state.partial_last && (!update.files.empty() || update.partial)) {
    state.files.pop_back();
    state.file_names.pop_back();
    state.split_rows.pop_back();
    state.render_caches.pop_back();
    state.partial_last = false;
  }
  for (LoadedFile& loaded : update.files) {
    Append(state, std::move(loaded));
  }
  if (update.partial) {
    Append(state, std::move(*update.partial));
    state.partial_last = true;
  }
  if (update.ended) {
    state.loading = false;
    state.load.reset();
    // A run that printed a diff is shown even when it failed: --exit-code
    // makes git exit with 1 for every diff.
    if (state.files.empty() && update.status != 0) {
      state.git_status = update.status;
      state.git_error = std::move(update.error);
    }
  }
  return true;
}

void StepContext(State& state, int step) {
  if (state.from_input) {
    return;
  }
  state.context = std::max(0, state.context + step);
  try {
    refresh(state);
  } catch (const subprocess::SpawnError& error) {
    state.git_status = kGitNotStarted;
    state.git_error = std::string("cannot run git: ") + error.what();
  }
}

std::string HeaderNote(const State& state) {
  std::string note = state.loading ? "loading\u2026" : "";
  if (state.from_input) {
    note += std::string(note.empty() ? "" : "  ") +
            "standard input: the context cannot change";
  }
  return note;
}

Component BuildScreen(State& state, std::function<void()> exit) {
  using namespace ftxui;

  auto less_context = [&state] { StepContext(state, -1); };
  auto more_context = [&state] { StepContext(state, 1); };

  const ButtonOption button_option = SimpleButtonOption();
  Component plus_button = Button("[+1]", more_context, button_option);
  Component minus_button = Button("[-1]", less_context, button_option);
  ListOption file_list_option;
  file_list_option.scroll_indicator = false;
  Component file_menu =
      List(&state.file_names, &state.selected_file, file_list_option);
  Component split_checkbox =
      Checkbox("[S]plit", &state.split, CheckboxOption::Simple());
  Component quit_button = Button("[Q]uit", exit, button_option);

  Component difference_view = Renderer([&state] {
    const int32_t index = SelectedIndex(state);
    if (index >= 0) {
      return RenderDifference(
          state.files[index], state.split,
          {&state.split_rows[index], &state.render_caches[index], &state.view});
    }
    if (state.loading) {
      return text("loading\u2026");
    }
    return state.git_status != 0 ? FailureText(state)
                                 : text("No difference...");
  });
  Component difference_scroller = Scroller(difference_view, &state.view);

  Component files_pane = Renderer(file_menu, [file_menu] {
    return vbox({text(" Files "), separator(), file_menu->Render()});
  });
  Component difference_pane =
      Renderer(difference_scroller, [&state, difference_scroller] {
        const File* file = SelectedFile(state);
        return vbox({
                   text(" Difference "),
                   separator(),
                   text(file == nullptr ? std::string()
                                        : " " + DisplayText(NameRow(*file))),
                   separator(),
                   difference_scroller->Render(),
               }) |
               flex;
      });
  Component panes =
      ResizableSplitLeft(files_pane, difference_pane, &state.files_width);
  Component body = Renderer(panes, [panes] { return panes->Render() | yflex; });

  Component toolbar = Container::Horizontal(
      {split_checkbox, minus_button, plus_button, quit_button});
  Component header = Renderer(toolbar, [&state, split_checkbox, minus_button,
                                        plus_button, quit_button] {
    return hbox({
               text("[plimsy diff]"),
               text(HeaderNote(state).empty() ? "" : " " + HeaderNote(state)) |
                   dim,
               filler(),
               split_checkbox->Render(),
               text("   Context:"),
               minus_button->Render(),
               text(std::to_string(state.context)),
               plus_button->Render(),
               filler(),
               quit_button->Render(),
           }) |
           bgcolor(Color::White) | color(Color::Black);
  });

  Component layout = TerminalCells(Container::Vertical({header, body}));
  Component root = CatchEvent(
      layout, [&state, exit, less_context, more_context](const Event& event) {
        if (event == Event::Character('s')) {
          state.split = !state.split;
          return true;
        }
        if (event == Event::Character('-')) {
          less_context();
          return true;
        }
        if (event == Event::Character('+')) {
          more_context();
          return true;
        }
        if (event == Event::Character('q') || event == Event::Escape) {
          exit();
          return true;
        }
        return false;
      });
  file_menu->TakeFocus();
  return root;
}

int main(int argc, const char** argv) {
  State state;
  state.arguments.assign(argv, argv + argc);
  state.post = PostToScreen;
  try {
    if (AsksForAnotherFormat(state.arguments)) {
      std::vector<std::string> args = {"diff"};
      args.insert(args.end(), state.arguments.begin(), state.arguments.end());
      return GitInherited(args);
    }
    refresh(state);
  } catch (const subprocess::SpawnError& error) {
    return ReportGitNotStarted(error);
  }
  WaitForFirstScreen(state);
  if (state.files.empty()) {
    if (state.git_status != 0) {
      std::cerr << state.git_error << std::flush;
      return state.git_status;
    }
    std::cout << "No difference..." << std::endl;
    return 0;
  }
  return RunScreen(
      "diff",
      [&state](std::function<void()> exit) {
        return BuildScreen(state, std::move(exit));
      },
      KeysForScreen());
}

int MainOnInput(std::string head, int fd) {
  State state;
  state.from_input = true;
  state.post = PostToScreen;
  try {
    state.load = std::make_unique<DiffLoad>(
        std::move(head), fd, true, DiffReader::Options{.mixed_text = true},
        Waker(state));
  } catch (const subprocess::SpawnError& error) {
    close(fd);
    std::cerr << "plimsy: " << error.what() << std::endl;
    return 1;
  }
  state.loading = true;
  WaitForFirstScreen(state);
  if (state.files.empty() && !state.loading) {
    std::cout << "No difference..." << std::endl;
    return 0;
  }
  return RunScreen(
      "diff",
      [&state](std::function<void()> exit) {
        return BuildScreen(state, std::move(exit));
      },
      KeySource::kControllingTerminal);
}

}  // namespace plimsy::diff
