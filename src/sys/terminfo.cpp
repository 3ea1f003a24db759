#include "sys/terminfo.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace plimsy {
namespace {

constexpr const char* kSystemDirectories[] = {"/etc/terminfo", "/lib/terminfo",
                                              "/usr/share/terminfo"};

// The compiled format's magic numbers: 16-bit and 32-bit numbers.
constexpr int kMagic16 = 0432;
constexpr int kMagic32 = 01036;
// "cup" (cursor_address) is the eleventh string capability.
constexpr int kCursorAddress = 10;
// Entries hold a few kilobytes; the format cannot address more than this.
constexpr std::streamsize kMaxEntrySize = 1 << 16;

int Short(std::string_view data, size_t at) {
  auto low = static_cast<uint8_t>(data[at]);
  auto high = static_cast<uint8_t>(data[at + 1]);
  return static_cast<int16_t>(low | (high << 8));
}

bool UsableName(std::string_view term) {
  return !term.empty() && term.find('/') == std::string_view::npos &&
         term.front() != '.';
}

}  // namespace

std::vector<std::string> TerminfoDirectories() {
  std::vector<std::string> directories;
  auto add_system = [&] {
    directories.insert(directories.end(), std::begin(kSystemDirectories),
                       std::end(kSystemDirectories));
  };
  if (const char* terminfo = std::getenv("TERMINFO"); terminfo && *terminfo) {
    directories.emplace_back(terminfo);
  }
  if (const char* home = std::getenv("HOME"); home && *home) {
    directories.push_back(std::string(home) + "/.terminfo");
  }
  bool system_added = false;
  if (const char* dirs = std::getenv("TERMINFO_DIRS"); dirs && *dirs) {
    std::string_view list = dirs;
    while (true) {
      size_t colon = list.find(':');
      std::string_view entry = list.substr(0, colon);
      if (entry.empty()) {
        if (!system_added) {
          add_system();
          system_added = true;
        }
      } else {
        directories.emplace_back(entry);
      }
      if (colon == std::string_view::npos) {
        break;
      }
      list.remove_prefix(colon + 1);
    }
  }
  if (!system_added) {
    add_system();
  }
  return directories;
}

std::optional<bool> EntryCursorAddressing(std::string_view data) {
  if (data.size() < 12) {
    return std::nullopt;
  }
  int magic = Short(data, 0);
  if (magic != kMagic16 && magic != kMagic32) {
    return std::nullopt;
  }
  int names = Short(data, 2);
  int booleans = Short(data, 4);
  int numbers = Short(data, 6);
  int strings = Short(data, 8);
  if (names < 0 || booleans < 0 || numbers < 0 || strings < 0) {
    return std::nullopt;
  }
  if (strings <= kCursorAddress) {
    return false;
  }
  size_t offsets = 12 + static_cast<size_t>(names) + booleans;
  offsets += offsets % 2;
  offsets += static_cast<size_t>(numbers) * (magic == kMagic32 ? 4 : 2);
  size_t at = offsets + 2 * kCursorAddress;
  if (at + 2 > data.size()) {
    return std::nullopt;
  }
  // Negative offsets mark an absent (-1) or cancelled (-2) capability.
  return Short(data, at) >= 0;
}

std::optional<bool> TerminfoCursorAddressing(
    std::string_view term,
    const std::vector<std::string>& directories) {
  if (!UsableName(term)) {
    return std::nullopt;
  }
  char hex[3];
  std::snprintf(hex, sizeof(hex), "%02x", static_cast<uint8_t>(term.front()));
  for (const std::string& directory : directories) {
    for (const std::string& subdirectory :
         {std::string(1, term.front()), std::string(hex)}) {
      std::ifstream file(
          directory + "/" + subdirectory + "/" + std::string(term),
          std::ios::binary);
      if (!file) {
        continue;
      }
      std::string data(kMaxEntrySize, '\0');
      file.read(data.data(), kMaxEntrySize);
      data.resize(static_cast<size_t>(file.gcount()));
      if (std::optional<bool> result = EntryCursorAddressing(data)) {
        return result;
      }
    }
  }
  return std::nullopt;
}

}  // namespace plimsy
