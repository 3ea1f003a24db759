#include "diff/lazy_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <ftxui/dom/node.hpp>
#include <ftxui/dom/selection.hpp>
#include <ftxui/screen/box.hpp>
#include <ftxui/screen/screen.hpp>

#include "diff/file_look.h"
#include "diff/measures.h"
#include "diff/pairing.h"
#include "diff/render_cache.h"
#include "diff/row_elements.h"

namespace plimsy {

namespace {

using ftxui::Box;
using ftxui::Element;

// FTXUI's sizes are ints; a wrapped file of more rows is cut there.
constexpr int64_t kMostRows = 1 << 30;

// Where a hunk lies in the file.
struct HunkLayout {
  const Hunk* hunk = nullptr;
  // Row of its header, counted from the top of the file.
  int64_t top = 0;
  // Rows of its entries, below the header.
  int64_t rows = 0;
  // While wrapping: the rows of its entries up to and including each one.
  const std::vector<int64_t>* ends = nullptr;
};

// The two ends of a selection. Selection shows only its box, whose opposite
// corners the ends are; which diagonal they lie on shows when the selection
// is saturated against a box that holds only the top-left corner: it
// shrinks to that corner exactly when an end lies there. Which end came
// first does not matter, as saturating treats the two alike.
struct SelectionEnds {
  int x0 = 0;
  int y0 = 0;
  int x1 = 0;
  int y1 = 0;
};

SelectionEnds Ends(ftxui::Selection& selection) {
  const Box box = selection.GetBox();
  const Box corner{box.x_min - 1, box.x_min, box.y_min - 1, box.y_min};
  const Box probe = selection.SaturateHorizontal(corner).GetBox();
  if (probe.x_min == probe.x_max) {
    return {box.x_min, box.y_min, box.x_max, box.y_max};
  }
  return {box.x_max, box.y_min, box.x_min, box.y_max};
}

class LazyFileNode : public ftxui::Node {
 public:
  LazyFileNode(const File& file, bool split, const RenderOptions& options)
      : file_(file),
        split_(split),
        options_(options),
        look_(LookOf(file, options)) {
    if (look_.text.wrap && options_.cache != nullptr) {
      const RenderCache::Parts& parts = options_.cache->parts();
      text_widths_ = {parts.old_text_width, parts.new_text_width};
    }
    Measure();
  }

  // The selection lasts one drawing, as it does for the library's texts.
  void ComputeRequirement() override {
    if (measured_widths_ != text_widths_) {
      Measure();
    }
    selection_.reset();
  }

  void SetBox(Box box) override {
    Node::SetBox(box);
    const int width = box.x_max - box.x_min + 1;
    const std::pair<int, int> widths = TextWidths(look_, split_, width);
    if (options_.view != nullptr) {
      options_.view->content_width = width;
    }
    if (look_.text.wrap) {
      text_widths_ = widths;
    }
    // Kept unwrapped too: keys that come before the first wrapped frame
    // (several read at once) find the wrapped rows at these widths.
    if (options_.cache != nullptr) {
      RenderCache::Parts& parts = options_.cache->parts();
      parts.old_text_width = widths.first;
      parts.new_text_width = widths.second;
    }
    if (options_.view != nullptr && options_.cache != nullptr) {
      HandRowWhenToggled(widths);
    }
  }

  // Wrapped rows depend on the widths of the text columns, which the layout
  // gives only now: measured for other widths, the layout runs again.
  void Check(Status* status) override {
    Node::Check(status);
    if (measured_widths_ != text_widths_) {
      status->need_iteration = true;
    }
  }

  // The cells are built only when drawn, once the clip is known, so the
  // selection is kept until then.
  void Select(ftxui::Selection& selection) override {
    if (Box::Intersection(selection.GetBox(), box_).IsEmpty()) {
      return;
    }
    selection_ = Ends(selection);
  }

  void Render(ftxui::Screen& screen) override {
    const Box area = Box::Intersection(box_, screen.stencil);
    if (area.IsEmpty()) {
      return;
    }
    const int64_t first = area.y_min - box_.y_min;
    const int64_t last =
        std::min<int64_t>(area.y_max - box_.y_min + 1, requirement_.min_y);
    const std::vector<int64_t>& tops = tops_->tops;
    const size_t hunks = file_.hunks.size();
    size_t h = static_cast<size_t>(
        std::upper_bound(tops.begin(), tops.begin() + hunks, first) -
        tops.begin());
    h = h == 0 ? 0 : h - 1;
    for (; h < hunks && tops[h] < last; ++h) {
      HunkLayout layout;
      layout.hunk = &file_.hunks[h];
      layout.top = tops[h];
      layout.rows = tops[h + 1] - tops[h] - 1;
      layout.ends = wrapped_ != nullptr ? &wrapped_->ends[h] : nullptr;
      DrawHunk(screen, layout, first, last);
    }
  }

