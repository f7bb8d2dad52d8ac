#!/usr/bin/env python3
"""Whether every page that the program opened is one whose address it drew.

    landed.py --visits FILE --sites FILE --sponsors ADDRESS [--bar-log FILE]

--visits is the web server's visit log (server.py). Its first request is the
browser opening its home page, which the program did not type; every later one
is a visit of the program. The program draws the sponsors page (--sponsors) on
a session's first visit and an entry of the site list (--sites, the
WebSites.txt it reads) on every other. An address that was typed with a typo
left in it, or that the browser completed to another one, lands elsewhere.

Prints "every visit landed on the address drawn", or each visit that did not
(and then exits with 1), or that there was no visit.

--bar-log is the demo browser's log of its address bar: "read TEXT" each time
another program read the bar, "enter TEXT" each address opened. A visit is
proven when the bar was read back last before its Enter holding what Enter
opened; it prints "proven N of M".
"""

import argparse
import contextlib
import re
import sys

from server import split_target

# "14:03:07.123  +   12.3 s  200  http://www.example.com/garden  "Title""
VISIT = re.compile(r"^\S+\s+\+\s*[\d.]+ s\s+(\d+)\s+(\S+)")
SCHEME = re.compile(r"^[A-Za-z][A-Za-z0-9+.-]*://")


def as_requested(typed):
    """The address as the server logs it when the browser is given `typed`:
    with "http://" in front when it names no scheme, the host in lower case."""
    typed = typed.strip()
    address = typed if SCHEME.match(typed) else "http://" + typed
    host, path = split_target(address, None)
    return f"http://{host}{path}"


def drawn_addresses(sites_file, sponsors):
    with open(sites_file, encoding="utf-8", errors="replace", newline="") as f:
        entries = [line.rstrip("\r\n") for line in f]
    return {as_requested(sponsors)} | {as_requested(e) for e in entries if e.strip()}


def visits(log_file):
    """The addresses of the requests after the first, in order."""
    with open(log_file, encoding="utf-8") as f:
        requests = [m.group(2) for m in map(VISIT.match, f) if m]
    return requests[1:]


def proven(bar_log):
    """How many Enters of the bar's log the read before them matched, of how many."""
    read, enters, matched = None, 0, 0
    with contextlib.suppress(FileNotFoundError), open(bar_log, encoding="utf-8", errors="replace") as f:
        for line in f:
            kind, _, text = line.rstrip("\n").partition(" ")
            if kind == "read":
                read = text
            elif kind == "enter":
                enters += 1
                matched += read == text
                read = None
    return matched, enters


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--visits", required=True)
    parser.add_argument("--sites", required=True)
    parser.add_argument("--sponsors", required=True)
    parser.add_argument("--bar-log")
    args = parser.parse_args(argv)
    if args.bar_log:
        matched, enters = proven(args.bar_log)
        print(f"proven {matched} of {enters} (the address read back from the bar before Enter)")

    drawn = drawn_addresses(args.sites, args.sponsors)
    seen = visits(args.visits)
    astray = [address for address in seen if address not in drawn]
    if not seen:
        print("no visit of the program reached the web server")
        return 0
    if not astray:
        print(f"every visit landed on the address drawn ({len(seen)} of {len(seen)})")
        return 0
    print(f"{len(astray)} of {len(seen)} visits did not land on an address drawn:")
    for address in astray:
        print(f"  {address}")
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
