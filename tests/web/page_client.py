# SPDX-License-Identifier: GPL-3.0-or-later
"""An HTTPS client of the ringer's page, as the office's browser talks to it: requests from a
chosen local address (the page counts failed log-ins by it), cookies and the forms' token."""
import http.client
import re
import ssl
import urllib.parse

# The certificate is the ringer's own; a check compares its fingerprint, as the office does.
context = ssl.SSLContext(ssl.PROTOCOL_TLS_CLIENT)
context.check_hostname = False
context.verify_mode = ssl.CERT_NONE


class PageClient:
    def __init__(self, port, connect_to="127.0.0.1"):
        self.port, self.connect_to = port, connect_to

    def request(self, method, path, body=None, cookie=None, host="localhost",
                address="127.0.0.1", headers=None):
        """(status, headers, text) of one request on a connection of its own."""
        connection = http.client.HTTPSConnection(self.connect_to, self.port, context=context,
                                                 timeout=20, source_address=(address, 0))
        sent = {"Host": f"{host}:{self.port}"}
        if body is not None:
            sent["Content-Type"] = "application/x-www-form-urlencoded"
        if cookie:
            sent["Cookie"] = cookie
        sent.update(headers or {})
        connection.request(method, path, body=body, headers=sent)
        response = connection.getresponse()
        text = response.read().decode("utf-8", "replace")
        result = (response.status, response.getheaders(), text)
        connection.close()
        return result

    def log_in(self, secret, address="127.0.0.1", desk=None):
        """desk: the mark (a cookie) of a desk that logged in before."""
        _, headers, html = self.request("GET", "/login", address=address)
        form = urllib.parse.urlencode({"token": token_in(html), "password": secret})
        cookies = "; ".join(c for c in (cookie_of(headers, "tolvane_login"), desk) if c)
        return self.request("POST", "/login", form, cookies, address=address)


def header(headers, name):
    return [v for n, v in headers if n.lower() == name.lower()]


def cookie_of(headers, name):
    for value in header(headers, "Set-Cookie"):
        if value.startswith(name + "="):
            return value.split(";")[0]
    return None


def token_in(html):
    found = re.search(r'name="token" value="([0-9a-f]{64})"', html)
    return found.group(1) if found else None
