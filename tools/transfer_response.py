#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times how long Zielwerk's window leaves a question unanswered while it
sends the train picture, for scripts/benchmark.sh.

Starts the program in FOLDER (whose settings file names a picture) with the
accessibility bridge, types PORT (the display simulator's) into the port
field, opens it, and sends the picture REPEATS times
through the toolbar button's action. Meanwhile it asks the window for its
status text, one question after the other, as a screen reader would. Prints
per transfer "transfer_ms MS" (from the button's action until the status
shows the last row's reply) and "longest_unanswered_ms MS" (the slowest
answer to a question during it)."""

import argparse
import os
import subprocess
import sys
import time
import warnings

import pyatspi

warnings.filterwarnings("ignore", category=DeprecationWarning)

OPENED = "Serielle Schnittstelle geöffnet"
CLOSED = "Serielle Schnittstelle geschlossen"
# What the status shows once a row's exchange has ended.
REPLIES = ("Empfangen: ", "Keine Bestätigung", "Error ", "Serielle Schnittstelle nicht")


def wait_for(predicate, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.02)
    return predicate()


def find(root, role, name=None):
    return pyatspi.findDescendant(root, lambda node: node is not None and node.getRoleName() == role
                                  and (name is None or node.name == name))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--folder", required=True)
    parser.add_argument("--port", required=True)
    parser.add_argument("--repeats", type=int, default=3)
    args = parser.parse_args()

    env = dict(os.environ, GTK_MODULES="gail:atk-bridge")
    env.pop("NO_AT_BRIDGE", None)
    pyatspi.Registry.getDesktop(0)
    process = subprocess.Popen([args.program], cwd=args.folder, env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        app = wait_for(lambda: next((a for a in pyatspi.Registry.getDesktop(0)
                                     if a is not None and a.get_process_id() == process.pid), None), 45)
        frame = app and wait_for(lambda: next((c for c in app if c is not None
                                               and c.getRoleName() == "frame"), None), 10)
        if not frame:
            sys.exit("the window did not appear")
        status = wait_for(lambda: find(frame, "status bar"), 10)
        field = find(find(frame, "combo box", "COM-Port"), "text")
        field.queryEditableText().setTextContents(args.port)
        port = find(frame, "toggle button", "Öffnen")
        send = find(frame, "push button", "Bild Zugtyp Übertragen")
        for repeat in range(args.repeats):
            # Each transfer starts from the port just opened, so that its end
            # is told from the one before.
            if repeat > 0:
                port.queryAction().doAction(0)
                wait_for(lambda: status.name == CLOSED, 10)
            port.queryAction().doAction(0)
            if not wait_for(lambda: status.name == OPENED, 10):
                sys.exit(f"the port did not open: {status.name}")
            started = time.monotonic()
            send.queryAction().doAction(0)
            slowest = 0.0
            while True:
                asked = time.monotonic()
                text = status.name
                slowest = max(slowest, time.monotonic() - asked)
                if text.startswith(REPLIES) and "Zeile" not in text:
                    break
                if time.monotonic() - started > 30:
                    sys.exit(f"the transfer did not end: {text}")
            took = time.monotonic() - started
            print(f"transfer_ms {took * 1000:.1f} {text}")
            print(f"longest_unanswered_ms {slowest * 1000:.1f}")
    finally:
        process.terminate()
        process.wait()


if __name__ == "__main__":
    main()
