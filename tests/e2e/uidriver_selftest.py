#!/usr/bin/env python3
"""Self-test of the UI driver against its fixture program.

Runs inside the private test LAN, with NW_BUILD_DIR naming the Windows build:
starts the fixture (tools/uidriver/fixture) under Wine with a log file,
works every driver command on it through one driver session, and checks the
driver's answers and the fixture's log, which shows that each action arrived
as a user's would (the notifications a real click, key or pick gives).
"""

import json
import os
import signal
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from dialog_geometry import base_units, to_pixels  # noqa: E402
from uidriver import BUILD_DIR, DRIVER, UiDriver, UiDriverError, from_ansi, wine_path  # noqa: E402
from windows_build import wine  # noqa: E402

FIXTURE = os.path.join(BUILD_DIR, "bin", "uidriver_fixture.exe")
CAPTION = "Uidriver Fixture"
ABOUT = "About Fixture"
BOX_CAPTION = "uidriver_fixture"

# The fixture's control ids (tools/uidriver/fixture/fixture_ids.h).
(HELLO, NAME, SECRET, READONLY, ALPHA, BETA, COLOUR, LIST, HIDDEN, WARN, ASK, CONFIRM, INFORM, FAIL, BUSY, DISABLED,
 STATUS, FILL) = range(2001, 2019)

COMMANDS = ["find", "describe", "control", "text", "click", "command", "focus", "type", "set-text", "key", "combo",
            "select", "list", "list-click", "list-dblclick", "list-check", "list-click-empty", "header-click",
            "msgbox", "msgbox-press", "sysmenu", "syscommand", "about", "about-ok", "wait-window", "wait-rows",
            "wait-text", "wait-state", "wait-exit"]

LOG_WAIT_S = 15


def check(condition, message):
    if not condition:
        raise AssertionError(message)
    print("ok: " + message)


def eventually(condition, timeout_s=10):
    """Whether condition() came true within the time limit."""
    deadline = time.monotonic() + timeout_s
    while True:
        if condition():
            return True
        if time.monotonic() > deadline:
            return False
        time.sleep(0.05)


