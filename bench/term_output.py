#!/usr/bin/python3
# glimmerdeep-term's output and idle cost, in a pseudo-terminal (80 x 25,
# TERM=xterm-256color, UTF-8):
#   - bytes written per typed key at the main menu's prompt (a digit and a
#     Backspace, each echoed);
#   - bytes written per scene change (Enter on a choice until the new
#     screen is complete);
#   - processor time used while idle at a prompt.
# Usage: bench/term_output.py build/glimmerdeep-term [IDLE_SECONDS]
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "term"))
import termlib  # noqa: E402

program = sys.argv[1]
idle_seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
term = termlib.Term(program)
term.wait_for(lambda: "What is your choice" in term.row_text(21))
term.quiet(0.3)
print("first screen: %d bytes" % len(term.raw))


def cost(data, done):
    before = len(term.raw)
    term.send(data)
    term.wait_for(done)
    term.quiet(0.2)
    return len(term.raw) - before


keys = []
for _ in range(20):
    keys.append(cost(b"1", lambda: term.row_text(21).endswith("?? 1")))
    keys.append(cost(b"\x7f", lambda: not term.row_text(21).endswith("1")))
print("typed key: %.1f bytes on average (min %d, max %d, %d keys)" %
      (sum(keys) / len(keys), min(keys), max(keys), len(keys)))

scenes = [
    ("main menu -> chapter 1", b"1\r", lambda: "Chapter 1" in term.row_text(2)),
    ("chapter 1 -> newspaper", b"1\r", lambda: "Press Enter" in "".join(
        term.row_text(y) for y in range(25))),
    ("newspaper -> chapter 1", b"\r", lambda: "Chapter 1" in term.row_text(2)),
    ("chapter 1 -> quit question", b"7\r", lambda: "Are you sure" in "".join(
        term.row_text(y) for y in range(25))),
    ("quit question -> chapter 1", b"2\r", lambda: "Chapter 1" in term.row_text(2)),
]
for name, data, done in scenes:
    print("scene change %s: %d bytes" % (name, cost(data, done)))

pid = term.proc.pid


def cpu_seconds():
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


term.quiet(0.5)
start_cpu, start = cpu_seconds(), time.monotonic()
time.sleep(idle_seconds)
used, wall = cpu_seconds() - start_cpu, time.monotonic() - start
print("idle at a prompt: %.3f s of processor time in %.1f s (%.3f %%)" %
      (used, wall, 100.0 * used / wall))
term.send(b"\x03")
term.finish()
term.close()
