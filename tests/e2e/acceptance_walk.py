#!/usr/bin/python3
"""The acceptance walk: the installed program, moved away and started with no settings and no
database, used from the first start to Exit as a person using assistive technology would, through
the accessibility bus; what Qt keeps off it (the tray menu, a window's close button) through X.
The program's clock reads 11:00 to 12:00 (a fixed time zone), so the spans typed below lie
earlier the same day whenever the walk runs."""

import ctypes
import os
import shutil
import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

warnings.filterwarnings("ignore", category=DeprecationWarning)  # replacements not exported

DATABASE_KEY = "pk5071wvbe"  # the program's own key (store/Schema.cpp)
EMPLOYEE = "Robin"
R, STATE = Atspi.Role, Atspi.StateType
OK, OK_CANCEL, YES_NO = ["OK"], ["OK", "Cancel"], ["Yes", "No"]
ACME, GLOBEX, DESIGN, BUILD = ("1", "Acme"), ("2", "Globex"), ("1", "Design"), ("2", "Build")
# Keys typed as the characters of their X key symbols.
TAB, RETURN, DOWN, HOME, END, BACKSPACE = map(chr, (0xff09, 0xff0d, 0xff54, 0xff50, 0xff57, 0xff08))
# Box texts read in full only here (a box shows the program's CR line breaks as
# new lines); the window tests read the others, so the walk reads their opening words.
CREATE_QUESTION = ("Create database? \nYes for new Database.\n -Use a network drive if planning "
                   "to share file.\n\nNo to open existing Hourloom 1.1 database.\n -Hourloom "
                   "database file has *.hl1 file extention.")
COMPACT_WARNING = ("Suggest that a back-up of the existing database.\nAlso suggest all users of "
                   "the database exit out of Hourloom until compacting is completed.\n\nContinoue?")
COMPACT_BEGIN = ("Beginning to compact database this may take a few minutes.  Please wait for "
                 "completion message before continuing.")


def fail(message):
    raise AssertionError(message)


def expect(what, actual, wanted):
    if actual != wanted:
        fail(f"{what}: got {actual!r}, expected {wanted!r}")


def wait_for(what, probe, timeout=15, seen=None):
    """Polls `probe` until it gives something; on timeout `seen()` says what there was."""
    deadline = time.monotonic() + timeout
    while not (found := probe()):
        if time.monotonic() > deadline:
            fail(f"timed out waiting for {what}" + (f" (there was {seen()!r})" if seen else ""))
        time.sleep(0.05)
    return found


def safely(call, fallback):
    try:
        return call()
    except GLib.Error:
        return fallback


def children(node):
    kids = (safely(lambda: node.get_child_at_index(i), None)
            for i in range(safely(node.get_child_count, 0)))
    return [kid for kid in kids if kid is not None]


def descendants(node):
    yield node
    for kid in children(node):
        yield from descendants(kid)


def has_state(node, state):
    return safely(lambda: node.get_state_set().contains(state), False)


def role(node):
    return safely(node.get_role, None)


def name(node):
    return safely(node.get_name, "") or ""


def text_of(node):
    is_text = "Text" in node.get_interfaces()
    return Atspi.Text.get_text(node, 0, -1) if is_text else name(node)


def find(root, wanted_role, wanted_name, state=STATE.SHOWING):
    return next((n for n in descendants(root) if role(n) == wanted_role
                 and name(n) == wanted_name and has_state(n, state)), None)


def click_corner(node):
    """A left click in the bottom right corner, where no window has a control."""
    box = Atspi.Component.get_extents(node, Atspi.CoordType.SCREEN)
    Atspi.generate_mouse_event(box.x + box.width - 3, box.y + box.height - 3, "b1c")


def type_text(text):
    for char in text:
        Atspi.generate_keyboard_event(ord(char), None, Atspi.KeySynthType.SYM)
        time.sleep(0.03)


def xdotool(*arguments):
    return subprocess.run(["xdotool", *arguments], capture_output=True, text=True).stdout.split()