class Fixture:
    """One run of the fixture program and its log."""

    def __init__(self, scratch, name, *options):
        self.log_path = os.path.join(scratch, name + ".log")
        open(self.log_path, "wb").close()
        self.process = subprocess.Popen(wine(FIXTURE, wine_path(self.log_path), *options))
        self.start = 0

    def lines(self):
        with open(self.log_path, "rb") as log:
            return log.read().decode("latin-1").splitlines()

    def mark(self):
        """Later checks look only at lines logged from now on."""
        self.start = len(self.lines())

    def new_lines(self):
        return self.lines()[self.start:]

    def wait_for(self, *expected):
        """Waits until the lines appear after the mark, in this order."""
        def arrived():
            position = 0
            for line in self.new_lines():
                if position < len(expected) and line == expected[position]:
                    position += 1
            return position == len(expected)
        check(eventually(arrived, LOG_WAIT_S),
              "the fixture logged %s" % " / ".join(expected) if len(expected) < 4 else
              "the fixture logged %d lines in order, from %s" % (len(expected), expected[0]))

    def mapping_count(self):
        """Memory mappings of the fixture (Wine runs it as this very process)."""
        with open("/proc/%d/maps" % self.process.pid) as maps:
            return len(maps.readlines())

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def test_find_and_describe(d, fx):
    found = d.call("find")
    check(found["caption"] == CAPTION and found["pid"] > 0 and found["codePage"] > 0,
          "find names the main window, its process and the code page")
    check(found["executable"].lower().endswith("uidriver_fixture.exe"), "find names the program's executable")
    d.call("wait-window", "main")

    main = d.call("describe")
    base = base_units(main["client"], 400, 250)
    check(base is not None, "the main window's client area is its template's 400 x 250 dialog units")
    controls = {c["id"]: c for c in main["controls"]}
    # id, class, text, visible, enabled, checked, kind, rectangle in dialog units
    expected = [
        (HELLO, "Button", "Hello", True, True, None, "push button", (7, 7, 60, 14)),
        (SECRET, "Edit", "", True, True, None, None, (75, 25, 90, 14)),
        (READONLY, "Edit", "fixed text", True, True, None, None, (75, 43, 90, 14)),
        (ALPHA, "Button", "Alpha", True, True, True, "auto radio button", (180, 7, 40, 10)),
        (BETA, "Button", "Beta", True, True, False, "auto radio button", (225, 7, 40, 10)),
        (COLOUR, "ComboBox", "Red", True, True, None, None, None),
        (LIST, "SysListView32", "List1", True, True, None, None, (7, 65, 300, 120)),
        (HIDDEN, "Button", "Hidden Save", False, False, None, "push button", (280, 43, 60, 14)),
        (DISABLED, "Button", "Disabled", True, False, None, "push button", (315, 173, 78, 14)),
        (STATUS, "Static", "idle", True, True, None, "text", (7, 195, 200, 8)),
    ]
    for id_, class_, text, visible, enabled, checked, kind, dlu in expected:
        c = controls[id_]
        check((c["class"], c["text"], c["visible"], c["enabled"], c["checked"], c.get("kind")) ==
              (class_, text, visible, enabled, checked, kind),
              "control %d: %s %r, visible %s, enabled %s, checked %s" % (id_, class_, text, visible, enabled, checked))
        if dlu is not None:
            check(c["rect"] == to_pixels(*dlu, base),
                  "control %d lies at %s dialog units, in client pixels" % (id_, dlu))
    check(controls[SECRET]["password"] and not controls[SECRET]["readOnly"] and controls[READONLY]["readOnly"],
          "password and read-only edits are told apart")
    check(any(c["id"] in (-1, 0xFFFF) and c["text"] == "Name" for c in main["controls"]),
          "a static without an id is listed too")
    check([c["id"] for c in main["controls"]][:3] == [HELLO, NAME, SECRET], "controls come in template order")

    wait = d.call("describe", "wait")
    check(not wait["visible"] and [c["text"] for c in wait["controls"]] == ["Please Wait..."] and
          wait["controls"][0]["rect"] == to_pixels(12, 18, 106, 13, base_units(wait["client"], 131, 43)),
          "the hidden wait box is found and measured in its own font (MS Shell Dlg)")

    check(d.call("control", "text=HELLO")["id"] == HELLO, "a control can be named by its text, case ignored")
    for words, error in [(("control", 4242), "no control with the id 4242"),
                         (("describe", "nowhere"), "unknown window"),
                         (("control", "12ab"), "must be a number")]:
        answer = d.try_call(*words)
        check(not answer["ok"] and error in answer["error"], "%s fails: %s" % (" ".join(map(str, words)), error))


def test_text_and_session_lines(d, fx):
    rows = d.call("list", LIST)["rows"]
    check(rows[2]["cells"][2] == "K\u00e4mera C" and from_ansi(rows[2]["cells"][2]) == "Kämera C",
          "a byte above 0x7F comes back as one \\u00XX escape (the answer lines are pure ASCII)")
    fx.mark()
    check(d.call("set-text", NAME, "caf\u00e9")["text"] == "caf\u00e9", "a JSON line's \\u00XX escapes are bytes")
    fx.wait_for("WM_COMMAND id=%d code=EN_CHANGE text=caf\u00e9" % NAME)
    bad_lines = [('["set-text", "2002", "\\u0100"]', "\\u00ff"),
                 ('["text", 2002]', "must be a string"),
                 ('["text", "2002"] x', "text after the array"),
                 ("text 2002", "'[' expected"),
                 ("", "unexpected end of line"),
                 ("[]", "no command"),
                 ('["clik", "1"]', "unknown command"),
                 ('["text"]', "usage: text CONTROL"),
                 ('["type", "2002", "x", "--sideways", "1"]', "unknown option --sideways")]
    for line, error in bad_lines:
        answer = d.send_line(line)
        check(not answer["ok"] and error in answer["error"], "the line %r gets one answer: %s" % (line, error))
    check(d.call("text", NAME)["text"] == "caf\u00e9", "the session goes on after bad lines")


def test_buttons(d, fx):
    fx.mark()
    d.call("click", HELLO)
    fx.wait_for("WM_COMMAND id=%d code=BN_CLICKED" % HELLO)
    d.call("click", "text=Beta")
    d.call("wait-state", BETA, "checked")
    check(d.call("control", ALPHA)["checked"] is False, "clicking a radio button moves the check as a user's click")
    for control, reason in [(HIDDEN, "is not visible"), (DISABLED, "is disabled")]:
        answer = d.try_call("click", control)
        check(not answer["ok"] and reason in answer["error"],
              "a click on control %d is refused: %s" % (control, reason))
    d.call("command", HIDDEN)
    d.call("command", HELLO, 5)
    fx.wait_for("WM_COMMAND id=%d code=BN_CLICKED" % HIDDEN, "WM_COMMAND id=%d code=5" % HELLO)
    check(not any("id=%d" % DISABLED in line for line in fx.new_lines()), "the refused clicks reached nothing")


