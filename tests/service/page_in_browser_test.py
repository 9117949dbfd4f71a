#!/usr/bin/env python3
"""The service's page in headless Chromium, driven over the DevTools protocol:
it loads, shows the status, a mouse click in the browser sends a test receipt
(greeting only) to the built-in emulator, and the page shows "OK".

Usage: page_in_browser_test.py ZELKOSERVICE CHROMIUM
"""
import json
import os
import subprocess
import sys
import tempfile
import time

TIMEOUT = 30.0


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


def start_service(service, folder):
    environment = {name: value for name, value in os.environ.items() if not name.startswith("ZELKO_")}
    environment.update(ZELKO_ROOT=os.path.join(folder, "root"), ZELKO_CONTROL="emulator",
                       ZELKO_OPERATOR="unattended")
    process = subprocess.Popen([service, "--listen", "127.0.0.1:0", "--store", os.path.join(folder, "store")],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=environment, text=True)
    line = process.stdout.readline()
    if "listening on " not in line:
        process.kill()
        raise AssertionError(f"the service did not start: {line!r}")
    return process, line.split("listening on ", 1)[1].strip()


def main(service, chromium):
    with tempfile.TemporaryDirectory() as folder:
        process, url = start_service(service, folder)
        devtools = DevTools(chromium, os.path.join(folder, "profile"))
        try:
            page = Page(devtools, url)
            page.wait_for_text("control", lambda text: "emulator" in text)
            page.wait_for_text("state", lambda text: text == "libero")
            page.wait_for_text("driverTitle", lambda text: text.startswith("JQT ZELKO Driver rel."))
            page.click("testReceipt")
            page.wait_for_text("outcome", lambda text: text == "OK")
            page.wait_for_text("recent", lambda text: "OK" in text)
        finally:
            devtools.close()
            process.terminate()
            process.wait(timeout=10)
        with open(os.path.join(folder, "root", "emulator", "journal.txt"), encoding="latin-1") as journal:
            sent = [line.split("\t")[1] for line in journal if line.startswith("SendCommand\t")]
        if sent != ["=K", "=D1/(  ZELKO  Collegato )"]:
            raise AssertionError(f"the register got {sent}, not the greeting alone")
    print("page loaded, showed the status, sent the test receipt on a click and showed OK")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
