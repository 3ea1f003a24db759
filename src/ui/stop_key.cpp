#include "ui/stop_key.h"

#include <utility>

#include <ftxui/component/event.hpp>

namespace plimsy {

KeyBinding StopReadingKey(std::string group,
                          std::function<bool()> reading,
                          std::function<void()> stop) {
  return {{},
          [reading = std::move(reading)](const ftxui::Event& event) {
            return event == ftxui::Event::Escape && reading();
          },
          "Esc",
          std::move(group),
          "stop reading on",
          [stop = std::move(stop)](const ftxui::Event&) {
            stop();
            return std::string();
          },
          ""};
}

}  // namespace plimsy
