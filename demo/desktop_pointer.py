#!/usr/bin/env python3
"""Keeps Wine's virtual desktop from putting the cursor back where it was.

    desktop_pointer.py --title "NAME - Wine desktop" [--lifetime SECONDS]

Wine 8 moves the cursor (SetCursorPos) by grabbing the pointer on the desktop's
X window, warping it, and letting go. When the pointer is over another X window
inside the desktop (the browser's, say), the grab sends the desktop's own
process a crossing event that carries the position from before the move, and
that process feeds it back as mouse input: the cursor jumps back a step, and a
program that glides the cursor and watches for the user reads its own glide as
the user taking the mouse. Measured here: 80 to 110 of 200 small moves over
another program's window read back wrong; none over the bare desktop.

So every window inside the desktop is given an empty X input region: to X the
pointer is then always in the desktop window itself, the grab crosses nothing,
and no stale position is sent. Windows input is unaffected: synthesised input
never passes through X, and real pointer input reaching the desktop window is
still delivered by Wine to whichever window lies under the cursor.

It looks for the desktop window by its title, gives each window inside it an
empty input region as it appears (and again if it ever gets one back), and
stops at the end of its lifetime, at SIGTERM, or when the display goes.
"""

import argparse
import ctypes
import ctypes.util
import signal
import sys
import time

SHAPE_INPUT = 2
SHAPE_SET = 0
UNSORTED = 0


class XRectangle(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort)]


def load(name):
    path = ctypes.util.find_library(name)
    if not path:
        raise OSError(f"lib{name} is not installed")
    return ctypes.CDLL(path)


class Display:
    """The few Xlib and Shape calls needed, through ctypes."""

    def __init__(self):
        self.x11 = x11 = load("X11")
        self.xext = xext = load("Xext")
        Window, p = ctypes.c_ulong, ctypes.c_void_p
        x11.XOpenDisplay.restype = p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDefaultRootWindow.restype = Window
        x11.XDefaultRootWindow.argtypes = [p]
        x11.XQueryTree.argtypes = [p, Window, ctypes.POINTER(Window), ctypes.POINTER(Window),
                                   ctypes.POINTER(ctypes.POINTER(Window)), ctypes.POINTER(ctypes.c_uint)]
        x11.XFetchName.argtypes = [p, Window, ctypes.POINTER(ctypes.c_char_p)]
        x11.XFree.argtypes = [p]
        x11.XSync.argtypes = [p, ctypes.c_int]
        x11.XCloseDisplay.argtypes = [p]
        xext.XShapeCombineRectangles.argtypes = [p, Window, ctypes.c_int, ctypes.c_int, ctypes.c_int, p,
                                                 ctypes.c_int, ctypes.c_int, ctypes.c_int]
        xext.XShapeGetRectangles.restype = ctypes.POINTER(XRectangle)
        xext.XShapeGetRectangles.argtypes = [p, Window, ctypes.c_int, ctypes.POINTER(ctypes.c_int),
                                             ctypes.POINTER(ctypes.c_int)]
        # A window may go between the look and the change; that is no error
        # worth ending for, and Xlib's default handler would end the process.
        self.on_error = ctypes.CFUNCTYPE(ctypes.c_int, p, p)(lambda display, event: 0)
        x11.XSetErrorHandler(self.on_error)
        # The display going away ends us: Xlib exits after this handler.
        self.on_io_error = ctypes.CFUNCTYPE(ctypes.c_int, p)(lambda display: 0)
        x11.XSetIOErrorHandler(self.on_io_error)
        self.display = x11.XOpenDisplay(None)
        if not self.display:
            raise OSError("cannot open the display")
        self.root = x11.XDefaultRootWindow(self.display)

    def children(self, window):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        kids, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.x11.XQueryTree(self.display, window, ctypes.byref(root), ctypes.byref(parent),
                                   ctypes.byref(kids), ctypes.byref(count)):
            return []
        found = [kids[i] for i in range(count.value)]
        if kids:
            self.x11.XFree(kids)
        return found

    def name(self, window):
        text = ctypes.c_char_p()
        if not self.x11.XFetchName(self.display, window, ctypes.byref(text)) or not text.value:
            return ""
        value = text.value.decode("utf-8", "replace")
        self.x11.XFree(text)
        return value

    def takes_input(self, window):
        count, ordering = ctypes.c_int(), ctypes.c_int()
        rects = self.xext.XShapeGetRectangles(self.display, window, SHAPE_INPUT, ctypes.byref(count),
                                              ctypes.byref(ordering))
        if rects:
            self.x11.XFree(rects)
        return count.value != 0

    def take_no_input(self, window):
        self.xext.XShapeCombineRectangles(self.display, window, SHAPE_INPUT, 0, 0, None, 0, SHAPE_SET,
                                          UNSORTED)

    def sync(self):
        self.x11.XSync(self.display, 0)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--title", required=True, help="the title of Wine's desktop window")
    parser.add_argument("--lifetime", type=float, default=3600, help="seconds before stopping by itself")
    args = parser.parse_args(argv)

    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    x = Display()
    until = time.monotonic() + args.lifetime
    while time.monotonic() < until:
        for desktop in x.children(x.root):
            if x.name(desktop) != args.title:
                continue
            for window in x.children(desktop):
                if x.takes_input(window):
                    x.take_no_input(window)
        x.sync()
        time.sleep(0.1)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
