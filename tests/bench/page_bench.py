# SPDX-License-Identifier: MIT
"""The page against a floor page, in one interleaved series in headless
Chromium served from 127.0.0.1: navigation -> splash painted, key ->
calculator painted, click on „Berechnen“ (three options chosen) -> verdict
painted; medians over RUNS runs each after one warm-up run each, and the
bytes each page loads with gzip.

The floor page has the same elements, texts, fonts and style sheet as the
page — its windows' markup is taken from the page itself once it is drawn —
and a few lines of JavaScript that show the calculator on a key and write a
fixed result on the click: no WebAssembly, no run-time.

"Painted" is the end of the first frame after the change: a mark set from a
timer that the frame's animation callback starts, the same for both pages.

    page_bench.py PAGE_DIR WORK_DIR [RUNS]"""

import gzip
import json
import os
import shutil
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web"))
import cdp  # noqa: E402
import page_test  # noqa: E402

# Set before any script of the page runs: marks each step's end once its
# change is on the page, and its start from the event's own time stamp.
MEASURE = r"""
window.__bench = {};
(function () {
  const done = function (name) {
    requestAnimationFrame(function () {
      setTimeout(function () { window.__bench[name] = performance.now(); }, 0);
    });
  };
  const waits = [];
  const check = function () {
    for (let i = waits.length - 1; i >= 0; --i)
      if (waits[i].ready()) {
        done(waits[i].name);
        waits.splice(i, 1);
      }
  };
  new MutationObserver(check).observe(document, {subtree: true, childList: true, attributes: true,
                                                 characterData: true});
  waits.push({name: 'splash', ready: function () {
    return document.querySelector('.gx-splash:not([hidden])') !== null;
  }});
  document.addEventListener('keydown', function (event) {
    if (window.__bench.keyAt !== undefined)
      return;
    window.__bench.keyAt = event.timeStamp;
    waits.push({name: 'key', ready: function () {
      return document.querySelector('.gx-main:not([hidden])') !== null;
    }});
  }, true);
  document.addEventListener('pointerup', function (event) {
    if (!event.target.closest || !event.target.closest('[data-name=Command1]'))
      return;
    window.__bench.clickAt = event.timeStamp;
    const label = document.querySelector('[data-name=Label2]');
    const before = label.textContent;
    waits.push({name: 'click', ready: function () { return label.textContent !== before; }});
  }, true);
})();
"""

FLOOR_SCRIPT = r"""// The floor page's behaviour: the calculator on a key, a fixed result on the click.
document.addEventListener('keydown', function () {
  const splash = document.querySelector('.gx-splash');
  if (splash.hidden)
    return;
  const main = document.querySelector('.gx-main');
  main.hidden = false;
  main.classList.add('gx-active');
  splash.hidden = true;
  document.querySelector('[data-name=Command1]').focus();
}, true);
document.addEventListener('click', function (event) {
  if (!event.target.closest('[data-name=Command1]'))
    return;
  document.querySelector('[data-name=Text1]').value = '18';
  document.querySelector('[data-name=Label2]').textContent = %s;
  document.querySelector('.gx-main .gx-status').textContent = '18 ' + %s;
});
"""


def make_floor(browser, page, server, folder):
    """The floor page: the page's own windows as static markup."""
    page_test.start(browser, server.origin + "/index.html")
    splash = browser.evaluate("document.querySelector('.gx-splash').outerHTML")
    browser.key("x")
    browser.wait_for(page_test.visible("main"), "the calculator")
    main = browser.evaluate("(() => { const m = document.querySelector('.gx-main'); const c = m.cloneNode(true);"
                            " c.hidden = true; c.classList.remove('gx-active'); return c.outerHTML; })()")
    os.makedirs(folder, exist_ok=True)
    for name in ("gradolux.css", "gradolux-32.png", "gradolux-sans.woff2", "gradolux-sans-bold.woff2"):
        shutil.copy(os.path.join(page, name), folder)
    verdict = json.dumps(page_test.VERDICTS[0])
    with open(os.path.join(folder, "floor.js"), "w") as file:
        file.write(FLOOR_SCRIPT % (verdict, verdict))
    with open(os.path.join(folder, "index.html"), "w") as file:
        file.write('<!DOCTYPE html>\n<html lang="de">\n<head>\n<meta charset="utf-8">\n<title>Gradolux</title>\n'
                   '<link rel="stylesheet" href="gradolux.css">\n</head>\n<body>\n'
                   '<main id="gradolux" class="gx-desktop">%s%s</main>\n<script src="floor.js"></script>\n'
                   '</body>\n</html>\n' % (splash, main))


def run_once(browser, url):
    browser.open(url)
    browser.wait_for("window.__bench && window.__bench.splash !== undefined", "the splash painted")
    browser.key("x")
    browser.wait_for("window.__bench.key !== undefined", "the calculator painted")
    for scale, position in ((0, 1), (1, 1), (2, 4)):
        browser.click(page_test.option(scale, position) + " .gx-caption")
    browser.click("[data-name=Command1]")
    browser.wait_for("window.__bench.click !== undefined", "the verdict painted")
    marks = browser.evaluate("window.__bench")
    return marks["splash"], marks["key"] - marks["keyAt"], marks["click"] - marks["clickAt"]


def gzip_bytes(folder, names):
    return sum(len(gzip.compress(open(os.path.join(folder, name), "rb").read(), 9)) for name in names)


def main():
    page, work = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 15
    floor = os.path.join(work, "page-floor")
    page_server = cdp.PageServer(page)
    browser = cdp.Browser(width=1024, height=768)
    try:
        make_floor(browser, page, page_server, floor)
        floor_server = cdp.PageServer(floor)
        browser.send("Page.addScriptToEvaluateOnNewDocument", {"source": MEASURE})
        browser.send("Network.setCacheDisabled", {"cacheDisabled": False})
        series = {"page": [], "floor": []}
        for run in range(runs + 1):
            for name, server in (("page", page_server), ("floor", floor_server)):
                times = run_once(browser, server.origin + "/index.html")
                if run > 0:
                    series[name].append(times)
        floor_server.close()
    finally:
        browser.close()
        page_server.close()

    steps = ["navigation → splash painted", "key → calculator painted", "click → verdict painted"]
    print("| step | page (ms) | floor page (ms) | page ÷ floor |")
    print("|---|---|---|---|")
    for index, step in enumerate(steps):
        ours = statistics.median(t[index] for t in series["page"])
        theirs = statistics.median(t[index] for t in series["floor"])
        print("| %s | %.1f | %.1f | %.2f |" % (step, ours, theirs, ours / theirs))
    page_files = ["index.html", "gradolux.js", "gradolux-page.js", "gradolux.css", "gradolux-32.png",
                  "gradolux-sans.woff2", "gradolux-sans-bold.woff2"]
    floor_files = ["index.html", "floor.js", "gradolux.css", "gradolux-32.png", "gradolux-sans.woff2",
                   "gradolux-sans-bold.woff2"]
    print("| everything loaded, gzip (bytes) | %d | %d | %.2f |" % (
        gzip_bytes(page, page_files), gzip_bytes(floor, floor_files),
        gzip_bytes(page, page_files) / gzip_bytes(floor, floor_files)))
    print("\nmedians of %d runs each, interleaved, after one warm-up run each" % runs)


if __name__ == "__main__":
    main()
