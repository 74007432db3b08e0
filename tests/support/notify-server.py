#!/usr/bin/python3
"""A notification server for tests, on the session bus of the caller.

Usage: notify-server.py LOG [-- COMMAND ...]

Takes the name org.freedesktop.Notifications and writes one line per call to
LOG: "notify<TAB>app<TAB>summary<TAB>body<TAB>timeout<TAB>id<TAB>icon" and
"close<TAB>id". Once the name is held it writes "ready" to LOG. With a
command, runs it (with VELMO_NOTIFY_LOG=LOG in its environment) once the
server is ready, and exits with its code; without one, serves until killed.
"""
import os
import subprocess
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"


class Server(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, PATH)
        self.log = log
        self.last = 0

    def write(self, *fields):
        with open(self.log, "a", encoding="utf-8") as out:
            out.write("\t".join(str(f) for f in fields) + "\n")

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        self.last += 1
        number = replaces if replaces else self.last
        self.write("notify", app, summary, body, timeout, number, icon)
        return number

    @dbus.service.method(NAME, in_signature="u", out_signature="")
    def CloseNotification(self, number):
        self.write("close", number)
        self.NotificationClosed(number, 3)

    @dbus.service.signal(NAME, signature="uu")
    def NotificationClosed(self, number, reason):
        pass

    @dbus.service.method(NAME, in_signature="", out_signature="as")
    def GetCapabilities(self):
        return ["body"]

    @dbus.service.method(NAME, in_signature="", out_signature="ssss")
    def GetServerInformation(self):
        return ("velmo-test-notify", "velmo", "1", "1.2")


def main():
    args = sys.argv[1:]
    if not args:
        print(__doc__, file=sys.stderr)
        return 2
    log = os.path.abspath(args[0])
    command = args[2:] if len(args) > 1 and args[1] == "--" else []
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    held = dbus.service.BusName(NAME, bus, do_not_queue=True)
    server = Server(bus, log)
    server.write("ready")
    loop = GLib.MainLoop()
    result = {"code": 0}
    if command:
        env = dict(os.environ, VELMO_NOTIFY_LOG=log)
        child = subprocess.Popen(command, env=env)

        def ended(pid, status):
            result["code"] = os.waitstatus_to_exitcode(status)
            loop.quit()

        GLib.child_watch_add(GLib.PRIORITY_DEFAULT, child.pid, ended)
    loop.run()
    del held
    return result["code"]


if __name__ == "__main__":
    sys.exit(main())
