#include "ui/glyphs.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace plimsy {
namespace {

struct Read {
  std::string text;
  int width;
  bool stand_in;
  size_t offset;
  int64_t column;

  bool operator==(const Read&) const = default;
};

std::vector<Read> ReadAll(GlyphReader& reader) {
  std::vector<Read> glyphs;
  Glyph glyph;
  int64_t column = reader.column();
  while (reader.Next(glyph)) {
    glyphs.push_back({std::string(glyph.text), glyph.width, glyph.stand_in,
                      glyph.offset, column});
    column = reader.column();
  }
  return glyphs;
}

std::string RandomText(std::mt19937& random) {
  static const std::vector<std::string> pieces = {
      "a",      "xyz",       " ",        "\t", "\x01",    "\xFF",   "\xE0",
      "é",      "e\xCC\x81", "\xCC\x81", "漢", "\u200B",  "\u202E", "\u1100",
      "\u1161", "\u11A8",    "\uAC00",   "😀",  "\x1B[1m",
  };
  std::string text;
  const int count = static_cast<int>(random() % 40);
  for (int i = 0; i < count; ++i) {
    text += pieces[random() % pieces.size()];
  }
  return text;
}

// Reading can resume at any place where it says it can, and skipping
// plain text lands where reading it would.
TEST(GlyphReaderTest, ResumesWhereItSaysItCan) {
  std::mt19937 random(99);
  for (int n = 0; n < 500; ++n) {
    const std::string text = RandomText(random);
    SCOPED_TRACE(::testing::PrintToString(text));
    GlyphReader whole(text);
    const std::vector<Read> all = ReadAll(whole);

    GlyphReader reader(text);
    Glyph glyph;
    size_t read = 0;
    do {
      if (reader.AtCheckpoint()) {
        GlyphReader resumed(text, reader.offset(), reader.column());
        const std::vector<Read> rest = ReadAll(resumed);
        EXPECT_EQ(rest, std::vector<Read>(all.begin() + read, all.end()))
            << "at byte " << reader.offset();
      }
      ++read;
    } while (reader.Next(glyph));

    GlyphReader skipping(text);
    const int64_t skipped = skipping.SkipAscii(3);
    EXPECT_EQ(skipping.column(), skipped);
    if (skipping.AtCheckpoint()) {
      const std::vector<Read> rest = ReadAll(skipping);
      ASSERT_LE(rest.size(), all.size());
      EXPECT_EQ(rest, std::vector<Read>(all.end() - rest.size(), all.end()));
    }
  }
}

TEST(GlyphReaderTest, GlyphsOfOneText) {
  const std::string text = "a\tb漢e\xCC\x81\u200B";
  GlyphReader reader(text);
  const std::vector<Read> glyphs = ReadAll(reader);
  std::vector<Read> expected = {{"a", 1, false, 0, 0}};
  for (int i = 1; i < 8; ++i) {
    expected.push_back({" ", 1, false, 1, i});
  }
  expected.push_back({"b", 1, false, 2, 8});
  expected.push_back({"漢", 2, false, 3, 9});
  expected.push_back({"e\xCC\x81", 1, false, 6, 11});
  int64_t column = 12;
  for (const char c : std::string("<U+200B>")) {
    expected.push_back({std::string(1, c), 1, true, 9, column++});
  }
  EXPECT_EQ(glyphs, expected);
}

}  // namespace
}  // namespace plimsy