def test_edits(d, fx):
    fx.mark()
    check(d.call("type", NAME, "abc")["text"] == "abc", "type answers the edit's new text")
    fx.wait_for(*["WM_COMMAND id=%d code=EN_CHANGE text=%s" % (NAME, text) for text in ("a", "ab", "abc")])
    check(d.call("type", NAME, "xy")["text"] == "xy", "typing replaces the whole text, as after select-all")
    long_text = "0123456789" * 4
    started = time.monotonic()
    check(d.call("type", NAME, long_text)["text"] == long_text[:31], "the edit's limit of 31 characters holds")
    check(time.monotonic() - started < 5, "typing past the limit does not wait for text that cannot come")
    d.call("type", SECRET, "s3cret!")
    check(d.call("text", SECRET)["text"] == "s3cret!", "a password edit's text can be read")
    check(d.call("type", READONLY, "zzz")["text"] == "fixed text", "typing into a read-only edit changes nothing")
    check(d.call("set-text", READONLY, "set directly")["text"] == "set directly", "set-text sets any text")
    d.call("focus", NAME)
    check(d.call("control", NAME)["focused"], "focus gives the edit the focus")
    answer = d.try_call("type", HELLO, "x")
    check(not answer["ok"] and "not an edit box" in answer["error"], "type refuses a button")


def test_keys(d, fx):
    d.call("focus", NAME)
    d.call("key", "Tab")
    check(eventually(lambda: d.call("control", SECRET)["focused"]), "Tab moves the focus on, through the dialog")
    fx.mark()
    d.call("key", "Backspace", "h", "i", "--to", NAME)
    d.call("wait-text", NAME, "hi")
    fx.wait_for(*["WM_COMMAND id=%d code=EN_CHANGE text=%s" % (NAME, text) for text in ("", "h", "hi")])
    answer = d.try_call("key", "Hyper")
    check(not answer["ok"] and "unknown key" in answer["error"], "an unknown key name is a usage error")


def test_combo(d, fx):
    combo = d.call("combo", COLOUR)
    check(combo["entries"] == ["Red", "Green", "Blue", "Wei\u00df"] and
          (combo["selected"], combo["text"]) == (0, "Red"),
          "combo lists the entries and the selection")
    fx.mark()
    check(d.call("select", COLOUR, "Blue")["selected"] == 2, "select picks an entry by text")
    fx.wait_for("WM_COMMAND id=%d code=CBN_SELCHANGE" % COLOUR)
    check(d.call("select", COLOUR, "--index", 3)["text"] == "Wei\u00df", "select picks an entry by index")
    check(d.call("text", COLOUR)["text"] == "Wei\u00df", "the combo box shows the pick")
    answer = d.try_call("select", COLOUR, "Purple")
    check(not answer["ok"] and answer["seen"]["entries"][0] == "Red", "a missing entry fails, listing the entries")
    answer = d.try_call("select", COLOUR, "Red", "--index", 0)
    check(not answer["ok"] and "either" in answer["error"], "text and index together are a usage error")


