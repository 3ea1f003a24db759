#include "diff/text_cell.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include <ftxui/dom/node.hpp>
#include <ftxui/dom/selection.hpp>
#include <ftxui/screen/box.hpp>
#include <ftxui/screen/screen.hpp>

#include "ui/glyphs.h"

namespace plimsy {

namespace {

using ftxui::Box;
using ftxui::Color;

// Which glyphs fall in a set of changed byte ranges, asked in the order of
// the text.
class ChangedBytes {
 public:
  ChangedBytes(const std::vector<ByteRange>* ranges, size_t from)
      : ranges_(ranges) {
    if (ranges_ != nullptr) {
      next_ = static_cast<size_t>(
          std::lower_bound(ranges_->begin(), ranges_->end(), from,
                           [](const ByteRange& range, size_t offset) {
                             return range.end <= offset;
                           }) -
          ranges_->begin());
    }
  }

  bool Contains(size_t offset) {
    if (ranges_ == nullptr) {
      return false;
    }
    while (next_ < ranges_->size() && (*ranges_)[next_].end <= offset) {
      ++next_;
    }
    return next_ < ranges_->size() && (*ranges_)[next_].begin <= offset;
  }

 private:
  const std::vector<ByteRange>* ranges_;
  size_t next_ = 0;
};

// Which glyphs fall in a match of a search term, asked in the order of the
// text. The text is searched a window at a time from the first glyph
// asked, so a long line costs only the part that is drawn.
class MatchedBytes {
 public:
  MatchedBytes(std::string_view text, const Finder* finder, size_t from)
      : text_(text), finder_(finder) {
    if (finder_ != nullptr) {
      const size_t length = finder_->term().size();
      searched_ = from >= length ? from - length + 1 : 0;
    }
  }

  bool Contains(size_t offset) {
    if (finder_ == nullptr) {
      return false;
    }
    const size_t length = finder_->term().size();
    while (match_end_ <= offset && searched_ < text_.size()) {
      const size_t window_end = std::min(
          text_.size(), std::max(searched_, offset) + kWindow + length);
      const std::string_view window = text_.substr(0, window_end);
      const size_t found = finder_->Find(window, searched_);
      if (found == std::string_view::npos) {
        searched_ = window_end >= length ? window_end - length + 1 : 0;
        if (window_end == text_.size()) {
          searched_ = text_.size();
        }
        continue;
      }
      match_begin_ = found;
      match_end_ = found + length;
      searched_ = found + 1;
    }
    return match_begin_ <= offset && offset < match_end_;
  }

 private:
  static constexpr size_t kWindow = 4096;
  std::string_view text_;
  const Finder* finder_;
  size_t searched_ = 0;
  size_t match_begin_ = 0;
  size_t match_end_ = 0;
};

class TextCellNode : public ftxui::Node {
 public:
  TextCellNode(std::string_view text,
               const TextStyle& style,
               std::shared_ptr<const std::vector<ByteRange>> changed,
               const TextOptions& options)
      : text_(text),
        style_(style),
        changed_(std::move(changed)),
        options_(options) {}

  TextCellNode(std::string owned, const TextStyle& style)
      : owned_(std::move(owned)), text_(owned_), style_(style) {}

  void ComputeRequirement() override {
    requirement_ = ftxui::Requirement{};
    requirement_.min_y = 1;
    if (options_.wrap && width_ > 0) {
      requirement_.min_y = static_cast<int>(std::min<int64_t>(
          WrappedRowCount(text_, width_, options_.layouts), 1 << 30));
    }
    has_selection_ = false;
  }

  void SetBox(Box box) override {
    Node::SetBox(box);
    laid_out_ = true;
  }

  // Wrapped, the rows the text takes depend on the width it is given, known
  // only once the layout has run: the layout runs again with that width.
  void Check(Status* status) override {
    Node::Check(status);
    const int width = box_.x_max - box_.x_min + 1;
    if (options_.wrap && laid_out_ && width > 0 && width != width_) {
      width_ = width;
      status->need_iteration = true;
    }
  }

