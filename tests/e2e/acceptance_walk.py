#!/usr/bin/python3
"""The acceptance walk over the accessibility bus; see acceptance_walk.sh.

Controls are found by role and accessible name, buttons pressed with their
accessibility action, text and keys typed as keyboard events, and every
message box is read (title, text, buttons) and answered the same way. The
effects are read from the database file (sqlcipher shell) and the settings.
The program runs in a fixed time zone whose clock reads 11:00 to 12:00, so
the spans typed below lie earlier the same day whenever the test runs.
"""

import configparser
import ctypes
import os
import re
import shutil
import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

warnings.filterwarnings("ignore", category=DeprecationWarning)  # replacements not exported

DATABASE_KEY = "pk5071wvbe"  # the program's own key (store/Schema.cpp)
EMPLOYEE = "Robin"
CR = "\n"  # message boxes show the program's CR line breaks as new lines
R = Atspi.Role


class WalkFailed(Exception):
    pass


def fail(message):
    raise WalkFailed(message)


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
    stack = [node]
    while stack:
        current = stack.pop()
        yield current
        stack.extend(reversed(children(current)))


def has_state(node, state):
    return safely(lambda: node.get_state_set().contains(state), False)


def role(node):
    return safely(node.get_role, None)


def name(node):
    return safely(node.get_name, "") or ""


def text_of(node):
    if "Text" not in node.get_interfaces():
        return name(node)
    return Atspi.Text.get_text(node, 0, Atspi.Text.get_character_count(node))


