#!/usr/bin/env bash
# Times the diff screen in a real terminal (tmux) on a large working tree:
# one file with 10 000 changed lines (listed first, so it is the one drawn)
# and 500 other changed files.
#
# Usage: bench/diff_screen_bench.sh <path-to-plimsy> [repetitions]
#
# Reports the median, minimum and maximum, in milliseconds, of
#   git diff alone: the one git run that start-up makes, for reference;
#   start: command started to the first complete frame;
#   s:     key press to the frame in the other layout;
#   j:     key press to the frame scrolled by one row.
# A frame counts as complete once the difference's last row shows the
# expected line.
set -euo pipefail

source "$(dirname "$0")/common.sh"
width=200
height=50
# Rows above the difference: header, titles, separator, name, separator;
# below it, the row of key hints. The hunk's header takes the difference's
# first row, so that its last row shows line `last_line`.
first_content_row=5
last_row=$((height - 2))
last_line=$((last_row - first_content_row))

row() {
  tmux -S "$socket" capture-pane -p -t 0 -S "$1" -E "$1"
}

# Polls as fast as tmux answers until the given row matches the pattern.
wait_row() {
  local row_number=$1 pattern=$2 deadline=$(($(now_ms) + 60000))
  until [[ "$(row "$row_number")" =~ $pattern ]]; do
    if (($(now_ms) > deadline)); then
      echo "timed out waiting for /$pattern/ on row $row_number" >&2
      tmux -S "$socket" capture-pane -p -t 0 >&2
      exit 1
    fi
  done
}

line() {
  printf '%s %05d' "$1" "$2"
}

echo "Generating the repository in $work/repo" >&2
repo=$work/repo
mkdir -p "$repo/files"
cd "$repo"
new_repo .
seq -f 'line %05g' 1 10000 >big.txt
for i in $(seq -f '%03g' 1 500); do
  printf 'first\nsecond %s\nthird\n' "$i" >"files/f$i.txt"
done
git add -A
git commit -q -m base
seq -f 'LINE %05g' 1 10000 >big.txt
for i in $(seq -f '%03g' 1 500); do
  printf 'first\nSECOND %s\nthird\n' "$i" >"files/f$i.txt"
done

start_screen() {
  tmux -S "$socket" -f /dev/null new-session -d -x "$width" -y "$height" \
    -c "$repo" -e TERM=xterm-256color -e COLORTERM=truecolor \
    "$plimsy" diff
}

# In the split layout the old and the new line share a row; in the joined
# layout the 10 000 deleted lines come first.
split_row() {
  echo "$(line line "$1").*$(line LINE "$1")"
}
joined_row() {
  echo "$(line line "$1")[^L]*\$"
}

git_times=()
for _ in $(seq "$repetitions"); do
  begin=$(now_ms)
  git diff -U3 >/dev/null
  git_times+=($(($(now_ms) - begin)))
done

start_times=()
for _ in $(seq "$repetitions"); do
  tmux -S "$socket" kill-server 2>/dev/null || true
  begin=$(now_ms)
  start_screen
  wait_row "$last_row" "$(split_row "$last_line")"
  start_times+=($(($(now_ms) - begin)))
done

s_times=()
for i in $(seq $((2 * repetitions))); do
  if ((i % 2 == 1)); then
    expected=$(joined_row "$last_line")
  else
    expected=$(split_row "$last_line")
  fi
  begin=$(now_ms)
  tmux -S "$socket" send-keys -t 0 s
  wait_row "$last_row" "$expected"
  s_times+=($(($(now_ms) - begin)))
done

# Focus the difference and move its selected row past the last row of the
# view, from where every "j" scrolls the view by one row.
tmux -S "$socket" send-keys -t 0 Right
for _ in $(seq "$((last_line + 1))"); do
  tmux -S "$socket" send-keys -t 0 j
done
shown=$((last_line + 1))
wait_row "$last_row" "$(split_row "$shown")"
j_times=()
for _ in $(seq "$((2 * repetitions))"); do
  shown=$((shown + 1))
  begin=$(now_ms)
  tmux -S "$socket" send-keys -t 0 j
  wait_row "$last_row" "$(split_row "$shown")"
  j_times+=($(($(now_ms) - begin)))
done

tmux -S "$socket" send-keys -t 0 q

echo "git diff alone: $(printf '%s\n' "${git_times[@]}" | median)"
echo "start: $(printf '%s\n' "${start_times[@]}" | median)"
echo "s:     $(printf '%s\n' "${s_times[@]}" | median)"
echo "j:     $(printf '%s\n' "${j_times[@]}" | median)"
