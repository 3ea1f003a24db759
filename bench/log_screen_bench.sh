#!/usr/bin/env bash
# Times the log screen in a real terminal (tmux) on a history of 100 000
# commits on main, every hundredth of them a merge of a one-commit side
# branch (HEAD is such a merge), 1 000 more commits on the side branches.
#
# Usage: bench/log_screen_bench.sh <path-to-plimsy> [repetitions]
#
# Reports the median, minimum and maximum, in milliseconds, of
#   git cat-file alone: one commit read, the run that start-up repeats
#   for each commit it lists, for reference;
#   start: command started to the first complete frame;
#   down:  key press to the frame with the next commit selected and its
#          details shown;
# and, from one more start with a logging git first on PATH, the git runs
# that the first frame needed and those of each step down.
set -euo pipefail

source "$(dirname "$0")/common.sh"
steps=$((repetitions * 6))
commits=100000
width=200
height=50
last_row=$((height - 1))

screen() {
  tmux -S "$socket" capture-pane -p -t 0
}

# Polls as fast as tmux answers until the last row matches the first
# pattern and some row matches each of the others. FTXUI writes a frame top
# to bottom in one go, so a last row that is drawn means a whole frame.
wait_screen() {
  local deadline=$(($(now_ms) + 60000)) last=$1 shown pattern ok
  shift
  while true; do
    shown=$(screen)
    ok=0
    # Command substitution drops trailing blank rows: a full count of rows
    # means that the last one is drawn.
    if (($(wc -l <<<"$shown") == height)) &&
      grep -q -E -- "$last" <<<"$(tail -n 1 <<<"$shown")"; then
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
      echo "timed out waiting for $*" >&2
      echo "$shown" >&2
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
echo "HEAD is $(git -C "$repo" log -1 --format='%s, %p')" >&2

start_screen() {
  tmux -S "$socket" -f /dev/null new-session -d -x "$width" -y "$height" \
    -c "$repo" -e TERM=xterm-256color -e COLORTERM=truecolor \
    env "PATH=$1" "$plimsy" log
}

# The first frame: the newest commit's details, and the commit list down to
# the last row.
wait_first_frame() {
  wait_screen '^  [a-z]+ [0-9]+ ' "    title:main $commits\$"
}

head_hash=$(git -C "$repo" rev-parse HEAD)
git_times=()
for _ in $(seq $((repetitions * 4))); do
  begin=$(now_ms)
  git -C "$repo" cat-file commit "$head_hash" >/dev/null
  git_times+=($(($(now_ms) - begin)))
done

start_times=()
for _ in $(seq "$repetitions"); do
  tmux -S "$socket" kill-server 2>/dev/null || true
  begin=$(now_ms)
  start_screen "$PATH"
  wait_first_frame
  start_times+=($(($(now_ms) - begin)))
done

# The titles of the selected entry of the commit list and of the one below.
selected_title() {
  screen | awk -F'│' '/^> / { sub(/^> /, "", $1); sub(/[^0-9]+$/, "", $1); print $1 }'
}
next_title() {
  screen | awk -F'│' '
    found { sub(/^ +/, "", $1); sub(/[^0-9]+$/, "", $1); print $1; exit }
    /^> / { found = 1 }'
}

# One step down, timed unless the next entry has the same title (a commit
# listed again), whose frame could not be told from the one before.
step_down() {
  local expected
  expected=$(next_title)
  if [[ "$expected" == "$(selected_title)" ]]; then
    tmux -S "$socket" send-keys -t 0 Down
    sleep 0.5
    return
  fi
  local begin
  begin=$(now_ms)
  tmux -S "$socket" send-keys -t 0 Down
  wait_screen '^  [a-z]+ [0-9]+ ' "^> $expected [^│]*│" "    title:$expected\$"
  down_times+=($(($(now_ms) - begin)))
}

down_times=()
for _ in $(seq "$steps"); do
  step_down
done
tmux -S "$socket" send-keys -t 0 q
down_report=$(printf '%s\n' "${down_times[@]}" | median)

# Counting run: a git that logs its subcommand and then runs the real one.
real_git=$(command -v git)
mkdir "$work/bin"
cat >"$work/bin/git" <<EOF
#!/bin/sh
echo "\$1" >>"$work/git.log"
exec "$real_git" "\$@"
EOF
chmod +x "$work/bin/git"
tmux -S "$socket" kill-server 2>/dev/null || true
: >"$work/git.log"
start_screen "$work/bin:$PATH"
wait_first_frame
first_runs=$(sort "$work/git.log" | uniq -c |
  awk '{ printf "%s%s %s", sep, $1, $2; sep = ", " }')
first_total=$(wc -l <"$work/git.log")
: >"$work/git.log"
for _ in $(seq "$steps"); do
  step_down
done
step_runs=$(sort "$work/git.log" | uniq -c |
  awk '{ printf "%s%s %s", sep, $1, $2; sep = ", " }')
tmux -S "$socket" send-keys -t 0 q

echo "git cat-file alone: $(printf '%s\n' "${git_times[@]}" | median)"
echo "start: $(printf '%s\n' "${start_times[@]}" | median)"
echo "down:  $down_report"
echo "git runs for the first frame: $first_total ($first_runs)"
echo "git runs for $steps steps down: $step_runs"
