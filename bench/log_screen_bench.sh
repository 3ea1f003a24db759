#!/usr/bin/env bash
# Times the log screen in a real terminal (tmux, 200×60) on a history of
# 100 000 commits on main, every hundredth of them a merge of a one-commit
# side branch (HEAD is such a merge), 1 000 more commits on the side
# branches; tig, when installed, is timed on the same repository in the same
# run for reference.
#
# Usage: bench/log_screen_bench.sh <path-to-plimsy> [repetitions]
#
# Reports the median, minimum and maximum, in milliseconds, of
#   start: command started to the first complete frame (the commit list
#          down to the last row and the newest commit's details), without
#          and then with a commit-graph file, for plimsy and for tig;
#   down:  key press to the frame with the next commit selected and its
#          details shown;
# the git runs that the first frame needed and those of each step down;
# and, holding Page Down to the 20 000th commit, the memory (resident set)
# of plimsy against the number of commits listed. The start of a program
# that only prints its rows is timed too: the harness's own share of every
# start (tmux starting the program, and the polls).
set -euo pipefail

source "$(dirname "$0")/common.sh"
trap 'echo "failed at line $LINENO: $BASH_COMMAND" >&2' ERR
steps=$((repetitions * 6))
commits=100000
width=200
height=60

screen() {
  tmux -S "$socket" capture-pane -p -t 0
}

