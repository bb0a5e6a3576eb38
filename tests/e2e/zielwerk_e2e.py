#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Zielwerk as a user runs it: a fresh working folder, the real window under
Xvfb, driven through its menu, toolbar and controls by their accessible
names (AT-SPI), with a pseudo-terminal standing in for the display; the
command-line sender on the same file and line; and the picture maker,
Zielwerk Bildwandler, the same way."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import termios
import threading
import time
import tty
import unittest
import urllib.parse
import warnings

import pyatspi

# pyatspi's own calls into deprecated Atspi functions are not ours to mend.
warnings.filterwarnings("ignore", category=DeprecationWarning)

ARGS = None
MARK = b"\xef\xbb\xbf"
DEFAULT_FILE = MARK + ("\nDCC-Adresse = 4\nDCC/Analog = 0\nZugtyp = 0\nAnfangsstation = St. Moritz\n"
                "Scrollstring = Pontresina-Morteratsch-Ospizio Bernina-Alp Grüm-Poschiavo-Brusio\n"
                "Endstation = Tirano\nModus Anfang = 0\nZeit Anfang = 1000\nModus Ende = 0\n"
                "Zeit Ende = 1000\nWagennummer = 1\nkeine Wagennummer anzeigen = 0\n"
                "Fahrtrichtung invertieren = 0\n".encode())


def wait_for(predicate, timeout=10.0, step=0.05):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return predicate()


class Program:
    """The program in its own working folder, reached through AT-SPI."""

    def __init__(self, folder, program=None, args=(), title="Zielwerk V", extra_env=None):
        # The serial ports the program lists come from "ls -1 /dev"; a stand-in
        # "ls" makes the list the same on every machine.
        bin_folder = os.path.join(folder, ".bin")
        os.makedirs(bin_folder, exist_ok=True)
        with open(os.path.join(bin_folder, "ls"), "w") as ls:
            ls.write("#!/bin/sh\nprintf 'console\\nttyS0\\nttyUSB0 \\nzero\\n'\n")
        os.chmod(os.path.join(bin_folder, "ls"), 0o755)
        # The browser opener records what it was asked to open.
        self.opened_path = os.path.join(folder, ".opened")
        with open(os.path.join(bin_folder, "xdg-open"), "w") as opener:
            opener.write(f"#!/bin/sh\nprintf '%s\\n' \"$@\" > '{self.opened_path}'\n")
        os.chmod(os.path.join(bin_folder, "xdg-open"), 0o755)
        env = dict(os.environ, GTK_MODULES="gail:atk-bridge",
                   PATH=bin_folder + os.pathsep + os.environ.get("PATH", ""), **(extra_env or {}))
        env.pop("NO_AT_BRIDGE", None)
        # The accessibility bus starts on first use. Started here, before the
        # program, it is up when the program's bridge registers; left to
        # both, a first start on a busy machine registered late or not at all.
        pyatspi.Registry.getDesktop(0)
        self.stderr_path = os.path.join(folder, ".stderr")
        with open(self.stderr_path, "wb") as stderr:
            self.process = subprocess.Popen([program or ARGS.program, *args], cwd=folder, env=env,
                                            stdout=subprocess.DEVNULL, stderr=stderr)
        self.app = wait_for(self._find_app, timeout=45)  # a first start on a busy machine registers late on the bus
        if self.app is None:
            raise RuntimeError("the program's window did not appear")
        self.title = title
        self.frame = wait_for(lambda: self._frame(), timeout=10)

    def _find_app(self):
        for app in pyatspi.Registry.getDesktop(0):
            try:
                if app is not None and app.get_process_id() == self.process.pid:
                    return app
            except Exception:  # an application that went away meanwhile
                continue
        return None

    def _frame(self):
        for child in self.app:
            if child is not None and child.getRoleName() == "frame" and self.title in child.name:
                return child
        return None

    def find(self, role, name=None, root=None):
        matches = pyatspi.findAllDescendants(
            root or self.frame,
            lambda node: node is not None and node.getRoleName() == role
            and (name is None or node.name == name))
        if not matches:
            raise LookupError(f"no {role} named {name!r}")
        return matches[0]

    def click(self, node):
        """Clicks the middle of a control with the real pointer, as a user does."""
        x, y, width, height = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        subprocess.run(["xdotool", "mousemove", str(x + width // 2), str(y + height // 2),
                        "click", "1"], check=True)

    def type(self, node, text):
        """Replaces the text of a field by typing, as a user does."""
        self.click(node)
        subprocess.run(["xdotool", "key", "ctrl+a", "BackSpace"], check=True)
        subprocess.run(["xdotool", "type", "--delay", "20", text], check=True)

    def choose(self, menu, item):
        """Opens a menu of the menu bar and clicks one of its items."""
        self.click(self.find("menu", menu))
        node = self.find("menu item", item, root=self.find("menu", menu))
        wait_for(lambda: node.getState().contains(pyatspi.STATE_SHOWING), timeout=3)
        time.sleep(0.1)
        self.click(node)

    def dialog(self, name):
        """The program's dialog of that title, once it is shown."""
        return wait_for(lambda: next((child for child in self.app if child is not None
                                      and child.getRoleName() in ("dialog", "file chooser")
                                      and child.name == name), None), timeout=10)

    def act(self, node):
        """Does a control's first action (a button's click) through AT-SPI.
        Not for a button that opens a dialog: the program then answers no
        other AT-SPI call until the dialog closes."""
        node.queryAction().doAction(0)

    def press(self, role, name):
        self.click(self.find(role, name))

    def status(self):
        return self.find("status bar").name

    def sensitive(self, node):
        return node.getState().contains(pyatspi.STATE_SENSITIVE)

    def wait_exit(self, timeout=15):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def stderr(self):
        with open(self.stderr_path, "rb") as f:
            return f.read().decode(errors="replace")

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class FarEnd:
    """The display's side of a pseudo-terminal: records lines, answers each."""

    def __init__(self, reply=b"OK\n"):
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)
        self.name = os.ttyname(self.slave)[len("/dev/"):]
        self.reply = reply
        self.received = b""
        self.lines = []  # (arrival time, line without its line feed)
        self.running = True
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def _serve(self):
        pending = b""
        while self.running:
            try:
                chunk = os.read(self.master, 4096)
            except OSError:
                time.sleep(0.01)
                continue
            self.received += chunk
            pending += chunk
            while b"\n" in pending:
                line, pending = pending.split(b"\n", 1)
                self.lines.append((time.monotonic(), line))
                if self.reply:
                    os.write(self.master, self.reply)

    def close(self):
        self.running = False
        os.close(self.slave)
        os.close(self.master)


