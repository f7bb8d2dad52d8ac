#!/usr/bin/env python3
"""Tests of the demonstration's check that every visit landed on an address drawn."""

import contextlib
import io
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import landed  # noqa: E402

SPONSORS = "http://www.nimbrel.com/sponsors"
SITES = "www.example.com/garden\r\nhttp://www.example.org/recipes\r\n\r\n  Stars.Example.org/astronomy \r\n"


def log_of(*addresses):
    return "".join(f"14:03:{i:02d}.000  +{i:7.1f} s  200  {a}  \"Title\"\n" for i, a in enumerate(addresses))


class LandedTest(unittest.TestCase):
    def check(self, *addresses):
        with tempfile.TemporaryDirectory() as folder:
            sites, visits = Path(folder) / "WebSites.txt", Path(folder) / "visits.log"
            sites.write_bytes(SITES.encode("utf-8"))
            visits.write_text(log_of(*addresses), encoding="utf-8")
            out = io.StringIO()
            with contextlib.redirect_stdout(out):
                code = landed.main(["--visits", str(visits), "--sites", str(sites), "--sponsors", SPONSORS])
            return code, out.getvalue()

    def test_visits_of_the_sponsors_page_and_of_entries_as_the_browser_requests_them_landed(self):
        code, out = self.check("http://www.example.com/", SPONSORS, "http://www.example.com/garden",
                               "http://stars.example.org/astronomy", "http://www.example.org/recipes")
        self.assertEqual(0, code)
        self.assertEqual("every visit landed on the address drawn (4 of 4)\n", out)

    def test_a_typo_left_in_or_a_completion_opened_is_named(self):
        code, out = self.check("http://www.example.com/", SPONSORS, "http://www.example.com/gardqen",
                               "http://www.example.com/garden/roses", "http://www.example.com/garden")
        self.assertEqual(1, code)
        self.assertEqual("2 of 4 visits did not land on an address drawn:\n"
                         "  http://www.example.com/gardqen\n  http://www.example.com/garden/roses\n", out)

    def test_the_browsers_own_home_page_is_no_visit(self):
        self.assertEqual((0, "no visit of the program reached the web server\n"),
                         self.check("http://www.example.com/"))


class ProvenTest(unittest.TestCase):
    def test_an_enter_is_proven_by_the_read_last_before_it_holding_what_it_opened(self):
        with tempfile.TemporaryDirectory() as folder:
            log = Path(folder) / "bar.log"
            log.write_text("read http://a\nenter http://a\nread http:/b\nread http://b\nenter http://b\n"
                           "read http://c\nenter http://cc\nenter http://d\n", encoding="utf-8")
            self.assertEqual((2, 4), landed.proven(str(log)))
            self.assertEqual((0, 0), landed.proven(str(Path(folder) / "none.log")))


if __name__ == "__main__":
    unittest.main()
