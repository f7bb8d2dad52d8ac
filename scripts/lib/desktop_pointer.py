#!/usr/bin/env python3
"""Keeps the windows of other Wine programs from putting the cursor back.

    desktop_pointer.py [--title "NAME - Wine desktop"] [--lifetime SECONDS]

Wine 8 moves the cursor (SetCursorPos) by grabbing the pointer on the root
window, warping it, and letting go. Letting go sends the X window under the
pointer a crossing event with the pointer's position at that moment, and the
process that owns that window turns it into an absolute mouse move. Only the
process that moved the cursor knows the events of its own moves for old (by
their serial numbers); to any other they are news. So when a program glides
the cursor over another program's window and that program reads its events
late (a busy machine, an emulated one), it sends back positions that the glide
has left: the cursor jumps back along its path, and the gliding program takes
that for the user moving the mouse, or arrives short. Measured with Wine's
cursor trace: in the emulated 32-bit guest, 69 of the 725 positions that the
stand-in browser sent back during a session were stale; here, with the
stand-in's process held up 40 ms in every 100, 177 of 464, and the program's
glide to the address bar stopped twice. In Wine's virtual desktop, 80 to 110 of
200 small moves over another program's window read back wrong even unloaded.

So every window is given an empty X input region: to X the pointer is then
always on the root (or the virtual desktop's) window, the grab crosses nothing,
and no position is sent back. Synthesised input is unaffected: it never passes
through X, and Wine finds the window under the cursor itself. A real pointer's
input still reaches the virtual desktop's window, which hands it on; on the
bare screen it reaches no window, so that mode is for displays that only
synthesised input drives, as the tests' virtual display.

Without --title the windows are those on the screen (Wine with no window
manager); with it, those inside the Wine virtual desktop of that title, once it
appears. Each is given an empty input region as it appears (and again if it
ever gets one back). Stops at the end of its lifetime, at SIGTERM, or when the
display goes.
"""

import argparse
import ctypes
import ctypes.util
import select
import signal
import sys
import time

SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
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
        x11.XSelectInput.argtypes = [p, Window, ctypes.c_long]
        x11.XPending.argtypes = [p]
        x11.XNextEvent.argtypes = [p, p]
        x11.XConnectionNumber.argtypes = [p]
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

    def watch(self, window):
        """Windows created, mapped or moved into `window` wake wait()."""
        self.x11.XSelectInput(self.display, window, SUBSTRUCTURE_NOTIFY_MASK)

    def wait(self, seconds):
        """Until an event comes or `seconds` pass; the events are dropped."""
        if not self.x11.XPending(self.display):
            select.select([self.x11.XConnectionNumber(self.display)], [], [], seconds)
        event = ctypes.create_string_buffer(192)  # sizeof(XEvent)
        while self.x11.XPending(self.display):
            self.x11.XNextEvent(self.display, event)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--title", help="the title of Wine's virtual desktop window (default: none, the screen)")
    parser.add_argument("--lifetime", type=float, default=3600, help="seconds before stopping by itself")
    args = parser.parse_args(argv)

    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    x = Display()
    until = time.monotonic() + args.lifetime
    watched = set()
    said = False
    while (left := until - time.monotonic()) > 0:
        if args.title is None:
            holders = [x.root]
        else:
            holders = [window for window in x.children(x.root) if x.name(window) == args.title]
        for holder in holders:
            if holder not in watched:
                x.watch(holder)
                watched.add(holder)
            for window in x.children(holder):
                if x.takes_input(window):
                    x.take_no_input(window)
        x.sync()
        if not said:
            # Whoever waits for us may go on: the windows there now have lost
            # their input, and those to come will lose it as they appear.
            print("watching", args.title or "the screen", flush=True)
            said = True
        # A new window wakes us at once; a look now and then catches the rest,
        # often while the virtual desktop is still awaited.
        x.wait(min(left, 1.0 if holders else 0.1))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
