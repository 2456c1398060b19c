# SPDX-License-Identifier: MIT
"""Headless Chromium driven through its DevTools protocol, for the page's
tests: the page served from 127.0.0.1 (or opened from a folder), real mouse
and key input, the accessibility tree, screenshots, the network's requests.

Uses Debian's python3-websocket and nothing else outside the standard
library. Every wait has one deadline and looks at an observable state."""

import base64
import functools
import http.server
import json
import os
import shutil
import subprocess
import tempfile
import threading
import time

import websocket

DEADLINE = float(os.environ.get("GRADOLUX_WEB_DEADLINE", "30"))


class Timeout(AssertionError):
    pass


class PageServer:
    """The page's folder on 127.0.0.1 at a free port, as a web server gives it."""

    def __init__(self, folder):
        handler = functools.partial(_QuietHandler, directory=folder)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.origin = "http://127.0.0.1:%d" % self.httpd.server_address[1]
        self.requests = []
        self.httpd.requests = self.requests
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript", ".woff2": "font/woff2"}

    def log_message(self, *args):
        pass

    def do_GET(self):
        self.server.requests.append(self.path)
        super().do_GET()


class Browser:
    """One headless Chromium with one page, attached through a flat session."""

    def __init__(self, width=900, height=700, scale=1.0, language="de-DE"):
        self.profile = tempfile.mkdtemp(prefix="gradolux-chromium-")
        self.process = subprocess.Popen(
            ["chromium", "--headless=new", "--no-sandbox", "--remote-debugging-port=0",
             "--user-data-dir=" + self.profile, "--no-first-run", "--no-default-browser-check",
             "--disable-gpu", "--disable-extensions", "--disable-background-networking",
             "--disable-component-update", "--disable-sync", "--mute-audio", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        self._wait(lambda: os.path.exists(port_file) and len(open(port_file).read().split("\n")) >= 2,
                   "Chromium's DevTools port")
        port, path = open(port_file).read().split("\n")[:2]
        self.socket = websocket.create_connection("ws://127.0.0.1:%s%s" % (port, path), timeout=DEADLINE,
                                                  suppress_origin=True)
        self.next_id = 0
        self.events = []
        target = self._call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self._call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        for domain in ("Page", "Runtime", "Network", "Accessibility", "DOM", "Log"):
            self.send(domain + ".enable")
        self.set_view(width, height, scale)
        self.set_language(language)

    # ---- the protocol -------------------------------------------------------

    def _wait(self, predicate, what, deadline=DEADLINE):
        end = time.monotonic() + deadline
        while True:
            value = predicate()
            if value:
                return value
            if time.monotonic() > end:
                raise Timeout("timed out after %.0f s waiting for %s" % (deadline, what() if callable(what) else what))
            time.sleep(0.02)

    def _call(self, method, params=None, session=None):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        self.socket.send(json.dumps(message))
        while True:
            reply = json.loads(self.socket.recv())
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError("%s: %s" % (method, reply["error"]))
                return reply.get("result", {})
            if "method" in reply:
                self.events.append(reply)

    def send(self, method, params=None):
        return self._call(method, params, self.session)

    def drain(self):
        """Takes the events that came in so far."""
        self.socket.settimeout(0.05)
        try:
            while True:
                reply = json.loads(self.socket.recv())
                if "method" in reply:
                    self.events.append(reply)
        except (websocket.WebSocketTimeoutException, TimeoutError):
            pass
        finally:
            self.socket.settimeout(DEADLINE)
        return self.events

    def close(self):
        try:
            self.socket.close()
        finally:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
            shutil.rmtree(self.profile, ignore_errors=True)

    # ---- the page -----------------------------------------------------------

    def set_view(self, width, height, scale):
        self.send("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": scale, "mobile": False})

    def set_language(self, language):
        self.send("Emulation.setLocaleOverride", {"locale": language})
        self.send("Network.setUserAgentOverride",
                  {"userAgent": self.evaluate("navigator.userAgent"), "acceptLanguage": language})

    def open(self, url):
        self.send("Page.navigate", {"url": url})

    def evaluate(self, expression):
        result = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True})
        if "exceptionDetails" in result:
            raise RuntimeError("page: %s: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def wait_for(self, expression, what=None, deadline=DEADLINE):
        return self._wait(lambda: self.evaluate(expression), what or expression, deadline)

    def screenshot(self, path):
        data = self.send("Page.captureScreenshot", {"format": "png"})["data"]
        with open(path, "wb") as file:
            file.write(base64.b64decode(data))

    # ---- the user's input ---------------------------------------------------

    def mouse(self, kind, x, y):
        self.send("Input.dispatchMouseEvent",
                  {"type": kind, "x": x, "y": y, "button": "left", "buttons": 1 if kind == "mousePressed" else 0,
                   "clickCount": 1})

    def click_at(self, x, y):
        self.mouse("mouseMoved", x, y)
        self.mouse("mousePressed", x, y)
        self.mouse("mouseReleased", x, y)

    def centre(self, selector):
        rect = self.evaluate("(() => { const e = document.querySelector(%s); if (!e) return null; "
                             "const r = e.getBoundingClientRect(); return [r.left, r.top, r.width, r.height]; })()"
                             % json.dumps(selector))
        if not rect:
            raise AssertionError("nothing on the page matches " + selector)
        return rect[0] + rect[2] / 2, rect[1] + rect[3] / 2

    def click(self, selector):
        self.click_at(*self.centre(selector))

    KEYS = {
        "Enter": (13, "Enter", "\r"), "Escape": (27, "Escape", ""), "Tab": (9, "Tab", ""),
        "Space": (32, "Space", " "), "ArrowUp": (38, "ArrowUp", ""), "ArrowDown": (40, "ArrowDown", ""),
        "ArrowLeft": (37, "ArrowLeft", ""), "ArrowRight": (39, "ArrowRight", ""), "Delete": (46, "Delete", ""),
        "Backspace": (8, "Backspace", ""),
    }

    def key(self, name, alt=False, shift=False, control=False):
        """A key pressed and released as the keyboard gives it: a named key
        (KEYS) or one character."""
        modifiers = (1 if alt else 0) | (2 if control else 0) | (8 if shift else 0)
        if name in self.KEYS:
            code, dom_code, text = self.KEYS[name]
            key = " " if name == "Space" else name
        else:
            text = name
            key = name
            upper = name.upper()
            code = ord(upper) if len(name) == 1 and upper.isascii() and upper.isalnum() else 0
            dom_code = ("Key" + upper) if upper.isascii() and upper.isalpha() else (
                "Digit" + name if name.isdigit() else "")
        if alt or control:
            text = ""
        down = {"type": "keyDown" if text else "rawKeyDown", "key": key, "code": dom_code,
                "windowsVirtualKeyCode": code, "nativeVirtualKeyCode": code, "modifiers": modifiers}
        if text:
            down["text"] = text
            down["unmodifiedText"] = text
        self.send("Input.dispatchKeyEvent", down)
        self.send("Input.dispatchKeyEvent", {"type": "keyUp", "key": key, "code": dom_code,
                                             "windowsVirtualKeyCode": code, "nativeVirtualKeyCode": code,
                                             "modifiers": modifiers})

    def ax_tree(self):
        return self.send("Accessibility.getFullAXTree")["nodes"]
