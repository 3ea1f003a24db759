#!/usr/bin/env bash
# Times the diff screen in a real terminal (tmux) on one file with 100 000
# changed lines: 50 000 lines, every one of them rewritten, so one hunk of
# 50 000 deleted and 50 000 added lines.
#
# Usage: bench/large_diff_bench.sh <path-to-plimsy> [repetitions]
#
# Reports the median, minimum and maximum, in milliseconds, from a key press
# to the first change of the screen, over twice `repetitions` presses each,
# of
#   s:         the other layout;
#   j:         the selected row one lower;
#   Page Down: pressed at the top of the difference;
# and, for reference, how long one look at the screen takes, which bounds
# how finely the others are measured.
#
# Starting a process takes about ten milliseconds here, as long as the
# frames being measured, so keys and looks go through one tmux client in
# control mode, driven by Python, instead of a tmux command each.
set -euo pipefail

source "$(dirname "$0")/common.sh"
lines=50000
width=200
height=50

echo "Generating the repository in $work/repo" >&2
repo=$work/repo
mkdir -p "$repo"
cd "$repo"
new_repo .
seq -f 'line %06g' 1 "$lines" >big.txt
git add -A
git commit -q -m base
seq -f 'LINE %06g' 1 "$lines" >big.txt

echo "Measuring $plimsy" >&2
tmux -S "$socket" -f /dev/null new-session -d -x "$width" -y "$height" \
  -c "$repo" -e TERM=xterm-256color -e COLORTERM=truecolor \
  "$plimsy" diff

python3 - "$socket" "$repetitions" <<'EOF'
import statistics
import subprocess
import sys
import time

socket, repetitions = sys.argv[1], int(sys.argv[2])
client = subprocess.Popen(
    ["tmux", "-S", socket, "-C", "attach", "-t", "0"],
    stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
    errors="replace")


def reply():
    """Reads up to the next reply to a command of ours; returns its output."""
    lines = None
    ours = False
    while True:
        line = client.stdout.readline()
        if not line:
            sys.exit("tmux closed the control client")
        line = line.rstrip("\n")
        if lines is None:
            # Notifications come between the replies; skip them.
            if line.startswith("%begin "):
                lines = []
                # The last field is 1 for the commands that the client sent;
                # the reply to attaching, which comes when it likes, has 0.
                ours = line.split(" ")[-1] == "1"
        elif line.startswith("%end ") or line.startswith("%error "):
            if ours:
                return "\n".join(lines)
            lines = None
        else:
            lines.append(line)


def command(text):
    """Runs a tmux command through the control client; returns its output."""
    client.stdin.write(text + "\n")
    client.stdin.flush()
    return reply()


def screen():
    """The screen with its attributes, so a highlight that moves shows."""
    return command("capture-pane -p -e -t 0")


def wait(condition, what):
    deadline = time.monotonic() + 120
    while not condition():
        if time.monotonic() > deadline:
            sys.exit("timed out waiting for " + what + "\n" + screen())


def settle():
    """Waits until two looks 50 ms apart agree: the drawing is done."""
    previous = screen()
    while True:
        time.sleep(0.05)
        current = screen()
        if current == previous:
            return
        previous = current


def press(key):
    """Milliseconds from sending `key` to the first change of the screen."""
    before = screen()
    begin = time.perf_counter()
    command("send-keys -t 0 " + key)
    wait(lambda: screen() != before, "a change after " + key)
    elapsed = (time.perf_counter() - begin) * 1000
    settle()
    return elapsed


def report(name, times):
    print(f"{name:<11}median {statistics.median(times):.1f} ms "
          f"(min {min(times):.1f}, max {max(times):.1f}, n {len(times)})")


size = command("display -p '#{pane_width}x#{pane_height}'")
if size != "200x50":
    sys.exit("the pane is " + size)
command("refresh-client -f no-output")
wait(lambda: "LINE 000001" in screen(), "the first frame")
settle()

looks = []
for _ in range(2 * repetitions):
    begin = time.perf_counter()
    screen()
    looks.append((time.perf_counter() - begin) * 1000)

s = [press("s") for _ in range(2 * repetitions)]
# Focus the difference: its selected row lights up.
press("Right")
j = [press("j") for _ in range(2 * repetitions)]
page_down = []
for _ in range(2 * repetitions):
    press("Home")
    page_down.append(press("NPage"))

command("send-keys -t 0 q")
report("one look:", looks)
report("s:", s)
report("j:", j)
report("Page Down:", page_down)
EOF
