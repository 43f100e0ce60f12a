#!/usr/bin/env python3
"""The main window as a screen reader sees it, through AT-SPI.

Run inside its own session bus with the accessibility bus started
(atspi_walk.sh). Walks the tree of the running program and checks that
every focusable or actionable object has a name; types six line codes and
Enter with xdotool and checks that the figures name the numbers that
kalynth-calc computes for those codes and that the reading window reads
the texts kalynth-calc reading selects; makes a save fail and checks that
the failure is announced. Exit 0 pass, 1 fail, 77 skip.
"""
import os
import subprocess
import sys
import time

try:
    import pyatspi
except ImportError:
    print("SKIP: python3-pyatspi is not installed")
    sys.exit(77)

program, calc = sys.argv[1], sys.argv[2]
CODES = ["988", "544", "948", "584", "944", "988"]


def find_app(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == name:
            return app
    return None


def walk(obj, depth=0):
    yield obj
    if depth > 40:
        return
    for i in range(obj.childCount):
        child = obj.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def showing(obj):
    return obj.getState().contains(pyatspi.STATE_SHOWING)


def unnamed_controls(app):
    bad = []
    for obj in walk(app):
        try:
            states = obj.getState()
            if not states.contains(pyatspi.STATE_SHOWING):
                continue
            focusable = states.contains(pyatspi.STATE_FOCUSABLE)
            try:
                actionable = obj.queryAction().nActions > 0
            except NotImplementedError:
                actionable = False
            role = obj.getRoleName()
            if (focusable or actionable) and not obj.name.strip() and role not in ("menu bar", "tool bar", "frame"):
                bad.append("%s (%s)" % (role, obj.description))
        except Exception:  # an object gone meanwhile
            continue
    return bad


def wait_for(condition, seconds=60):
    """The value of condition once it holds, polled; None after seconds (a
    loaded machine may take long to show a window)."""
    end = time.time() + seconds
    while time.time() < end:
        try:
            value = condition()
        except Exception:  # an object gone or not made yet
            value = None
        if value:
            return value
        time.sleep(0.2)
    return None


def by_name_prefix(app, prefix):
    for obj in walk(app):
        if obj.name.startswith(prefix) and showing(obj):
            return obj
    return None


def window_named(app, title):
    for i in range(app.childCount):
        child = app.getChildAtIndex(i)
        if child is not None and child.name == title and showing(child):
            return child
    return None


def check_window(app, title, keys, failures):
    """Opens a window by its keys and checks it: a named window or dialog,
    no unnamed control in it, the focus moving through it by Tab."""
    subprocess.run(["xdotool", "key"] + keys, check=True)
    window = wait_for(lambda: window_named(app, title))
    if window is None:
        failures.append("%s did not open from the keyboard" % title)
        return
    bad = unnamed_controls(window)
    controls = [o for o in walk(window) if showing(o) and o.getState().contains(pyatspi.STATE_FOCUSABLE)]
    print("%s: %s, %d focusable, unnamed: %d" % (title, window.getRoleName(), len(controls), len(bad)))
    for b in bad:
        print("  " + b)
    if bad:
        failures.append("unnamed controls in %s" % title)
    if window.getRoleName() not in ("frame", "dialog", "window"):
        failures.append("%s is a %s" % (title, window.getRoleName()))


def main():
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    # Started in a small folder of /proc, where no file can be made: the save dialog proposes
    # a name there, and saving to it fails.
    proc = subprocess.Popen([program], env=env, cwd="/proc/sys/kernel/random")
    failures = []
    try:
        app = wait_for(lambda: find_app("kalynth") or find_app("KALYNTH"))
        if app is None:
            print("SKIP: the program did not appear on the accessibility bus")
            return 77
        wait_for(lambda: by_name_prefix(app, "Числа первой черты"))
        bad = unnamed_controls(app)
        print("unnamed focusable or actionable objects: %d" % len(bad))
        for b in bad:
            print("  " + b)
        if bad:
            failures.append("unnamed controls")

        # What the user does not see is not read: no hidden number "0", and
        # the calendar is a window of four pillar pictures, not of the 22
        # sign pictures it keeps hidden.
        zeros = [o for o in walk(app) if o.getRoleName() == "label" and o.name == "0"]
        print("objects read as \"0\": %d" % len(zeros))
        if zeros:
            failures.append("hidden numbers read")
        calendar = wait_for(lambda: next((o for o in walk(app) if o.name == "Календарь" and o.getRoleName() in ("frame", "window")), None))
        if calendar is None:
            failures.append("no calendar window")
        else:
            images = [o.name for o in walk(calendar) if o.getRoleName() == "image"]
            print("calendar: %s %r, pictures: %s" % (calendar.getRoleName(), calendar.name, images))
            captions = ("Год: ", "Сезон: ", "Знаки дня: ", "Знаки часа: ")
            if len(images) != 4 or not all(n.startswith(c) and len(n.split()) >= 3 for n, c in zip(images, captions)):
                failures.append("calendar pictures not read by pillar")

        # Six codes and Enter, from the keyboard.
        field = by_name_prefix(app, "Числа первой черты")
        if field is None:
            failures.append("no first line field")
        else:
            field.queryComponent().grabFocus()
            wait_for(lambda: field.getState().contains(pyatspi.STATE_FOCUSED))
            for code in CODES:
                subprocess.run(["xdotool", "type", "--delay", "30", code], check=True)
                subprocess.run(["xdotool", "key", "Tab"], check=True)
            # Focus is on ">>" now: Enter casts.
            subprocess.run(["xdotool", "key", "Return"], check=True)
            out = subprocess.run([calc, "cast", "--codes"] + CODES, capture_output=True, text=True).stdout
            numbers = [int(w) for w in out.replace(",", " ").split() if w.isdigit()][:3]
            print("kalynth-calc cast:", out.strip())
            kinds = ["Основное гуа", "Ядерное гуа", "Изменённое гуа"]
            for kind, number in zip(kinds, numbers):
                obj = wait_for(lambda: by_name_prefix(app, "%s %d " % (kind, number)))
                print("%s %d: %s" % (kind, number, obj.name if obj else "NOT FOUND"))
                if obj is None:
                    failures.append("%s %d not named" % (kind, number))
            live = by_name_prefix(app, "Основное гуа")
            if live is None:
                failures.append("cast not announced")

        # The reading window, shown beside the main window, reads the rule
        # and the texts that kalynth-calc reading gives for the same codes,
        # in the same order.
        reading = wait_for(lambda: next((o for o in walk(app) if o.name == "Толкование"
                                         and o.getRoleName() in ("frame", "window")), None))
        if reading is None:
            failures.append("no reading window")
        else:
            plain = subprocess.run([calc, "reading", "--codes"] + CODES, capture_output=True, text=True).stdout
            blocks = plain.strip("\n").split("\n\n")
            # The rule, then each text's wording and classical text (the
            # window sets the headings apart, so they are left out here).
            wanted = [blocks[0]] + [line for block in blocks[1:] for line in block.split("\n")[1:]]

            def read_text():
                doc = next((o for o in walk(reading) if o.name == "Что читать" and showing(o)), None)
                if doc is None:
                    return ""
                text = doc.queryText()
                return text.getText(0, text.characterCount)

            said = wait_for(lambda: wanted[0] in read_text() and read_text()) or ""
            positions = [said.find(line) for line in wanted]
            print("reading window: %s, %d of %d texts in order" %
                  (reading.getRoleName(), sum(1 for p in positions if p >= 0), len(wanted)))
            if -1 in positions or positions != sorted(positions):
                failures.append("reading window does not read the texts in order")

        # A failing save: Save As with the proposed name in /proc.
        subprocess.run(["xdotool", "key", "ctrl+shift+s"], check=True)
        chooser = wait_for(lambda: next((app.getChildAtIndex(i) for i in range(app.childCount)
                                         if app.getChildAtIndex(i) is not None
                                         and app.getChildAtIndex(i).getRoleName() in ("dialog", "file chooser")
                                         and showing(app.getChildAtIndex(i))), None))
        print("save dialog:", chooser.name if chooser else "NOT SHOWN")
        subprocess.run(["xdotool", "key", "Return"], check=True)
        said = wait_for(lambda: by_name_prefix(app, "Ошибка: Cannot create file"))
        print("announced:", said.name if said else "NOTHING")
        if said is None:
            failures.append("failing save not announced")
            print("  program running: %s, top-level objects: %d" % (proc.poll() is None, app.childCount))
            if os.environ.get("KALYNTH_ATSPI_SHOT"):
                subprocess.run(["import", "-window", "root", os.environ["KALYNTH_ATSPI_SHOT"]])
            for obj in walk(app):
                if showing(obj) and obj.getRoleName() in ("alert", "dialog", "frame", "label", "file chooser"):
                    print("  showing: %s %r" % (obj.getRoleName(), obj.name))
        # The settings dialog (the last item of the menu «Прочее») and the
        # journal, from the keyboard, once the error box is closed.
        subprocess.run(["xdotool", "key", "Return"], check=True)
        wait_for(lambda: (window_named(app, "KALYNTH") or app).getState().contains(pyatspi.STATE_ACTIVE))
        check_window(app, "Установки", ["alt+g", "Up", "Return"], failures)
        subprocess.run(["xdotool", "key", "Escape"], check=True)
        wait_for(lambda: window_named(app, "Установки") is None)
        check_window(app, "Журнал", ["ctrl+j"], failures)

    finally:
        proc.kill()
        proc.wait()
    if failures:
        print("FAIL: " + "; ".join(failures))
        return 1
    print("PASS")
    return 0


sys.exit(main())