def test_list(d, fx):
    listing = d.call("list", LIST)
    check(listing["columns"] == ["", "NO", "NAME", "ADDRESS"] and listing["count"] == 3, "list reads the columns")
    check([r["cells"] for r in listing["rows"][:2]] == [["", "1", "Camera A", "198.51.100.10"],
                                                        ["", "2", "Camera B", "198.51.100.11"]],
          "list reads every cell")
    check([(r["data"], r["checked"], r["selected"]) for r in listing["rows"]] ==
          [(100, False, False), (101, False, False), (102, False, False)],
          "list reads item data, check boxes and selection")
    part = d.call("list", LIST, "--first", 1, "--count", 1)
    check(part["count"] == 3 and [r["index"] for r in part["rows"]] == [1], "list reads a part of the rows")

    # Every read borrows a block of the program's memory; Wine maps each
    # block it hands out apart from its neighbours, so a block left behind
    # shows as new mappings of the fixture's process.
    before = fx.mapping_count()
    for _ in range(50):
        d.call("list", LIST)
    grown = fx.mapping_count() - before
    check(grown < 25, "50 list reads leave no memory behind in the program (%d new mappings)" % grown)

    fx.mark()
    cases = [(("list-click", LIST, 1), "NM_CLICK id=%d item=1 sub=1" % LIST, [1]),
             (("list-click", LIST, 2, 3), "NM_CLICK id=%d item=2 sub=3" % LIST, [2]),
             (("list-click", LIST, 0, 0), "NM_CLICK id=%d item=0 sub=0" % LIST, [0]),
             (("list-dblclick", LIST, 1, 2), "NM_DBLCLK id=%d item=1 sub=2" % LIST, [1]),
             (("header-click", LIST, 2), "LVN_COLUMNCLICK id=%d sub=2" % LIST, None),
             (("header-click", LIST, 0), "LVN_COLUMNCLICK id=%d sub=0" % LIST, None),
             (("list-click-empty", LIST), "NM_CLICK id=%d item=-1 sub=-1" % LIST, [])]
    for words, line, selected in cases:
        d.call(*words)
        fx.wait_for(line)
        if selected is not None:
            rows = d.call("list", LIST)["rows"]
            check([r["index"] for r in rows if r["selected"]] == selected, "then the selected rows are %s" % selected)
    check(not any(line.startswith("CHECK") for line in fx.new_lines()), "clicks beside the check boxes tick none")

    fx.mark()
    ticked = d.call("list-check", LIST, 1, "on")
    check(ticked["checked"] and ticked["clicked"], "list-check on ticks the box")
    check(not d.call("list-check", LIST, 1, "on")["clicked"], "list-check on leaves a ticked box alone")
    check(d.call("list-check", LIST, 1)["checked"] is False, "list-check toggles by default")
    fx.wait_for("CHECK id=%d item=1 state=on" % LIST, "CHECK id=%d item=1 state=off" % LIST)
    check(len([line for line in fx.new_lines() if line.startswith("CHECK")]) == 2, "two clicks, two changes")

    for words, error in [(("list-click", LIST, 7), "has no row 7; it has 3 rows"),
                         (("header-click", LIST, 9), "has no column 9"),
                         (("list", READONLY), "not a list view")]:
        answer = d.try_call(*words)
        check(not answer["ok"] and error in answer["error"], "%s fails: %s" % (words[0], error))

    # With more rows than fit, a row out of view is scrolled to, as a user would.
    d.call("click", FILL)
    d.call("wait-rows", LIST, 43)
    fx.mark()
    d.call("list-click", LIST, 42, 2)
    fx.wait_for("NM_CLICK id=%d item=42 sub=2" % LIST)
    d.call("list-check", LIST, 41, "on")
    fx.wait_for("CHECK id=%d item=41 state=on" % LIST)
    # Scrolled to its end, the list keeps a strip below the last row.
    d.call("list-click-empty", LIST)
    fx.wait_for("NM_CLICK id=%d item=-1 sub=3" % LIST)


def test_message_boxes(d, fx):
    answer = d.try_call("msgbox")
    check(not answer["ok"] and answer["error"] == "no message box is open", "msgbox says when none is open")
    # button, text, buttons, icon, how it is answered, the result the fixture gets
    cases = [(WARN, "Something needs a look.", [(1, "OK")], "exclamation", ("msgbox-press", "OK"), 1),
             (ASK, "Go on?", [(6, "&Yes"), (7, "&No")], "question", ("msgbox-press", "yes"), 6),
             (CONFIRM, 'Send to "Cam A"?\n\tK\u00e4mera', [(1, "OK"), (2, "Cancel")], "none",
              ("key", "Escape", "--in", "msgbox"), 2),
             (INFORM, "All done.", [(1, "OK")], "information", ("key", "Enter", "--in", "msgbox"), 1),
             (FAIL, "It failed.", [(1, "OK")], "error", ("msgbox-press", "1"), 1)]
    for button, text, buttons, icon, how, result in cases:
        fx.mark()
        d.call("click", button)
        d.call("wait-window", "msgbox")
        box = d.call("msgbox")
        check((box["caption"], box["text"], [(b["id"], b["text"]) for b in box["buttons"]], box["icon"]) ==
              (BOX_CAPTION, text, buttons, icon), "box of button %d: %r, %s, icon %s" % (button, text, buttons, icon))
        refused = d.try_call("click", HELLO)
        check(not refused["ok"] and "a modal box is open" in refused["error"],
              "the window behind the box takes no click")
        wrong = d.try_call("msgbox-press", "Maybe")
        check(not wrong["ok"] and len(wrong["seen"]["buttons"]) == len(buttons), "a missing button fails")
        d.call(*how)
        fx.wait_for("MSGBOX id=%d result=%d" % (button, result))
        d.call("wait-window", "msgbox", "gone")
    answer = d.try_call("wait-window", "msgbox", "--timeout", 300)
    check(not answer["ok"] and answer["timedOut"] and answer["seen"] == {"present": False},
          "waiting for a box that does not come times out and says so")


