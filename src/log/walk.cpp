#include "log/walk.h"

#include <algorithm>
#include <utility>

namespace plimsy::log {
namespace {

// The next line of `text`, without its newline, which is consumed.
std::string_view NextLine(std::string_view& text) {
  std::size_t end = text.find('\n');
  std::string_view line = text.substr(0, end);
  text =
      end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  return line;
}

std::string ShortRefName(std::string_view name) {
  for (std::string_view prefix :
       {"refs/heads/", "refs/remotes/", "refs/tags/"}) {
    if (name.starts_with(prefix)) {
      return std::string(name.substr(prefix.size()));
    }
  }
  return std::string(name);
}

RefLabel LabelOf(std::string_view item) {
  if (item.starts_with("HEAD -> ")) {
    return {RefKind::kHead, "HEAD -> " + ShortRefName(item.substr(8))};
  }
  if (item == "HEAD") {
    return {RefKind::kHead, "HEAD"};
  }
  if (item.starts_with("tag: ")) {
    return {RefKind::kTag, "tag: " + ShortRefName(item.substr(5))};
  }
  if (item.starts_with("refs/heads/")) {
    return {RefKind::kBranch, ShortRefName(item)};
  }
  if (item.starts_with("refs/remotes/")) {
    return {RefKind::kRemote, ShortRefName(item)};
  }
  return {RefKind::kOther, std::string(item)};
}

}  // namespace

std::vector<RefLabel> ParseDecorations(std::string_view text) {
  std::vector<RefLabel> labels;
  // Reference names hold no blanks, so ", " only ever separates labels.
  while (!text.empty()) {
    std::size_t end = text.find(", ");
    std::string_view item = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view()
                                         : text.substr(end + 2);
    if (item.empty()) {
      continue;
    }
    RefLabel label = LabelOf(item);
    if (std::find(labels.begin(), labels.end(), label) == labels.end()) {
      labels.push_back(std::move(label));
    }
  }
  return labels;
}

bool ParseLogRecord(std::string_view record,
                    Commit& commit,
                    std::vector<std::string>& walk_parents,
                    std::vector<RefLabel>& labels) {
  std::string_view first = NextLine(record);
  if (!first.starts_with("commit ")) {
    return false;
  }
  first.remove_prefix(7);
  std::size_t space = first.find(' ');
  std::string_view hash = first.substr(0, space);
  if (!IsObjectName(hash)) {
    return false;
  }
  commit.hash = hash;
  walk_parents.clear();
  labels.clear();
  std::string_view rest = space == std::string_view::npos
                              ? std::string_view()
                              : first.substr(space + 1);
  while (!rest.empty() && rest.front() != '(') {
    space = rest.find(' ');
    std::string_view parent = rest.substr(0, space);
    if (!IsObjectName(parent)) {
      break;
    }
    walk_parents.emplace_back(parent);
    rest = space == std::string_view::npos ? std::string_view()
                                           : rest.substr(space + 1);
  }
  if (rest.size() >= 2 && rest.front() == '(' && rest.back() == ')') {
    labels = ParseDecorations(rest.substr(1, rest.size() - 2));
  }

  // The object again, with the message's indentation taken off.
  std::string object;
  object.reserve(record.size());
  bool in_header = true;
  while (!record.empty()) {
    std::string_view line = NextLine(record);
    if (!in_header && line.starts_with("    ")) {
      line.remove_prefix(4);
    }
    in_header = in_header && !line.empty();
    object.append(line);
    object.push_back('\n');
  }
  ParseCommitObject(object, commit);
  return true;
}

}  // namespace plimsy::log
