# SPDX-License-Identifier: MIT
"""Gradolux's page as a user meets it, in headless Chromium driven by real
mouse and key events through the DevTools protocol: the typical use by mouse
and by keyboard, all 216 combinations, German and English, the splash's keys
and clicks, the About dialog and the modal box, the end, what a screen
reader is given, every zoom, and that the page writes and asks for nothing
beyond its own files, served and opened from a folder.

    page_test.py PAGE_DIR [CASE ...]"""

import json
import math
import os
import struct
import sys
import traceback

import cdp

A = [1.0, 3.0, 7.0, 15.0, 40.0, 100.0]
H = [0.5, 1.0, 2.0, 3.0, 6.0, 10.0]
W = [0.2, 0.5, 1.0, 3.0, 6.0, 10.0]
VERDICTS = [
    "In Ihrem Anwendungsfall ergibt sich bei der Berechnung ein GERINGES RISIKO. Prüfen Sie trotzdem ob ein "
    "Handlungsbedarf gegeben ist!",
    "In Ihrem Anwendungsfall ergibt sich bei der Berechnung eine MÖGLICHE GEFÄHRDUNG. In diesem Fall besteht ein "
    "Handlungsbedarf!",
    "In Ihrem Anwendungsfall ergibt sich bei der Berechnung eine HOHE GEFÄHRDUNG. Es sind unbedingt Verbesserungen "
    "notwendig!",
    "SOFORTIGER HANDLUNGSBEDARF",
    "Gefahr in Verzug - S T O P ! ! ",
]
SYSINFO_UNAVAILABLE = "Systeminformationen sind momentan nicht verfügbar"


