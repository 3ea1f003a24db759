#ifndef PLIMSY_TESTS_LOG_HISTORY_H_
#define PLIMSY_TESTS_LOG_HISTORY_H_

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support.h"

namespace plimsy::testing {

// The lines of a command's output.
inline std::vector<std::string> OutputLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    lines.push_back(line);
  }
  return lines;
}

// One commit of a history written by fast-import.
struct Node {
  std::string label{};
  std::vector<std::string> parents{};  // labels of earlier nodes
  std::string branch = "main";
  std::string author = "Test User <test@example.com>";
  long time = 1700000000;  // committer time; the author's too unless set
  long author_time = 0;
  // fast-import file commands ("M 100644 inline path", "R old new", ...)
  // with the data of inline files.
  std::string changes{};
  std::string message{};  // the label when empty
};

inline std::string InlineFile(const std::string& path,
                              const std::string& content) {
  return "M 100644 inline " + path + "\ndata " +
         std::to_string(content.size()) + "\n" + content + "\n";
}

// Writes `nodes` with one git fast-import run and returns the hash of every
// label. A node without parents starts its branch afresh. `tags` maps tag
// names to labels.
inline std::map<std::string, std::string> Import(
    TempRepo& repo,
    const std::vector<Node>& nodes,
    const std::map<std::string, std::string>& tags = {}) {
  std::map<std::string, int> marks;
  std::string stream;
  for (const Node& node : nodes) {
    int mark = static_cast<int>(marks.size()) + 1;
    marks[node.label] = mark;
    std::string message = (node.message.empty() ? node.label : node.message);
    if (!message.ends_with('\n')) {
      message += "\n";
    }
    if (node.parents.empty()) {
      stream += "reset refs/heads/" + node.branch + "\n";
    }
    const long author_time = node.author_time ? node.author_time : node.time;
    stream += "commit refs/heads/" + node.branch +
              "\nmark :" + std::to_string(mark) + "\nauthor " + node.author +
              " " + std::to_string(author_time) + " +0000\ncommitter " +
              node.author + " " + std::to_string(node.time) + " +0000\ndata " +
              std::to_string(message.size()) + "\n" + message;
    for (std::size_t i = 0; i < node.parents.size(); ++i) {
      stream += (i == 0 ? "from :" : "merge :") +
                std::to_string(marks.at(node.parents[i])) + "\n";
    }
    stream += node.changes + "\n";
  }
  for (const auto& [tag, label] : tags) {
    stream += "reset refs/tags/" + tag +
              "\nfrom :" + std::to_string(marks.at(label)) + "\n\n";
  }
  std::string marks_file = repo.path() + "/.git/test-marks";
  repo.Git(
      {"fast-import", "--quiet", "--force", "--export-marks=" + marks_file},
      stream);

  std::map<int, std::string> hash_of_mark;
  std::ifstream in(marks_file);
  std::string mark;
  std::string hash;
  while (in >> mark >> hash) {
    hash_of_mark[std::stoi(mark.substr(1))] = hash;
  }
  std::map<std::string, std::string> hashes;
  for (const auto& [label, number] : marks) {
    hashes[label] = hash_of_mark[number];
  }
  return hashes;
}

// c0 … c<length - 1> on main, a minute apart from `start`; each writes one
// of ten files f0.txt … f9.txt.
inline std::vector<Node> LinearHistory(int length, long start = 1700000000) {
  std::vector<Node> nodes;
  for (int i = 0; i < length; ++i) {
    const std::string n = std::to_string(i);
    Node node{.label = "c" + n, .time = start + i * 60};
    if (i > 0) {
      node.parents = {"c" + std::to_string(i - 1)};
    }
    node.changes = InlineFile("f" + std::to_string(i % 10) + ".txt", n + "\n");
    nodes.push_back(node);
  }
  return nodes;
}

// Thirty pull requests, each a branch pr-<i> of three commits merged into
// main with a merge commit ("merge <i>"). Every third one overlaps a
// direct commit on main ("fix <i>"), which is dated between the branch's
// commits; the branch's author dates run backwards. Tags v1 and v2 mark
// merges 10 and 20; branch "topic" leaves merge 25 with two commits of its
// own. lib/old.txt is renamed to lib/new.txt by pr 7 and changed by pr 12.
inline std::vector<Node> PullRequestHistory() {
  const std::string alice = "Alice <alice@example.com>";
  const std::string bob = "Bob <bob@example.com>";
  const long t = 1700000000;
  std::vector<Node> nodes;
  nodes.push_back({.label = "root",
                   .time = t,
                   .changes = InlineFile("README", "readme\n") +
                              InlineFile("lib/old.txt", "old\n") +
                              InlineFile("docs/notes.txt", "notes\n")});
  std::string main_tip = "root";
  for (int i = 1; i <= 30; ++i) {
    const std::string n = std::to_string(i);
    std::string tip = main_tip;
    // fast-import takes a merge's tree as given: the branch's changes again.
    std::string merged;
    for (int j = 1; j <= 3; ++j) {
      const std::string label = "pr" + n + "." + std::to_string(j);
      Node node{.label = label,
                .parents = {tip},
                .branch = "pr-" + n,
                .author = i % 2 ? alice : bob,
                .time = t + i * 100 + j * 20,
                .author_time = t + i * 100 + (4 - j) * 20,
                .changes = InlineFile(
                    "src/pr" + n + "/part" + std::to_string(j) + ".txt",
                    label + "\n")};
      if (i == 7 && j == 2) {
        node.changes += "R lib/old.txt lib/new.txt\n";
      }
      if (i == 12 && j == 1) {
        node.changes += InlineFile("lib/new.txt", "old\nnew\n");
      }
      merged += node.changes;
      nodes.push_back(node);
      tip = label;
    }
    if (i % 3 == 0) {
      nodes.push_back(
          {.label = "fix" + n,
           .parents = {main_tip},
           .author = bob,
           .time = t + i * 100 + 30,
           .changes = InlineFile("docs/notes.txt", "fix " + n + "\n"),
           .message = "FIX: notes for " + n});
      main_tip = "fix" + n;
    }
    nodes.push_back({.label = "merge" + n,
                     .parents = {main_tip, tip},
                     .author = alice,
                     .time = t + i * 100 + 90,
                     .changes = merged,
                     .message = "Merge pull request #" + n});
    main_tip = "merge" + n;
  }
  std::string tip = "merge25";
  for (int k = 1; k <= 2; ++k) {
    const std::string label = "topic" + std::to_string(k);
    nodes.push_back({.label = label,
                     .parents = {tip},
                     .branch = "topic",
                     .author = "Carol <carol@example.com>",
                     .time = t + 2600 + k * 7,
                     .changes = InlineFile("src/topic.txt", label + "\n")});
    tip = label;
  }
  // Leaves main checked out at its tip.
  nodes.push_back({.label = "head",
                   .parents = {main_tip},
                   .time = t + 3200,
                   .changes = InlineFile("README", "readme 2\n")});
  return nodes;
}

}  // namespace plimsy::testing

#endif  // PLIMSY_TESTS_LOG_HISTORY_H_