class Program:
    """The running program as the accessibility bus shows it."""

    def __init__(self, executable, environment, log):
        address = subprocess.run(
            ["dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus",
             "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
            check=True, capture_output=True, text=True).stdout.strip()
        self.bus = Gio.DBusConnection.new_for_address_sync(
            address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
            | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)
        self.process = subprocess.Popen([executable], env=environment, stdout=log,
                                        stderr=subprocess.STDOUT)
        self.root = wait_for("the program on the accessibility bus", lambda: next(
            (app for app in children(Atspi.get_desktop(0))
             if safely(app.get_process_id, None) == self.process.pid), None), 30)

    def alive(self):
        return self.process.poll() is None

    def windows(self):
        if not self.alive():
            fail(f"the program ended (status {self.process.returncode})")
        return [w for w in children(self.root) if has_state(w, Atspi.StateType.SHOWING)]

    def window(self, title, timeout=15):
        """A window or file dialog (message boxes are read with box())."""
        return wait_for(f'the window "{title}"', lambda: next(
            (w for w in self.windows() if name(w) == title and role(w) != R.ALERT), None), timeout)

    def gone(self, title):
        wait_for(f'the window "{title}" to close', lambda: all(
            name(w) != title or role(w) == R.ALERT for w in self.windows()))

    def no_box_open(self):
        boxes = [name(w) for w in self.windows() if role(w) in (R.ALERT, R.DIALOG)]
        if boxes:
            fail(f"unexpected message box: {boxes}")

    def control(self, window, wanted_role, wanted_name):
        return wait_for(f'{wanted_role.value_nick} "{wanted_name}" in "{name(window)}"',
                        lambda: next((n for n in descendants(window)
                                      if role(n) == wanted_role and name(n) == wanted_name
                                      and has_state(n, Atspi.StateType.SHOWING)), None), 10)

    def button(self, window, wanted_name):
        return self.control(window, R.PUSH_BUTTON, wanted_name)

    def press(self, node):
        """Presses a button without waiting for its handler, which may open a modal box."""
        names = [Atspi.Action.get_action_name(node, i)
                 for i in range(Atspi.Action.get_n_actions(node))]
        message = Gio.DBusMessage.new_method_call(
            node.app.bus_name, node.path, "org.a11y.atspi.Action", "DoAction")
        message.set_body(GLib.Variant("(i)", (names.index("Press") if "Press" in names else 0,)))
        message.set_flags(Gio.DBusMessageFlags.NO_REPLY_EXPECTED)
        self.bus.send_message(message, Gio.DBusSendMessageFlags.NONE)
        self.bus.flush_sync(None)

    def activate(self, window):
        """Makes the window take the keys. With no window manager that is a click
        in its bottom right corner, where no window has a control."""
        if has_state(window, Atspi.StateType.ACTIVE):
            return
        box = Atspi.Component.get_extents(window, Atspi.CoordType.SCREEN)
        Atspi.generate_mouse_event(box.x + box.width - 3, box.y + box.height - 3, "b1c")
        wait_for(f'the window "{name(window)}" to become active',
                 lambda: has_state(window, Atspi.StateType.ACTIVE), 5)

    def focus(self, node, window):
        self.activate(window)
        Atspi.Component.grab_focus(node)
        wait_for(f'the focus on "{name(node)}"',
                 lambda: has_state(node, Atspi.StateType.FOCUSED), 5)

    def click(self, node):
        """A left click in the middle of a control that has no action."""
        box = Atspi.Component.get_extents(node, Atspi.CoordType.SCREEN)
        Atspi.generate_mouse_event(box.x + box.width // 2, box.y + box.height // 2, "b1c")

    def box(self, title):
        """The message box with this title, read: (window, text, button names)."""
        window = wait_for(f'the message box "{title}"', lambda: next(
            (w for w in self.windows() if name(w) == title and role(w) in (R.ALERT, R.DIALOG)),
            None))
        labels = [text_of(n) for n in descendants(window) if role(n) == R.LABEL and text_of(n)]
        return window, CR.join(labels), [name(n) for n in descendants(window)
                                         if role(n) == R.PUSH_BUTTON]

    def answer(self, title, text, buttons, press):
        """Reads the box, checks what it says and offers, and presses `press`."""
        window, shown_text, shown_buttons = self.box(title)
        print(f"    box {title!r}: {shown_text!r} {shown_buttons}", flush=True)
        expect(f'the text of "{title}"', shown_text, text)
        expect(f'the buttons of "{title}"', shown_buttons, buttons)
        self.press(self.button(window, press))
        wait_for(f'the box "{title}" to go', lambda: window not in self.windows())

    def focused(self, window):
        return next((n for n in descendants(window) if has_state(n, Atspi.StateType.FOCUSED)
                     and role(n) not in (R.LIST_ITEM, R.TABLE_CELL)), None)

    def tab_to(self, window, wanted_role, wanted_name):
        """Moves the keyboard focus with Tab to the control."""
        for _ in range(30):
            node = self.focused(window)
            if node is not None and role(node) == wanted_role and name(node) == wanted_name:
                return node
            key("Tab")
            time.sleep(0.05)
        fail(f'Tab never reached {wanted_role.value_nick} "{wanted_name}"')

    def clear_and_type(self, window, node, text):
        self.focus(node, window)
        key("End")
        key("BackSpace", len(text_of(node)))
        type_text(text)
        expect(f'the text in "{name(node)}"', text_of(node), text)


KEYSYMS = {"Tab": 0xff09, "Return": 0xff0d, "Down": 0xff54, "Home": 0xff50, "End": 0xff57,
           "BackSpace": 0xff08, "space": 0x20}


def key(name_of_key, times=1):
    type_keysyms([KEYSYMS[name_of_key]] * times)


def type_text(text):
    type_keysyms([ord(char) for char in text])


def type_keysyms(keysyms):
    for keysym in keysyms:
        Atspi.generate_keyboard_event(keysym, None, Atspi.KeySynthType.SYM)
        time.sleep(0.03)


def query(database, sql):
    """Rows of a query as lists of texts; waits while the program holds the file locked."""
    result = subprocess.run(["sqlcipher", database], capture_output=True, text=True, input=(
        f"PRAGMA key = '{DATABASE_KEY}';\n.timeout 5000\n.mode list\n.separator |\n{sql};\n"))
    if result.returncode != 0 or result.stderr:
        fail(f"sqlcipher could not read the file: {result.stderr.strip()}")
    return [line.split("|") for line in result.stdout.splitlines() if line]


def x_output(*arguments):
    return subprocess.run(["xdotool", *arguments], capture_output=True, text=True).stdout


def x_windows(title):
    return x_output("search", "--onlyvisible", "--name", f"^{title}$").split()


def x_click(window, dx, dy, button):
    """Clicks at (dx, dy) from the X window's top left corner."""
    place = dict(line.split("=") for line in x_output("getwindowgeometry", "--shell",
                                                      window).split())
    subprocess.run(["xdotool", "mousemove", str(int(place["X"]) + dx),
                    str(int(place["Y"]) + dy), "click", str(button)], check=True)


def popup_menu(pid):
    """The program's open pop-up menu: a visible top-level X window of the
    process that bypasses the window manager."""
    for window in x_output("search", "--onlyvisible", "--pid", str(pid)).split():
        tree, state = (subprocess.run(["xwininfo", *flags, "-id", window], capture_output=True,
                                      text=True).stdout for flags in (["-children"], []))
        if ("Override Redirect State: yes" in state
                and re.search(r"Parent window id: .*\(the root window\)", tree)):
            return window
    return None


def close_window(title):
    """Asks the window to close as a window manager's close button does
    (WM_DELETE_WINDOW): the bus has no such action, the X server no manager."""
    ids = x_windows(title) or fail(f'no X window "{title}" to close')
    display = XLIB.XOpenDisplay(None) or fail("cannot open the X display")
    event = XEvent()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = int(ids[0], 0)
    event.xclient.message_type = XLIB.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = XLIB.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    XLIB.XSendEvent(display, event.xclient.window, 0, 0, ctypes.byref(event))
    XLIB.XFlush(display)
    XLIB.XCloseDisplay(display)


XLIB = ctypes.cdll.LoadLibrary("libX11.so.6")
XLIB.XOpenDisplay.restype = ctypes.c_void_p
XLIB.XOpenDisplay.argtypes = [ctypes.c_char_p]
XLIB.XInternAtom.restype = ctypes.c_ulong
XLIB.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
XLIB.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                            ctypes.c_void_p]
XLIB.XFlush.argtypes = XLIB.XCloseDisplay.argtypes = [ctypes.c_void_p]


class XClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", XClientMessage), ("pad", ctypes.c_long * 24)]


class Walk:
    def __init__(self, executable, work, shots):
        self.shots = shots
        self.data = os.path.join(os.environ["XDG_DATA_HOME"], "hourloom")
        self.settings = os.path.join(os.environ["XDG_CONFIG_HOME"], "hourloom", "hourloom.ini")
        self.database = os.path.join(work, "shared", "Team.HL1")
        shutil.rmtree(os.path.dirname(self.database), ignore_errors=True)
        os.makedirs(os.path.dirname(self.database))
        # A fixed-offset zone whose wall clock now reads 11:00 to 12:00 (POSIX counts west).
        zone = f"HLW{-((11 - time.gmtime().tm_hour + 12) % 24 - 12):+d}"
        os.environ["TZ"] = zone
        time.tzset()
        self.today = time.strftime("%Y-%m-%d")
        self.log = open(os.path.join(work, "app.log"), "w")
        print(f"time zone {zone}: the program's clock reads {time.strftime('%H:%M')}", flush=True)
        self.program = Program(executable, dict(
            os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb", TZ=zone),
            self.log)

    def rows(self, sql):
        return query(self.database, sql)

    def setting(self, section, key_name):
        settings = configparser.ConfigParser(interpolation=None)
        settings.optionxform = str
        settings.read(self.settings)
        return settings.get(section, key_name, fallback=None)

    def screenshot(self, title, file_name):
        if ids := x_windows(title):
            subprocess.run(["import", "-window", ids[0], os.path.join(self.shots, file_name)])

    def first_start(self):
        step("first start: no database, Time and Settings creates one")
        p = self.program
        p.answer("Hourloom", "Database not detected. " + CR + "Opening Time and Settings form." + CR
                 + "Use button with file folder icon to create or open a database.", ["OK"], "OK")
        setup = p.window("Time and Settings")
        # Closing it without a database asks first; No keeps it.
        close_window("Time and Settings")
        p.answer("Database Not Found...      Close Program?", CR.join([
            "Close Program?", "Database was not opened.", "", "Yes to EXIT", "",
            "No to go back to Hourloom program.",
            " - After selecting No either OPEN or CREATE a *.hl1 database file.",
            "  - Use the button with open file folder icon."]), ["Yes", "No"], "No")
        p.press(p.button(setup, "Create or Open Database File"))
        p.answer("Database Use", CR.join([
            "Create database? ", "Yes for new Database.",
            " -Use a network drive if planning to share file.", "",
            "No to open existing Hourloom 1.1 database.",
            " -Hourloom database file has *.hl1 file extention."]), ["Yes", "No"], "Yes")
        dialog = p.window("Save As")
        file_name = p.control(dialog, R.TEXT, "File name:")
        expect("the proposed file name", text_of(file_name), "Hourloom.HL1")
        # Typed without its extension: the program adds ".HL1".
        p.clear_and_type(dialog, file_name, self.database[:-len(".HL1")])
        key("Return")
        p.gone("Save As")
        wait_for("the location shown", lambda: any(
            text_of(n) == self.database for n in descendants(setup) if role(n) == R.LABEL))
        expect("the new file's tables",
               self.rows("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"),
               [["tblClient"], ["tblTimeSheet"], ["tblWork"]])
        p.clear_and_type(setup, p.control(setup, R.TEXT, "Employee ID"), EMPLOYEE)
        p.clear_and_type(setup, p.control(setup, R.TEXT, "Company Name"), "Brightmere")
        self.screenshot("Time and Settings", "walk-setup.png")
        p.press(p.button(setup, "Accept Changes"))
        p.gone("Time and Settings")
        expect("the settings", [self.setting("frmReportCriteria", "Emp"),
                                self.setting("frmSetup", "gDataBaseLoc"),
                                self.setting("frmSetup", "gDataBaseName")],
               [EMPLOYEE, self.database, "Team.HL1"])
        # Start-up runs again: the splash, then Time Control with the help for empty lists.
        p.window("Hourloom Help")
        close_window("Hourloom Help")
        p.gone("Hourloom Help")
        self.control = p.window("Hourloom")
        p.no_box_open()

    def open_from_control(self, button, title):
        """Presses a Time Control button that swaps it for another window."""
        self.program.press(self.program.button(self.control, button))
        window = self.program.window(title)
        self.program.gone("Hourloom")
        return window

    def back_to_control(self, title):
        close_window(title)
        self.program.gone(title)
        self.control = self.program.window("Hourloom")

    def code_lists(self):
        step("two clients and two work codes, typed with the keyboard")
        p = self.program
        for button, title, label, names in (
                ("Client Information Input", "Add Client Identification", "Client Name",
                 ("Acme", "Globex")),
                ("Work Information Input", "Work Codes", "Work Description", ("Design", "Build"))):
            window = self.open_from_control(button, title)
            name_box = p.control(window, R.TEXT, label)
            for entry in names:
                p.clear_and_type(window, name_box, entry)
                key("Return")  # the default button: add
                wait_for(f'"{entry}" added', lambda: text_of(name_box) == "")
            self.back_to_control(title)
        expect("the codes", self.rows(
            "SELECT ClientNumber, ClientName FROM tblClient UNION ALL "
            "SELECT WorkCode, WorkDescription FROM tblWork"),
            [["1", "Acme"], ["2", "Globex"], ["1", "Design"], ["2", "Build"]])

    def type_time(self, window, picker, hour, minute):
        """Types a time into the picker section by section."""
        node = self.program.tab_to(window, R.SPIN_BUTTON, picker)
        half = "am" if hour < 12 else "pm"
        type_text(f"{hour % 12 or 12}:{minute:02d}{half}")
        wanted = f"{hour % 12 or 12}:{minute:02d} {half.upper()}"
        wait_for(f'"{wanted}" in "{picker}"', lambda: text_of(node) == wanted, 5,
                 lambda: text_of(node))

    def choose(self, window, list_name, row):
        """Chooses a row of a list with the arrow keys."""
        node = self.program.tab_to(window, R.LIST, list_name)
        key("End")  # Home alone selects nothing when the first row is already current
        key("Home")
        key("Down", row)
        wanted = name(children(node)[row])
        wait_for(f'"{wanted}" chosen in "{list_name}"', lambda: any(
            name(item) == wanted and has_state(item, Atspi.StateType.SELECTED)
            for item in children(node)), 5)

    def record_span(self, client_row, work_row, begin, end):
        p, window = self.program, self.control
        p.activate(window)
        self.choose(window, "Client", client_row)
        self.choose(window, "Work", work_row)
        self.type_time(window, "Begin time", *begin)
        self.type_time(window, "End time", *end)
        p.tab_to(window, R.PUSH_BUTTON, "Add Time")
        before = self.rows("SELECT count(*) FROM tblTimeSheet")
        key("space")
        time.sleep(0.5)
        for box in p.windows():
            if role(box) == R.ALERT:
                fail(f'Add Time recorded nothing; "{name(box)}" says: {p.box(name(box))[1]!r}')
        wait_for("the record in the file",
                 lambda: self.rows("SELECT count(*) FROM tblTimeSheet") != before, 5)

    def record_three_spans(self):
        step("three spans recorded in Time Control with the keyboard only")
        # No time typed is before the begin while it is typed: such a span is reset.
        self.record_span(0, 0, (5, 0), (5, 45))   # Acme, Design
        self.record_span(1, 1, (8, 0), (8, 30))   # Globex, Build
        self.record_span(0, 1, (8, 30), (9, 15))  # Acme, Build
        expect("the three records", self.records(), [
            self.record("05:00", "05:45", "1", "Acme", "1", "Design"),
            self.record("08:00", "08:30", "2", "Globex", "2", "Build"),
            self.record("08:30", "09:15", "1", "Acme", "2", "Build")])
        self.screenshot("Hourloom", "time-control.png")

    def record(self, begin, end, client_number, client, work_code, work, made="at recording"):
        return [f"{self.today} {begin}:00", f"{self.today} {end}:00", client_number, client,
                work_code, work, EMPLOYEE, made]

    def records(self):
        """Every record; its Date as "at recording" (Time Control: the moment,
        after the span) or "that midnight" (Activity Log: the day at 0:00)."""
        return self.rows(
            "SELECT BeginTime, EndTime, ClientNumber, ClientName, WorkCode, WorkDescription, "
            "Employee, CASE WHEN Date = date(EndTime) || ' 00:00:00' THEN 'that midnight' "
            "WHEN Date >= EndTime AND date(Date) = date(EndTime) THEN 'at recording' "
            "ELSE Date END FROM tblTimeSheet ORDER BY BeginTime")

    def press_day_row(self, grid, begin, end_picker, end):
        """Presses the day list's row beginning at `begin` (it takes a mouse press only)."""
        wanted = f"{time.strftime('%-m/%-d/%Y')} {begin}"
        cells = [Atspi.Table.get_accessible_at(grid, row, 4)
                 for row in range(Atspi.Table.get_n_rows(grid))]
        row = next((row for row, cell in enumerate(cells) if text_of(cell) == wanted), None)
        if row is None:
            fail(f'no row beginning at "{wanted}" in the day list')
        self.program.click(Atspi.Table.get_accessible_at(grid, row, 0))
        wait_for("the pressed record in the pickers", lambda: text_of(end_picker) == end, 5)

    def activity_log(self):
        step("Activity Log: one record corrected, one deleted")
        p = self.program
        log = self.open_from_control("Activity Log", "Activity Log")
        grid = p.control(log, R.TABLE, "Activity Log")
        expect("the rows of the day list", Atspi.Table.get_n_rows(grid), 3)
        end = p.control(log, R.SPIN_BUTTON, "End time")
        self.press_day_row(grid, "8:30:00 AM", end, "9:15 AM")
        p.focus(end, log)
        type_text("9:45am")
        wait_for("the corrected end", lambda: text_of(end) == "9:45 AM", 5)
        p.press(p.button(log, "Add Time"))
        wait_for("the correction in the file", lambda: [f"{self.today} 09:45:00"] in self.rows(
            "SELECT EndTime FROM tblTimeSheet"), 5)
        self.press_day_row(grid, "8:00:00 AM", end, "8:30 AM")
        p.press(p.button(log, "Delete Selected"))
        wait_for("the deleted record gone from the day list",
                 lambda: Atspi.Table.get_n_rows(grid) == 2, 5)
        p.no_box_open()
        expect("the records after the Activity Log", self.records(), [
            self.record("05:00", "05:45", "1", "Acme", "1", "Design"),
            self.record("08:30", "09:45", "1", "Acme", "2", "Build", "that midnight")])
        self.back_to_control("Activity Log")

    def delete_client(self):
        step("client list: one client deleted (OK), another kept (Cancel)")
        p = self.program
        title = "Add Client Identification"
        window = self.open_from_control("Client Information Input", title)
        grid = p.control(window, R.TABLE, title)
        p.activate(window)
        p.tab_to(window, R.TABLE, title)
        key("Down")  # from the first row, Acme, to Globex
        for answer, entry in (("OK", "Globex 2"), ("Cancel", "Acme 1")):
            p.press(p.button(window, "Delete Client"))
            p.answer("Delete Notice", f"Delete {entry} from client list?", ["OK", "Cancel"],
                     answer)
            wait_for("the list after the answer", lambda: Atspi.Table.get_n_rows(grid) == 1, 5)
        p.no_box_open()
        expect("the clients left", self.rows("SELECT ClientNumber, ClientName FROM tblClient"),
               [["1", "Acme"]])
        self.back_to_control(title)

    def maintenance(self):
        step("Time and Settings: Delete Old Records Cancel and OK, Compact No and Yes")
        p = self.program
        setup = self.open_from_control("Time and Settings", "Time and Settings")
        # 0.2 days (4 h 48 min) back from late morning: the 5:00 record is old.
        p.clear_and_type(setup, p.control(setup, R.TEXT, "Keep Records"), "0.2")
        ask = "Permenently delete 1 records from database?"
        p.press(p.button(setup, "Delete Old Records"))
        p.answer("Hourloom", ask, ["OK", "Cancel"], "Cancel")
        p.no_box_open()
        expect("the records after Cancel", len(self.records()), 2)
        p.press(p.button(setup, "Delete Old Records"))
        p.answer("Hourloom", ask, ["OK", "Cancel"], "OK")
        p.answer("Hourloom", "1 records were deleted from database.  You may want to compress "
                 "database now.", ["OK"], "OK")
        expect("the records after OK", self.records(), [
            self.record("08:30", "09:45", "1", "Acme", "2", "Build", "that midnight")])
        if not os.path.isfile(self.database + ".bak"):
            fail("no copy was kept before the purge")
        warning = CR.join(["Suggest that a back-up of the existing database.",
                           "Also suggest all users of the database exit out of Hourloom "
                           "until compacting is completed.", "", "Continoue?"])
        p.press(p.button(setup, "Compact Database"))
        p.answer("Warning", warning, ["Yes", "No"], "No")
        p.answer("Action Canceled", "Compacting Canceled", ["OK"], "OK")
        p.press(p.button(setup, "Compact Database"))
        p.answer("Warning", warning, ["Yes", "No"], "Yes")
        p.answer("Hourloom", "Beginning to compact database this may take a few minutes.  "
                 "Please wait for completion message before continuing.", ["OK"], "OK")
        p.answer("Hourloom", "Database has now been compacted.  Hourloom is now ready for use",
                 ["OK"], "OK")
        p.no_box_open()
        expect("the records after compacting", len(self.records()), 1)
        expect("the file's own check", self.rows("PRAGMA integrity_check"), [["ok"]])
        p.press(p.button(setup, "Accept Changes"))
        p.gone("Time and Settings")
        expect("the days kept", self.setting("frmSetup", "DaysOld"), "0.2")
        self.control = p.window("Hourloom")

    def report(self):
        step("report of today, exported as CSV")
        p = self.program
        title = "Hourloom Report"
        window = self.open_from_control("Time Sheet Report", title)
        p.activate(window)
        today = time.strftime("%-m/%-d/%Y")
        for picker in ("To", "From"):  # the default range is last week
            node = p.tab_to(window, R.SPIN_BUTTON, picker)
            # Two digits fill a part and move on; a "/" typed then would skip a part.
            type_text(time.strftime("%m%d%Y"))
            # The picker shows the digits as typed until it loses the focus.
            wait_for(f'{today} in "{picker}"', lambda: text_of(node).replace("/0", "/").lstrip(
                "0") == today, 5, lambda: text_of(node))
        page = os.path.join(self.data, "report.htm")
        wait_for("today's record in the report page", lambda: os.path.isfile(page) and
                 "<TD>1HRs 15Mins</TD>" in open(page, encoding="utf-8", errors="replace").read(),
                 5)
        self.screenshot(title, "walk-report.png")
        p.press(p.button(window, "Export"))
        dialog = p.window("Export")
        expect("the proposed export name", text_of(p.control(dialog, R.TEXT, "File name:")),
               f"{EMPLOYEE}.csv")
        p.activate(dialog)
        key("Return")
        p.gone("Export")
        p.no_box_open()
        exported = os.path.join(self.data, f"{EMPLOYEE}.csv")
        wait_for("the CSV file", lambda: os.path.isfile(exported), 5)
        with open(exported, "rb") as csv_file:
            expect("the CSV bytes", csv_file.read(),
                   b'"Client Number","ClientName","Work Code","Work Description","Total Time",'
                   b'"Employee"\r\n1,"Acme",2,"Build","1HRs 15Mins","Robin"\r\n')
        expect("the export folder setting", self.setting("frmReportCriteria", "sExport"),
               self.data + "/")
        self.back_to_control(title)

    def exit_from_tray(self):
        step("Exit from the tray menu (the menu is not on the bus: X events)")
        tray = x_windows("panel") or fail("no tray host")
        x_click(tray[0], 16, 16, 3)
        menu = wait_for("the tray menu", lambda: popup_menu(self.program.process.pid), 10)
        x_click(menu, 20, 12, 1)  # Exit, the first item
        try:
            expect("the program's exit status", self.program.process.wait(10), 0)
        except subprocess.TimeoutExpired:
            fail("Exit in the tray menu did not end the program")


def step(text):
    print(f"--- {text}", flush=True)


def main():
    walk = Walk(*sys.argv[1:4])
    started = time.monotonic()
    try:
        for part in (walk.first_start, walk.code_lists, walk.record_three_spans,
                     walk.activity_log, walk.delete_client, walk.maintenance, walk.report,
                     walk.exit_from_tray):
            part()
        print(f"the walk took {time.monotonic() - started:.0f} s")
    except WalkFailed as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        subprocess.run(["import", "-window", "root", os.path.join(walk.shots, "walk-failed.png")])
        walk.log.flush()
        with open(walk.log.name) as log:
            sys.stdout.write("the program's output:\n" + log.read())
        return 1
    finally:
        if walk.program.alive():
            walk.program.process.kill()
        walk.log.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
