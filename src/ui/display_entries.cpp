#include "ui/display_entries.h"

#include <memory>

#include "ui/display_text.h"

namespace plimsy {
namespace {

class DisplayAdapter : public ftxui::ConstStringListRef::Adapter {
 public:
  explicit DisplayAdapter(const std::vector<std::string>& entries)
      : entries_(entries) {}
  size_t size() const override { return entries_.size(); }
  std::string operator[](size_t i) const override {
    return DisplayText(entries_[i]);
  }

 private:
  const std::vector<std::string>& entries_;
};

}  // namespace

ftxui::ConstStringListRef DisplayEntries(
    const std::vector<std::string>& entries) {
  return std::make_unique<DisplayAdapter>(entries);
}

}  // namespace plimsy