  void Select(ftxui::Selection& selection) override {
    if (Box::Intersection(selection.GetBox(), box_).IsEmpty()) {
      return;
    }
    has_selection_ = true;
    selection_ = selection.SaturateHorizontal(box_).GetBox();
  }

  void Render(ftxui::Screen& screen) override {
    const Box area = Box::Intersection(box_, screen.stencil);
    if (area.IsEmpty()) {
      return;
    }
    for (int y = area.y_min; y <= area.y_max; ++y) {
      for (int x = area.x_min; x <= area.x_max; ++x) {
        ftxui::Pixel& pixel = screen.PixelAt(x, y);
        pixel.character.assign(1, ' ');
        Style(pixel, false, false);
      }
    }
    if (options_.wrap) {
      RenderWrapped(screen, area);
    } else {
      RenderCut(screen, area);
    }
    if (has_selection_) {
      const Box selected = Box::Intersection(selection_, area);
      for (int y = selected.y_min; y <= selected.y_max; ++y) {
        for (int x = selected.x_min; x <= selected.x_max; ++x) {
          screen.GetSelectionStyle()(screen.PixelAt(x, y));
        }
      }
    }
  }

 private:
  const TextLayout& Layout(int width) {
    if (options_.layouts != nullptr) {
      return options_.layouts->Get(text_, width);
    }
    own_layout_ = LayOut(text_, width);
    return own_layout_;
  }

  void Paint(ftxui::Pixel& pixel,
             std::string_view character,
             bool changed,
             bool stand_in,
             bool matched = false) const {
    pixel.character.assign(character);
    Style(pixel, changed, stand_in);
    if (matched) {
      pixel.foreground_color = Color::Black;
      pixel.background_color = Color::Yellow;
      pixel.underlined = true;
    }
  }

  void Style(ftxui::Pixel& pixel, bool changed, bool stand_in) const {
    pixel.foreground_color =
        changed ? style_.changed_foreground : style_.foreground;
    pixel.background_color =
        changed ? style_.changed_background : style_.background;
    pixel.bold = changed;
    pixel.underlined = false;
    pixel.dim = style_.dim;
    pixel.inverted = stand_in;
  }

  void PaintMark(ftxui::Pixel& pixel, std::string_view mark) const {
    Paint(pixel, mark, false, false);
    pixel.dim = true;
  }

  // One row, scrolled by the view's column: the cells show columns
  // column .. column + width - 1 of the text, the first one giving way to
  // "‹" when text lies to the left and the last one to "›" when text lies
  // to the right. A wide glyph that an end cuts leaves its cell blank.
  void RenderCut(ftxui::Screen& screen, const Box& area) {
    if (area.y_min != box_.y_min) {
      return;
    }
    const int64_t width = box_.x_max - box_.x_min + 1;
    const int64_t column = std::max(options_.column, 0);
    const TextLayout& layout = Layout(0);
    if (options_.column_limit != nullptr) {
      *options_.column_limit = static_cast<int>(std::max<int64_t>(
          *options_.column_limit,
          std::min<int64_t>(layout.columns - width, 1 << 30)));
    }
    const bool left_mark = column > 0 && layout.columns > 0;
    const bool right_mark = layout.columns > column + width;
    const int64_t first_free = left_mark ? 1 : 0;
    const int64_t last_free = right_mark ? width - 2 : width - 1;

    auto checkpoint =
        std::upper_bound(layout.checkpoints.begin(), layout.checkpoints.end(),
                         column, [](int64_t c, const TextCheckpoint& point) {
                           return c < point.column;
                         });
    --checkpoint;
    GlyphReader reader(text_, checkpoint->offset, checkpoint->column);
    if (layout.plain) {
      const int64_t start =
          std::min<int64_t>(column, static_cast<int64_t>(text_.size()));
      reader = GlyphReader(text_, static_cast<size_t>(start), start);
    }
    reader.SkipAscii(column - reader.column());
    ChangedBytes changed(changed_.get(), reader.offset());
    MatchedBytes matched(text_, options_.highlight, reader.offset());
    const int y = box_.y_min;
    Glyph glyph;
    while (reader.column() < column + width) {
      const int64_t at = reader.column();
      if (!reader.Next(glyph)) {
        break;
      }
      const int64_t cell = at - column;
      const bool is_changed = changed.Contains(glyph.offset);
      const bool is_matched = matched.Contains(glyph.offset);
      if (cell < first_free || cell + glyph.width - 1 > last_free) {
        continue;
      }
      const int x = box_.x_min + static_cast<int>(cell);
      if (x < area.x_min || x + glyph.width - 1 > area.x_max) {
        continue;
      }
      Paint(screen.PixelAt(x, y), glyph.text, is_changed, glyph.stand_in,
            is_matched);
      if (glyph.width == 2) {
        Paint(screen.PixelAt(x + 1, y), "", is_changed, glyph.stand_in,
              is_matched);
      }
    }
    if (left_mark && box_.x_min >= area.x_min) {
      PaintMark(screen.PixelAt(box_.x_min, y), "‹");
    }
    if (right_mark && box_.x_max <= area.x_max) {
      PaintMark(screen.PixelAt(box_.x_max, y), "›");
    }
  }