def x_windows(title):
    return xdotool("search", "--onlyvisible", "--name", f"^{title}$")


class XClientMessage(ctypes.Structure):
    # data: five longs, padded to the size of an XEvent, which XSendEvent reads.
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 17)]


XLIB = ctypes.cdll.LoadLibrary("libX11.so.6")
XLIB.XOpenDisplay.restype = ctypes.c_void_p


def close_window(title):
    """Closes it as a window manager's close button would (WM_DELETE_WINDOW)."""
    ids = wait_for(f'the X window "{title}"', lambda: x_windows(title))
    display = ctypes.c_void_p(XLIB.XOpenDisplay(None) or fail("cannot open the X display"))
    event = XClientMessage(type=33, window=int(ids[0], 0), format=32,  # 33: ClientMessage
                           message_type=XLIB.XInternAtom(display, b"WM_PROTOCOLS", 0))
    event.data[0] = XLIB.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    XLIB.XSendEvent(display, ctypes.c_ulong(event.window), 0, 0, ctypes.byref(event))
    XLIB.XCloseDisplay(display)  # sends what is queued


class Walk:

    def __init__(self, prefix, work, shots):
        self.prefix, self.work, self.shots = prefix, work, shots
        self.database = os.path.join(work, "shared", "Team.HL1")
        self.process = self.tray = None

    def start(self):
        """A fresh user and the installed program moved away: it must still find its files."""
        shutil.rmtree(self.work, ignore_errors=True)
        for variable, folder in (("XDG_CONFIG_HOME", "config"), ("XDG_DATA_HOME", "data"),
                                 ("XDG_RUNTIME_DIR", "runtime"), ("HOME", "shared")):
            os.environ[variable] = os.path.join(self.work, folder)
            os.makedirs(os.environ[variable], mode=0o700)
        os.makedirs(self.shots, exist_ok=True)
        os.environ.pop("HOURLOOM_DATA_DIR", None)  # the installed program finds its own files
        moved = shutil.copytree(self.prefix, os.path.join(self.work, "moved"))
        # A tray host in the bottom right corner, away from where unplaced windows appear.
        self.tray = subprocess.Popen("trayer --edge bottom --align right --widthtype request "
                                     "--height 32".split(), stderr=subprocess.DEVNULL)
        wait_for("the tray host", lambda: x_windows("panel"), 10)
        # A fixed-offset zone whose wall clock now reads 11:00 to 12:00 (POSIX counts west).
        os.environ["TZ"] = f"HLW{-((11 - time.gmtime().tm_hour + 12) % 24 - 12):+d}"
        time.tzset()
        self.today = time.strftime("%Y-%m-%d")
        # Started in the user's own folder, as a desktop starts it, not in the build tree.
        self.log = open(os.path.join(self.work, "app.log"), "w")
        self.process = subprocess.Popen(
            [os.path.join(moved, "bin", "hourloom")], cwd=os.environ["HOME"], stdout=self.log,
            stderr=subprocess.STDOUT,
            env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb"))
        self.root = wait_for("the program on the accessibility bus", lambda: next(
            (app for app in children(Atspi.get_desktop(0))
             if safely(app.get_process_id, None) == self.process.pid), None), 30)

    def stop(self):
        for process in filter(None, (self.process, self.tray)):
            process.kill()  # nothing happens to one that has ended
            process.wait()

    def windows(self):
        if self.process.poll() is not None:
            fail(f"the program ended (status {self.process.returncode})")
        return [w for w in children(self.root) if has_state(w, STATE.SHOWING)]

    def window(self, title):
        return wait_for(f'the window "{title}"', lambda: next(
            (w for w in self.windows() if name(w) == title and role(w) != R.ALERT), None))

    def close(self, title):
        close_window(title)
        wait_for(f'the window "{title}" to close', lambda: all(
            name(w) != title or role(w) == R.ALERT for w in self.windows()))

    def control(self, window, wanted_role, wanted_name):
        return wait_for(f'{wanted_role.value_nick} "{wanted_name}" in "{name(window)}"',
                        lambda: find(window, wanted_role, wanted_name), 10)

    def press(self, window, button):
        """Presses it with the space bar: unlike the accessible action, a key press does not
        wait for the handler, which may open a modal box."""
        self.focus(window, self.control(window, R.PUSH_BUTTON, button))
        type_text(" ")

    def push(self, window, button, *boxes):
        self.press(window, button)
        for box in boxes:
            self.answer(*box)

    def answer(self, title, text, buttons, press):
        """Reads the box (its full text, or its opening words and "...") and presses `press`."""
        window = wait_for(f'the message box "{title}"', lambda: next(
            (w for w in self.windows() if name(w) == title and role(w) in (R.ALERT, R.DIALOG)),
            None))
        shown = [name(n) for n in descendants(window) if role(n) == R.PUSH_BUTTON]
        text_shown = "\n".join(filter(None, (text_of(n) for n in descendants(window)
                                             if role(n) == R.LABEL)))
        if text.endswith("..."):
            text_shown = text_shown[:len(text) - 3] + "..."
        expect(f'the text of "{title}"', text_shown, text)
        expect(f'the buttons of "{title}"', shown, buttons)
        self.press(window, press)
        wait_for(f'the box "{title}" to go', lambda: window not in self.windows())

    def activate(self, window):
        """Makes the window take the keys: with no window manager, a click."""
        if not has_state(window, STATE.ACTIVE):
            click_corner(window)
            wait_for(f'the window "{name(window)}" to become active',
                     lambda: has_state(window, STATE.ACTIVE), 5)

    def tab_to(self, window, wanted_role, wanted_name):
        return wait_for(f'Tab to reach {wanted_role.value_nick} "{wanted_name}"', lambda: find(
            window, wanted_role, wanted_name, STATE.FOCUSED) or type_text(TAB), 5)

    def focus(self, window, node):
        self.activate(window)
        Atspi.Component.grab_focus(node)
        wait_for(f'the focus on "{name(node)}"', lambda: has_state(node, STATE.FOCUSED), 5)

    def type_into(self, window, label, text):
        node = self.control(window, R.TEXT, label)
        self.focus(window, node)
        type_text(END + BACKSPACE * len(text_of(node)) + text)
        return node

    def rows(self, sql):
        """Rows of a query as lists of texts; waits while the program holds the file locked."""
        result = subprocess.run(["sqlcipher", self.database], capture_output=True, text=True,
                                input=f"PRAGMA key = '{DATABASE_KEY}';\n.timeout 5000\n{sql};\n")
        if result.returncode != 0 or result.stderr:
            fail(f"sqlcipher could not read the file: {result.stderr.strip()}")
        return [line.split("|") for line in result.stdout.splitlines() if line]

    def first_start(self):
        """first start: no database, Time and Settings creates one"""
        self.answer("Hourloom", "Database not detected. \nOpening...", OK, "OK")
        setup = self.window("Time and Settings")
        # Closing it without a database asks first; No keeps it.
        close_window("Time and Settings")
        self.answer("Database Not Found...      Close Program?", "Close Program?...", YES_NO, "No")
        self.push(setup, "Create or Open Database File",
                  ("Database Use", CREATE_QUESTION, YES_NO, "Yes"))
        # Typed without its extension: the program adds ".HL1".
        self.type_into(self.window("Save As"), "File name:", self.database[:-4])
        type_text(RETURN)
        self.type_into(setup, "Employee ID", EMPLOYEE)
        self.push(setup, "Accept Changes")
        # Start-up runs again: the splash, then Time Control with the help for empty lists.
        self.close("Hourloom Help")

    def open_from_control(self, button, title):
        """Presses a Time Control button that swaps it for another window."""
        self.push(self.window("Hourloom"), button)
        return self.window(title)

    def code_lists(self):
        """two clients and two work codes, typed with the keyboard"""
        for button, title, label, names in (
                ("Client Information Input", "Add Client Identification", "Client Name",
                 ("Acme", "Globex")),
                ("Work Information Input", "Work Codes", "Work Description", ("Design", "Build"))):
            window = self.open_from_control(button, title)
            for entry in names:
                name_box = self.type_into(window, label, entry)
                type_text(RETURN)  # the default button: add
                wait_for(f'"{entry}" added', lambda: text_of(name_box) == "")
            self.close(title)

    def type_time(self, node, shown):
        """Types a time into a focused picker section by section: "9:45am" shows "9:45 AM"."""
        type_text(shown.replace(" ", "").lower())
        wait_for(f'"{shown}" in "{name(node)}"', lambda: text_of(node) == shown, 5,
                 lambda: text_of(node))

    def record_spans(self):
        """two spans recorded in Time Control with the keyboard only"""
        window = self.window("Hourloom")
        # No time typed is before the begin while it is typed: such a span is reset.
        for row, begin, end in ((0, "5:00 AM", "5:45 AM"), (1, "8:30 AM", "9:15 AM")):
            self.activate(window)
            for pick_list in ("Client", "Work"):
                self.tab_to(window, R.LIST, pick_list)
                # Home alone selects nothing when the first row is already current.
                type_text(END + HOME + DOWN * row)
            self.type_time(self.tab_to(window, R.SPIN_BUTTON, "Begin time"), begin)
            self.type_time(self.tab_to(window, R.SPIN_BUTTON, "End time"), end)
            self.tab_to(window, R.PUSH_BUTTON, "Add Time")
            type_text(" ")
        self.records_become(self.record("05:00", "05:45", ACME, DESIGN),
                            self.record("08:30", "09:15", GLOBEX, BUILD))
        subprocess.run(["import", "-window", x_windows("Hourloom")[0],
                        os.path.join(self.shots, "time-control.png")])

    def record(self, begin, end, client, work, made="at recording"):
        return [f"{self.today} {begin}:00", f"{self.today} {end}:00", *client, *work, EMPLOYEE,
                made]

    def records(self):
        """Every record; its Date as "at recording" (Time Control: the moment,
        after the span) or "that midnight" (Activity Log: the day at 0:00)."""
        return self.rows(
            "SELECT BeginTime, EndTime, ClientNumber, ClientName, WorkCode, WorkDescription, "
            "Employee, CASE WHEN Date = date(EndTime) || ' 00:00:00' THEN 'that midnight' "
            "WHEN Date >= EndTime AND date(Date) = date(EndTime) THEN 'at recording' "
            "ELSE Date END FROM tblTimeSheet ORDER BY BeginTime")

    def records_become(self, *wanted):
        """Waits for the program's writes, which the walk's keys and presses do not wait for."""
        wait_for(f"the records {wanted}", lambda: self.records() == list(wanted), 5, self.records)

    def activity_log(self):
        """Activity Log: one record corrected"""
        log = self.open_from_control("Activity Log", "Activity Log")
        grid = self.control(log, R.TABLE, "Activity Log")
        end = self.control(log, R.SPIN_BUTTON, "End time")
        # Chosen with the keyboard: the day's two records in begin order, 8:30 the second.
        expect("the day list's rows", Atspi.Table.get_n_rows(grid), 2)
        self.activate(log)
        self.tab_to(log, R.TABLE, "Activity Log")
        type_text(DOWN * 2 + " ")
        wait_for("the chosen record in the pickers", lambda: text_of(end) == "9:15 AM", 5,
                 lambda: text_of(end))
        self.focus(log, end)
        self.type_time(end, "9:45 AM")
        self.push(log, "Add Time")
        self.records_become(self.record("05:00", "05:45", ACME, DESIGN),
                            self.record("08:30", "09:45", GLOBEX, BUILD, "that midnight"))
        self.close("Activity Log")

    def delete_client(self):
        """client list: one client deleted with OK"""
        title = "Add Client Identification"
        window = self.open_from_control("Client Information Input", title)
        self.activate(window)
        self.tab_to(window, R.TABLE, title)
        type_text(DOWN)  # from the first row, Acme, to Globex
        self.push(window, "Delete Client",
                  ("Delete Notice", "Delete Globex 2 from client list?", OK_CANCEL, "OK"))
        wait_for("Globex gone from the file", lambda: self.rows(
            "SELECT ClientNumber, ClientName FROM tblClient") == [[*ACME]], 5)
        self.close(title)

    def maintenance(self):
        """Time and Settings: Delete Old Records with OK, Compact No and Yes"""
        setup = self.open_from_control("Time and Settings", "Time and Settings")
        # 0.2 days (4 h 48 min) back from late morning: the 5:00 record is old.
        self.type_into(setup, "Keep Records", "0.2")
        self.push(setup, "Delete Old Records",
                  ("Hourloom", "Permenently delete 1 records from database?", OK_CANCEL, "OK"),
                  ("Hourloom", "1 records were deleted from database...", OK, "OK"))
        self.records_become(self.record("08:30", "09:45", GLOBEX, BUILD, "that midnight"))
        expect("a copy kept before the purge", os.path.isfile(self.database + ".bak"), True)
        compact = ("Warning", COMPACT_WARNING, YES_NO)
        self.push(setup, "Compact Database", (*compact, "No"),
                  ("Action Canceled", "Compacting Canceled", OK, "OK"))
        self.push(setup, "Compact Database", (*compact, "Yes"),
                  ("Hourloom", COMPACT_BEGIN, OK, "OK"),
                  ("Hourloom", "Database has now been compacted...", OK, "OK"))
        expect("the file's own check and its records after compacting", self.rows(
            "PRAGMA integrity_check; SELECT count(*) FROM tblTimeSheet"), [["ok"], ["1"]])
        self.push(setup, "Accept Changes")

    def report(self):
        """report of today"""
        title = "Hourloom Report"
        window = self.open_from_control("Time Sheet Report", title)
        self.activate(window)
        today = time.strftime("%-m/%-d/%Y")
        for picker in ("To", "From"):  # the default range is last week
            node = self.tab_to(window, R.SPIN_BUTTON, picker)
            # Two digits fill a part and move on; a "/" typed then would skip a part.
            type_text(time.strftime("%m%d%Y"))
            # The picker shows the digits as typed until it loses the focus.
            wait_for(f'{today} in "{picker}"', lambda: text_of(node).replace("/0", "/").lstrip(
                "0") == today, 5, lambda: text_of(node))
        page = os.path.join(self.work, "data", "hourloom", "report.htm")
        wait_for("today's record in the report page", lambda: os.path.isfile(page) and
                 "<TD>1HRs 15Mins</TD>" in open(page, encoding="utf-8", errors="replace").read(),
                 5)
        self.close(title)

    def exit_from_tray(self):
        """Exit from the tray menu (the menu is not on the bus: X events)"""
        mine = ["search", "--onlyvisible", "--pid", str(self.process.pid)]
        shown = xdotool(*mine)
        xdotool("mousemove", "--window", x_windows("panel")[0], "16", "16", "click", "3")
        wait_for("the tray menu", lambda: len(xdotool(*mine)) > len(shown), 10)
        xdotool("key", "Down", "Return")  # Exit, the first item
        expect("the program's exit status after Exit", self.process.wait(15), 0)


def main():
    walk = Walk(*sys.argv[1:4])
    try:
        walk.start()
        for part in (walk.first_start, walk.code_lists, walk.record_spans, walk.activity_log,
                     walk.delete_client, walk.maintenance, walk.report):
            print(f"--- {part.__doc__}", flush=True)
            part()
            if boxes := [name(w) for w in walk.windows() if role(w) in (R.ALERT, R.DIALOG)]:
                fail(f"unexpected message box: {boxes}")
        walk.exit_from_tray()
        return 0
    except (AssertionError, subprocess.TimeoutExpired) as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        subprocess.run(["import", "-window", "root", os.path.join(walk.shots, "walk-failed.png")])
        if walk.process:
            print("the program's output:\n" + open(walk.log.name).read())
        return 1
    finally:
        walk.stop()


if __name__ == "__main__":
    sys.exit(main())