class ZielwerkEndToEnd(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="zielwerk-e2e-")
        shutil.copytree(ARGS.data, self.folder, dirs_exist_ok=True)
        self.program = None

    def tearDown(self):
        if self.program:
            self.program.kill()
        shutil.rmtree(self.folder, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.folder, name)

    def start(self):
        self.program = Program(self.folder)
        return self.program

    def test_first_start_and_exit_from_menu(self):
        program = self.start()
        self.assertEqual(program.frame.name, f"Zielwerk V{ARGS.version} - [Default.ini]")
        port = program.find("combo box", "COM-Port")
        self.assertEqual([item.name for item in pyatspi.findAllDescendants(
            port, lambda n: n is not None and n.getRoleName() == "menu item")], ["ttyS0", "ttyUSB0"])
        # A first start selects the USB adapter, not the first name of the list.
        self.assertEqual(program.status(), "Ok")
        program.choose("Datei", "Beenden")
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(program.stderr(), "")
        with open(self.path("Default.ini"), "rb") as f:
            self.assertEqual(f.read(), DEFAULT_FILE)
        with open(self.path("Zielstell.ini"), "rb") as f:
            self.assertEqual(f.read(), MARK + b"\nFensterposition X = 20\nFensterposition Y = 20\n"
                             b"Einstellungen = Default.ini\nCOM = 1\nCOM-Name = ttyUSB0\n")

    def test_help_opens_the_manual_beside_the_program(self):
        program = self.start()
        program.choose("Hilfe", "Hilfe")
        self.assertTrue(wait_for(lambda: os.path.exists(program.opened_path), 10))
        with open(program.opened_path) as f:
            opened = f.read().strip()
        page = os.path.join(os.path.dirname(ARGS.program), "hilfe", "laufschild", "laufschild.html")
        self.assertEqual(opened, "file://" + urllib.parse.quote(page))
        self.assertTrue(os.path.isfile(page))
        program.choose("Datei", "Beenden")
        self.assertEqual(program.wait_exit(), 0)

    def test_form_rules_and_preview_follow_the_user(self):
        program = self.start()
        address = program.find("text", "DCC-Adresse")
        self.assertFalse(program.sensitive(address), "Aus disables the DCC address")
        combo = program.find("combo box", "DCC/Analog")
        program.click(combo)
        program.click(wait_for(lambda: program.find("menu item", "DCC", root=combo)))
        self.assertTrue(wait_for(lambda: program.sensitive(address), timeout=3))

        program.press("check box", "keine Wagennummer anzeigen")
        car_number = program.find("text", "Wagennummer")
        self.assertTrue(wait_for(lambda: not program.sensitive(car_number), timeout=3))

        scroll = program.find("text", "Lauftext")
        program.type(scroll, "Pontresina-Morteratsch-Ospizio Bernina")
        windows = set()
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline and len(windows) < 4:
            labels = pyatspi.findAllDescendants(
                program.frame, lambda n: n is not None and n.getRoleName() == "label")
            windows.update(l.name for l in labels if len(l.name) == 14)
            time.sleep(0.1)
        self.assertGreaterEqual(len(windows), 4, "the preview runs with the ticks")
        program.choose("Datei", "Beenden")
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(program.stderr(), "")
        with open(self.path("Default.ini"), "rb") as f:
            saved = f.read()
        self.assertIn(b"DCC/Analog = 1\n", saved)
        self.assertIn(b"keine Wagennummer anzeigen = 1\n", saved)
        self.assertIn("Scrollstring = Pontresina-Morteratsch-Ospizio Bernina\n".encode(), saved)

    def test_transfers_reach_the_display(self):
        shutil.copy(os.path.join(ARGS.fixtures, "picture", "train.gif"), self.path("zug.gif"))
        with open(self.path("Default.ini"), "wb") as f:
            f.write(b"Bild = zug.gif\nScrollstring = Alp Gr\xfcm\n")
        far_end = FarEnd()
        try:
            program = self.start()
            port = program.find("combo box", "COM-Port")
            entry = pyatspi.findDescendant(port, lambda n: n is not None and n.getRoleName() == "text")
            program.type(entry, far_end.name)
            program.press("toggle button", "Öffnen")
            self.assertTrue(wait_for(lambda: program.status() == "Serielle Schnittstelle geöffnet", 5),
                            program.status())

            program.press("push button", "Einstellungen Übertragen")
            self.assertTrue(wait_for(lambda: program.status() == "Empfangen: OK", 5), program.status())
            program.press("push button", "Lauftext Übertragen")
            self.assertTrue(wait_for(lambda: far_end.received.count(b"\n") >= 2, 5))
            program.press("push button", "Bild Zugtyp Übertragen")
            # The window answers all through the transfer's 3.5 s, and the
            # status bar tells which row is going.
            statuses, slowest = set(), 0.0
            deadline = time.monotonic() + 10
            while far_end.received.count(b"\n") < 9 or program.status() != "Empfangen: OK":
                self.assertLess(time.monotonic(), deadline, "the transfer did not end")
                asked = time.monotonic()
                statuses.add(program.status())
                slowest = max(slowest, time.monotonic() - asked)
            self.assertLess(slowest, 0.25, "the window did not answer while it sent")
            self.assertIn("Bild wird gesendet: Zeile 3 von 7", statuses)
            # The nine lines as ImageMagick and the row rule make them of the
            # picture (tests/data/e2e/transfer_lines.txt).
            with open(os.path.join(ARGS.fixtures, "e2e", "transfer_lines.txt"), "rb") as f:
                expected = f.read().split(b"\n")[:9]
            window = far_end.lines[:9]
            self.assertEqual([line for _, line in window], expected)

            # Closing during a transfer stops its rows and ends at once; a
            # second later every byte written before the exit has arrived.
            program.press("push button", "Bild Zugtyp Übertragen")
            self.assertTrue(wait_for(lambda: program.status().startswith("Bild wird gesendet"), 5))
            program.choose("Datei", "Beenden")
            self.assertEqual(program.wait_exit(timeout=3), 0)
            time.sleep(1)
            self.assertLess(len(far_end.lines), 16)

            # The sender, on the same file and the port the window kept, sends
            # the same bytes, each line 500 ms after the one before as the
            # window's picture rows are.
            sent_before = len(far_end.lines)
            sender = subprocess.run([ARGS.sender, "--nur", "bild,lauftext,einstellungen"], cwd=self.folder,
                                    capture_output=True, timeout=15)
            self.assertEqual(sender.returncode, 0, sender.stderr)
            self.assertEqual(sender.stderr, b"")
            sent = far_end.lines[sent_before:]
            self.assertEqual([line for _, line in sent], expected)
            gaps = [b[0] - a[0] for a, b in zip(sent, sent[1:])]
            window_gaps = [b[0] - a[0] for a, b in zip(window[2:], window[3:])]
            self.assertTrue(all(0.45 < gap < 0.65 for gap in gaps), gaps)
            self.assertTrue(all(abs(a - b) < 0.1 for a, b in zip(gaps[2:], window_gaps)), (gaps, window_gaps))
            with open(self.path("Zielstell.ini"), "rb") as f:
                self.assertIn(b"COM = -1\nCOM-Name = " + far_end.name.encode() + b"\n", f.read())
        finally:
            far_end.close()


