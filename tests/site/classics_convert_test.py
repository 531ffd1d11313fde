"""The classics converter on the small sample in the package's layout, and
the site that serves its result: pages walked with the reader's own
patterns (read from app/site_catalogue.h), the search key round trip, and
the answers to requests the site does not know."""

import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import classics_convert  # noqa: E402
from catalogue_site import answers  # noqa: E402
from classics_library import ClassicsLibrary  # noqa: E402

SAMPLE = os.path.join(HERE, "classics_sample")
CATALOGUE = os.path.join(HERE, "..", "..", "app", "site_catalogue.h")
BASE = "http://127.0.0.1:8717/"


def reader_patterns():
    """The pattern constants of SiteCatalogue, as the reader compiles them."""
    with open(CATALOGUE, encoding="utf-8") as f:
        source = f.read()
    patterns = {}
    for name, body in re.findall(r'(\w+Pattern) =\s*((?:"(?:[^"\\]|\\.)*"\s*)+);', source):
        literal = "".join(re.findall(r'"((?:[^"\\]|\\.)*)"', body))
        text = re.sub(r'\\(.)', lambda m: {"r": "\r", "n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), literal)
        patterns[name] = re.compile(text, re.IGNORECASE)
    return patterns


def reader_search_key(title):
    """The key as the reader sends it: every GBK byte as %XX."""
    return "".join("%{0:02X}".format(b) for b in title.encode("gbk"))


class ConverterTest(unittest.TestCase):
    def setUp(self):
        self.out = tempfile.mkdtemp(prefix="qh-classics-test-")
        self.addCleanup(shutil.rmtree, self.out, True)

    def convert(self, volume_size=classics_convert.VOLUME_SIZE):
        return classics_convert.convert(SAMPLE, self.out, volume_size)

    def chapters(self, work_id):
        with open(os.path.join(self.out, "works", "{0}.json".format(work_id)), encoding="utf-8") as f:
            return json.load(f)

    def work(self, index, title):
        return next(w for w in index["works"] if w["title"] == title)

    def test_categories_works_authors_and_chapter_titles(self):
        index = self.convert()
        self.assertEqual([(c["name"], [self.work_title(index, i) for i in c["works"]]) for c in index["categories"]], [
            ("经部", ["论语", "大学", "诗经"]),
            ("全唐诗", ["全唐诗·卷一", "全唐诗·卷二"]),
            ("全宋词", ["全宋词·卷一"]),
            ("蒙学", ["三字经"]),
            ("杂著", ["幽梦影"]),
        ])
        cases = [
            ("论语", "孔子弟子", ["学而第一", "为政第二"]),
            ("大学", "曾子", ["大學"]),  # a single chapter given as an object, not a list
            ("诗经", "佚名", ["周南·关雎", "秦风·蒹葭"]),
            ("全唐诗·卷二", "李白等", ["靜夜思", "春曉·其一"]),  # the poem without text is left out
            ("三字经", "王應麟", ["全文"]),
        ]
        for title, author, chapters in cases:
            with self.subTest(title):
                work = self.work(index, title)
                self.assertEqual((work["author"], work["chapters"]), (author, chapters))

    def work_title(self, index, work_id):
        return next(w["title"] for w in index["works"] if w["id"] == work_id)

    def test_paragraphs_are_one_per_section_and_gbk_safe(self):
        index = self.convert()
        lunyu = self.chapters(self.work(index, "论语")["id"])
        self.assertEqual(lunyu[1], ["为政第二", ["子曰：“为政以德，譬如北辰，居其所而众星共之。”",
                                              "子曰：“温故而知新，可以为师矣。”",
                                              "子曰：“学而不思则罔，思而不学则殆。”"]])
        # Anthology chapters open with the author; blank verses are dropped;
        # a character GBK lacks becomes the missing-character mark.
        tang = self.chapters(self.work(index, "全唐诗·卷二")["id"])
        self.assertEqual(tang[1], ["春曉·其一", ["作者：孟浩然", "春眠不覺曉，處處聞啼鳥。", "夜來風雨聲，花落知多少□。"]])
        self.assertEqual(index["replaced"], {"𠂹": 1, "・": 1})
        # Comments follow their entry; markup characters cannot open a tag.
        self.assertEqual(self.chapters(self.work(index, "幽梦影")["id"])[0][1],
                         ["读经宜冬，其神专也；读史宜夏，其时久也。", "某甲曰：此言得之。", "对〈渊博友〉，如读异书。"])
        for work in index["works"]:
            for title, paragraphs in self.chapters(work["id"]):
                for text in [work["title"], work["author"], title] + paragraphs:
                    text.encode("gbk")  # raises when not

    def test_large_collections_become_volumes(self):
        index = self.convert(volume_size=2)
        volumes = [(w["title"], w["author"], w["chapters"]) for w in index["works"] if w["category"] == "全宋词"]
        self.assertEqual(volumes, [("全宋词·卷一", "苏轼等", ["水调歌头", "声声慢"]),
                                   ("全宋词·卷二", "苏轼", ["江城子"])])

    def test_a_converted_version_is_not_converted_again(self):
        self.convert()
        marker = os.path.join(self.out, "works", "1.json")
        with open(marker, "w", encoding="utf-8") as f:
            f.write("[]")
        self.convert()
        self.assertEqual(self.chapters(1), [])
        # Another package version is converted anew.
        with open(os.path.join(self.out, "index.json"), encoding="utf-8") as f:
            index = json.load(f)
        index["version"] = "older"
        with open(os.path.join(self.out, "index.json"), "w", encoding="utf-8") as f:
            json.dump(index, f)
        self.convert()
        self.assertEqual(self.chapters(1)[0][0], "学而第一")


class ServedLibraryTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = tempfile.mkdtemp(prefix="qh-classics-test-")
        classics_convert.convert(SAMPLE, cls.out)
        cls.library = ClassicsLibrary(cls.out)
        cls.patterns = reader_patterns()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.out, True)

    def page(self, address):
        """The page at an absolute address of BASE, as GBK bytes decoded back."""
        self.assertTrue(address.startswith(BASE), address)
        path, _, query = address[len(BASE):].partition("?")
        text = self.library.page(BASE, path, query)
        self.assertIsNotNone(text, address)
        return text.encode("gbk").decode("gbk")

    def matches(self, name, text):
        return self.patterns[name].findall(text)

    def test_the_reader_patterns_walk_every_page(self):
        categories = self.matches("CategoryPattern", self.page(BASE))
        self.assertEqual([name for _, name in categories], ["经部", "全唐诗", "全宋词", "蒙学", "杂著"])
        chapters_read = 0
        for link, _ in categories:
            for novel in self.matches("NovelListPattern", self.page(link + ".html")):
                address, title, author = novel[0], novel[2], novel[7]
                work = next(w for w in self.library.works.values() if w["title"] == title)
                self.assertEqual(author, work["author"])
                toc = self.matches("NovelPagePattern", self.page(address))
                self.assertEqual(len(toc), 1, title)
                rows = self.matches("TocPattern", self.page(toc[0][0]))
                self.assertEqual([text for _, _, text in rows], work["chapters"])
                for (chapter_address, _, _), (_, paragraphs) in zip(rows, self.library.chapters(work["id"])):
                    self.assertEqual(self.matches("ChapterPattern", self.page(chapter_address)), paragraphs)
                    chapters_read += 1
        self.assertEqual(chapters_read, sum(len(w["chapters"]) for w in self.library.works.values()))

    def test_search_finds_titles_containing_the_key_sent_as_the_reader_sends_it(self):
        cases = [("全唐诗", ["全唐诗·卷一", "全唐诗·卷二"]), ("论语", ["论语"]), ("卷二", ["全唐诗·卷二"]),
                 ("红楼梦", []), ("", [])]
        for key, titles in cases:
            with self.subTest(key):
                page = self.page(BASE + "modules/article/search.php?searchkey=" + reader_search_key(key))
                self.assertEqual([m[2] for m in self.matches("NovelListPattern", page)], titles)


class SiteAnswersTest(unittest.TestCase):
    """The site started as the run command starts it, with --library."""

    @classmethod
    def setUpClass(cls):
        cls.out = tempfile.mkdtemp(prefix="qh-classics-test-")
        classics_convert.convert(SAMPLE, cls.out)
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            cls.port = s.getsockname()[1]
        cls.site = subprocess.Popen([sys.executable, os.path.join(HERE, "catalogue_site.py"), "--port", str(cls.port),
                                     "--library", cls.out], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        for _ in range(200):
            if answers(cls.port) or cls.site.poll() is not None:
                break
            time.sleep(0.05)

    @classmethod
    def tearDownClass(cls):
        cls.site.terminate()
        cls.site.communicate(timeout=10)
        shutil.rmtree(cls.out, True)

    def exchange(self, raw):
        with socket.create_connection(("127.0.0.1", self.port), timeout=5) as s:
            s.sendall(raw)
            data = b""
            while True:
                chunk = s.recv(65536)
                if not chunk:
                    return data
                data += chunk

    def test_known_pages_unknown_paths_and_malformed_requests(self):
        cases = [
            (b"GET / HTTP/1.1\r\nHost: h\r\n\r\n", b"HTTP/1.1 200 ", "经部".encode("gbk")),
            (b"GET /modules/article/search.php?searchkey=%C2%DB%D3%EF HTTP/1.1\r\n\r\n", b"HTTP/1.1 200 ",
             'alt="论语"'.encode("gbk")),
            (b"GET /book/1/2.html HTTP/1.1\r\n\r\n", b"HTTP/1.1 200 ", "温故而知新".encode("gbk")),
            (b"GET /book/1/3.html HTTP/1.1\r\n\r\n", b"HTTP/1.1 404 ", b""),
            (b"GET /book/99.html HTTP/1.1\r\n\r\n", b"HTTP/1.1 404 ", b""),
            (b"GET /sort/0.html HTTP/1.1\r\n\r\n", b"HTTP/1.1 404 ", b""),
            (b"GET /book/../index.json HTTP/1.1\r\n\r\n", b"HTTP/1.1 404 ", b""),
            (b"GET /book/1/%FF.html HTTP/1.1\r\n\r\n", b"HTTP/1.1 404 ", b""),
            (b"GET /modules/article/search.php?searchkey=%ZZ%FF HTTP/1.1\r\n\r\n", b"HTTP/1.1 200 ", b""),
            (b"NONSENSE\r\n\r\n", b"HTTP/1.1 400 ", b""),
            (b"GET / HTTP/1.1\r\nno colon here\r\n\r\n", b"HTTP/1.1 400 ", b""),
            (b"GET / HTTP/1.1\r\nContent-Length: -5\r\n\r\n", b"HTTP/1.1 400 ", b""),
        ]
        for raw, status, body_part in cases:
            with self.subTest(raw):
                answer = self.exchange(raw)
                self.assertTrue(answer.startswith(status), answer[:80])
                self.assertIn(body_part, answer.partition(b"\r\n\r\n")[2])
                self.assertNotIn(b"Traceback", answer)
        self.assertIsNone(self.site.poll())


if __name__ == "__main__":
    unittest.main()
