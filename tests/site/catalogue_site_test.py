"""The local site itself: answers on bad input, and its background start."""

import os
import socket
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from catalogue_site import answers  # noqa: E402

SITE = os.path.join(HERE, "catalogue_site.py")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def exchange(port, raw):
    with socket.create_connection(("127.0.0.1", port), timeout=5) as s:
        s.sendall(raw)
        data = b""
        while True:
            chunk = s.recv(65536)
            if not chunk:
                return data
            data += chunk


class DaemonTest(unittest.TestCase):
    def setUp(self):
        self.port = free_port()
        self.folder = tempfile.mkdtemp(prefix="qh-site-test-")
        self.pidfile = os.path.join(self.folder, "site.pid")

    def tearDown(self):
        subprocess.run([sys.executable, SITE, "--stop", self.pidfile], check=False)

    def start(self):
        subprocess.run([sys.executable, SITE, "--port", str(self.port), "--daemon", self.pidfile],
                       check=True, stdout=subprocess.DEVNULL)
        with open(self.pidfile) as f:
            return int(f.read())

    def test_a_second_start_replaces_the_running_site(self):
        # A site left on the port may serve another library than asked for.
        first = self.start()
        second = self.start()
        self.assertNotEqual(first, second)
        self.assertEqual(answers(self.port), second)

    def test_search_keys_that_are_no_gbk_still_get_a_page(self):
        self.start()
        for key in (b"%ZZ%FF", b"%FF", b"%81"):
            with self.subTest(key):
                answer = exchange(self.port, b"GET /modules/article/search.php?searchkey=" + key +
                                  b" HTTP/1.1\r\nHost: h\r\n\r\n")
                self.assertTrue(answer.startswith(b"HTTP/1.1 200 "), answer[:60])
                self.assertNotIn(b"Traceback", answer)


if __name__ == "__main__":
    unittest.main()