class BildwandlerEndToEnd(unittest.TestCase):
    """The picture maker: a photo opened through its chooser, the threshold
    changed, the picture saved through its chooser."""

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="bildwandler-e2e-")
        self.program = None

    def tearDown(self):
        if self.program:
            self.program.kill()
        shutil.rmtree(self.folder, ignore_errors=True)

    def test_photo_threshold_and_save(self):
        # The chooser opens in the pictures folder, where the photo is the
        # one file, under an upper-case name the chooser must list.
        pictures = os.path.join(self.folder, "Urlaub")
        photo = os.path.join(pictures, "IMG_0815.JPG")
        os.makedirs(pictures)
        shutil.copy(os.path.join(ARGS.fixtures, "picture", "photo.jpg"), photo)
        config = os.path.join(self.folder, ".config")
        os.makedirs(config)
        with open(os.path.join(config, "user-dirs.dirs"), "w") as dirs:
            dirs.write(f'XDG_PICTURES_DIR="{pictures}"\n')
        program = Program(self.folder, ARGS.bildwandler, title="Bildwandler",
                          extra_env={"XDG_CONFIG_HOME": config})
        self.program = program
        save = program.find("push button", "Als BMP speichern …")
        self.assertFalse(program.sensitive(save), "nothing to save before a picture is open")

        # Buttons that open a dialog are clicked with the pointer; the keyboard
        # would need the focus, which no window manager hands out under Xvfb.
        program.click(program.find("push button", "Bild öffnen …"))
        chooser = program.dialog("Bild öffnen")
        self.assertIsNotNone(chooser)
        listed = wait_for(lambda: pyatspi.findDescendant(
            chooser, lambda n: n is not None and n.name == "IMG_0815.JPG"), timeout=10)
        self.assertTrue(listed, "the photo is listed")
        program.click(listed)
        program.click(program.find("push button", "Öffnen", root=chooser))
        self.assertTrue(wait_for(lambda: pyatspi.findDescendant(
            program.frame, lambda n: n is not None and n.getRoleName() == "label"
            and n.name == "IMG_0815.JPG"), timeout=10), "the photo is open")

        program.find("slider", "Helligkeitsschwelle").queryValue().currentValue = 90
        # The pointer passing over the preview with no button held leaves the
        # photo where it is: the file is compared below with one made unmoved.
        preview = program.find("drawing area")
        x, y, width, height = preview.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        for step in range(1, 5):
            subprocess.run(["xdotool", "mousemove", str(x + width * step // 5), str(y + height // 2)], check=True)
            time.sleep(0.1)
        program.click(save)
        chooser = program.dialog("Zugbild speichern")
        self.assertIsNotNone(chooser)
        program.act(program.find("push button", "Speichern", root=chooser))
        saved = os.path.join(self.folder, "IMG_0815.bmp")
        self.assertTrue(wait_for(lambda: os.path.exists(saved), timeout=10))
        # Ended as by the desktop session: a clean exit.
        program.process.terminate()
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(program.stderr(), "")

        # The file holds the photo's dots at that threshold, as committed in
        # tests/data/e2e/ (the default threshold lights fewer of them).
        with open(saved, "rb") as a, open(os.path.join(ARGS.fixtures, "e2e", "photo_threshold_90.bmp"), "rb") as b:
            self.assertEqual(a.read(), b.read())


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--bildwandler", required=True)
    parser.add_argument("--sender", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--fixtures", required=True)
    parser.add_argument("--version", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
