#!/usr/bin/python3
"""Reads a running program's window the way a screen reader does, through AT-SPI.

  atspi_dump.py APP            one line per accessible object of APP:
                               role<TAB>name<TAB>x y w h<TAB>flags<TAB>text
                               (desktop coordinates; flags: "focused"; text: a text
                               object's content with line breaks as \\n)
  atspi_dump.py APP --watch S  for S seconds, one line role<TAB>name per object that gets
                               the focus: popup menus, which are not in the tree, show here

Exits 1 when APP is not on the accessibility bus (yet).
"""
import sys

import pyatspi


def walk(obj, out):
    try:
        role, name = obj.getRoleName(), obj.name
    except Exception:
        return
    box = "0 0 0 0"
    try:
        e = obj.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        box = f"{e.x} {e.y} {e.width} {e.height}"
    except NotImplementedError:
        pass
    flags = "focused" if obj.getState().contains(pyatspi.STATE_FOCUSED) else ""
    text = ""
    if role == "text":
        try:
            t = obj.queryText()
            text = t.getText(0, t.characterCount)
        except NotImplementedError:
            pass
    esc = lambda s: s.replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n").replace("\t", "\\t")
    out.append((obj, f"{role}\t{esc(name)}\t{box}\t{flags}\t{esc(text)}"))
    for i in range(obj.childCount):
        walk(obj.getChildAtIndex(i), out)


def watch(seconds):
    from gi.repository import GLib

    def focused(event):
        if event.detail1:
            print(f"{event.source.getRoleName()}\t{event.source.name}", flush=True)

    pyatspi.Registry.registerEventListener(focused, "object:state-changed:focused")
    GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
    pyatspi.Registry.start()
    return 0


def main():
    if len(sys.argv) == 4 and sys.argv[2] == "--watch":
        return watch(float(sys.argv[3]))
    desktop = pyatspi.Registry.getDesktop(0)
    apps = [desktop.getChildAtIndex(i) for i in range(desktop.childCount)]
    app = next((a for a in apps if a is not None and a.name == sys.argv[1]), None)
    if app is None:
        return 1
    found = []
    walk(app, found)
    for _, line in found:
        print(line)
    return 0


sys.exit(main())
