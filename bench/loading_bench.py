#!/usr/bin/env python3
"""Times the first screen of large diffs and queued steps in the log, as a
terminal sees them: each program runs on a pseudo-terminal of 200x60, and
the rounds of all programs are interleaved.

Usage: bench/loading_bench.py [--rounds N] NAME=PLIMSY_BINARY...

Every NAME=PLIMSY_BINARY (for example before=/tmp/b/plimsy after=build/plimsy)
is timed, and tig beside them when installed. Fixtures, made in a scratch
folder:
  files: one file of 10 000 changed lines, listed first, and 500 short ones;
  huge:  one file of 100 000 changed lines;
  log:   a history of 500 commits of one changed line each.
Reports medians, in milliseconds, of
  diff first screen: start to the first frame showing the first file's 45th
      line (`plimsy diff HEAD~1`; `git diff HEAD~1 | plimsy` and
      `git diff HEAD~1 | tig` beside it), and to the last byte written (the
      frame after the whole diff is read); `git diff HEAD~1 >/dev/null`
      alone for reference;
  diff peak memory: the program's own largest resident set on the huge
      fixture (its git runs not counted), after its whole diff has been
      read;
  log 50 queued Down: 50 Down keys written at once after the first screen,
      to the frame showing the 51st commit's title (plimsy), and to the last
      byte written (all, tig included), with the number of `git diff` runs
      (counted by a git wrapper first on PATH);
  pager: `plimsy <200 MB of diff`: the first screen, the frame after the
      whole text is read, and the peak memory;
  hold: Down held at 30 keys a second over 100 commits, each key's time to
      the frame with its commit's title (a key whose frame takes longer than
      33 ms leaves the screen a frame behind).
"""
import argparse
import fcntl
import os
import pty
import re
import resource
import select
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import termios
import time

WIDTH, HEIGHT = 200, 60
# Styles may stand between any two characters of a marker.
SGR = rb"(?:\x1b\[[0-9;]*m)*"


def marker(text):
    return re.compile(SGR.join(re.escape(c.encode()) for c in text))


def git(repo, *args, stdin=None):
    subprocess.run(["git", "-C", repo, *args], check=True, input=stdin,
                   stdout=subprocess.DEVNULL)


def new_repo(path):
    os.makedirs(path)
    git(path, "init", "-q", "-b", "main")
    git(path, "config", "user.name", "bench")
    git(path, "config", "user.email", "bench@example.com")


def make_fixtures(work):
    files = os.path.join(work, "files")
    new_repo(files)
    os.makedirs(os.path.join(files, "d"))

    def write_all(word):
        with open(os.path.join(files, "a-big.txt"), "w") as f:
            f.writelines("%s %05d\n" % (word, i) for i in range(1, 10001))
        for i in range(1, 501):
            with open(os.path.join(files, "d", "f%03d.txt" % i), "w") as f:
                f.write("%s %d\n" % (word, i))

    write_all("line")
    git(files, "add", ".")
    git(files, "commit", "-qm", "before")
    write_all("LINE")
    git(files, "commit", "-qam", "after")

    huge = os.path.join(work, "huge")
    new_repo(huge)
    for word, message in (("line", "before"), ("LINE", "after")):
        with open(os.path.join(huge, "huge.txt"), "w") as f:
            f.writelines("%s %06d\n" % (word, i) for i in range(1, 100001))
        git(huge, "add", ".")
        git(huge, "commit", "-qm", message)

    log = os.path.join(work, "log")
    new_repo(log)
    stream = []
    for i in range(1, 501):
        content = "line %d\n" % i
        stream.append("commit refs/heads/main\nmark :%d\n" % i)
        stream.append("author B <b@example.com> %d +0000\n" % (1600000000 + i))
        stream.append("committer B <b@example.com> %d +0000\n" % (1600000000 + i))
        title = "c %d\n" % i
        stream.append("data %d\n%s" % (len(title), title))
        if i > 1:
            stream.append("from :%d\n" % (i - 1))
        stream.append("M 100644 inline f%d.txt\ndata %d\n%s\n" %
                      (i % 20, len(content), content))
    git(log, "fast-import", "--quiet", stdin="".join(stream).encode())
    git(log, "reset", "-q", "--hard")

    # 200 MB of diff for pager mode: files of 5 000 changed lines.
    patch = os.path.join(work, "big.diff")
    with open(patch, "w") as f:
        size = 0
        number = 0
        while size < 200_000_000:
            number += 1
            name = "d/f%05d.txt" % number
            text = ["diff --git a/%s b/%s\nindex 1111111..2222222 100644\n"
                    "--- a/%s\n+++ b/%s\n@@ -1,5000 +1,5000 @@\n" %
                    (name, name, name, name)]
            text += ["-old line %06d of file %05d\n" % (i, number)
                     for i in range(1, 5001)]
            text += ["+new line %06d of file %05d\n" % (i, number)
                     for i in range(1, 5001)]
            chunk = "".join(text)
            f.write(chunk)
            size += len(chunk)
    return files, huge, log, patch


