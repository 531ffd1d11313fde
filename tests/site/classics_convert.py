#!/usr/bin/env python3
"""Converts the JSON files of the chinese-poetry package into the classics
library that catalogue_site.py serves with --library DIR.

  classics_convert.py PACKAGE_DIR OUT_DIR

PACKAGE_DIR is the package's folder (the one holding dist/, or dist/
itself). OUT_DIR receives index.json (categories, works with their authors
and chapter titles, the characters replaced) and works/ID.json (the
chapters' paragraphs). index.json is written last, so a folder that has one
is complete; a later run with the same package version and format finds it
and converts nothing.

Every text is made GBK-encodable: a character GBK lacks becomes its
compatibility form when that one is in GBK, a close look-alike from a small
table, or else "□", the usual mark of a missing character in print.
Sources missing from the package are skipped, so a small sample in the same
layout converts as well.
"""

import collections
import json
import os
import re
import sys
import unicodedata

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from library import chinese_number  # noqa: E402

# Bumped whenever the output changes for the same package.
FORMAT = 1

CATEGORIES = ["经部", "诗", "全唐诗", "词", "全宋词", "曲", "蒙学", "杂著"]

# Pieces per volume of the collections without volumes of their own.
VOLUME_SIZE = 250

MISSING = "□"
LOOK_ALIKES = {"・": "·", "•": "·", "‧": "·", "∙": "·", "⋯": "…", "–": "－", "〜": "～"}
# The markup delimits titles with quotes and paragraphs with tags.
MARKUP_SAFE = {"<": "〈", ">": "〉", '"': "“"}


