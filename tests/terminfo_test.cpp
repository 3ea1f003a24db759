#include "sys/terminfo.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "support.h"
#include "sys/terminal.h"

namespace plimsy {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// A compiled terminfo entry: `names` then `booleans` flags, `numbers`
// numbers of 16 or 32 bits, and string capabilities 0 to `strings` - 1, of
// which only "cup" (10) is present when `cup` is.
std::string Entry(const std::string& names,
                  int booleans,
                  int numbers,
                  bool wide_numbers,
                  int strings,
                  bool cup) {
  std::string data;
  auto put = [&data](int value) {
    data += static_cast<char>(value & 0xff);
    data += static_cast<char>((value >> 8) & 0xff);
  };
  std::string table = "\x1b[%i%p1%d;%p2%dH";
  put(wide_numbers ? 01036 : 0432);
  put(static_cast<int>(names.size()) + 1);
  put(booleans);
  put(numbers);
  put(strings);
  put(static_cast<int>(table.size()) + 1);
  data += names + '\0';
  data += std::string(booleans, '\1');
  if (data.size() % 2 != 0) {
    data += '\0';
  }
  for (int i = 0; i < numbers; ++i) {
    put(80);
    if (wide_numbers) {
      put(0);
    }
  }
  for (int i = 0; i < strings; ++i) {
    put(i == 10 && cup ? 0 : -1);
  }
  return data + table + '\0';
}

void Install(const std::string& directory,
             const std::string& subdirectory,
             const std::string& name,
             const std::string& data) {
  fs::create_directories(directory + "/" + subdirectory);
  std::ofstream(directory + "/" + subdirectory + "/" + name, std::ios::binary)
      << data;
}

TEST(TerminfoTest, ReadsCursorAddressingFromCompiledEntries) {
  TempDir dir;
  const std::string entries = dir.path();
  Install(entries, "a", "addressing",
          Entry("addressing|a", 3, 2, false, 30, true));
  Install(entries, "p", "plain", Entry("plain|no cup", 1, 1, false, 30, false));
  Install(entries, "w", "wide",
          Entry("wide|32-bit numbers", 2, 5, true, 11, true));
  Install(entries, "w", "wide-without",
          Entry("wide-without", 2, 5, true, 40, false));
  Install(entries, "s", "short",
          Entry("short|few strings", 0, 0, false, 4, true));
  // The directory layout of systems whose file names ignore case.
  Install(entries, "68", "hex",
          Entry("hex|hex subdirectory", 0, 0, false, 11, true));
  Install(entries, "t", "truncated",
          Entry("truncated", 1, 1, false, 30, true).substr(0, 20));
  Install(entries, "g", "garbage", "not a terminfo entry at all");
  Install(entries, "e", "empty", "");

  struct Case {
    std::string term;
    std::optional<bool> addressing;
  };
  const std::vector<Case> cases = {
      {"addressing", true},
      {"plain", false},
      {"wide", true},
      {"wide-without", false},
      {"short", false},
      {"hex", true},
      {"truncated", std::nullopt},
      {"garbage", std::nullopt},
      {"empty", std::nullopt},
      {"missing", std::nullopt},
      {"", std::nullopt},
      {"../a/addressing", std::nullopt},
      {".hidden", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TerminfoCursorAddressing(c.term, {"/nonexistent", entries}),
              c.addressing)
        << c.term;
  }
}

TEST(TerminfoTest, TheFirstDirectoryWithAnEntryDecides) {
  TempDir first;
  TempDir second;
  Install(first.path(), "t", "term", Entry("term", 0, 0, false, 30, false));
  Install(second.path(), "t", "term", Entry("term", 0, 0, false, 30, true));
  EXPECT_EQ(TerminfoCursorAddressing("term", {first.path(), second.path()}),
            false);
  EXPECT_EQ(TerminfoCursorAddressing("term", {second.path(), first.path()}),
            true);
}

TEST(TerminfoTest, OnlyTerminalsThatCanMoveTheCursorShowAScreen) {
  // "dumb" comes with every system's terminal database; a type unknown to
  // the database is taken for a capable terminal.
  EXPECT_FALSE(CanDrawOn(""));
  EXPECT_FALSE(CanDrawOn("dumb"));
  EXPECT_TRUE(CanDrawOn("xterm"));
  EXPECT_TRUE(CanDrawOn("no-such-terminal-type"));
}

}  // namespace
}  // namespace plimsy
