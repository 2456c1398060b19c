#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""What a screen reader reads of Gradolux, through the accessibility bus.

    atspi.py PID tree             every object with its role and name
    atspi.py PID check-main       roles and names of the calculator window
    atspi.py PID check-about      roles and names of the About dialog
    atspi.py PID focused          role and name of the object with the focus
    atspi.py PID label-texts      the names of the calculator's labels, one a line
    atspi.py PID result           the text in the result box
"""
import sys
import time

import pyatspi

CAPTIONS = {
    "A = Auswirkung (Schadensausmaß)": [
        " GERINGE Auswirkung, z.B. Erste Hilfe, Schaden < 7.000 €, A = 1",
        " WICHTIGE Auswirkung, z.B. schwere Verletzung, Arbeitszeitverlust, Schaden von 7.000 - 70.000 €, A = 3",
        " ERNSTE  Auswirkung, z.B. bleibende Invalidität, Schaden von 70.000 - 700.000 €, A = 7",
        " SEHR ERNSTE Auswirkung, z.B. tödlicher Unfall, schwere Erkrankung, Schaden von 700.000 - 1.400.000 €, A = 15",
        " GROSSSCHADENSEREIGNISS, mehrere Todesfälle, Schaden von 1.400.000 - 14.500.000 €, A = 40",
        " KATASTROPHE, z.B. zahlreiche Todesfälle, Schaden grösser als 14.500.000 €, A = 100",
    ],
    "H = Häufigkeit": [
        " SEHR SELTEN, weniger als 1 x jährlich, H = 0,5",
        " SELTEN, 1 x jährlich, H = 1",
        " MANCHMAL, monatlich, H = 2",
        " AB UND ZU, wöchentlich, H = 3",
        " REGELMÄSSIG, täglich, H = 6",
        " KONTINUIERLICH, H = 10",
    ],
    "W = Wahrscheinlichkeit": [
        " NICHT vorstellbar, W = 0,2",
        " FAST unmöglich, W = 0,5",
        " UNWAHRSCHEINLICH, aber langfristig möglich, W = 1",
        " NORMALERWEISE nicht, aber möglich, W = 3",
        " GUT MÖGLICH, W = 6",
        " FAST SICHER, W = 10",
    ],
}
MAIN_TITLE = "Bewerten und Beurteilen von Risiken nach der CEL-Methode"

failures = []


def expect(condition, message):
    if not condition:
        failures.append(message)


def application(pid):
    for _ in range(100):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == pid:
                return app
        time.sleep(0.1)
    sys.exit(f"no application with process {pid} on the accessibility bus")


def children(node):
    return [child for child in node if child is not None]


def descendants(node):
    for child in children(node):
        yield child
        yield from descendants(child)


def window(app, title, role):
    for _ in range(50):
        for child in children(app):
            if child.name == title and child.getRole() == role:
                return child
        time.sleep(0.1)
    sys.exit(f"no {role} named {title!r}: {[(c.getRoleName(), c.name) for c in children(app)]}")


def check_main(app):
    frame = window(app, MAIN_TITLE, pyatspi.ROLE_FRAME)
    panels = [c for c in children(frame) if c.getRole() == pyatspi.ROLE_PANEL]
    expect([p.name for p in panels] == list(CAPTIONS), f"groups: {[p.name for p in panels]}")
    for panel in panels:
        radios = [c for c in children(panel) if c.getRole() == pyatspi.ROLE_RADIO_BUTTON]
        expect([r.name for r in radios] == CAPTIONS.get(panel.name), f"options of {panel.name!r}: {[r.name for r in radios]}")
    texts = [c for c in children(frame) if c.getRole() == pyatspi.ROLE_TEXT]
    expect([t.name for t in texts] == ['Rechnerisches Ergebnis für das Risiko "R"'],
           f"the result box is named {[t.name for t in texts]}")
    buttons = [c.name for c in children(frame) if c.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    expect(sorted(buttons) == sorted(["Berechnen", "Programminfo", "Programm Beenden"]), f"buttons: {buttons}")
    labels = [c.name for c in children(frame) if c.getRole() == pyatspi.ROLE_LABEL]
    for label in [MAIN_TITLE, "R = A * H * W", 'Rechnerisches Ergebnis für das Risiko "R"']:
        expect(label in labels, f"label {label!r} missing from {labels}")


def check_about(app):
    dialog = window(app, "Info zu Gradolux", pyatspi.ROLE_DIALOG)
    names = {(c.getRole(), c.name) for c in descendants(dialog)}
    for role, name in [(pyatspi.ROLE_PUSH_BUTTON, "OK"), (pyatspi.ROLE_PUSH_BUTTON, "Systeminfo..."),
                       (pyatspi.ROLE_LABEL, "Gradolux"), (pyatspi.ROLE_LABEL, "Version 1.3.0")]:
        expect((role, name) in names, f"{role} {name!r} missing from {sorted(n for _, n in names)}")
    expect(any(n.startswith("Dieses Programm dient zur Gradolux") for _, n in names), "no description")
    expect(any(n.startswith("ACHTUNG! Bei dieser Version") for _, n in names), "no disclaimer")


def focused(app):
    for node in descendants(app):
        if node.getState().contains(pyatspi.STATE_FOCUSED):
            return f"{node.getRoleName()}|{node.name}"
    return "none"


def main():
    pid, command = int(sys.argv[1]), sys.argv[2]
    app = application(pid)
    if command == "tree":
        def walk(node, depth):
            print("  " * depth + f"[{node.getRoleName()}] {node.name!r}")
            for child in children(node):
                walk(child, depth + 1)
        walk(app, 0)
    elif command in ("check-main", "check-about"):
        check = check_main if command == "check-main" else check_about
        # The bus may lag behind the window for a moment: look again before failing.
        for _ in range(20):
            failures.clear()
            check(app)
            if not failures:
                break
            time.sleep(0.2)
    elif command == "focused":
        print(focused(app))
    elif command == "label-texts":
        frame = window(app, MAIN_TITLE, pyatspi.ROLE_FRAME)
        for child in children(frame):
            if child.getRole() == pyatspi.ROLE_LABEL:
                print(child.name)
    elif command == "result":
        frame = window(app, MAIN_TITLE, pyatspi.ROLE_FRAME)
        box = next(c for c in children(frame) if c.getRole() == pyatspi.ROLE_TEXT)
        print(box.queryText().getText(0, -1))
    else:
        sys.exit(__doc__)
    for failure in failures:
        print("FAILED:", failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
