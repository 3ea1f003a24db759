#ifndef PLIMSY_LOG_CONTENT_KEYS_H_
#define PLIMSY_LOG_CONTENT_KEYS_H_

#include <string>
#include <vector>

#include <ftxui/component/component_base.hpp>

#include "ui/key_binding.h"

// Reading commits through in the content pane: Enter from the lists, and
// } { from file to file across commits.
namespace plimsy::log {

struct State;

// The file a step to another commit shows once that commit's files come.
enum class FileToShow { kNone, kFirst, kLast };

// Selects the file asked for by `state.file_to_show` once it is known: the
// first as soon as it has come, the last once all have; the description
// of a commit without files.
void ShowFileAsked(State& state);

// } (`forward`) or {: in the content pane (`in_content`) while it shows a
// file, the next or previous file, and past the last or first one, the
// next commit's first file or the previous commit's last; else the next or
// previous commit. Returns what to tell.
std::string StepThrough(State& state, bool forward, bool in_content);

// Enter: in the commit list, moves to the commit's first file in the
// content pane; in the file list, to the selected file's content.
std::vector<KeyBinding> EnterKeys(State& state,
                                  ftxui::Component commit_menu,
                                  ftxui::Component file_menu,
                                  ftxui::Component content);

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_CONTENT_KEYS_H_