def single(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def expected(a, h, w, separator):
    """R in single precision, as its seven significant digits show it, and its verdict."""
    r = single(single(h) * single(a) * single(w))
    mantissa, exponent = ("%.6e" % r).split("e")
    digits = mantissa.replace(".", "").rstrip("0") or "0"
    exponent = int(exponent)
    if exponent >= 0:
        whole = digits[:exponent + 1].ljust(exponent + 1, "0")
        text = whole + (separator + digits[exponent + 1:] if len(digits) > exponent + 1 else "")
    else:
        text = "0" + separator + "0" * (-exponent - 1) + digits
    band = 0 if r < 20 else 1 if r < 70 else 2 if r < 200 else 3 if r < 400 else 4
    return text, VERDICTS[band]


def visible(kind):
    return "document.querySelector('.gx-%s:not([hidden])') !== null" % kind


def value(name):
    return "document.querySelector('[data-name=%s]').value" % name


def text(name):
    return "document.querySelector('[data-name=%s]').textContent" % name


def focused():
    return "document.activeElement && document.activeElement.closest('[data-name]') ? " \
           "document.activeElement.closest('[data-name]').dataset.name : ''"


def start(browser, url):
    browser.open(url)
    browser.wait_for(visible("splash"), "the splash")


def to_calculator(browser, url):
    start(browser, url)
    browser.key("x")
    browser.wait_for(visible("main") + " && document.querySelector('.gx-splash[hidden]') !== null",
                     "the calculator instead of the splash")


def option(scale, position):
    return "[data-name=Option%d]" % (scale * 6 + position + 1)


def calculate_by_mouse(browser, a, h, w):
    for scale, position in ((0, a), (1, h), (2, w)):
        browser.click(option(scale, position) + " .gx-caption")
    browser.click("[data-name=Command1]")


def check_equal(actual, wanted, what):
    if actual != wanted:
        raise AssertionError("%s: %r, not %r" % (what, actual, wanted))


# ---- the cases ---------------------------------------------------------------

def typical_use_by_mouse(browser, url):
    start(browser, url)
    # A click on the splash's bare surface, not on one of its texts.
    frame = browser.evaluate("(() => { const r = document.querySelector('.gx-splash [data-name=Frame1]')"
                             ".getBoundingClientRect(); return [r.left + 6, r.bottom - 6]; })()")
    browser.click_at(*frame)
    browser.wait_for(visible("main"), "the calculator after a click on the splash")
    calculate_by_mouse(browser, 1, 1, 4)
    browser.wait_for(value("Text1") + " === '18'", "R = 18")
    check_equal(browser.evaluate(text("Label2")), VERDICTS[0], "the verdict")
    check_equal(browser.evaluate(focused()), "Command1", "the focus after the calculation")


def typical_use_by_keyboard(browser, url):
    """English: the point; only keys, Tab into each group, arrows, Shift+Tab, Enter."""
    browser.set_language("en-US")
    try:
        to_calculator(browser, url)
        check_equal(browser.evaluate(focused()), "Command1", "the first focus")
        for frame, wanted in (("Frame1", 0), ("Frame2", 0), ("Frame3", 0)):
            for _ in range(12):
                browser.key("Tab")
                if browser.evaluate("document.activeElement.closest('[data-name=%s]') !== null" % frame):
                    break
            else:
                raise AssertionError("Tab never reaches " + frame)
            for _ in range(7):
                name = browser.evaluate("document.activeElement.checked ? "
                                        "document.activeElement.closest('[data-name]').dataset.name : ''")
                if name == "Option%d" % ({"Frame1": 0, "Frame2": 6, "Frame3": 12}[frame] + wanted + 1):
                    break
                browser.key("ArrowDown")
            else:
                raise AssertionError("the arrows never choose the first option of " + frame)
        # Form1 has no default button: Enter presses the focused one.
        for _ in range(12):
            browser.key("Tab", shift=True)
            if browser.evaluate(focused()) == "Command1":
                break
        browser.key("Enter")
        browser.wait_for(value("Text1") + " === '0.1'", lambda: "R = 0.1 with the English point, not " +
                         browser.evaluate(value("Text1")) + " of " + browser.evaluate(
                             "[...document.querySelectorAll('.gx-radio:checked')].map(r => r.closest('[data-name]')"
                             ".dataset.name).join()"))
        check_equal(browser.evaluate(text("Label2")), VERDICTS[0], "the verdict")
        # Alt+E (two buttons share it) only moves the focus.
        browser.key("e", alt=True)
        first = browser.evaluate(focused())
        browser.key("e", alt=True)
        second = browser.evaluate(focused())
        check_equal(sorted([first, second]), ["Command1", "Command2"], "Alt+E between the two buttons")
        check_equal(browser.evaluate(visible("main")), True, "the calculator after Alt+E twice")
    finally:
        browser.set_language("de-DE")


def all_combinations(browser, url):
    to_calculator(browser, url)
    chosen = [None, None, None]
    for a in range(6):
        for h in range(6):
            for w in range(6):
                # Only the options that change are clicked, as a person would.
                for scale, position in enumerate((a, h, w)):
                    if chosen[scale] != position:
                        browser.click(option(scale, position) + " .gx-caption")
                        chosen[scale] = position
                browser.click("[data-name=Command1]")
                result, verdict = expected(A[a], H[h], W[w], ",")
                browser.wait_for("%s === %s && %s === %s" % (value("Text1"), json.dumps(result), text("Label2"),
                                                             json.dumps(verdict)),
                                 "A%d H%d W%d: %s, %s" % (a + 1, h + 1, w + 1, result, verdict))


def splash_keys_and_clicks(browser, url):
    # A click on one of the splash's texts is no click on the splash.
    start(browser, url)
    browser.click(".gx-splash [data-name=lblWarning]")
    check_equal(browser.evaluate(visible("splash") + " && document.querySelector('.gx-main') === null"), True,
                "the splash after a click on its text")
    for key in ("Enter", "Escape", "Space", "Tab", "ö", "7"):
        start(browser, url)
        browser.key(key)
        browser.wait_for(visible("main") + " && document.querySelector('.gx-splash[hidden]') !== null",
                         "the calculator after " + key)


def about_and_message_box(browser, url):
    to_calculator(browser, url)
    browser.click("[data-name=Command3]")
    browser.wait_for(visible("dialog"), "the About dialog")
    check_equal(browser.evaluate(focused()), "cmdOK", "the About dialog's first focus")
    browser.key("s", alt=True)
    browser.wait_for("document.querySelector('dialog.gx-message[open]') !== null", "the message box")
    check_equal(browser.evaluate("document.querySelector('.gx-message-text').textContent"), SYSINFO_UNAVAILABLE,
                "the message")
    check_equal(browser.evaluate("document.querySelector('.gx-message .gx-title-text').textContent"), "Gradolux",
                "the box's title")
    # While it is open nothing else takes a click, a key or the focus.
    browser.click_at(*browser.centre("[data-name=Command1]"))
    browser.key("Tab")
    check_equal(browser.evaluate("document.activeElement.classList.contains('gx-message-ok')"), True,
                "the focus on the box's button")
    check_equal(browser.evaluate(value("Text1")), "", "R after a click on the blocked calculator")
    browser.key("Escape")
    browser.wait_for("document.querySelector('dialog.gx-message') === null", "the box closed by Escape")
    browser.wait_for(focused() + " === 'cmdSysInfo'", "the focus back on Systeminfo")
    browser.click("[data-name=cmdSysInfo]")
    browser.wait_for("document.querySelector('dialog.gx-message[open]') !== null", "the box again")
    browser.click(".gx-message-ok")
    browser.wait_for("document.querySelector('dialog.gx-message') === null", "the box closed by its button")
    browser.click("[data-name=cmdOK]")
    browser.wait_for("document.querySelector('.gx-dialog') === null", "the About dialog unloaded")
    browser.wait_for(focused() + " === 'Command3'", "the focus back on Programminfo")


def the_end(browser, url):
    for how in ("[data-name=Command2]", ".gx-main .gx-close"):
        to_calculator(browser, url)
        browser.click(how)
        browser.wait_for("document.querySelector('.gx-ended') !== null", "the end after " + how)
        check_equal(browser.evaluate("document.querySelectorAll('.gx-window').length"), 0, "windows left")
        check_equal(browser.evaluate("document.querySelector('.gx-ended').firstChild.textContent"),
                    "Gradolux wurde beendet. ", "the page's line")
        check_equal(browser.evaluate("window.gradolux.exitCode"), 0, "the exit code")
    browser.click(".gx-ended a")
    browser.wait_for(visible("splash"), "the splash after starting again")


def ax_nodes(browser):
    nodes = browser.ax_tree()
    found = []
    for node in nodes:
        if node.get("ignored"):
            continue
        role = node.get("role", {}).get("value", "")
        name = node.get("name", {}).get("value", "")
        description = node.get("description", {}).get("value", "") if "description" in node else ""
        props = {p["name"]: p.get("value", {}).get("value") for p in node.get("properties", [])}
        found.append((role, name, description, props))
    return found


def accessibility_tree(browser, url):
    start(browser, url)
    nodes = ax_nodes(browser)
    splash = [n for n in nodes if n[0] == "dialog" and n[1] == "Gradolux"]
    check_equal(len(splash), 1, "splash dialogs named Gradolux")
    check_equal(splash[0][2], "Bitte eine Taste Drücken um zum Programm zu gelangen!", "the splash's description")
    browser.key("x")
    browser.wait_for(visible("main"), "the calculator")
    calculate_by_mouse(browser, 0, 0, 0)
    browser.wait_for(value("Text1") + " === '0,1'", "R = 0,1")
    nodes = ax_nodes(browser)
    groups = [n[1] for n in nodes if n[0] == "group"]
    for caption in ("A = Auswirkung (Schadensausmaß)", "H = Häufigkeit", "W = Wahrscheinlichkeit"):
        if caption not in groups:
            raise AssertionError("no group named %r among %r" % (caption, groups))
    radios = [n for n in nodes if n[0] == "radio"]
    check_equal(len(radios), 18, "option buttons")
    check_equal(radios[0][1].strip(), "GERINGE Auswirkung, z.B. Erste Hilfe, Schaden < 7.000 €, A = 1",
                "the first option's name")
    check_equal(len([n for n in nodes if n[0] == "button" and n[1] == "Berechnen"]), 1, "a button Berechnen")
    boxes = [n for n in nodes if n[0] == "textbox"]
    check_equal([n[1] for n in boxes], ['Rechnerisches Ergebnis für das Risiko "R"'], "the text box's name")
    status = [n for n in nodes if n[0] == "status" and n[3].get("live") == "polite"]
    check_equal(len(status), 1, "polite live regions with words (the calculator's)")
    heard = browser.evaluate("document.querySelector('.gx-main .gx-status').textContent")
    if "0,1" not in heard or VERDICTS[0] not in heard:
        raise AssertionError("the announcement %r lacks R or the verdict" % heard)


MEASURE = """(() => {
  const out = {};
  for (const box of document.querySelectorAll('.gx-window:not([hidden]) [data-name]')) {
    const caption = box.querySelector('.gx-caption, .gx-frame-caption, span') || box;
    if (!caption.textContent.trim()) continue;
    const key = box.closest('.gx-window').className.split(' ')[1] + '.' + box.dataset.name;
    const style = getComputedStyle(caption);
    const line = parseFloat(style.lineHeight) || caption.getBoundingClientRect().height;
    const rect = caption.getBoundingClientRect();
    const room = box.getBoundingClientRect();
    const wide = box.classList.contains('gx-label') ? box.scrollWidth <= box.clientWidth + 1
                                                     : rect.right <= room.right + 1;
    out[key] = {lines: Math.round(rect.height / line), fits: wide && rect.bottom <= room.bottom + 1};
  }
  return out;
})()"""


def every_zoom(browser, url):
    design = None
    try:
        for scale in (1, 1.25, 1.5, 2):
            browser.set_view(900, 700, scale)
            to_calculator(browser, url)
            calculate_by_mouse(browser, 5, 5, 5)
            browser.wait_for(value("Text1") + " === '10000'", "R = 10000")
            browser.click("[data-name=Command3]")
            browser.wait_for(visible("dialog"), "the About dialog")
            measured = browser.evaluate(MEASURE)
            browser.screenshot(os.path.join(ARTEFACTS, "zoom-%d.png" % int(scale * 100)))
            if design is None:
                design = measured
                for name, fit in measured.items():
                    if not fit["fits"] and name != "gx-main.Option16":
                        raise AssertionError("%s does not fit at 100 %%" % name)
                continue
            for name, fit in design.items():
                now = measured.get(name)
                if now is None or now["lines"] > fit["lines"] or (fit["fits"] and not now["fits"]):
                    raise AssertionError("%s at %d %%: %r, at 100 %%: %r" % (name, scale * 100, now, fit))
    finally:
        browser.set_view(900, 700, 1)


def writes_and_asks_for_nothing(browser, url):
    browser.drain()
    browser.events.clear()
    to_calculator(browser, url)
    calculate_by_mouse(browser, 2, 2, 2)
    browser.wait_for(value("Text1") + " === '14'", "R = 14")
    browser.click("[data-name=Command3]")
    browser.wait_for(visible("dialog"), "the About dialog")
    requests = [e["params"]["request"]["url"] for e in browser.drain()
                if e["method"] == "Network.requestWillBeSent"]
    base = url.rsplit("/", 1)[0] + "/"
    strangers = [r for r in requests if not r.startswith(base)]
    check_equal(strangers, [], "requests beyond the page's own files")
    cookies = browser.send("Network.getAllCookies")["cookies"]
    check_equal(cookies, [], "cookies")
    if url.startswith("http"):
        check_equal(browser.evaluate("localStorage.length + sessionStorage.length"), 0, "stored items")
        check_equal(browser.evaluate("indexedDB.databases().then(d => d.length)"), 0, "databases")


def from_a_folder(browser, url):
    folder_url = "file://" + os.path.abspath(PAGE) + "/index.html"
    to_calculator(browser, folder_url)
    calculate_by_mouse(browser, 0, 1, 2)
    browser.wait_for(value("Text1") + " === '1'", "R = 1 from a folder")
    writes_and_asks_for_nothing(browser, folder_url)


CASES = [typical_use_by_mouse, typical_use_by_keyboard, splash_keys_and_clicks, about_and_message_box, the_end,
         accessibility_tree, every_zoom, writes_and_asks_for_nothing, from_a_folder, all_combinations]


def main():
    global PAGE, ARTEFACTS
    PAGE = sys.argv[1]
    wanted = sys.argv[2:]
    ARTEFACTS = os.environ.get("GRADOLUX_WEB_ARTEFACTS", os.path.join(os.path.dirname(os.path.abspath(PAGE)),
                                                                       "page-test"))
    os.makedirs(ARTEFACTS, exist_ok=True)
    server = cdp.PageServer(PAGE)
    browser = cdp.Browser()
    failures = 0
    try:
        for case in CASES:
            if wanted and case.__name__ not in wanted:
                continue
            url = server.origin + "/index.html"
            try:
                case(browser, url)
                errors = [e for e in browser.drain() if e["method"] == "Runtime.exceptionThrown" or
                          (e["method"] == "Log.entryAdded" and e["params"]["entry"]["level"] == "error")]
                browser.events.clear()
                if errors:
                    raise AssertionError("the page reported errors: %s" % json.dumps(errors)[:2000])
                print("PASS", case.__name__, flush=True)
            except Exception:
                failures += 1
                print("FAIL", case.__name__, flush=True)
                traceback.print_exc()
                try:
                    browser.screenshot(os.path.join(ARTEFACTS, case.__name__ + "-failed.png"))
                except Exception:
                    pass
    finally:
        browser.close()
        server.close()
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