def test_about_box(d, fx):
    menu = d.try_call("sysmenu")
    if menu["ok"]:
        check(any(e["id"] == 16 and e["text"] == "&About Fixture..." for e in menu["entries"]),
              "sysmenu lists the about entry")
    else:
        check("cannot be read" in menu["error"], "sysmenu says the system will not show another program's menu")
    for words, command_id in [(("syscommand",), 16), (("syscommand", 0x13), 0x13)]:
        fx.mark()
        d.call(*words)
        d.call("wait-window", "about")
        about = d.call("about")
        ok_button = [c for c in about["controls"] if c["id"] == 1]
        check(about["caption"] == ABOUT and
              [(c.get("kind"), c["text"]) for c in about["controls"]] ==
              [("icon", ""), ("text", "Fixture Version 1.0"), ("default push button", "OK")] and
              ok_button[0]["rect"] == to_pixels(143, 7, 50, 14, base_units(about["client"], 200, 50)),
              "system command %d opens the about box, read with its controls (an icon shows no text)" % command_id)
        check(not d.try_call("msgbox")["ok"], "the about box is not taken for a message box")
        d.call("about-ok")
        fx.wait_for("WM_SYSCOMMAND id=%d" % command_id, "ABOUT result=1")
    answer = d.try_call("about")
    check(not answer["ok"] and "the about box is not open" in answer["error"], "about says when the box is closed")


def test_waits(d, fx):
    rows = d.call("list", LIST, "--count", 0)["count"]
    fx.mark()
    d.call("click", BUSY)
    d.call("wait-window", "wait")
    wait = d.call("describe", "wait")
    check(wait["visible"] and wait["controls"][0]["text"] == "Please Wait...", "the wait box shows")
    check(not d.try_call("msgbox")["ok"], "the wait box is not taken for a message box")
    check(d.call("control", HELLO)["enabled"] is False, "the busy fixture disabled its button")
    d.call("wait-rows", LIST, rows + 1)
    d.call("wait-window", "wait", "hidden")
    d.call("wait-text", STATUS, "done")
    d.call("wait-state", HELLO, "enabled")
    fx.wait_for("BUSY done")
    check(d.call("list", LIST, "--first", rows)["rows"][0]["cells"][2] == "Camera D", "the row added meanwhile is read")
    check(d.call("wait-rows", LIST, 2, "--at-least")["count"] == rows + 1, "wait-rows --at-least takes more rows")
    timeouts = [(("wait-text", STATUS, "never"), {"text": "done"}),
                (("wait-rows", LIST, 9), {"count": rows + 1}),
                (("wait-state", HIDDEN, "visible"), {"visible": False, "enabled": False}),
                (("wait-window", "about"), {"present": False})]
    for words, seen in timeouts:
        started = time.monotonic()
        answer = d.try_call(*words, "--timeout", 300)
        took = time.monotonic() - started
        check(not answer["ok"] and answer["timedOut"] and "timed out after 300 ms" in answer["error"] and
              seen.items() <= answer["seen"].items() and 0.3 <= took < 10,
              "%s times out after its limit and reports what it saw: %s (%s in %.2f s)" %
              (words[0], seen, answer, took))


def run_driver(*options, lines=()):
    """A driver of its own, given these options and these command lines on
    stdin: its exit status and its answers."""
    commands = "".join(json.dumps([str(word) for word in line]) + "\n" for line in lines)
    result = subprocess.run(wine(DRIVER, *map(str, options)), input=commands.encode("ascii"), capture_output=True,
                            timeout=120)
    return result.returncode, [json.loads(line) for line in result.stdout.decode("ascii").splitlines()]