def start(command, cwd, env):
    pid, fd = pty.fork()
    if pid == 0:
        os.chdir(cwd)
        os.environ.update(env)
        os.execvp(command[0], command)
    fcntl.ioctl(fd, termios.TIOCSWINSZ, struct.pack("HHHH", HEIGHT, WIDTH, 0, 0))
    return pid, fd


def read_until(fd, pattern, begin, shown=b""):
    while not pattern.search(shown):
        if time.monotonic() - begin > 60:
            sys.exit("timed out waiting for %r" % pattern.pattern)
        if select.select([fd], [], [], 1)[0]:
            try:
                shown += os.read(fd, 1 << 16)
            except OSError:
                sys.exit("ended before %r; it wrote %r" %
                         (pattern.pattern, shown[-2000:]))
    return shown


def read_until_quiet(fd, quiet=0.3):
    """The time of the last byte before `quiet` seconds without output."""
    last = time.monotonic()
    while select.select([fd], [], [], quiet)[0]:
        try:
            if not os.read(fd, 1 << 16):
                break
        except OSError:
            break
        last = time.monotonic()
    return last


def stop(pid, fd):
    """Ends the program and its git runs; returns its peak memory in KiB.

    The program's own: the rusage of a waited-for process also covers the
    children it waited for, and git's diff of a large file takes more than
    the program that reads it."""
    peak = 0
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmHWM:"):
                peak = int(line.split()[1])
    os.killpg(pid, 9)
    os.wait4(pid, 0)
    os.close(fd)
    time.sleep(0.1)
    return peak


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("programs", nargs="+")
    options = parser.parse_args()
    programs = [(name, os.path.abspath(path))
                for name, path in (p.split("=", 1) for p in options.programs)]
    tig = shutil.which("tig")
    real_git = shutil.which("git")

    work = tempfile.mkdtemp()
    try:
        files, huge, log, patch = make_fixtures(work)
        bin_dir = os.path.join(work, "bin")
        os.makedirs(bin_dir)
        runs = os.path.join(work, "runs")
        with open(os.path.join(bin_dir, "git"), "w") as f:
            f.write('#!/bin/sh\necho "$*" >>%s\nexec %s "$@"\n' % (runs, real_git))
        os.chmod(os.path.join(bin_dir, "git"), 0o755)
        counted = {"PATH": bin_dir + ":" + os.environ["PATH"],
                   "TERM": "xterm-256color"}
        plain = {"TERM": "xterm-256color"}

        results = {}

        def note(key, value):
            results.setdefault(key, []).append(value)

        def first_screen(name, command, repo, mark):
            begin = time.monotonic()
            pid, fd = start(command, repo, plain)
            read_until(fd, mark, begin)
            note(name, (time.monotonic() - begin) * 1000)
            group, label = name
            note((group, label + " (last frame)"),
                 (read_until_quiet(fd) - begin) * 1000)
            stop(pid, fd)

        for _ in range(options.rounds):
            for fixture, repo, mark in (
                    ("files", files, marker("line 00045")),
                    ("huge", huge, marker("line 000045"))):
                begin = time.monotonic()
                subprocess.run(["git", "-C", repo, "diff", "HEAD~1"],
                               stdout=subprocess.DEVNULL, check=True)
                note((fixture, "git diff alone"),
                     (time.monotonic() - begin) * 1000)
                for name, binary in programs:
                    first_screen((fixture, name + ": plimsy diff HEAD~1"),
                                 [binary, "diff", "HEAD~1"], repo, mark)
                    if name != "before":
                        first_screen(
                            (fixture, name + ": git diff HEAD~1 | plimsy"),
                            ["sh", "-c", "git diff HEAD~1 | " + binary], repo,
                            mark)
                if tig:
                    first_screen((fixture, "tig: git diff HEAD~1 | tig"),
                                 ["sh", "-c", "git diff HEAD~1 | tig"], repo,
                                 mark)

            # Peak memory once the huge diff is read whole.
            for name, binary in programs:
                pid, fd = start([binary, "diff", "HEAD~1"], huge, plain)
                read_until(fd, marker("line 000045"), time.monotonic())
                read_until_quiet(fd, 1.0)
                note(("memory", name + ": plimsy diff HEAD~1, MiB"),
                     stop(pid, fd) / 1024)
            if tig:
                pid, fd = start(["sh", "-c", "git diff HEAD~1 | tig"], huge,
                                plain)
                read_until(fd, marker("line 000045"), time.monotonic())
                read_until_quiet(fd, 1.0)
                stop(pid, fd)

            # 50 Down keys at once in the log.
            commands = [(name, [binary, "log"], marker("title:c 500"),
                         marker("title:c 450")) for name, binary in programs]
            if tig:
                commands.append(("tig", ["tig"], marker("c 451"), None))
            for name, command, first, target in commands:
                pid, fd = start(command, log, counted)
                read_until(fd, first, time.monotonic())
                read_until_quiet(fd, 0.5)
                if os.path.exists(runs):
                    os.remove(runs)
                begin = time.monotonic()
                os.write(fd, b"\x1b[B" * 50)
                if target is not None:
                    read_until(fd, target, begin)
                    note(("log", name + ": 51st commit's frame"),
                         (time.monotonic() - begin) * 1000)
                note(("log", name + ": last byte"),
                     (read_until_quiet(fd) - begin) * 1000)
                diffs = 0
                if os.path.exists(runs):
                    with open(runs) as f:
                        diffs = sum(1 for line in f if "diff" in line.split()[:3]
                                    or "diff-tree" in line)
                note(("log", name + ": git diff runs"), diffs)
                stop(pid, fd)

            # Pager mode on 200 MB: the first screen, the frame after the
            # whole text is read, and the peak memory.
            for name, binary in programs:
                if name == "before":
                    continue
                begin = time.monotonic()
                pid, fd = start(["sh", "-c", "exec %s <%s" % (binary, patch)],
                                work, plain)
                read_until(fd, marker("line 000045"), begin)
                note(("pager", name + ": 200 MB on standard input"),
                     (time.monotonic() - begin) * 1000)
                note(("pager", name + ": 200 MB, last frame"),
                     (read_until_quiet(fd, 1.0) - begin) * 1000)
                note(("pager", name + ": 200 MB, peak MiB"),
                     stop(pid, fd) / 1024)

            # Holding Down at 30 keys a second: each key's frame.
            for name, binary in programs:
                pid, fd = start([binary, "log"], log, plain)
                read_until(fd, marker("title:c 500"), time.monotonic())
                read_until_quiet(fd, 0.5)
                latencies = []
                next_key = time.monotonic()
                for k in range(1, 101):
                    time.sleep(max(0, next_key - time.monotonic()))
                    begin = time.monotonic()
                    os.write(fd, b"\x1b[B")
                    read_until(fd, marker("title:c %d" % (500 - k)), begin)
                    latencies.append((time.monotonic() - begin) * 1000)
                    next_key += 1 / 30
                note(("hold", name + ": Down at 30/s, median key to frame"),
                     statistics.median(latencies))
                note(("hold", name + ": Down at 30/s, slowest key to frame"),
                     max(latencies))
                stop(pid, fd)

        for (group, name), values in results.items():
            print("%-6s %-48s median %8.1f  (min %.1f, max %.1f, n %d)" %
                  (group, name, statistics.median(values), min(values),
                   max(values), len(values)))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
