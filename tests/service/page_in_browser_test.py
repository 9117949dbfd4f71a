#!/usr/bin/env python3
"""The service's page in headless Chromium, driven over the DevTools protocol:
it loads, shows the status, a mouse click in the browser sends a test receipt
(greeting only) to the built-in emulator, and the page shows "OK"; its
Diagnostica shows the till's checks and, on a click, the register on a port. Started
with a token, the page asks for it, refuses a wrong one without reaching the
register, and keeps the right one for the tab across a reload.

Usage: page_in_browser_test.py ZELKOSERVICE CHROMIUM
"""
import json
import os
import subprocess
import sys
import tempfile
import time

TIMEOUT = 30.0
TOKEN = "till-7f3a-token"
GREETING = ["=K", "=D1/(  ZELKO  Collegato )"]


class DevTools:
    """The browser's end of --remote-debugging-pipe: it reads commands on its
    fd 3 and writes replies and events on its fd 4, each message ended by NUL."""

    def __init__(self, chromium, profile):
        to_browser, self.commands = os.pipe()
        self.replies, from_browser = os.pipe()

        def wire_pipes():
            read_end, write_end = os.dup(to_browser), os.dup(from_browser)
            os.dup2(read_end, 3)
            os.dup2(write_end, 4)

        self.process = subprocess.Popen(
            [chromium, "--headless=new", "--remote-debugging-pipe", "--no-sandbox", "--disable-gpu",
             "--disable-dev-shm-usage", "--no-first-run", "--user-data-dir=" + profile, "about:blank"],
            pass_fds=(3, 4), preexec_fn=wire_pipes,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser)
        os.close(from_browser)
        self.buffer = b""
        self.next_id = 0

    def call(self, method, session=None, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        os.write(self.commands, json.dumps(message).encode() + b"\0")
        while True:
            reply = self.read()
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply["result"]

    def read(self):
        while b"\0" not in self.buffer:
            chunk = os.read(self.replies, 65536)
            if not chunk:
                raise RuntimeError("the browser closed its DevTools pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def close(self):
        try:
            self.call("Browser.close")
        except (RuntimeError, OSError):
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()


class Page:
    def __init__(self, devtools, url):
        self.devtools = devtools
        target = devtools.call("Target.createTarget", url=url)["targetId"]
        self.session = devtools.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]

    def evaluate(self, expression):
        result = self.devtools.call("Runtime.evaluate", self.session, expression=expression, returnByValue=True)
        return result["result"].get("value")

    def text(self, element_id):
        return self.evaluate(f"(document.getElementById({json.dumps(element_id)}) || {{}}).textContent || ''")

    def value(self, element_id, field):
        return self.evaluate(f"document.getElementById({json.dumps(element_id)}).{field}")

    def wait_for_text(self, element_id, accept):
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            text = self.text(element_id)
            if accept(text):
                return text
            time.sleep(0.1)
        raise AssertionError(f"#{element_id} shows {self.text(element_id)!r}")

    def click(self, element_id):
        """A left click at the element's centre, delivered as mouse input to the browser."""
        box = self.evaluate(f"(() => {{ const r = document.getElementById({json.dumps(element_id)})"
                            ".getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()")
        for kind in ("mousePressed", "mouseReleased"):
            self.devtools.call("Input.dispatchMouseEvent", self.session, type=kind, x=box[0], y=box[1],
                               button="left", clickCount=1)

    def type(self, element_id, text):
        """Clicks into the field and types text over what it holds, as keyboard input would."""
        self.click(element_id)
        self.value(element_id, "select()")
        self.devtools.call("Input.insertText", self.session, text=text)

    def reload(self):
        """Reloads the tab (its sessionStorage stays) and waits until the new document runs."""
        self.evaluate("window.beforeReload = true")
        self.devtools.call("Page.reload", self.session)
        deadline = time.monotonic() + TIMEOUT
        while self.evaluate("window.beforeReload") and time.monotonic() < deadline:
            time.sleep(0.05)
        if self.evaluate("window.beforeReload"):
            raise AssertionError("the page did not reload")


def start_service(service, folder, options):
    environment = {name: value for name, value in os.environ.items() if not name.startswith("ZELKO_")}
    environment.update(ZELKO_ROOT=os.path.join(folder, "root"), ZELKO_CONTROL="emulator",
                       ZELKO_OPERATOR="unattended")
    process = subprocess.Popen([service, "--listen", "127.0.0.1:0", "--store", os.path.join(folder, "store"), *options],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=environment, text=True)
    line = process.stdout.readline()
    if "listening on " not in line:
        process.kill()
        raise AssertionError(f"the service did not start: {line!r}")
    return process, line.split("listening on ", 1)[1].strip()


def open_page(page):
    page.wait_for_text("control", lambda text: "emulator" in text)
    page.wait_for_text("state", lambda text: text == "libero")
    page.wait_for_text("driverTitle", lambda text: text.startswith("JQT ZELKO Driver rel."))
    page.click("testReceipt")
    page.wait_for_text("outcome", lambda text: text == "OK")
    page.wait_for_text("recent", lambda text: "OK" in text)
    page.wait_for_text("checksOutcome", lambda text: text == "tutto a posto")
    page.wait_for_text("checks", lambda text: "files" in text and "control" in text)
    page.type("probePort", "4")
    page.click("probe")
    page.wait_for_text("ports", lambda text: text.startswith("porta 4risponde"))


def page_with_token(page):
    asking = lambda text: text == "serve il token"
    page.wait_for_text("state", asking)
    if page.value("tokenRow", "hidden"):
        raise AssertionError("the page asks for the token but hides its field")
    page.type("token", "wrong-" + TOKEN)
    page.click("testReceipt")
    page.wait_for_text("outcome", lambda text: "Authorization: Bearer" in text)
    page.wait_for_text("state", asking)
    if page.text("driverTitle") != "…":
        raise AssertionError("the status loaded with a wrong token")
    page.type("token", TOKEN)
    page.wait_for_text("driverTitle", lambda text: text.startswith("JQT ZELKO Driver rel."))
    page.wait_for_text("state", lambda text: text == "libero")
    page.reload()
    page.wait_for_text("state", lambda text: text == "libero")
    if page.value("token", "value"):
        raise AssertionError("the reloaded page has the token in its field, not from the tab")
    page.click("testReceipt")
    page.wait_for_text("outcome", lambda text: text == "OK")


# name, steps in the page, the service's options (with the token file's path as {token_file})
SCENARIOS = [
    ("open", open_page, []),
    ("token", page_with_token, ["--token-file", "{token_file}"]),
]


def run_scenario(service, devtools, folder, steps, options):
    token_file = os.path.join(folder, "token")
    with open(token_file, "w", encoding="ascii") as file:
        file.write(TOKEN + "\n")
    process, url = start_service(service, folder, [option.format(token_file=token_file) for option in options])
    try:
        steps(Page(devtools, url))
    finally:
        process.terminate()
        stopped = process.wait(timeout=10)
    if stopped != 0:
        raise AssertionError(f"the service exited with status {stopped} when told to stop")
    with open(os.path.join(folder, "root", "emulator", "journal.txt"), encoding="latin-1") as journal:
        sent = [line.split("\t")[1] for line in journal if line.startswith("SendCommand\t")]
    if sent != GREETING:
        raise AssertionError(f"the register got {sent}, not the greeting once")


def main(service, chromium):
    with tempfile.TemporaryDirectory() as folder:
        devtools = DevTools(chromium, os.path.join(folder, "profile"))
        try:
            for name, steps, options in SCENARIOS:
                os.mkdir(os.path.join(folder, name))
                run_scenario(service, devtools, os.path.join(folder, name), steps, options)
                print(f"{name}: passed")
        finally:
            devtools.close()


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
