#!/usr/bin/python3
"""The acceptance walk over the accessibility bus; see acceptance_walk.sh.

Runs inside a private session bus and an X server with a tray host. Every
control is found by its role and accessible name, buttons are pressed with
their accessibility action, text and keys go in as generated keyboard events,
and every message box on the way is read (title, text, buttons) and answered
the same way. What the program did is then read from the database file (with
the sqlcipher shell) and from the settings file.

The program runs in a fixed time zone chosen so that its wall clock reads
between 11:00 and 12:00 when the walk starts: the spans typed in below then
lie earlier the same day, whatever the time of day the test runs at.
"""

import configparser
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

# Atspi marks some calls deprecated whose replacements it does not export.
warnings.filterwarnings("ignore", category=DeprecationWarning)

DATABASE_KEY = "pk5071wvbe"  # the program's own key (store/Schema.cpp)
EMPLOYEE = "Robin"
CR = "\n"  # message boxes show the program's CR line breaks as new lines


class WalkFailed(Exception):
    pass


def fail(message):
    raise WalkFailed(message)


def expect(what, actual, wanted):
    if actual != wanted:
        fail(f"{what}: got {actual!r}, expected {wanted!r}")


def wait_for(what, probe, timeout=15, seen=None):
    """Polls `probe` until it gives something; on timeout `seen()` says what
    there was instead."""
    deadline = time.monotonic() + timeout
    while True:
        found = probe()
        if found:
            return found
        if time.monotonic() > deadline:
            fail(f"timed out waiting for {what}" + (f" (there was {seen()!r})" if seen else ""))
        time.sleep(0.05)


def step(text):
    sys.stdout.flush()
    print(f"--- {text}", flush=True)


# ---------------------------------------------------------------- the bus


