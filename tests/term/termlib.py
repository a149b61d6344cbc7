# Drives glimmerdeep-term in a pseudo-terminal and keeps an emulated screen
# of what it wrote (pyte), so tests can compare the terminal with the replay
# driver's screens, resize it, signal it and look at how it left the
# terminal.
import fcntl
import os
import select
import signal
import struct
import subprocess
import termios
import time

import pyte

# ncurses sends colours as ANSI colour numbers; the page's colours are CGA
# numbers (blue 1, red 4).
CGA_TO_ANSI = [0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15]

# The renditions that set fields to fixed values (blink in strikethrough).
SGR_FIELDS = {
    0: dict(fg="default", bg="default", bold=False, reverse=False, strikethrough=False,
            underscore=False),
    1: dict(bold=True), 22: dict(bold=False),
    5: dict(strikethrough=True), 25: dict(strikethrough=False),
    7: dict(reverse=True), 27: dict(reverse=False),
    39: dict(fg="default"), 49: dict(bg="default"),
}


class Screen(pyte.Screen):
    """A pyte screen that records colours as ANSI numbers (fg, bg) and the
    blink attribute (which this pyte does not know) in the strikethrough
    field, which the program never uses."""

    def erase_in_display(self, how=0, *args, **kwargs):
        # pyte erases only the cells of a row that were ever written; a
        # terminal erases the whole row in the current colours.
        super().erase_in_display(how, *args, **kwargs)
        rows = {0: range(self.cursor.y + 1, self.lines), 1: range(self.cursor.y)}.get(
            how, range(self.lines))
        for y in rows:
            for x in range(self.columns):
                self.buffer[y][x] = self.cursor.attrs

    def select_graphic_rendition(self, *attrs, **kwargs):
        attrs = list(attrs) or [0]
        a = self.cursor.attrs
        while attrs:
            n = attrs.pop(0)
            if n in SGR_FIELDS:
                a = a._replace(**SGR_FIELDS[n])
            elif 30 <= n <= 37:
                a = a._replace(fg=n - 30)
            elif 90 <= n <= 97:
                a = a._replace(fg=n - 90 + 8)
            elif 40 <= n <= 47:
                a = a._replace(bg=n - 40)
            elif 100 <= n <= 107:
                a = a._replace(bg=n - 100 + 8)
            elif n in (38, 48) and attrs:
                kind = attrs.pop(0)
                if kind == 5 and attrs:
                    v = attrs.pop(0)
                elif kind == 2 and len(attrs) >= 3:
                    v = "#%02x%02x%02x" % tuple(attrs[:3])
                    del attrs[:3]
                else:
                    continue
                a = a._replace(fg=v) if n == 38 else a._replace(bg=v)
        self.cursor.attrs = a


