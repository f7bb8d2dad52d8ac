#!/usr/bin/env python3
"""Tests of the demonstration's web server, run as the demonstration runs it."""

import os
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.error
import urllib.request
from pathlib import Path

HERE = Path(__file__).resolve().parent
SERVER = HERE / "server.py"


def wait_for(condition, timeout=10.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return False


class RunningServer:
    def __init__(self, folder, lifetime=60):
        self.log = Path(folder) / "visits.log"
        port_file = Path(folder) / "port"
        self.process = subprocess.Popen(
            [sys.executable, str(SERVER), "--log", str(self.log), "--port-file", str(port_file),
             "--lifetime", str(lifetime)])
        if not wait_for(port_file.exists):
            self.process.kill()
            raise RuntimeError("the server did not report its port")
        self.port = int(port_file.read_text())

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(10)

    def through_proxy(self, address):
        """Status and body of `address` fetched with the server as the HTTP proxy."""
        opener = urllib.request.build_opener(
            urllib.request.ProxyHandler({"http": f"http://127.0.0.1:{self.port}"}))
        try:
            with opener.open(address, timeout=10) as answer:
                return answer.status, answer.read().decode("utf-8")
        except urllib.error.HTTPError as error:
            return error.code, error.read().decode("utf-8")

    def raw(self, request):
        with socket.create_connection(("127.0.0.1", self.port), timeout=10) as s:
            s.sendall(request.encode("ascii"))
            s.shutdown(socket.SHUT_WR)
            chunks = []
            while chunk := s.recv(65536):
                chunks.append(chunk)
        return b"".join(chunks).decode("utf-8", "replace")

    def log_lines(self):
        return self.log.read_text(encoding="utf-8").splitlines() if self.log.exists() else []


class ServerTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.server = RunningServer(self.folder.name)

    def tearDown(self):
        self.server.stop()
        self.folder.cleanup()

    def test_every_host_gets_the_local_pages_and_each_request_is_logged(self):
        status, body = self.server.through_proxy("http://www.nimbrel.com:80/sponsors")
        self.assertEqual(200, status)
        self.assertIn("<title>Nimbrel &mdash; Our Sponsors</title>", body)
        status, body = self.server.through_proxy("http://any.host.invalid:8080/garden/?from=list")
        self.assertEqual(200, status)
        self.assertIn("The Allotment Diary", body)

        self.assertTrue(wait_for(lambda: len(self.server.log_lines()) == 2))
        first, second = self.server.log_lines()
        self.assertRegex(first, r'^\d\d:\d\d:\d\d\.\d{3}  \+ *\d+\.\d s  200  '
                                r'http://www\.nimbrel\.com/sponsors  "Nimbrel — Our Sponsors"$')
        self.assertIn('200  http://any.host.invalid:8080/garden/?from=list  "The Allotment Diary"', second)

    def test_every_entry_of_the_demonstrations_site_list_has_a_page(self):
        entries = (HERE / "WebSites.txt").read_text().split()
        self.assertGreaterEqual(len(entries), 5)
        for entry in entries + ["www.example.com/"]:
            address = entry if "://" in entry else "http://" + entry
            with self.subTest(address=address):
                status, body = self.server.through_proxy(address)
                self.assertEqual(200, status)
                self.assertRegex(body, r"<title>[^<]+</title>")

    def test_an_unknown_or_crafted_path_gets_the_not_found_page(self):
        for path in ["/nowhere", "/../server.py", "/site/index", "/%2e%2e/server", "/INDEX.HTML"]:
            with self.subTest(path=path):
                answer = self.server.raw(f"GET {path} HTTP/1.1\r\nHost: www.example.com\r\nConnection: close\r\n\r\n")
                self.assertTrue(answer.startswith("HTTP/1.1 404 "), answer[:80])
                self.assertIn("<title>Page not found</title>", answer)
        self.assertTrue(wait_for(lambda: any("404  http://www.example.com/nowhere" in line
                                             for line in self.server.log_lines())))

    def test_tunnels_are_refused_so_nothing_is_forwarded(self):
        answer = self.server.raw("CONNECT www.example.com:443 HTTP/1.1\r\nHost: www.example.com:443\r\n\r\n")
        self.assertTrue(answer.startswith("HTTP/1.1 405 "), answer[:80])

    def test_it_listens_on_the_loopback_address_alone(self):
        # The whole of 127/8 reaches this machine; a listener bound to
        # 127.0.0.1 alone refuses the rest of it.
        with self.assertRaises(OSError):
            socket.create_connection(("127.0.0.2", self.server.port), timeout=5).close()


class LifetimeTest(unittest.TestCase):
    def test_the_server_stops_by_itself_at_the_end_of_its_lifetime(self):
        with tempfile.TemporaryDirectory() as folder:
            server = RunningServer(folder, lifetime=1)
            try:
                self.assertEqual(0, server.process.wait(15))
            finally:
                server.stop()


if __name__ == "__main__":
    unittest.main(verbosity=1)