def accessibility_bus():
    """Starts the accessibility bus on the private session bus."""
    address = subprocess.run(
        ["dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus",
         "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
        check=True, capture_output=True, text=True).stdout.strip()
    flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
             | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
    return Gio.DBusConnection.new_for_address_sync(address, flags, None, None)


def children(node):
    try:
        count = node.get_child_count()
    except GLib.Error:
        return []
    kids = []
    for i in range(count):
        try:
            kid = node.get_child_at_index(i)
        except GLib.Error:
            continue
        if kid is not None:
            kids.append(kid)
    return kids


def descendants(node):
    stack = [node]
    while stack:
        current = stack.pop()
        yield current
        stack.extend(reversed(children(current)))


def showing(node):
    try:
        return node.get_state_set().contains(Atspi.StateType.SHOWING)
    except GLib.Error:
        return False


def role(node):
    try:
        return node.get_role()
    except GLib.Error:
        return None


def name(node):
    try:
        return node.get_name() or ""
    except GLib.Error:
        return ""


class Program:
    """The running program as the accessibility bus shows it."""

    def __init__(self, executable, environment, log):
        self.bus = accessibility_bus()
        self.process = subprocess.Popen([executable], env=environment, stdout=log,
                                        stderr=subprocess.STDOUT)
        self.root = wait_for("the program on the accessibility bus", self._find_root, 30)

    def _find_root(self):
        desktop = Atspi.get_desktop(0)
        for app in children(desktop):
            try:
                if app.get_process_id() == self.process.pid:
                    return app
            except GLib.Error:
                pass
        return None

    def alive(self):
        return self.process.poll() is None

    def windows(self):
        if not self.alive():
            fail(f"the program ended (status {self.process.returncode})")
        return [w for w in children(self.root) if showing(w)]

    def window(self, title, timeout=15):
        """A window or file dialog (message boxes are read with box())."""
        return wait_for(f'the window "{title}"', lambda: next(
            (w for w in self.windows() if name(w) == title and role(w) != Atspi.Role.ALERT),
            None), timeout)

    def gone(self, title, timeout=15):
        wait_for(f'the window "{title}" to close', lambda: all(
            name(w) != title or role(w) == Atspi.Role.ALERT for w in self.windows()), timeout)

    def no_box_open(self):
        boxes = [name(w) for w in self.windows()
                 if role(w) in (Atspi.Role.ALERT, Atspi.Role.DIALOG)]
        if boxes:
            fail(f"unexpected message box: {boxes}")

    # ---- controls

    def control(self, window, wanted_role, wanted_name, timeout=10):
        def probe():
            for node in descendants(window):
                if role(node) == wanted_role and name(node) == wanted_name and showing(node):
                    return node
            return None
        return wait_for(f'{wanted_role.value_nick} "{wanted_name}" in "{name(window)}"',
                        probe, timeout)

    def button(self, window, wanted_name):
        return self.control(window, Atspi.Role.PUSH_BUTTON, wanted_name)

    def press(self, node):
        """Presses a button without waiting for its handler: a handler that
        opens a modal box would otherwise hold the call until the box goes."""
        names = [Atspi.Action.get_action_name(node, i)
                 for i in range(Atspi.Action.get_n_actions(node))]
        index = names.index("Press") if "Press" in names else 0
        message = Gio.DBusMessage.new_method_call(
            node.app.bus_name, node.path, "org.a11y.atspi.Action", "DoAction")
        message.set_body(GLib.Variant("(i)", (index,)))
        message.set_flags(Gio.DBusMessageFlags.NO_REPLY_EXPECTED)
        self.bus.send_message(message, Gio.DBusSendMessageFlags.NONE)
        self.bus.flush_sync(None)

    def activate(self, window):
        """Makes the window the one that takes the keys. With no window
        manager that is done by a click into it: a click in its bottom right
        corner, where no window has a control that acts on a click."""
        if window.get_state_set().contains(Atspi.StateType.ACTIVE):
            return
        box = Atspi.Component.get_extents(window, Atspi.CoordType.SCREEN)
        Atspi.generate_mouse_event(box.x + box.width - 3, box.y + box.height - 3, "b1c")
        wait_for(f'the window "{name(window)}" to become active',
                 lambda: window.get_state_set().contains(Atspi.StateType.ACTIVE), 5)

    def focus(self, node, window):
        self.activate(window)
        Atspi.Component.grab_focus(node)
        wait_for(f'the focus on "{name(node)}"',
                 lambda: node.get_state_set().contains(Atspi.StateType.FOCUSED), 5)

    def click(self, node):
        """A left click in the middle of the control, as assistive
        technology routes the pointer (for controls with no action)."""
        box = Atspi.Component.get_extents(node, Atspi.CoordType.SCREEN)
        Atspi.generate_mouse_event(box.x + box.width // 2, box.y + box.height // 2, "b1c")

    def text(self, node):
        if "Text" not in node.get_interfaces():
            return name(node)
        return Atspi.Text.get_text(node, 0, Atspi.Text.get_character_count(node))

    # ---- message boxes

    def box(self, title, timeout=15):
        """The message box with this title, read: (text, buttons)."""
        window = wait_for(
            f'the message box "{title}"',
            lambda: next((w for w in self.windows() if name(w) == title
                          and role(w) in (Atspi.Role.ALERT, Atspi.Role.DIALOG)), None),
            timeout)
        labels = [self.text(n) for n in descendants(window)
                  if role(n) == Atspi.Role.LABEL and self.text(n)]
        buttons = [n for n in descendants(window) if role(n) == Atspi.Role.PUSH_BUTTON]
        return window, CR.join(labels), [name(b) for b in buttons]

    def answer(self, title, text, buttons, press):
        """Reads the box, checks what it says and offers, and presses `press`."""
        window, shown_text, shown_buttons = self.box(title)
        print(f"    box {title!r}: {shown_text!r} {shown_buttons}", flush=True)
        expect(f'the text of "{title}"', shown_text, text)
        expect(f'the buttons of "{title}"', shown_buttons, buttons)
        self.press(self.button(window, press))
        wait_for(f'the box "{title}" to go', lambda: window not in self.windows())


# ---------------------------------------------------------------- keys

KEYSYMS = {"Tab": 0xff09, "Return": 0xff0d, "Down": 0xff54, "Home": 0xff50, "End": 0xff57,
           "BackSpace": 0xff08, "space": 0x20}


def key(name_of_key, times=1):
    for _ in range(times):
        Atspi.generate_keyboard_event(KEYSYMS[name_of_key], None, Atspi.KeySynthType.SYM)
        time.sleep(0.03)


def type_text(text):
    for char in text:
        Atspi.generate_keyboard_event(ord(char), None, Atspi.KeySynthType.SYM)
        time.sleep(0.03)


# ---------------------------------------------------------------- files


def query(database, sql):
    """Rows of a query on the database file, as lists of texts. Waits while
    the program holds the file locked for a write."""
    script = (f"PRAGMA key = '{DATABASE_KEY}';\n.timeout 5000\n.mode list\n.separator |\n"
              f"{sql};\n")
    result = subprocess.run(["sqlcipher", database], input=script, capture_output=True,
                            text=True)
    if result.returncode != 0 or result.stderr:
        fail(f"sqlcipher could not read the file: {result.stderr.strip()}")
    return [line.split("|") for line in result.stdout.splitlines() if line]


def ini(path):
    settings = configparser.ConfigParser(interpolation=None)
    settings.optionxform = str
    settings.read(path)
    return settings


def screenshot(shots, title, file_name):
    ids = x_output("search", "--onlyvisible", "--name", f"^{title}$").split()
    if ids:
        subprocess.run(["import", "-window", ids[0], os.path.join(shots, file_name)])


def popup_menu(pid):
    """The program's open pop-up menu: a visible top-level X window of the
    process that bypasses the window manager."""
    for window in x_output("search", "--onlyvisible", "--pid", str(pid)).split():
        info = subprocess.run(["xwininfo", "-children", "-id", window], capture_output=True,
                              text=True).stdout
        state = subprocess.run(["xwininfo", "-id", window], capture_output=True,
                               text=True).stdout
        if ("Override Redirect State: yes" in state
                and re.search(r"Parent window id: .*\(the root window\)", info)):
            return window
    return None


def x_output(*arguments):
    return subprocess.run(["xdotool", *arguments], capture_output=True, text=True).stdout


def x_click(window, dx, dy, button):
    """Clicks at (dx, dy) from the X window's top left corner."""
    place = dict(line.split("=") for line in x_output("getwindowgeometry", "--shell",
                                                      window).split())
    subprocess.run(["xdotool", "mousemove", str(int(place["X"]) + dx),
                    str(int(place["Y"]) + dy), "click", str(button)], check=True)


def time_zone_for_late_morning():
    """A fixed-offset zone whose wall clock now reads between 11:00 and 12:00."""
    hour = time.gmtime().tm_hour
    offset = (11 - hour + 12) % 24 - 12  # -12 .. +11 hours east of UTC
    # POSIX zones count hours west of UTC.
    return f"HLW{-offset:+d}"


def clear_and_type(program, window, node, text):
    program.focus(node, window)
    key("End")
    key("BackSpace", len(program.text(node)))
    type_text(text)
    expect(f'the text in "{name(node)}"', program.text(node), text)


def close_window(title):
    """Closes a window as a window manager's close button does (the bus
    offers no such action; the test X server has no window manager)."""
    ids = x_output("search", "--onlyvisible", "--name", f"^{title}$").split()
    if not ids:
        fail(f'no X window "{title}" to close')
    subprocess.run([sys.executable, os.path.join(os.path.dirname(__file__), "xclose.py"),
                    ids[0]], check=True)


class Walk:
    def __init__(self, executable, work, shots):
        self.work = work
        self.shots = shots
        self.data = os.path.join(os.environ["XDG_DATA_HOME"], "hourloom")
        self.settings = os.path.join(os.environ["XDG_CONFIG_HOME"], "hourloom", "hourloom.ini")
        self.database = os.path.join(work, "shared", "Team.HL1")
        shutil.rmtree(os.path.dirname(self.database), ignore_errors=True)
        os.makedirs(os.path.dirname(self.database))
        zone = time_zone_for_late_morning()
        os.environ["TZ"] = zone
        time.tzset()
        self.today = time.strftime("%Y-%m-%d")
        environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                           QT_QPA_PLATFORM="xcb", TZ=zone)
        self.log = open(os.path.join(work, "app.log"), "w")
        print(f"time zone {zone}: the program's clock reads {time.strftime('%H:%M')}", flush=True)
        self.program = Program(executable, environment, self.log)

    def rows(self, sql):
        return query(self.database, sql)

    def setting(self, section, key_name):
        return ini(self.settings).get(section, key_name, fallback=None)

    def first_start(self):
        step("first start: no database, Time and Settings creates one")
        p = self.program
        p.answer("Hourloom", "Database not detected. " + CR + "Opening Time and Settings form." + CR
                 + "Use button with file folder icon to create or open a database.", ["OK"], "OK")
        setup = p.window("Time and Settings")
        p.press(p.button(setup, "Create or Open Database File"))
        p.answer("Database Use", CR.join([
            "Create database? ", "Yes for new Database.",
            " -Use a network drive if planning to share file.", "",
            "No to open existing Hourloom 1.1 database.",
            " -Hourloom database file has *.hl1 file extention."]), ["Yes", "No"], "Yes")
        dialog = p.window("Save As")
        file_name = p.control(dialog, Atspi.Role.TEXT, "File name:")
        expect("the proposed file name", p.text(file_name), "Hourloom.HL1")
        # Typed without its extension: the program adds ".HL1".
        clear_and_type(p, dialog, file_name, self.database[:-len(".HL1")])
        key("Return")
        p.gone("Save As")
        wait_for("the location shown", lambda: any(
            p.text(n) == self.database for n in descendants(setup) if role(n) == Atspi.Role.LABEL))
        expect("the new file's tables",
               self.rows("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"),
               [["tblClient"], ["tblTimeSheet"], ["tblWork"]])
        clear_and_type(p, setup, p.control(setup, Atspi.Role.TEXT, "Employee ID"), EMPLOYEE)
        clear_and_type(p, setup, p.control(setup, Atspi.Role.TEXT, "Company Name"), "Brightmere")
        screenshot(self.shots, "Time and Settings", "walk-setup.png")
        p.press(p.button(setup, "Accept Changes"))
        p.gone("Time and Settings")
        expect("the employee setting", self.setting("frmReportCriteria", "Emp"), EMPLOYEE)
        expect("the database setting", self.setting("frmSetup", "gDataBaseLoc"), self.database)
        expect("the file name setting", self.setting("frmSetup", "gDataBaseName"), "Team.HL1")
        # Start-up runs again: the splash, then the Time Control window with
        # the help page for empty lists.
        p.window("Hourloom Help")
        close_window("Hourloom Help")
        p.gone("Hourloom Help")
        self.control = p.window("Hourloom")
        p.no_box_open()

    def open_from_control(self, button, title):
        """Presses a Time Control button that swaps it for another window."""
        p = self.program
        p.press(p.button(self.control, button))
        window = p.window(title)
        p.gone("Hourloom")
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
                ("Work Information Input", "Work Codes", "Work Description",
                 ("Design", "Build"))):
            window = self.open_from_control(button, title)
            name_box = p.control(window, Atspi.Role.TEXT, label)
            for entry in names:
                clear_and_type(p, window, name_box, entry)
                key("Return")  # the default button: add
                wait_for(f'"{entry}" added', lambda: p.text(name_box) == "")
            self.back_to_control(title)
        expect("the clients", self.rows("SELECT ClientNumber, ClientName FROM tblClient "
                                         "ORDER BY ClientNumber"), [["1", "Acme"], ["2", "Globex"]])
        expect("the work codes", self.rows("SELECT WorkCode, WorkDescription FROM tblWork "
                                            "ORDER BY WorkCode"), [["1", "Design"], ["2", "Build"]])

    def tab_until(self, what, reached):
        """Moves the keyboard focus with Tab until `reached()`."""
        for _ in range(30):
            if reached():
                return
            key("Tab")
            time.sleep(0.05)
        fail(f"Tab never reached {what}")

    def tab_to(self, window, wanted_role, wanted_name):
        """Moves the keyboard focus with Tab to the control."""
        def reached():
            node = self.focused(window)
            return node is not None and role(node) == wanted_role and name(node) == wanted_name
        self.tab_until(f'{wanted_role.value_nick} "{wanted_name}"', reached)
        return self.focused(window)

    def type_time(self, window, picker, hour, minute):
        """Types a time into the focused picker section by section."""
        self.tab_to(window, Atspi.Role.SPIN_BUTTON, picker)
        node = self.focused(window)
        type_text(f"{hour % 12 or 12}:{minute:02d}{'am' if hour < 12 else 'pm'}")
        wanted = f"{hour % 12 or 12}:{minute:02d} {'AM' if hour < 12 else 'PM'}"
        wait_for(f'"{wanted}" in "{picker}"', lambda: self.program.text(node) == wanted, 5,
                 lambda: self.program.text(node))

    def choose(self, window, list_name, row):
        """Chooses a row of a list with the arrow keys."""
        node = self.tab_to(window, Atspi.Role.LIST, list_name)
        # Home alone selects nothing when the first row is already current.
        key("End")
        key("Home")
        key("Down", row)
        wanted = name(children(node)[row])
        wait_for(f'"{wanted}" chosen in "{list_name}"', lambda: any(
            name(item) == wanted and item.get_state_set().contains(Atspi.StateType.SELECTED)
            for item in children(node)), 5)

    def record_span(self, client_row, work_row, begin, end):
        p = self.program
        window = self.control
        p.activate(window)
        self.choose(window, "Client", client_row)
        self.choose(window, "Work", work_row)
        self.type_time(window, "Begin time", *begin)
        self.type_time(window, "End time", *end)
        self.tab_to(window, Atspi.Role.PUSH_BUTTON, "Add Time")
        before = self.rows("SELECT count(*) FROM tblTimeSheet")
        key("space")
        time.sleep(0.5)
        for box in p.windows():
            if role(box) == Atspi.Role.ALERT:
                fail(f'Add Time recorded nothing; the box "{name(box)}" says: '
                     f"{p.box(name(box))[1]!r}")
        wait_for("the record in the file",
                 lambda: self.rows("SELECT count(*) FROM tblTimeSheet") != before, 5)

    def record_three_spans(self):
        step("three spans recorded in Time Control with the keyboard only")
        # Each time typed is never before the begin while it is typed: the
        # window resets a span that ends before it begins.
        self.record_span(0, 0, (5, 0), (5, 45))   # Acme, Design
        self.record_span(1, 1, (8, 0), (8, 30))   # Globex, Build
        self.record_span(0, 1, (8, 30), (9, 15))  # Acme, Build
        expect("the three records", self.records(), [
            self.record("05:00", "05:45", "1", "Acme", "1", "Design"),
            self.record("08:00", "08:30", "2", "Globex", "2", "Build"),
            self.record("08:30", "09:15", "1", "Acme", "2", "Build")])

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

    def press_day_row(self, grid, begin):
        """Presses the row of the day list whose span begins at `begin`
        (the list takes a row on a mouse press only)."""
        day = time.strftime("%-m/%-d/%Y")
        wanted = f"{day} {begin}"
        for row in range(Atspi.Table.get_n_rows(grid)):
            if self.program.text(Atspi.Table.get_accessible_at(grid, row, 4)) == wanted:
                self.program.click(Atspi.Table.get_accessible_at(grid, row, 0))
                return
        fail(f'no row beginning at "{wanted}" in the day list')

    def activity_log(self):
        step("Activity Log: one record corrected, one deleted")
        p = self.program
        log = self.open_from_control("Activity Log", "Activity Log")
        grid = p.control(log, Atspi.Role.TABLE, "Activity Log")
        expect("the rows of the day list", Atspi.Table.get_n_rows(grid), 3)
        end = p.control(log, Atspi.Role.SPIN_BUTTON, "End time")
        self.press_day_row(grid, "8:30:00 AM")
        wait_for("the pressed record in the pickers", lambda: p.text(end) == "9:15 AM", 5)
        p.focus(end, log)
        type_text("9:45am")
        wait_for("the corrected end", lambda: p.text(end) == "9:45 AM", 5)
        p.press(p.button(log, "Add Time"))
        wait_for("the correction in the file", lambda: [f"{self.today} 09:45:00"] in self.rows(
            "SELECT EndTime FROM tblTimeSheet"), 5)
        self.press_day_row(grid, "8:00:00 AM")
        wait_for("the pressed record in the pickers", lambda: p.text(end) == "8:30 AM", 5)
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
        grid = p.control(window, Atspi.Role.TABLE, title)
        p.activate(window)
        self.tab_to(window, Atspi.Role.TABLE, title)
        key("Down")  # from the first row, Acme, to Globex
        p.press(p.button(window, "Delete Client"))
        p.answer("Delete Notice", "Delete Globex 2 from client list?", ["OK", "Cancel"], "OK")
        wait_for("Globex gone from the list", lambda: Atspi.Table.get_n_rows(grid) == 1, 5)
        p.press(p.button(window, "Delete Client"))
        p.answer("Delete Notice", "Delete Acme 1 from client list?", ["OK", "Cancel"], "Cancel")
        p.no_box_open()
        expect("the clients left", self.rows("SELECT ClientNumber, ClientName FROM tblClient"),
               [["1", "Acme"]])
        self.back_to_control(title)

    def maintenance(self):
        step("Time and Settings: Delete Old Records Cancel and OK, Compact No and Yes")
        p = self.program
        setup = self.open_from_control("Time and Settings", "Time and Settings")
        # 0.2 days (4 h 48 min) back from late morning: the 5:00 record is old.
        clear_and_type(p, setup, p.control(setup, Atspi.Role.TEXT, "Keep Records"), "0.2")
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
            node = self.tab_to(window, Atspi.Role.SPIN_BUTTON, picker)
            # Two digits fill the month and the day and move on to the next
            # part; a "/" typed then would skip a part.
            type_text(time.strftime("%m%d%Y"))
            # The picker shows the digits as typed until it loses the focus.
            wait_for(f'{today} in "{picker}"', lambda: p.text(node).replace("/0", "/").lstrip(
                "0") == today, 5, lambda: p.text(node))
        page = os.path.join(self.data, "report.htm")
        wait_for("today's record in the report page", lambda: os.path.isfile(page) and
                 "<TD>1HRs 15Mins</TD>" in open(page, encoding="utf-8", errors="replace").read(),
                 5)
        screenshot(self.shots, title, "walk-report.png")
        p.press(p.button(window, "Export"))
        dialog = p.window("Export")
        file_name = p.control(dialog, Atspi.Role.TEXT, "File name:")
        expect("the proposed export name", p.text(file_name), f"{EMPLOYEE}.csv")
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
        tray = x_output("search", "--onlyvisible", "--name", "^panel$").split()
        if not tray:
            fail("no tray host")
        x_click(tray[0], 16, 16, 3)
        menu = wait_for("the tray menu", lambda: popup_menu(self.program.process.pid), 10)
        x_click(menu, 20, 12, 1)  # Exit, the first item
        try:
            status = self.program.process.wait(10)
        except subprocess.TimeoutExpired:
            fail("Exit in the tray menu did not end the program")
        expect("the program's exit status", status, 0)

    def focused(self, window):
        return next((n for n in descendants(window)
                     if n.get_state_set().contains(Atspi.StateType.FOCUSED)
                     and role(n) not in (Atspi.Role.LIST_ITEM, Atspi.Role.TABLE_CELL)), None)


def main():
    executable, work, shots = sys.argv[1:4]
    walk = Walk(executable, work, shots)
    started = time.monotonic()
    try:
        walk.first_start()
        walk.code_lists()
        walk.record_three_spans()
        walk.activity_log()
        walk.delete_client()
        walk.maintenance()
        walk.report()
        walk.exit_from_tray()
        print(f"the walk took {time.monotonic() - started:.0f} s")
    except WalkFailed as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        subprocess.run(["import", "-window", "root", os.path.join(shots, "walk-failed.png")])
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