class Converter:
    def __init__(self, dist, volume_size=VOLUME_SIZE):
        self.dist = dist
        self.volume_size = volume_size
        self.replaced = collections.Counter()
        self.works = []

    # ---- text ------------------------------------------------------------

    def text(self, value):
        """One line of GBK-encodable, markup-safe text."""
        if value is None:
            return ""
        value = re.sub(r"\s*[\r\n]+\s*", "", str(value)).strip()
        for char, safe in MARKUP_SAFE.items():
            value = value.replace(char, safe)
        try:
            value.encode("gbk")
            return value
        except UnicodeEncodeError:
            return "".join(self._char(c) for c in value)

    def _char(self, char):
        try:
            char.encode("gbk")
            return char
        except UnicodeEncodeError:
            pass
        self.replaced[char] += 1
        for candidate in (unicodedata.normalize("NFKC", char), LOOK_ALIKES.get(char, "")):
            try:
                if candidate and candidate.encode("gbk"):
                    return candidate
            except UnicodeEncodeError:
                pass
        return MISSING

    def paragraphs(self, values):
        result = [self.text(v) for v in (values or [])]
        return [p for p in result if p]

    # ---- works -----------------------------------------------------------

    def load(self, *parts):
        path = os.path.join(self.dist, *parts)
        if not os.path.exists(path):
            return None
        with open(path, encoding="utf-8") as f:
            return json.load(f)

    def add(self, category, title, author, chapters):
        """chapters: (title, paragraphs) pairs; empty ones are left out."""
        chapters = [(self.text(t) or "正文", p) for t, p in chapters if p]
        if chapters:
            self.works.append({"category": category, "title": self.text(title),
                               "author": self.text(author) or "佚名", "chapters": chapters})

    def add_volumes(self, category, title, pieces, author=None):
        """A collection too large for one novel, as title·卷一, title·卷二 ...
        pieces: (author, chapter title, paragraphs)."""
        for start in range(0, len(pieces), self.volume_size):
            volume = pieces[start:start + self.volume_size]
            number = start // self.volume_size + 1
            self.add_anthology(category, "{0}·卷{1}".format(title, chinese_number(number)), volume, author)

    def add_anthology(self, category, title, pieces, compiler=None):
        """Pieces of several authors: each chapter opens with its author."""
        self.add(category, title, compiler or self.authors(a for a, _, _ in pieces),
                 [(t, self.with_author(a, p)) for a, t, p in pieces])

    def with_author(self, author, paragraphs):
        paragraphs = self.paragraphs(paragraphs)
        author = self.text(author)
        return (["作者：" + author] if author and paragraphs else []) + paragraphs

    def authors(self, names):
        """The one author, or the most frequent one followed by 等."""
        counts = collections.Counter(self.text(n) for n in names if n)
        if not counts:
            return "佚名"
        first = counts.most_common(1)[0][0]
        return first if len(counts) == 1 else first + "等"

    def convert(self):
        for step in (self.jingbu, self.shi, self.quantangshi, self.ci, self.quansongci, self.qu,
                     self.mengxue, self.zazhu):
            step()
        return self.works

    def jingbu(self):
        lunyu = self.load("lunyu", "lunyu.json")
        if lunyu:
            # The books of the analects are named after their opening words: 学而第一 ...
            self.add("经部", "论语", "孔子弟子",
                     [(re.sub("篇$", "", c["chapter"]) + "第" + chinese_number(i), self.paragraphs(c["paragraphs"]))
                      for i, c in enumerate(lunyu, start=1)])
        for name, title, author in (("mengzi", "孟子", "孟子"), ("daxue", "大学", "曾子"),
                                    ("zhongyong", "中庸", "子思")):
            data = self.load("sishuwujing", name + ".json")
            if data:
                data = data if isinstance(data, list) else [data]
                self.add("经部", title, author, [(c["chapter"], self.paragraphs(c["paragraphs"])) for c in data])
        shijing = self.load("shijing", "shijing.json")
        if shijing:
            self.add("经部", "诗经", "佚名",
                     [(p["section"] + "·" + p["title"], self.paragraphs(p["content"])) for p in shijing])

    def shi(self):
        chuci = self.load("chuci", "chuci.json")
        if chuci:
            self.add("诗", "楚辞", self.authors(p["author"] for p in chuci),
                     [(p["title"] if p["title"] == p["section"] else p["section"] + "·" + p["title"],
                       self.with_author(p["author"], p["content"])) for p in chuci])
        caocao = self.load("caocaoshiji", "caocao.json")
        if caocao:
            self.add("诗", "曹操诗集", "曹操", [(p["title"], self.paragraphs(p["paragraphs"])) for p in caocao])
        tang300 = self.load("mengxue", "tangshisanbaishou.json")
        if tang300:
            self.add_anthology("诗", "唐诗三百首",
                               [(p["author"], p.get("subchapter") or p["chapter"], p["paragraphs"])
                                for group in tang300["content"] for p in group["content"]], "蘅塘退士")
        shuimo = self.load("shuimotangshi", "shuimotangshi.json")
        if shuimo:
            self.add_anthology("诗", "水墨唐诗", [(p["author"], p["title"], p["paragraphs"]) for p in shuimo])

    def quantangshi(self):
        folder = os.path.join(self.dist, "yudingquantangshi", "json")
        if not os.path.isdir(folder):
            return
        # The collection's own volumes, 卷一 to 卷九百.
        for name in sorted(n for n in os.listdir(folder) if re.fullmatch(r"\d+\.json", n)):
            poems = self.load("yudingquantangshi", "json", name)
            number = chinese_number(int(name[:-5]))
            self.add_anthology("全唐诗", "全唐诗·卷" + number,
                               [(p.get("author"), p.get("title"), p.get("paragraphs")) for p in poems])

    def ci(self):
        song300 = self.load("songci", "宋词三百首.json")
        if song300:
            self.add_anthology("词", "宋词三百首", [(p["author"], p["rhythmic"], p["paragraphs"]) for p in song300],
                               "朱祖谋")
        folder = os.path.join(self.dist, "wudaishici", "huajianji")
        if os.path.isdir(folder):
            names = sorted(n for n in os.listdir(folder) if re.fullmatch(r"huajianji-\d+-juan\.json", n))
            for name in names:
                number = chinese_number(int(name.split("-")[1]))
                poems = self.load("wudaishici", "huajianji", name)
                self.add_anthology("词", "花间集·卷" + number,
                                   [(p["author"], p["title"], p["paragraphs"]) for p in poems], "赵崇祚")
        nantang = self.load("wudaishici", "nantang", "poetrys.json")
        if nantang:
            self.add_anthology("词", "南唐二主词", [(p["author"], p["title"], p["paragraphs"]) for p in nantang])
        nalan = self.load("nalanxingde", "纳兰性德诗集.json")
        if nalan:
            self.add("词", "纳兰词", "纳兰性德", [(p["title"], self.paragraphs(p["para"])) for p in nalan])

    def quansongci(self):
        folder = os.path.join(self.dist, "songci")
        if not os.path.isdir(folder):
            return
        names = sorted((n for n in os.listdir(folder) if re.fullmatch(r"ci\.song\.\d+\.json", n)),
                       key=lambda n: int(n.split(".")[2]))
        pieces = [(p["author"], p["rhythmic"], p["paragraphs"])
                  for name in names for p in self.load("songci", name)]
        self.add_volumes("全宋词", "全宋词", pieces)

    def qu(self):
        yuanqu = self.load("yuanqu", "yuanqu.json")
        if yuanqu:
            self.add_volumes("曲", "元曲", [(p["author"], p["title"], p["paragraphs"]) for p in yuanqu])

    def mengxue(self):
        whole = "全文"
        for name, title in (("sanzijing-traditional", "三字经"), ("baijiaxing", "百家姓"),
                            ("qianziwen", "千字文"), ("zhuzijiaxun", "朱子家训")):
            data = self.load("mengxue", name + ".json")
            if data:
                self.add("蒙学", title, data.get("author"), [(whole, self.paragraphs(data["paragraphs"]))])
        for name, title in (("dizigui", "弟子规"), ("zengguangxianwen", "增广贤文")):
            data = self.load("mengxue", name + ".json")
            if data:
                self.add("蒙学", title, data.get("author"),
                         [(c["chapter"], self.paragraphs(c["paragraphs"])) for c in data["content"]])
        for name, title in (("shenglvqimeng", "声律启蒙"), ("youxueqionglin", "幼学琼林")):
            data = self.load("mengxue", name + ".json")
            if data:
                self.add("蒙学", title, data.get("author"),
                         [(part["title"] + "·" + c["chapter"], self.paragraphs(c["paragraphs"]))
                          for part in data["content"] for c in part["content"]])
        qianjiashi = self.load("mengxue", "qianjiashi.json")
        if qianjiashi:
            self.add_anthology("蒙学", "千家诗",
                               [(p["author"], p["chapter"], p["paragraphs"])
                                for group in qianjiashi["content"] for p in group["content"]], "谢枋得、王相")
        wenzi = self.load("mengxue", "wenzimengqiu.json")
        if wenzi:
            # Its author field is a short biography: the name comes first.
            author = re.split(r"[（(，,]", wenzi.get("author", ""))[0]
            self.add("蒙学", "文字蒙求", author,
                     [(c["title"], self.paragraphs(c["paragraphs"])) for c in wenzi["content"]])

    def zazhu(self):
        youmeng = self.load("youmengying", "youmengying.json")
        if youmeng:
            size = 20
            chapters = []
            for start in range(0, len(youmeng), size):
                entries = youmeng[start:start + size]
                title = "第{0}至{1}则".format(chinese_number(start + 1), chinese_number(start + len(entries)))
                paragraphs = []
                for entry in entries:
                    paragraphs += self.paragraphs([entry["content"]] + list(entry.get("comment") or []))
                chapters.append((title, paragraphs))
            self.add("杂著", "幽梦影", "张潮", chapters)
        guwen = self.load("mengxue", "guwenguanzhi.json")
        if guwen:
            for number, volume in enumerate(guwen["content"], start=1):
                self.add_anthology("杂著", "古文观止·卷" + chinese_number(number),
                                   [(re.sub(r"^.*[：:]", "", e.get("author") or "").strip(), e["chapter"],
                                     e["paragraphs"]) for e in volume["content"]], "吴楚材、吴调侯")


