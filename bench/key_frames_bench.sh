#!/usr/bin/env bash
# Counts the frames that each key press makes the screens write, in a real
# terminal: the binary runs under script(1) inside a tmux pane, and
# script's timing log gives every chunk of input and output its time. A
# frame is a burst of output; chunks less than 5 ms apart belong to the
# same burst (FTXUI writes a frame in one go, and nothing redraws faster
# than its 15 ms animation tick).
#
# Usage: bench/key_frames_bench.sh <path-to-plimsy> [repetitions]
#
# For the diff screen (300 changed files) and the log screen (3 000
# commits), reports per key: the bursts written after it (median, min,
# max), the time from the key to the last byte written, and the bursts
# written while the screen sat idle for a second before the keys.
set -euo pipefail

source "$(dirname "$0")/common.sh"
width=200
height=60
pause=0.6

echo "Generating the repositories in $work" >&2
diff_repo=$work/diff
new_repo "$diff_repo"
mkdir "$diff_repo/files"
for i in $(seq -f '%03g' 1 300); do
  printf 'first\nsecond %s\nthird\n' "$i" >"$diff_repo/files/f$i.txt"
done
git -C "$diff_repo" add -A
git -C "$diff_repo" commit -q -m base
for i in $(seq -f '%03g' 1 300); do
  printf 'first\nSECOND %s\nthird\n' "$i" >"$diff_repo/files/f$i.txt"
done

log_repo=$work/log
new_repo "$log_repo"
awk -v n=3000 'BEGIN {
  for (i = 1; i <= n; i++) {
    printf "commit refs/heads/main\nmark :%d\n", i
    printf "author Bench <bench@example.com> %d +0000\n", 1600000000 + i
    printf "committer Bench <bench@example.com> %d +0000\n", 1600000000 + i
    printf "data %d\nmain %d\n", length("main " i) + 1, i
    if (i > 1) printf "from :%d\n", i - 1
    printf "M 100644 inline f%d.txt\ndata %d\nline %d\n\n", i % 50,
           length("line " i) + 1, i
  }
}' | git -C "$log_repo" fast-import --quiet

# Runs `plimsy <command>` under script in a fresh tmux pane, waits for
# `ready` on the screen, lets it settle, sits idle for a second, then sends
# each key of `keys` `repetitions` times, `pause` seconds apart, and quits.
# Leaves the timing log in $work/timing.
record() {
  local dir=$1 command=$2 ready=$3
  shift 3
  tmux -S "$socket" kill-server 2>/dev/null || true
  rm -f "$work/timing"
  tmux -S "$socket" -f /dev/null new-session -d -x "$width" -y "$height" \
    -c "$dir" -e TERM=xterm-256color -e COLORTERM=truecolor \
    script -q -f -E never -m advanced -T "$work/timing" -I /dev/null \
    -O /dev/null -c "$plimsy $command"
  local deadline=$(($(now_ms) + 60000))
  until tmux -S "$socket" capture-pane -p -t 0 | grep -q -- "$ready"; do
    if (($(now_ms) > deadline)); then
      echo "timed out waiting for $ready" >&2
      exit 1
    fi
    sleep 0.05
  done
  # A second to settle, then the idle second before the first key.
  sleep 2
  local key
  for key in "$@"; do
    for _ in $(seq "$repetitions"); do
      tmux -S "$socket" send-keys -t 0 "$key"
      sleep "$pause"
    done
  done
  tmux -S "$socket" send-keys -t 0 q
  deadline=$(($(now_ms) + 10000))
  until grep -q '^H [0-9.]* EXIT_CODE' "$work/timing" 2>/dev/null; do
    if (($(now_ms) > deadline)); then
      echo "the screen did not quit" >&2
      exit 1
    fi
    sleep 0.05
  done
}

# Prints a first line with the bursts written in the second before the
# first input, then one line per input chunk: its time and, after it until
# the next input, the number of output bursts, the bytes and the time to
# the last byte (ms).
per_input() {
  awk '
    $1 == "H" { next }
    { t += $2 }
    $1 == "O" { out[++outs] = t }
    $1 == "I" {
      if (!n) idle()
      if (n) print_key()
      n = 1; t0 = t; bursts = 0; bytes = 0; last = t; seen = 0
      next
    }
    $1 == "O" && n {
      if (!seen || t - last > 0.005) bursts++
      seen = 1; last = t; bytes += $3
    }
    function idle(  i, count, previous) {
      count = 0; previous = -1
      for (i = 1; i <= outs; i++) {
        if (out[i] < t - 1) continue
        if (previous < 0 || out[i] - previous > 0.005) count++
        previous = out[i]
      }
      printf "%.3f %d 0 0\n", t, count
    }
    function print_key() {
      printf "%.3f %d %d %.1f\n", t0, bursts, bytes, seen ? (last - t0) * 1000 : 0
    }
    END { if (n) print_key() }' "$work/timing"
}

median_of() {
  sort -n | awk '{ v[NR] = $1 } END {
    printf "median %s (min %s, max %s, n %d)", v[int((NR + 1) / 2)], v[1], v[NR], NR }'
}

# Reports the idle second and each group of `repetitions` keys, named by
# the arguments.
report() {
  local screen=$1
  shift
  local lines
  lines=$(per_input)
  # The first line is the idle second, the last is q.
  local idle
  idle=$(head -n 1 <<<"$lines" | awk '{ print $2 }')
  echo "$screen: bursts while idle for 1 s: $idle"
  local index=2 name keys
  for name in "$@"; do
    keys=$(sed -n "${index},$((index + repetitions - 1))p" <<<"$lines")
    echo "$screen $name: bursts $(awk '{ print $2 }' <<<"$keys" | median_of);" \
      "to last byte $(awk '{ print $4 }' <<<"$keys" | median_of) ms"
    index=$((index + repetitions))
  done
}

record "$diff_repo" diff "f001.txt" j k Up End '?' Tab
report diff "j (file list, next file)" "k (file list, back)" \
  "Up (file list, at the top)" "End (file list)" \
  "? (the help, opened and closed in turn)" "Tab (the next pane)"
# Keys within the commits listed at start: a step past them reads more
# commits from git first, which is not what is measured here.
record "$log_repo" log "title:main 3000" j Down k Home '?' Tab
report log "j (commit list, next commit)" "Down (commit list)" \
  "k (commit list, back)" "Home (commit list)" \
  "? (the help, opened and closed in turn)" "Tab (the next pane)"