# Polls as fast as tmux answers until the last row matches the first
# pattern and some row matches each of the others. A frame is written top
# to bottom in one go, so a last row that is drawn means a whole frame.
# Shell builtins test the last row, so that a poll costs one tmux run.
wait_screen() {
  local deadline=$(($(now_ms) + 60000)) last=$1 shown pattern ok rows
  shift
  while true; do
    shown=$(screen)
    ok=0
    # Command substitution drops trailing blank rows: a full count of rows
    # means that the last one is drawn.
    mapfile -t rows <<<"$shown"
    if ((${#rows[@]} == height)) && [[ ${rows[height - 1]} =~ $last ]]; then
      ok=1
      for pattern in "$@"; do
        if ! grep -q -E -- "$pattern" <<<"$shown"; then
          ok=0
          break
        fi
      done
    fi
    if ((ok)); then
      return
    fi
    if (($(now_ms) > deadline)); then
      echo "timed out waiting for $last $*" >&2
      echo "$shown" >&2
      exit 1
    fi
  done
}

# One tmux server for the whole run, its pane idle between the programs
# timed, so that no start pays for the server's.
tmux -S "$socket" -f /dev/null new-session -d -x "$width" -y "$height" \
  -e TERM=xterm-256color -e COLORTERM=truecolor "sleep 100000"

# Ends what runs in the pane and waits for the pane to be blank.
clear_pane() {
  local deadline=$(($(now_ms) + 10000))
  tmux -S "$socket" respawn-pane -k -t 0 "sleep 100000"
  while [[ -n "$(screen | tr -d ' \n')" ]]; do
    if (($(now_ms) > deadline)); then
      echo "the pane did not clear" >&2
      exit 1
    fi
  done
}

echo "Generating $commits commits in $work/repo" >&2
repo=$work/repo
new_repo "$repo"
awk -v n="$commits" '
  function commit(branch, title, time, path, content, from, merge) {
    printf "commit refs/heads/%s\nmark :%d\n", branch, ++mark
    printf "author Bench <bench@example.com> %d +0000\n", time
    printf "committer Bench <bench@example.com> %d +0000\n", time
    printf "data %d\n%s\n", length(title) + 1, title
    if (from) printf "from :%d\n", from
    if (merge) printf "merge :%d\n", merge
    printf "M 100644 inline %s\ndata %d\n%s\n\n", path, length(content) + 1,
           content
    return mark
  }
  BEGIN {
    for (i = 1; i <= n; i++) {
      side = 0
      if (i % 100 == 0) {
        side = commit("side", "side " i, 1600000000 + 2 * i - 1,
                      "side/s" i % 1000 ".txt", "side " i, main)
      }
      main = commit("main", "main " i, 1600000000 + 2 * i,
                    "d" i % 100 "/f" i % 1000 ".txt", "line " i, main, side)
    }
  }' | git -C "$repo" fast-import --quiet
# A checked-out work tree, as a user has.
git -C "$repo" reset -q --hard
rm -f "$repo/.git/objects/info/commit-graph"
rm -rf "$repo/.git/objects/info/commit-graphs"
echo "HEAD is $(git -C "$repo" log -1 --format='%s, %p')" >&2

start_plimsy() {
  tmux -S "$socket" respawn-pane -k -t 0 -c "$repo" env "PATH=$1" "$plimsy" log
}

# The commit list down to the last row, and the newest commit's details.
wait_plimsy() {
  wait_screen '^  [0-9a-f]{7,} ' "    title:main $commits"
}

start_tig() {
  tmux -S "$socket" respawn-pane -k -t 0 -c "$repo" tig
}

# tig's main view down to its last row, above its status and prompt rows.
wait_tig() {
  local deadline=$(($(now_ms) + 60000)) row
  while true; do
    row=$(tmux -S "$socket" capture-pane -p -t 0 -S $((height - 3)) \
      -E $((height - 3)))
    if [[ $row =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}\  ]]; then
      return
    fi
    if (($(now_ms) > deadline)); then
      echo "timed out waiting for tig" >&2
      screen >&2
      exit 1
    fi
  done
}

# The harness's own share of a start: a program that prints its last row at
# once.
start_floor() {
  tmux -S "$socket" respawn-pane -k -t 0 sh -c \
    "seq $((height - 1)); printf floor; exec sleep 100000"
}
wait_floor() {
  until [[ "$(tmux -S "$socket" capture-pane -p -t 0 -S $((height - 1)) \
    -E $((height - 1)))" == floor ]]; do
    :
  done
}

# Times `start_$1` to `wait_$1`; prints the median line. The clock starts
# when the pane is blank, before tmux starts the program.
time_start() {
  local times=() begin
  for _ in $(seq "$repetitions"); do
    clear_pane
    begin=$(now_ms)
    if [[ $1 == plimsy ]]; then
      start_plimsy "$PATH"
    else
      "start_$1"
    fi
    "wait_$1"
    times+=($(($(now_ms) - begin)))
  done
  printf '%s\n' "${times[@]}" | median
}

have_tig=0
if command -v tig >/dev/null; then
  have_tig=1
else
  echo "tig is not installed (Debian package tig): no reference times" >&2
fi

start_report=("start of a program that only prints its rows (the harness): $(time_start floor)")
for graph in without with; do
  if [[ $graph == with ]]; then
    git -C "$repo" commit-graph write --reachable
  fi
  start_report+=("start, $graph a commit-graph: plimsy $(time_start plimsy)")
  if ((have_tig)); then
    start_report+=("start, $graph a commit-graph: tig    $(time_start tig)")
  fi
done

# The title of the selected entry of the commit list and of the one below:
# the last two words before the pane's edge.
row_title() {
  awk -F'│' '{ gsub(/[^ -~]/, "", $1); n = split($1, w, " ");
               print w[n - 1] " " w[n] }'
}
selected_title() {
  screen | grep '^> ' | row_title
}
next_title() {
  screen | grep -A1 '^> ' | tail -n 1 | row_title
}

step_down() {
  local expected begin
  expected=$(next_title)
  begin=$(now_ms)
  tmux -S "$socket" send-keys -t 0 Down
  wait_screen '^  [0-9a-f]{7,} ' "^> [0-9a-f]{7,} .*$expected *[^ ]*│" \
    "    title:$expected\$"
  down_times+=($(($(now_ms) - begin)))
}

clear_pane
start_plimsy "$PATH"
wait_plimsy
down_times=()
for _ in $(seq "$steps"); do
  step_down
done
down_report=$(printf '%s\n' "${down_times[@]}" | median)

# Holding Page Down: keys sent in bursts, memory read once each burst is
# drawn. The list holds 80 commits past the selection.
pid=$(tmux -S "$socket" display -p -t 0 '#{pane_pid}')
memory_report=()
scroll_begin=$(now_ms)
last_reported=0
while true; do
  title=$(selected_title)
  number=${title#* }
  # main k is entry (100000 - k) plus one side commit for each merge
  # above it.
  index=$((commits - number + (commits - number) / 100))
  listed=$((index + 80))
  if ((listed - last_reported >= 2500 || index >= 20000)); then
    rss=$(awk '/^VmRSS:/ { printf "%.1f", $2 / 1024 }' "/proc/$pid/status")
    memory_report+=("  $listed commits listed: $rss MiB")
    last_reported=$listed
  fi
  if ((index >= 20000)); then
    break
  fi
  tmux -S "$socket" send-keys -t 0 $(printf 'PageDown %.0s' $(seq 20))
  # The burst is drawn once the selection stops moving.
  previous=""
  while [[ "$(selected_title)" != "$previous" ]]; do
    previous=$(selected_title)
    sleep 0.2
  done
done
scroll_ms=$(($(now_ms) - scroll_begin))

# Counting run: a git that logs its subcommand and then runs the real one.
real_git=$(command -v git)
mkdir "$work/bin"
cat >"$work/bin/git" <<EOF
#!/bin/sh
echo "\$1" >>"$work/git.log"
exec "$real_git" "\$@"
EOF
chmod +x "$work/bin/git"
clear_pane
: >"$work/git.log"
start_plimsy "$work/bin:$PATH"
wait_plimsy
sleep 0.2
first_runs=$(sort "$work/git.log" | uniq -c |
  awk '{ printf "%s%s %s", sep, $1, $2; sep = ", " }')
first_total=$(wc -l <"$work/git.log")
: >"$work/git.log"
down_times=()
for _ in $(seq "$steps"); do
  step_down
done
step_runs=$(sort "$work/git.log" | uniq -c |
  awk '{ printf "%s%s %s", sep, $1, $2; sep = ", " }')
tmux -S "$socket" send-keys -t 0 q

echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%s\n' "${start_report[@]}"
echo "down:  $down_report"
echo "git runs for the first frame: $first_total ($first_runs)"
echo "git runs for $steps steps down: $step_runs"
echo "holding Page Down to the 20 000th commit: $scroll_ms ms; memory:"
printf '%s\n' "${memory_report[@]}"