 private:
  // Where each hunk lies, and the size of the whole file: found once for
  // each way of drawing the file and kept in the cache.
  void Measure() {
    measured_widths_ = text_widths_;
    wrapped_ = nullptr;
    if (look_.text.wrap && text_widths_ != std::pair<int, int>{0, 0}) {
      wrapped_ = KeptWrap(file_, split_, text_widths_, options_.cache);
    }
    const bool wrap = wrapped_ != nullptr;
    const std::pair<int, int> widths =
        wrap ? text_widths_ : std::pair<int, int>{0, 0};
    if (options_.cache != nullptr) {
      tops_ = options_.cache->parts().tops;
    }
    if (tops_ == nullptr || tops_->split != split_ || tops_->wrap != wrap ||
        tops_->widths != widths) {
      tops_ = MeasureHunkTops(file_, split_, wrapped_.get(), widths,
                              options_.split_rows);
      if (options_.cache != nullptr) {
        options_.cache->parts().tops = tops_;
      }
    }
    requirement_ = ftxui::Requirement{};
    requirement_.min_y =
        static_cast<int>(std::min(tops_->tops.back(), kMostRows));
    // Number columns, separators, signs and the 800 cells of each text
    // column.
    requirement_.min_x =
        file_.hunks.empty()
            ? 0
            : look_.old_width + look_.new_width + (split_ ? 1605 : 803);
  }

  // Tells the scroller where the rows it shows will be once wrapping is
  // toggled. The answer is found only if asked, and only while the cache,
  // which goes with the file, is still there: the file may be replaced
  // before the next frame.
  void HandRowWhenToggled(std::pair<int, int> widths) const {
    std::weak_ptr<int> alive = options_.cache->parts().alive;
    options_.view->row_when_toggled = [file = &file_, split = split_,
                                       cache = options_.cache, widths,
                                       wrap = look_.text.wrap, alive](int row) {
      if (alive.expired() || widths == std::pair<int, int>{0, 0}) {
        return row;
      }
      const std::shared_ptr<const WrappedRows> wrapped =
          KeptWrap(*file, split, widths, cache);
      return static_cast<int>(std::min<int64_t>(
          RowWhenToggled(*file, wrap, *wrapped, row), kMostRows));
    };
  }

  // Builds, lays out and draws the rows of a hunk that lie in rows `first`
  // to `last` (excluded) of the file, each where it would lie in the whole
  // tree and seeing the selection as it would there.
  void DrawHunk(ftxui::Screen& screen,
                const HunkLayout& layout,
                int64_t first,
                int64_t last) const {
    const int y0 = box_.y_min + static_cast<int>(layout.top);
    const Box hunk_box{box_.x_min, box_.x_max, y0,
                       y0 + static_cast<int>(layout.rows)};
    // The saturated selections refer to the one they come from.
    std::optional<ftxui::Selection> selection;
    std::optional<ftxui::Selection> file_selection;
    std::optional<ftxui::Selection> hunk_selection;
    if (selection_.has_value()) {
      selection.emplace(selection_->x0, selection_->y0, selection_->x1,
                        selection_->y1);
      file_selection.emplace(selection->SaturateVertical(box_));
      if (!Box::Intersection(file_selection->GetBox(), hunk_box).IsEmpty()) {
        hunk_selection.emplace(file_selection->SaturateVertical(hunk_box));
      }
    }
    const auto draw = [&](Element row, int y, int64_t height) {
      row->ComputeRequirement();
      row->SetBox(
          {box_.x_min, box_.x_max, y, y + static_cast<int>(height) - 1});
      if (hunk_selection.has_value()) {
        row->Select(*hunk_selection);
      }
      row->Render(screen);
    };

    if (layout.top >= first) {
      draw(HeaderRow(*layout.hunk), y0, 1);
    }
    // Rows of the entries, counted from the first one below the header.
    const int64_t from = std::max<int64_t>(first - layout.top - 1, 0);
    const int64_t to = std::min<int64_t>(last - layout.top - 1, layout.rows);
    if (from >= to) {
      return;
    }
    int64_t index = from;
    int64_t row = from;
    if (layout.ends != nullptr) {
      index = std::upper_bound(layout.ends->begin(), layout.ends->end(), from) -
              layout.ends->begin();
      row = index == 0 ? 0 : (*layout.ends)[index - 1];
    }
    Entries entries(*layout.hunk, split_,
                    BlocksOf(*layout.hunk, options_.cache));
    entries.Seek(index);
    Entry entry;
    while (row < to && entries.Next(entry)) {
      const int64_t height =
          layout.ends != nullptr ? (*layout.ends)[index] - row : 1;
      const Element element =
          split_ ? SplitRow(entry, look_) : JoinedRow(entry, look_);
      draw(element, y0 + 1 + static_cast<int>(row), height);
      row += height;
      ++index;
    }
  }

  const File& file_;
  const bool split_;
  const RenderOptions options_;
  const FileLook look_;
  std::shared_ptr<const HunkTops> tops_;
  // The widths of the text columns: as the last layout gave them, and as
  // the hunks were measured with.
  std::pair<int, int> text_widths_{0, 0};
  std::pair<int, int> measured_widths_{0, 0};
  // The wrapped rows the hunks were measured with, while wrapping.
  std::shared_ptr<const WrappedRows> wrapped_;
  std::optional<SelectionEnds> selection_;
};

}  // namespace

Element LazyFile(const File& file, bool split, const RenderOptions& options) {
  return std::make_shared<LazyFileNode>(file, split, options);
}

}  // namespace plimsy
