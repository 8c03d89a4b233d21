# SPDX-License-Identifier: GPL-3.0-or-later
"""python3-dbusmock template: the GlobalShortcuts portal of xdg-desktop-portal, as a desktop that
binds what is asked answers. Each request answers through a Request object's Response signal
(sent before the method returns, as a quick portal may). The property RefuseNext (b) on the main
object makes the next BindShortcuts answer 2, as a desktop that refuses; the test sends Activated
with the mock's EmitSignal."""

import dbus
from dbusmock import mockobject

BUS_NAME = "org.freedesktop.portal.Desktop"
MAIN_OBJ = "/org/freedesktop/portal/desktop"
MAIN_IFACE = "org.freedesktop.portal.GlobalShortcuts"
SYSTEM_BUS = False

REQUEST_IFACE = "org.freedesktop.portal.Request"
SESSION_IFACE = "org.freedesktop.portal.Session"


def answer(self, token, code, results):
    path = "%s/request/mock/%s" % (MAIN_OBJ, token)
    if path not in mockobject.objects:
        self.AddObject(path, REQUEST_IFACE, {}, [])
    mockobject.objects[path].EmitSignal(REQUEST_IFACE, "Response", "ua{sv}", [dbus.UInt32(code), results])
    return dbus.ObjectPath(path)


def create_session(self, options):
    token = str(options.get("handle_token", "t"))
    session = "%s/session/mock/%s" % (MAIN_OBJ, str(options.get("session_handle_token", "s")))
    if session not in mockobject.objects:
        self.AddObject(session, SESSION_IFACE, {}, [("Close", "", "", "")])
    return answer(self, token, 0, dbus.Dictionary({"session_handle": dbus.ObjectPath(session)}, signature="sv"))


def bind_shortcuts(self, session, shortcuts, parent_window, options):
    token = str(options.get("handle_token", "b"))
    if self.Get(MAIN_IFACE, "RefuseNext"):
        self.Set(MAIN_IFACE, "RefuseNext", False)
        return answer(self, token, 2, dbus.Dictionary({}, signature="sv"))
    bound = dbus.Array([dbus.Struct((str(sid), dbus.Dictionary(
        {"description": props.get("description", ""),
         "trigger_description": "Shift+T"}, signature="sv"))) for sid, props in shortcuts],
        signature="(sa{sv})")
    return answer(self, token, 0, dbus.Dictionary({"shortcuts": bound}, signature="sv"))


def load(mock, parameters):
    mock.AddProperties(MAIN_IFACE, {"version": dbus.UInt32(1), "RefuseNext": False})
    mock.AddMethod(MAIN_IFACE, "CreateSession", "a{sv}", "o", create_session)
    mock.AddMethod(MAIN_IFACE, "BindShortcuts", "oa(sa{sv})sa{sv}", "o", bind_shortcuts)
