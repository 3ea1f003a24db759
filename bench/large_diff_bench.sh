#!/usr/bin/env bash
# Times the diff screen in a real terminal (tmux) on large differences, in
# two repositories:
#   lines: one file with 100 000 changed lines (50 000 lines, every one of
#          them rewritten: one hunk of 50 000 deleted and 50 000 added
#          lines);
#   huge:  one changed line of 20 MB (a minified bundle, changed in its
#          middle).
#
# Usage: bench/large_diff_bench.sh <path-to-plimsy> [repetitions]
#
# Reports the median, minimum and maximum, in milliseconds, from a key press
# to the first change of the screen, over twice `repetitions` presses each,
# of
#   lines: s (the other layout), j (the selected row one lower) and
#          Page Down (pressed at the top of the difference);
#   huge:  Right and l (8 columns across), w (wrapping on and off), and j
#          (wrapped);
# and, for reference, how long one look at the screen takes, which bounds
# how finely the others are measured. For the huge line it also reports the
# screen's resident memory after the keys and the most it ever held, beside
# the size of the text that git printed.
#
# Starting a process takes about ten milliseconds here, as long as the
# frames being measured, so keys and looks go through one tmux client in
# control mode, driven by Python, instead of a tmux command each.
set -euo pipefail

source "$(dirname "$0")/common.sh"
lines=50000
huge_bytes=$((20 * 1024 * 1024))
width=200
height=50

echo "Generating the repositories in $work" >&2
mkdir -p "$work/lines" "$work/huge"
cd "$work/lines"
new_repo .
seq -f 'line %06g' 1 "$lines" >big.txt
git add -A
git commit -q -m base
seq -f 'LINE %06g' 1 "$lines" >big.txt

cd "$work/huge"
new_repo .
python3 -c '
import sys
size = int(sys.argv[1])
parts, length, i = [], 0, 0
while length < size:
    part = "function f%d(a,b){return a+b*%d};" % (i, i % 97)
    parts.append(part)
    length += len(part)
    i += 1
open("bundle.js", "w").write("".join(parts) + "\n")
' "$huge_bytes"
git add -A
git commit -q -m base
python3 -c '
text = open("bundle.js").read()
middle = len(text) // 2
open("bundle.js", "w").write(text[:middle] + "changed();" + text[middle:])
'
diff_bytes=$(git diff | wc -c)

driver=$work/driver.py
cat >"$driver" <<'DRIVER'
import statistics
import subprocess
import sys
import time

socket, repetitions, scenario = sys.argv[1], int(sys.argv[2]), sys.argv[3]
diff_bytes = int(sys.argv[4])
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


def text():
    """The screen's characters alone."""
    return command("capture-pane -p -t 0")


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


def memory():
    """The screen's resident memory now and at its most, in MB."""
    pid = command("display -p -t 0 '#{pane_pid}'").strip()
    fields = {}
    for line in open("/proc/%s/status" % pid):
        name, _, value = line.partition(":")
        fields[name] = value.split()
    return int(fields["VmRSS"][0]) / 1024, int(fields["VmHWM"][0]) / 1024


size = command("display -p '#{pane_width}x#{pane_height}'")
if size != "200x50":
    sys.exit("the pane is " + size)
command("refresh-client -f no-output")
first = "LINE 000001" if scenario == "lines" else "function f0"
wait(lambda: first in text(), "the first frame")
settle()

looks = []
for _ in range(2 * repetitions):
    begin = time.perf_counter()
    screen()
    looks.append((time.perf_counter() - begin) * 1000)
print(scenario + ":")
report("one look:", looks)

if scenario == "lines":
    report("s:", [press("s") for _ in range(2 * repetitions)])
    # Focus the difference: its selected row lights up.
    press("Right")
    report("j:", [press("j") for _ in range(2 * repetitions)])
    page_down = []
    for _ in range(2 * repetitions):
        press("Home")
        page_down.append(press("NPage"))
    report("Page Down:", page_down)
else:
    # Focus the difference.
    press("Right")
    report("Right:", [press("Right") for _ in range(2 * repetitions)])
    report("l:", [press("l") for _ in range(2 * repetitions)])
    report("w:", [press("w") for _ in range(2 * repetitions)])
    # Wrapped, the line takes rows enough to move down through.
    press("w")
    report("j:", [press("j") for _ in range(2 * repetitions)])
    resident, most = memory()
    text = diff_bytes / 1024 / 1024
    print(f"memory:    {resident:.1f} MB resident, {most:.1f} MB at most, "
          f"for {text:.1f} MB of diff text "
          f"({resident / text:.2f} and {most / text:.2f} times)")

command("send-keys -t 0 q")
DRIVER

for scenario in lines huge; do
  echo "Measuring $plimsy on $scenario" >&2
  tmux -S "$socket" kill-server 2>/dev/null || true
  tmux -S "$socket" -f /dev/null new-session -d -x "$width" -y "$height" \
    -c "$work/$scenario" -e TERM=xterm-256color -e COLORTERM=truecolor \
    "$plimsy" diff
  python3 "$driver" "$socket" "$repetitions" "$scenario" "$diff_bytes"
done
