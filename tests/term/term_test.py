#!/usr/bin/python3
# glimmerdeep-term in a pseudo-terminal, against the replay driver.
#
#   term_test.py TERM REPLAY screens KEYS   every screen of the replay of KEYS,
#                                           text, colours, blink and cursor,
#                                           appears in the terminal in turn
#   term_test.py TERM REPLAY resize         a small terminal shows the message
#                                           and keeps the game; back to 80 x 25
#                                           the page returns
#   term_test.py TERM REPLAY signals        Ctrl+C, SIGTERM, SIGHUP, SIGINT end
#                                           with status 0, a crash signal is
#                                           raised again; the terminal is
#                                           restored every time
#   term_test.py TERM REPLAY dialogs PROBE  the error dialogs drawn in the
#                                           terminal: caption, text, buttons;
#                                           Yes goes on, No and OK end (status 0)
#   term_test.py TERM REPLAY plain EXPECTED a script piped through --plain gives
#                                           the expected text; the end of the
#                                           input ends with status 0
import os
import signal
import subprocess
import time
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import termlib  # noqa: E402

TERM, REPLAY, CASE = sys.argv[1:4]
failures = []


def fail(message):
    failures.append(message)
    print("FAIL:", message)


def replay_screens(keys):
    out = subprocess.run([REPLAY, "--attributes", "-"], input=keys.encode(),
                         capture_output=True, check=False).stdout.decode()
    return termlib.parse_replay(out)


def wait_screen(term, expected, what):
    if term.wait_for(lambda: not termlib.screen_differences(term, expected), timeout=10):
        return True
    fail("%s: %s" % (what, "; ".join(termlib.screen_differences(term, expected)[:5])))
    return False


def type_line(term, line):
    term.send(line.encode() + b"\r")


def case_screens(keys_path):
    keys = open(keys_path, encoding="utf-8").read()
    lines = keys.split("\n")[:-1]
    screens = replay_screens(keys)
    term = termlib.Term(TERM)
    try:
        for i, expected in enumerate(screens):
            if not wait_screen(term, expected, "screen %d (%s)" % (i + 1, expected[0])):
                break
            if expected[0] == "end":
                break
            if expected[0] == "input" and i < len(lines):
                type_line(term, lines[i])
        if expected[0] == "end":
            how = "end program's key"
            status = term.finish(key=b"x")  # any key after "Press any key to continue"
        else:
            how = "Ctrl+C"
            term.send(b"\x03")  # Break
            status = term.finish()
        if status != 0:
            fail("%s ended with status %r" % (how, status))
        for p in termlib.restored(term):
            fail(p)
    finally:
        term.close()


def case_resize():
    screens = replay_screens("1\n")
    term = termlib.Term(TERM)
    try:
        wait_screen(term, screens[0], "main menu")
        term.resize(20, 60)
        if not term.wait_for(lambda: any("at least 80 x 25" in term.row_text(y, 60)
                                         for y in range(20))):
            fail("no message in a 60 x 20 terminal: %r" % [term.row_text(y, 60) for y in range(6)])
        # Keys typed meanwhile are not taken: the game waits at its menu.
        type_line(term, "1")
        term.quiet(0.3)
        term.resize(30, 100)
        wait_screen(term, screens[0], "main menu after growing to 100 x 30")
        if any(term.row_text(y, 100) for y in range(25, 30)):
            fail("rows below the page are not blank")
        type_line(term, "1")
        wait_screen(term, screens[1], "chapter 1 after the resize")
        term.resize(25, 80)
        wait_screen(term, screens[1], "chapter 1 at 80 x 25 again")
        term.send(b"\x03")
        status = term.finish()
        if status != 0:
            fail("Ctrl+C ended with status %r" % status)
    finally:
        term.close()


def case_signals():
    menu = replay_screens("")[0]
    for how, want in (("Ctrl+C", 0), (signal.SIGTERM, 0), (signal.SIGHUP, 0),
                      (signal.SIGINT, 0), (signal.SIGSEGV, -signal.SIGSEGV)):
        term = termlib.Term(TERM)
        try:
            if not wait_screen(term, menu, "main menu before %s" % how):
                continue
            if how == "Ctrl+C":
                term.send(b"\x03")
            else:
                term.proc.send_signal(how)
            status = term.finish()
            if status != want:
                fail("%s: status %r, expected %r" % (how, status, want))
            for p in termlib.restored(term):
                fail("%s: %s" % (how, p))
        finally:
            term.close()


