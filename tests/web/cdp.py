# SPDX-License-Identifier: GPL-3.0-or-later
"""A small client of the Chrome DevTools Protocol over its WebSocket (python3-websocket): enough to
drive one page of a headless Chromium as a person would, and to screenshot it."""
import base64
import json
import time
import urllib.request

import websocket


class Page:
    def __init__(self, debugging_port):
        targets = json.load(urllib.request.urlopen(f"http://127.0.0.1:{debugging_port}/json/list"))
        page = next(t for t in targets if t["type"] == "page")
        # The origin the test starts Chromium to allow (--remote-allow-origins).
        self.socket = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=30,
                                                  origin="http://127.0.0.1")
        self.next_id = 0
        self.events = []

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message.get("result", {})
            self.events.append(message)

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, seconds=10):
        deadline = time.time() + seconds
        while time.time() < deadline:
            try:
                if self.evaluate(expression):
                    return
            except RuntimeError:
                pass  # the page is between documents
            time.sleep(0.05)
        raise TimeoutError(f"waited {seconds} s for {expression}")

    def open(self, url):
        self.call("Page.navigate", url=url)
        self.wait_for(f"location.href === {json.dumps(url)} && document.readyState === 'complete'")

    # Types into the form's field as a person would leave it, and sends the form by its button.
    def fill(self, fields):
        for name, value in fields.items():
            self.evaluate(
                f"(() => {{ const e = document.querySelector('[name={json.dumps(name)}]');"
                f" if (e.type === 'checkbox') e.checked = {json.dumps(bool(value))};"
                f" else e.value = {json.dumps(value)}; }})()")

    # Clicks the button and waits for the page the form's answer leads to.
    def press(self, selector, then_path):
        self.evaluate(f"window.beforePress = true; document.querySelector({json.dumps(selector)}).click()")
        self.wait_for(f"!window.beforePress && location.pathname === {json.dumps(then_path)} && "
                      "document.readyState === 'complete' && !!document.querySelector('h1')")

    # Chooses a file in a file input, as a person would in the browser's dialog.
    def choose_file(self, selector, path):
        root = self.call("DOM.getDocument")["root"]["nodeId"]
        node = self.call("DOM.querySelector", nodeId=root, selector=selector)["nodeId"]
        self.call("DOM.setFileInputFiles", files=[path], nodeId=node)

    def text(self):
        return self.evaluate("document.body.innerText")

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", format="png")["data"]
        with open(path, "wb") as out:
            out.write(base64.b64decode(data))
