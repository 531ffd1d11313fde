"""Serves a library converted by classics_convert.py in the site's markup:

  ""                              the root page: one link per category
  sort/N.html                     category N: its works as novel entries
  book/ID.html                    a work's page: the cover block links to its table of contents
  book/ID/index.html              the table of contents
  book/ID/C.html                  chapter C: one paragraph per verse or section, CR LF breaks
  modules/article/search.php?searchkey=KEY
                                  the works whose title contains KEY (GBK, percent-escaped),
                                  as a category page

Paths are relative to base, the library's absolute root address; page()
answers None for every other path. A work's chapters are read from disk
when first asked for.
"""

import json
import os
from functools import lru_cache

import markup
from search_key import search_key


class ClassicsLibrary:
    def __init__(self, folder):
        self.folder = folder
        with open(os.path.join(folder, "index.json"), encoding="utf-8") as f:
            index = json.load(f)
        self.categories = index["categories"]
        self.works = {w["id"]: w for w in index["works"]}
        self.chapters = lru_cache(maxsize=64)(self._chapters)

    def _chapters(self, work_id):
        with open(os.path.join(self.folder, "works", "{0}.json".format(work_id)), encoding="utf-8") as f:
            return json.load(f)

    def page(self, base, path, query=""):
        """The page text at path (without a leading "/"), or None."""
        parts = path.split("/")
        if path == "":
            return markup.root_page(base, [(n, c["name"]) for n, c in enumerate(self.categories, start=1)])
        if path == "modules/article/search.php":
            key = search_key(query)
            found = [w for w in self.works.values() if key and key in w["title"]]
            # An undecodable key is shown as "?" rather than failing the page.
            shown = key.encode("gbk", errors="replace").decode("gbk").replace("<", "&lt;")
            return markup.novel_list_page("搜索：" + shown, [self.entry(base, w) for w in found])
        if len(parts) == 2 and parts[0] == "sort":
            number = _html_number(parts[1])
            if number is not None and 1 <= number <= len(self.categories):
                category = self.categories[number - 1]
                return markup.novel_list_page(category["name"],
                                              [self.entry(base, self.works[i]) for i in category["works"]])
        if len(parts) == 2 and parts[0] == "book":
            work = self.works.get(_html_number(parts[1]))
            if work:
                block = markup.cover_block(self.address(base, work, "index.html"),
                                           "{0}cover/{1}.jpg".format(base, work["id"]), work["title"])
                return markup.novel_page(work["title"], work["author"], [block])
        if len(parts) == 3 and parts[0] == "book" and parts[1].isdigit() and int(parts[1]) in self.works:
            work = self.works[int(parts[1])]
            if parts[2] == "index.html":
                links = [markup.toc_link(self.address(base, work, "{0}.html".format(n)), title, title)
                         for n, title in enumerate(work["chapters"], start=1)]
                return markup.toc_page(work["title"], links)
            number = _html_number(parts[2])
            if number is not None and 1 <= number <= len(work["chapters"]):
                title, paragraphs = self.chapters(work["id"])[number - 1]
                return markup.chapter_page(title, paragraphs)
        return None

    @staticmethod
    def address(base, work, page):
        return "{0}book/{1}/{2}".format(base, work["id"], page)

    @staticmethod
    def entry(base, work):
        return markup.novel_entry("{0}book/{1}.html".format(base, work["id"]),
                                  "{0}cover/{1}.jpg".format(base, work["id"]), work["title"], work["author"],
                                  "{0}author/{1}.html".format(base, work["id"]),
                                  intro="共{0}章".format(len(work["chapters"])))


def _html_number(name):
    """N of "N.html" (digits only), or None."""
    if name.endswith(".html") and name[:-5].isdigit() and len(name) < 16:
        return int(name[:-5])
    return None