def package_version(package_dir):
    try:
        with open(os.path.join(package_dir, "package.json"), encoding="utf-8") as f:
            return json.load(f).get("version", "")
    except (OSError, ValueError):
        return ""


def dist_of(package_dir):
    dist = os.path.join(package_dir, "dist")
    return dist if os.path.isdir(dist) else package_dir


def convert(package_dir, out_dir, volume_size=VOLUME_SIZE):
    """Converts unless out_dir already holds this package version's library;
    returns the index."""
    version = package_version(package_dir)
    index_path = os.path.join(out_dir, "index.json")
    if os.path.exists(index_path):
        with open(index_path, encoding="utf-8") as f:
            index = json.load(f)
        if index.get("version") == version and index.get("format") == FORMAT and version:
            return index

    converter = Converter(dist_of(package_dir), volume_size)
    works = converter.convert()
    os.makedirs(os.path.join(out_dir, "works"), exist_ok=True)
    index = {"format": FORMAT, "version": version, "categories": [], "works": [],
             "replaced": dict(converter.replaced.most_common())}
    for number, work in enumerate(works, start=1):
        with open(os.path.join(out_dir, "works", "{0}.json".format(number)), "w", encoding="utf-8") as f:
            json.dump([[t, p] for t, p in work["chapters"]], f, ensure_ascii=False)
        index["works"].append({"id": number, "title": work["title"], "author": work["author"],
                               "category": work["category"], "chapters": [t for t, _ in work["chapters"]]})
    for name in CATEGORIES:
        ids = [w["id"] for w in index["works"] if w["category"] == name]
        if ids:
            index["categories"].append({"name": name, "works": ids})
    temporary = index_path + ".part"
    with open(temporary, "w", encoding="utf-8") as f:
        json.dump(index, f, ensure_ascii=False)
    os.replace(temporary, index_path)
    return index


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    index = convert(argv[1], argv[2])
    replaced = index["replaced"]
    print("classics: {0} categories, {1} works, {2} chapters; {3} characters outside GBK replaced ({4} distinct)"
          .format(len(index["categories"]), len(index["works"]), sum(len(w["chapters"]) for w in index["works"]),
                  sum(replaced.values()), len(replaced)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