def test_options(d, fx):
    status, answers = run_driver("--caption", "No Such Window", "--timeout", 300, lines=[["find"], ["text", STATUS]])
    check(status == 0 and len(answers) == 2 and "no window with the caption" in answers[0]["error"] and
          not answers[1]["ok"], "--caption and --timeout hold for every command; the end of input ends the session")
    for options, error in [(("--bogus",), "unknown option --bogus"), (("--timeout",), "needs a value"),
                           (("find",), "commands come on stdin")]:
        status, answers = run_driver(*options)
        check(status == 2 and len(answers) == 1 and error in answers[0]["error"],
              "%s is a usage error: %s" % (" ".join(options), error))
    with open(os.devnull, "wb") as write_only:
        result = subprocess.run(wine(DRIVER), stdin=write_only, capture_output=True, timeout=120)
    check(result.returncode == 1 and b"reading the next command failed" in result.stderr,
          "stdin that cannot be read ends the session with status 1, saying so: %r" % result.stderr)
    result = subprocess.run(wine(DRIVER, "--help"), capture_output=True, timeout=120)
    usage = result.stdout.decode("latin-1")
    check(result.returncode == 0 and all("\n  %s" % name in usage for name in COMMANDS),
          "--help documents every command")


def test_ending(d, fx, scratch):
    fx.mark()
    d.call("key", "Enter", "--to", NAME)
    fx.wait_for("END result=1")
    check(d.call("wait-exit")["exitCode"] == 0, "Enter in an edit is OK to the dialog, and the program ends")
    d.call("wait-window", "main", "gone")
    check(fx.process.wait(timeout=30) == 0, "the fixture ended by OK")

    second = Fixture(scratch, "second")
    try:
        d.call("find")
        d.call("wait-window", "main")
        second.mark()
        d.call("key", "Escape")
        second.wait_for("END result=2")
        check(d.call("wait-exit")["exitCode"] == 2, "Escape is Cancel to the dialog; the driver follows a new run")
    finally:
        second.stop()

    # A dialog that fails as it opens shows its box over a window never shown.
    third = Fixture(scratch, "third", "--box-at-start")
    try:
        check(d.call("find")["visible"] is False, "find takes a main window that is not shown")
        d.call("wait-window", "msgbox")
        box = d.call("msgbox")
        check((box["text"], box["icon"]) == ("The dialog cannot start.", "exclamation"),
              "the box over the hidden window is found and read")
        d.call("msgbox-press", "OK")
        check(d.call("wait-exit")["exitCode"] == 3, "the program ends after its start-up box")
        third.wait_for("MSGBOX id=0 result=1")
    finally:
        third.stop()


def test_slow_program(d, fx):
    # As on a loaded machine: the program takes longer to answer than the
    # five seconds after which Windows calls a thread hung. It is slow, not
    # hung, and is waited for.
    expected = d.call("text", HELLO)["text"]
    os.kill(fx.process.pid, signal.SIGSTOP)
    resume = threading.Timer(8, os.kill, (fx.process.pid, signal.SIGCONT))
    resume.start()
    try:
        started = time.monotonic()
        answer = d.try_call("text", HELLO)
        took = time.monotonic() - started
    finally:
        resume.cancel()
        os.kill(fx.process.pid, signal.SIGCONT)
    check(answer.get("text") == expected and took >= 7,
          "a program that answers only after %.0f s is waited for: %s" % (took, answer))


TESTS = [test_find_and_describe, test_text_and_session_lines, test_buttons, test_edits, test_keys, test_combo,
         test_list, test_message_boxes, test_about_box, test_waits, test_slow_program, test_options]


def main():
    with tempfile.TemporaryDirectory() as scratch:
        fixture = Fixture(scratch, "first")
        try:
            with UiDriver(caption=CAPTION, about_caption=ABOUT) as d:
                for test in TESTS:
                    print("-- " + test.__name__)
                    test(d, fixture)
                print("-- test_ending")
                test_ending(d, fixture, scratch)
        except (AssertionError, UiDriverError, RuntimeError, KeyError) as error:
            print("FAIL: %s" % error)
            print("fixture log since the last mark:\n  " + "\n  ".join(fixture.new_lines()))
            return 1
        finally:
            fixture.stop()
    print("all passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