def case_hangup():
    # The terminal goes away under the program (the SSH connection drops):
    # it must end with status 0, not spin on a terminal that answers nothing.
    menu = replay_screens("")[0]
    for controlling in (True, False):
        hang_up(menu, controlling)


def hang_up(menu, controlling):
    term = termlib.Term(TERM, controlling=controlling)
    what = "with" if controlling else "without"
    try:
        if wait_screen(term, menu, "main menu before the hang-up"):
            os.close(term.slave)
            os.close(term.master)
            end = time.monotonic() + 10
            while term.proc.poll() is None and time.monotonic() < end:
                time.sleep(0.05)
            if term.proc.poll() is None:
                fail("%s SIGHUP: still running 10 s after its terminal went away" % what)
            elif term.proc.returncode != 0:
                fail("%s SIGHUP: ended with status %r" % (what, term.proc.returncode))
    finally:
        if term.proc.poll() is None:
            term.proc.kill()
            term.proc.wait()


def screen_text(term):
    return "\n".join(term.row_text(y) for y in range(25))


def case_dialogs(probe):
    cases = (
        ("dialog-end", b"y", ["Unhandled Error #5", "Line:120", "Illegal function call",
                              "Continue?", "[ Yes  ]", "  No"], True),
        ("dialog-end", b"n", ["Unhandled Error #5", "[ Yes  ]"], False),
        ("critical", b"\r", ["Critical Error #301", "Line:130", "Invalid size", "[  OK  ]"],
         False),
    )
    for mode, answer, texts, goes_on in cases:
        term = termlib.Term(probe, [mode])
        try:
            if not term.wait_for(lambda: all(t in screen_text(term) for t in texts)):
                fail("%s: dialog not shown: %s" % (mode, screen_text(term)))
                continue
            if "Continue?" in texts and "No" not in screen_text(term):
                fail("no No button")
            if mode == "critical" and ("Yes" in screen_text(term) or "Continue?" in screen_text(term)):
                fail("critical dialog offers more than OK")
            term.send(answer)
            if goes_on:
                if not term.wait_for(lambda: "after yes" in screen_text(term) and
                                     "Press any key to continue" in term.row_text(24)):
                    fail("after Yes: %s" % screen_text(term))
                if "Unhandled Error" in screen_text(term):
                    fail("the dialog stayed on the screen")
            status = term.finish(key=b"x" if goes_on else None)
            if status != 0:
                fail("%s answered %r: status %r" % (mode, answer, status))
            if not goes_on and "Press any key" in screen_text(term):
                fail("%s answered %r showed end program's prompt" % (mode, answer))
            for p in termlib.restored(term):
                fail("%s: %s" % (mode, p))
        finally:
            term.close()


def case_plain(expected_path):
    expected = open(expected_path, encoding="utf-8").read()
    script = expected.split("=== script\n", 1)[1].split("=== output\n", 1)
    keys, want = script[0], script[1]
    proc = subprocess.run([TERM, "--plain"], input=keys.encode(), capture_output=True,
                          timeout=20, check=False)
    got = proc.stdout.decode()
    if proc.returncode != 0:
        fail("--plain ended with status %d" % proc.returncode)
    if b"\x1b" in proc.stdout:
        fail("--plain wrote an escape sequence")
    if got != want:
        import difflib
        sys.stdout.writelines(difflib.unified_diff(want.splitlines(True), got.splitlines(True),
                                                   "expected", "got"))
        fail("--plain output differs")


if CASE == "screens":
    case_screens(sys.argv[4])
elif CASE == "resize":
    case_resize()
elif CASE == "signals":
    case_signals()
elif CASE == "hangup":
    case_hangup()
elif CASE == "dialogs":
    case_dialogs(sys.argv[4])
elif CASE == "plain":
    case_plain(sys.argv[4])
else:
    sys.exit("unknown case " + CASE)
sys.exit(1 if failures else 0)
