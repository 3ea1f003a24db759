#!/usr/bin/env bash
# Times the log screen at 200×60 (on a pseudo-terminal, and in tmux for the
# keys) on a history of
# 100 000 commits on main, every hundredth of them a merge of a one-commit
# side branch (HEAD is such a merge), 1 000 more commits on the side
# branches; tig, when installed, is timed on the same repository in the same
# run for reference.
#
# Usage: bench/log_screen_bench.sh <path-to-plimsy> [repetitions]
#
# Reports the median, minimum and maximum, in milliseconds, of
#   start: command started on a pseudo-terminal (python3 runs it) to the
#          first complete screen (down to the last row of the commit list),
#          without and then with a commit-graph file, for plimsy and for
#          tig, and for a program that only prints its rows (the share of
#          process start-up that every program pays);
#   down:  Down pressed to the frame with the next commit's details, on the
#          pseudo-terminal too;
# the git runs that the first frame needed and those of each step down;
# and, holding Page Down to the 20 000th commit, the memory (resident set)
# of plimsy against the number of commits listed.
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

# Polls as fast as tmux answers until the last row of the commit list (the
# row above the key hints) matches the first pattern and some row matches
# each of the others. A frame is written top to bottom in one go, so a
# drawn row of hints below it means a whole frame. Shell builtins test the
# rows, so that a poll costs one tmux run.
wait_screen() {
  local deadline=$(($(now_ms) + 60000)) last=$1 shown pattern ok rows
  shift
  while true; do
    shown=$(screen)
    ok=0
    # Command substitution drops trailing blank rows: a full count of rows
    # means that the last one is drawn.
    mapfile -t rows <<<"$shown"
    if ((${#rows[@]} == height)) && [[ ${rows[height - 2]} =~ $last ]]; then
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

# Times programs as a terminal sees them, on a pseudo-terminal of the
# screen's size:
#   start <marker> <command...>: from starting the program to the moment
#     its output holds <marker>, the text of the last row of its first full
#     screen; once per repetition;
#   steps <marker> <count> <command...>: starts the program, waits for
#     <marker>, then presses Down <count> times, each time until the output
#     that follows shows the details' title of the next entry of the
#     100 000-commit history.
# Prints one time in milliseconds a line.
cat >"$work/pty_time.py" <<'PY'
import fcntl, os, pty, re, select, struct, sys, termios, time
mode, repo, width, height, repetitions, commits, marker = sys.argv[1:8]
rest = sys.argv[8:]

def start(command):
    pid, fd = pty.fork()
    if pid == 0:
        os.chdir(repo)
        os.environ["TERM"] = "xterm-256color"
        os.execvp(command[0], command)
    fcntl.ioctl(fd, termios.TIOCSWINSZ,
                struct.pack("HHHH", int(height), int(width), 0, 0))
    return pid, fd

def wait(fd, pattern, begin):
    shown = b""
    while not pattern.search(shown):
        if time.monotonic() - begin > 60:
            sys.exit("timed out waiting for " + pattern.pattern.decode())
        if select.select([fd], [], [], 1)[0]:
            try:
                shown += os.read(fd, 65536)
            except OSError:
                sys.exit("the program ended before " + pattern.pattern.decode())

# The program leads a session of its own: its whole process group goes,
# the git runs that it started included, before the next start is timed.
def stop(pid, fd):
    os.killpg(pid, 9)
    os.waitpid(pid, 0)
    os.close(fd)
    time.sleep(0.2)

last_row = re.compile(re.escape(marker.encode()))
if mode == "start":
    for _ in range(int(repetitions)):
        begin = time.monotonic()
        pid, fd = start(rest)
        wait(fd, last_row, begin)
        print(round((time.monotonic() - begin) * 1000))
        stop(pid, fd)
else:
    count, command = int(rest[0]), rest[1:]
    pid, fd = start(command)
    wait(fd, last_row, time.monotonic())
    time.sleep(0.5)
    for k in range(1, count + 1):
        title = "side" if k == 1 else "main"
        number = int(commits) + (0 if k == 1 else 1 - k)
        # The title's value follows its label after the label's styles.
        shown = re.compile(b"title:(\x1b\\[[0-9;]*m)*%s %d\\b" %
                           (title.encode(), number))
        begin = time.monotonic()
        os.write(fd, b"\x1b[B")
        wait(fd, shown, begin)
        print(round((time.monotonic() - begin) * 1000))
        time.sleep(0.05)
    stop(pid, fd)
PY
pty_time() {
  python3 "$work/pty_time.py" "$1" "$repo" "$width" "$height" "$repetitions" \
    "$commits" "${@:2}" | median
}

have_tig=0
if command -v tig >/dev/null; then
  have_tig=1
else
  echo "tig is not installed (Debian package tig): no reference times" >&2
fi

# The last rows of the first screens: plimsy lists entry k >= 2 as main
# (commits + 1 - k) in its rows 3 to height - 2, above its row of key
# hints; tig in its rows 0 to height - 3.
plimsy_last="main $((commits + 1 - (height - 5)))"
tig_last="main $((commits + 1 - (height - 3)))"
start_report=("start of a program that only prints its rows: $(pty_time start floor sh -c "seq $((height - 1)); printf floor; sleep 100")")
for graph in without with; do
  if [[ $graph == with ]]; then
    git -C "$repo" commit-graph write --reachable
  fi
  start_report+=("start, $graph a commit-graph: plimsy $(pty_time start "$plimsy_last" "$plimsy" log)")
  if ((have_tig)); then
    start_report+=("start, $graph a commit-graph: tig    $(pty_time start "$tig_last" tig)")
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

down_report=$(pty_time steps "$plimsy_last" "$steps" "$plimsy" log)

clear_pane
start_plimsy "$PATH"
wait_plimsy

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
