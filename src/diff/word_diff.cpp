#include "diff/word_diff.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace plimsy {

namespace {

// Beyond these, comparing would cost more than a frame can spare; such
// lines are shown without highlights.
constexpr size_t kMaxBytes = 8192;
constexpr int kMaxEdits = 64;

struct Token {
  size_t begin = 0;
  size_t end = 0;
  uint64_t hash = 0;
  bool blank = false;
};

bool IsWordByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x80 || (byte >= '0' && byte <= '9') ||
         (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
         byte == '_';
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::vector<Token> Tokens(std::string_view text) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < text.size()) {
    Token token;
    token.begin = i;
    if (IsWordByte(text[i])) {
      while (i < text.size() && IsWordByte(text[i])) {
        ++i;
      }
    } else if (IsBlank(text[i])) {
      token.blank = true;
      while (i < text.size() && IsBlank(text[i])) {
        ++i;
      }
    } else {
      ++i;
    }
    token.end = i;
    uint64_t hash = 1469598103934665603ull;
    for (size_t k = token.begin; k < token.end; ++k) {
      hash = (hash ^ static_cast<unsigned char>(text[k])) * 1099511628211ull;
    }
    token.hash = hash;
    tokens.push_back(token);
  }
  return tokens;
}

// Marks the tokens of `a` and `b` that a shortest edit script keeps, by the
// greedy algorithm of Myers; false when more than kMaxEdits edits are
// needed.
class Matcher {
 public:
  Matcher(std::string_view a_text,
          const std::vector<Token>& a,
          std::string_view b_text,
          const std::vector<Token>& b)
      : a_text_(a_text), a_(a), b_text_(b_text), b_(b) {}

  bool Equal(size_t i, size_t j) const {
    const Token& x = a_[i];
    const Token& y = b_[j];
    return x.hash == y.hash && x.end - x.begin == y.end - y.begin &&
           a_text_.substr(x.begin, x.end - x.begin) ==
               b_text_.substr(y.begin, y.end - y.begin);
  }

  bool Match(std::vector<bool>& a_kept, std::vector<bool>& b_kept) const {
    const int n = static_cast<int>(a_.size());
    const int m = static_cast<int>(b_.size());
    int prefix = 0;
    while (prefix < n && prefix < m && Equal(prefix, prefix)) {
      a_kept[prefix] = b_kept[prefix] = true;
      ++prefix;
    }
    int suffix = 0;
    while (suffix < n - prefix && suffix < m - prefix &&
           Equal(n - 1 - suffix, m - 1 - suffix)) {
      a_kept[n - 1 - suffix] = b_kept[m - 1 - suffix] = true;
      ++suffix;
    }
    const int size_a = n - prefix - suffix;
    const int size_b = m - prefix - suffix;
    if (size_a == 0 || size_b == 0) {
      return true;
    }
    // Every token that one side has more than the other is an edit.
    if (std::abs(size_a - size_b) > kMaxEdits) {
      return false;
    }
    const int most = std::min(size_a + size_b, kMaxEdits);
    const int offset = most + 1;
    std::vector<int> v(2 * offset + 1, 0);
    // v as it stood before each round, for finding the path back.
    std::vector<std::vector<int>> rounds;
    for (int d = 0; d <= most; ++d) {
      rounds.push_back(v);
      for (int k = -d; k <= d; k += 2) {
        int x = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1]))
                    ? v[offset + k + 1]
                    : v[offset + k - 1] + 1;
        int y = x - k;
        while (x < size_a && y < size_b && Equal(prefix + x, prefix + y)) {
          ++x;
          ++y;
        }
        v[offset + k] = x;
        if (x >= size_a && y >= size_b) {
          Trace(rounds, d, x, y, prefix, a_kept, b_kept);
          return true;
        }
      }
    }
    return false;
  }

 private:
  // Walks back from the end of the middle part, found in round `d`: the
  // path into each round came down from diagonal k + 1 (an added token) or
  // across from k - 1 (a deleted one), and then followed a run of kept
  // tokens.
  void Trace(const std::vector<std::vector<int>>& rounds,
             int d,
             int x,
             int y,
             int prefix,
             std::vector<bool>& a_kept,
             std::vector<bool>& b_kept) const {
    const int offset = static_cast<int>(rounds[0].size() / 2);
    for (int round = d; round > 0; --round) {
      const std::vector<int>& v = rounds[round];
      const int k = x - y;
      const bool down =
          k == -round || (k != round && v[offset + k - 1] < v[offset + k + 1]);
      const int previous_k = down ? k + 1 : k - 1;
      const int previous_x = v[offset + previous_k];
      for (int i = down ? previous_x : previous_x + 1; i < x; ++i) {
        a_kept[prefix + i] = true;
        b_kept[prefix + i - k] = true;
      }
      x = previous_x;
      y = previous_x - previous_k;
    }
    for (int i = 0; i < x; ++i) {
      a_kept[prefix + i] = true;
      b_kept[prefix + i] = true;
    }
  }

  std::string_view a_text_;
  const std::vector<Token>& a_;
  std::string_view b_text_;
  const std::vector<Token>& b_;
};

// The changed tokens as ranges; blanks kept between two changed tokens are
// part of the change, so that a rewritten phrase reads as one.
std::vector<ByteRange> Ranges(const std::vector<Token>& tokens,
                              const std::vector<bool>& kept) {
  std::vector<ByteRange> ranges;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const bool bridge = kept[i] && tokens[i].blank && i > 0 &&
                        i + 1 < tokens.size() && !kept[i - 1] && !kept[i + 1];
    if (kept[i] && !bridge) {
      continue;
    }
    if (!ranges.empty() && ranges.back().end == tokens[i].begin) {
      ranges.back().end = tokens[i].end;
    } else {
      ranges.push_back({tokens[i].begin, tokens[i].end});
    }
  }
  return ranges;
}

}  // namespace

WordChanges ChangedWords(std::string_view before, std::string_view after) {
  if (before.size() + after.size() > kMaxBytes) {
    return {};
  }
  const std::vector<Token> a = Tokens(before);
  const std::vector<Token> b = Tokens(after);
  std::vector<bool> a_kept(a.size(), false);
  std::vector<bool> b_kept(b.size(), false);
  if (!Matcher(before, a, after, b).Match(a_kept, b_kept)) {
    return {};
  }
  // Highlights help while the lines share most of their words; blanks do
  // not count, or any two lines would share something.
  size_t shared = 0;
  size_t total = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    if (!a[i].blank) {
      total += a[i].end - a[i].begin;
      shared += a_kept[i] ? a[i].end - a[i].begin : 0;
    }
  }
  for (size_t i = 0; i < b.size(); ++i) {
    if (!b[i].blank) {
      total += b[i].end - b[i].begin;
      shared += b_kept[i] ? b[i].end - b[i].begin : 0;
    }
  }
  if (shared * 3 < total) {
    return {};
  }
  WordChanges changes;
  changes.before = Ranges(a, a_kept);
  changes.after = Ranges(b, b_kept);
  return changes;
}

}  // namespace plimsy
