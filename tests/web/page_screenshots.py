# SPDX-License-Identifier: MIT
"""Renders the page's windows to PNG files as headless Chromium shows them:
the splash, the calculator after a calculation, the About dialog, the
message box of „Systeminfo...“, and the calculator at 150 %.

    page_screenshots.py PAGE_DIR OUT_DIR"""

import base64
import os
import sys

import cdp
import page_test


def shoot(browser, selector, path, scale):
    rect = browser.evaluate("(() => { const r = document.querySelector(%r).getBoundingClientRect(); "
                            "return [r.left, r.top, r.width, r.height]; })()" % selector)
    data = browser.send("Page.captureScreenshot", {
        "format": "png", "clip": {"x": rect[0], "y": rect[1], "width": rect[2], "height": rect[3], "scale": 1}})
    with open(path, "wb") as file:
        file.write(base64.b64decode(data["data"]))
    print(path)


def main():
    page, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    server = cdp.PageServer(page)
    browser = cdp.Browser(width=1024, height=768)
    url = server.origin + "/index.html"
    try:
        page_test.start(browser, url)
        shoot(browser, ".gx-splash", os.path.join(out, "splash.png"), 1)
        browser.key("x")
        browser.wait_for(page_test.visible("main"), "the calculator")
        page_test.calculate_by_mouse(browser, 1, 1, 4)
        browser.wait_for(page_test.value("Text1") + " === '18'", "R = 18")
        shoot(browser, ".gx-main", os.path.join(out, "main-window-calculated.png"), 1)
        browser.click("[data-name=Command3]")
        browser.wait_for(page_test.visible("dialog"), "the About dialog")
        shoot(browser, ".gx-dialog", os.path.join(out, "about-dialog.png"), 1)
        browser.click("[data-name=cmdSysInfo]")
        browser.wait_for("document.querySelector('dialog.gx-message[open]') !== null", "the message box")
        shoot(browser, "dialog.gx-message", os.path.join(out, "message-box.png"), 1)
        browser.set_view(1024, 768, 1.5)
        page_test.to_calculator(browser, url)
        shoot(browser, ".gx-main", os.path.join(out, "main-window-150.png"), 1.5)
    finally:
        browser.close()
        server.close()


if __name__ == "__main__":
    main()