  // Row after row of the cell's width; only the rows in view are read
  // beyond their checkpoint.
  void RenderWrapped(ftxui::Screen& screen, const Box& area) {
    const int64_t width = box_.x_max - box_.x_min + 1;
    const TextLayout& layout = Layout(static_cast<int>(width));
    const int64_t first = area.y_min - box_.y_min;
    const int64_t last = area.y_max - box_.y_min;
    auto checkpoint =
        std::lower_bound(layout.checkpoints.begin(), layout.checkpoints.end(),
                         first, [](const TextCheckpoint& point, int64_t row) {
                           return point.row < row;
                         });
    if (checkpoint != layout.checkpoints.begin()) {
      --checkpoint;
    }
    TextCheckpoint start = *checkpoint;
    if (layout.plain) {
      const int64_t row = std::min(first, layout.rows - 1);
      const int64_t offset = row * width;
      start = {static_cast<size_t>(offset), offset, row, 0};
    }
    GlyphReader reader(text_, start.offset, start.column);
    GlyphPlacer placer(width, start.row, start.x);
    ChangedBytes changed(changed_.get(), reader.offset());
    MatchedBytes matched(text_, options_.highlight, reader.offset());
    Glyph glyph;
    while (true) {
      if (placer.row() < first) {
        placer.PlaceNarrow(reader.SkipAscii(placer.CellsBefore(first)));
      }
      if (!reader.Next(glyph)) {
        break;
      }
      const auto [row, cell] = placer.Place(glyph.width);
      if (row > last) {
        break;
      }
      const bool is_changed = changed.Contains(glyph.offset);
      const bool is_matched = matched.Contains(glyph.offset);
      if (row < first) {
        continue;
      }
      const int x = box_.x_min + static_cast<int>(cell);
      const int y = box_.y_min + static_cast<int>(row);
      if (glyph.width > width) {
        PaintMark(screen.PixelAt(x, y), "›");
        continue;
      }
      Paint(screen.PixelAt(x, y), glyph.text, is_changed, glyph.stand_in,
            is_matched);
      if (glyph.width == 2) {
        Paint(screen.PixelAt(x + 1, y), "", is_changed, glyph.stand_in,
              is_matched);
      }
    }
  }

  const std::string owned_;
  const std::string_view text_;
  const TextStyle style_;
  const std::shared_ptr<const std::vector<ByteRange>> changed_;
  const TextOptions options_;
  // The width the rows were counted for; 0 before the first layout.
  int width_ = 0;
  bool laid_out_ = false;
  TextLayout own_layout_;
  bool has_selection_ = false;
  Box selection_;
};

}  // namespace

ftxui::Element TextCell(std::string_view text,
                        const TextStyle& style,
                        std::shared_ptr<const std::vector<ByteRange>> changed,
                        const TextOptions& options) {
  return std::make_shared<TextCellNode>(text, style, std::move(changed),
                                        options) |
         ftxui::size(ftxui::WIDTH, ftxui::EQUAL, 800) | ftxui::xflex;
}

ftxui::Element HeaderCell(std::string header) {
  return std::make_shared<TextCellNode>(std::move(header), DimStyle());
}

}  // namespace plimsy