class Term:
    def __init__(self, program, args=(), rows=25, cols=80, env=None, controlling=True):
        self.master, slave = os.openpty()
        self.set_size(rows, cols, fd=slave)
        self.slave_modes = termios.tcgetattr(slave)
        e = dict(os.environ)
        e.update({"TERM": "xterm-256color", "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8"})
        e.update(env or {})
        self.raw = bytearray()
        self.screen = Screen(cols, rows)
        self.stream = pyte.ByteStream(self.screen)

        def child():
            os.setsid()
            # Without a controlling terminal nobody sends the program SIGHUP
            # when the terminal goes away: it has to notice by itself.
            if controlling:
                fcntl.ioctl(0, termios.TIOCSCTTY, 0)

        self.proc = subprocess.Popen([program, *args], stdin=slave, stdout=slave, stderr=slave,
                                     env=e, preexec_fn=child, close_fds=True)
        self.slave = slave  # kept open: the terminal's modes are read after the end

    def set_size(self, rows, cols, fd=None):
        fcntl.ioctl(self.master if fd is None else fd, termios.TIOCSWINSZ,
                    struct.pack("HHHH", rows, cols, 0, 0))

    def resize(self, rows, cols):
        self.screen.resize(rows, cols)
        self.set_size(rows, cols)

    def pump(self, timeout):
        r, _, _ = select.select([self.master], [], [], timeout)
        if not r:
            return False
        try:
            data = os.read(self.master, 65536)
        except OSError:
            return False
        if not data:
            return False
        self.raw += data
        self.stream.feed(data)
        return True

    def send(self, data):
        os.write(self.master, data)

    def wait_for(self, predicate, timeout=10.0):
        end = time.monotonic() + timeout
        while True:
            if predicate():
                return True
            left = end - time.monotonic()
            if left <= 0:
                return False
            self.pump(min(left, 0.05))

    def quiet(self, seconds=0.3):
        """Reads until nothing arrives for a while."""
        while self.pump(seconds):
            pass

    def text_rows(self):
        return [self.screen.buffer[y] for y in range(self.screen.lines)]

    def row_text(self, y, width=80):
        line = self.screen.buffer[y]
        return "".join(line[x].data for x in range(width)).rstrip()

    def finish(self, timeout=10.0, key=None):
        """Waits for the program to end; its status, or None when it did not.
        A key is sent at once and again every half second while it runs: end
        program empties the keyboard buffer after showing its prompt, so a
        key sent the moment the prompt appears may be emptied away."""
        end = time.monotonic() + timeout
        sent = 0.0
        while self.proc.poll() is None and time.monotonic() < end:
            if key is not None and time.monotonic() - sent >= 0.5:
                self.send(key)
                sent = time.monotonic()
            self.pump(0.05)
        self.quiet(0.1)
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
            return None
        return self.proc.returncode

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        for fd in (self.master, self.slave):
            try:
                os.close(fd)
            except OSError:
                pass


def parse_replay(output, attributes=True):
    """The replay driver's screens: (kind, (row, col), rows, attribute rows)."""
    lines = output.split("\n")
    screens = []
    i = 0
    while i < len(lines):
        line = lines[i]
        if line.startswith("=== screen "):
            parts = line.split()
            kind = parts[3]
            row, col = (int(v) for v in parts[5].split(","))
            rows = lines[i + 1:i + 26]
            attrs = lines[i + 26:i + 51] if attributes else []
            screens.append((kind, (row, col), rows, attrs))
            i += 51 if attributes else 26
        else:
            i += 1
    return screens


def screen_differences(term, expected, check_cursor=True):
    """What differs between the emulated terminal and one replay screen."""
    kind, (row, col), rows, attrs = expected
    problems = []
    for y in range(25):
        got = term.row_text(y)
        if got != rows[y]:
            problems.append("row %d: %r != %r" % (y + 1, got, rows[y]))
            continue
        line = term.screen.buffer[y]
        for x in range(80):
            a = int(attrs[y][2 * x:2 * x + 2], 16)
            want = (CGA_TO_ANSI[a & 15], CGA_TO_ANSI[(a >> 4) & 7], bool(a & 0x80))
            c = line[x]
            have = (c.fg, c.bg, c.strikethrough)
            if have != want:
                problems.append("row %d col %d: colours %r != %r" % (y + 1, x + 1, have, want))
                break
    if check_cursor:
        cur = term.screen.cursor
        if kind == "input" and (cur.hidden or (cur.y + 1, cur.x + 1) != (row, col)):
            problems.append("cursor %r at %d,%d, expected shown at %d,%d" %
                            (not cur.hidden, cur.y + 1, cur.x + 1, row, col))
    return problems


def restored(term):
    """How the program left the terminal: the problems found."""
    raw = bytes(term.raw)
    problems = []
    if raw.rfind(b"\x1b[?1049h") > raw.rfind(b"\x1b[?1049l"):
        problems.append("the alternate screen was not left")
    if raw.rfind(b"\x1b[?25l") > raw.rfind(b"\x1b[?25h"):
        problems.append("the cursor was left hidden")
    if raw.rfind(b"\x1b[?1h") > raw.rfind(b"\x1b[?1l"):
        problems.append("the keypad mode was left on")
    modes = termios.tcgetattr(term.slave)
    want = term.slave_modes
    for index, name in ((0, "input"), (1, "output"), (3, "local")):
        if modes[index] != want[index]:
            problems.append("terminal %s modes not restored: %#x != %#x" %
                            (name, modes[index], want[index]))
    return problems
