"""Novel pages, tables of contents and chapter pages for the table of
contents and chapter text flows.

Novels: one cover block; two cover blocks (the second one counts); no cover
block; a slow table of contents (?delay in the cover link); a table of
contents at a dead address; one whose table of contents lists every chapter
page below. Chapter pages: two paragraphs with CR LF breaks, breaks of a lone
line feed, a paragraph holding entities, a last paragraph with a single
break, a slow chapter and a dead chapter address.
"""


import markup

LF_ONLY = "\n"


def dead_address(base, path):
    """An address where nothing listens: port 1 is never served here."""
    return "http://127.0.0.1:1/" + path


def _novel(title, toc_paths):
    def build(base, query):
        blocks = [markup.cover_block(toc if toc.startswith("http") else base + toc,
                                     base + "cover/" + title + ".jpg", title)
                  for toc in toc_paths(base)]
        return markup.novel_page(title, "某作者", blocks)
    return build


def _toc(title, links):
    def build(base, query):
        return markup.toc_page(title, [markup.toc_link(href if href.startswith("http") else base + href, attr, text)
                                       for href, attr, text in links(base)])
    return build


def _chapter(title, paragraphs, line_end="\r\n", tail=""):
    def build(base, query):
        page = markup.chapter_page(title, paragraphs, line_end)
        return page.replace("</div>\r\n</div>", tail + "</div>\r\n</div>", 1)
    return build


# The chapters of the tables of contents below, title attribute != link text
# in the second row of the first one.
TOC_FIRST = [("chapter/1-1", "第一章", "第一章 风起"), ("chapter/1-2", "第二章 全称", "第二章"),
             ("chapter/1-3", "第三章", "第三章 云涌")]
TOC_SECOND = [("chapter/2-1", "序", "序"), ("chapter/2-2", "上卷", "上卷")]
TOC_SLOW = [("chapter/3-1", "慢一", "慢一"), ("chapter/3-2", "慢二", "慢二"), ("chapter/3-3", "慢三", "慢三"),
            ("chapter/3-4", "慢四", "慢四")]
TOC_DECOY = [("chapter/9-1", "不该出现", "不该出现")]
# Row order matters to the chapter tests.
TOC_READING = [
    ("chapter/two", "两段", "两段"),
    ("chapter/lf", "换行", "换行"),
    ("chapter/entity", "实体", "实体"),
    ("chapter/single", "单换行", "单换行"),
    ("chapter/two?delay=1500", "慢章", "慢章"),
    ("chapter/next", "下一章", "下一章"),
]

PAGES = {
    "": lambda base, query: markup.page("书库", "<p>空</p>\r\n"),
    "novel/first": _novel("第一部", lambda base: ["toc/first"]),
    "novel/second": _novel("第二部", lambda base: ["toc/decoy", "toc/second"]),
    "novel/nocover": lambda base, query: markup.novel_page("无封面", "某作者", ["<p>暂无封面</p>"]),
    "novel/slow": _novel("慢书", lambda base: ["toc/slow?delay=1500"]),
    "novel/dead": _novel("断链", lambda base: [dead_address(base, "toc")]),
    "novel/reading": _novel("读本", lambda base: ["toc/reading"]),
    "toc/first": _toc("第一部", lambda base: TOC_FIRST),
    "toc/second": _toc("第二部", lambda base: TOC_SECOND),
    "toc/slow": _toc("慢书", lambda base: TOC_SLOW),
    "toc/decoy": _toc("诱饵", lambda base: TOC_DECOY),
    "toc/reading": _toc("读本", lambda base: TOC_READING + [(dead_address(base, "chapter"), "断章", "断章")]),
    "chapter/two": _chapter("两段", ["第一段文字。", "第二段，文字！"]),
    "chapter/lf": _chapter("换行", ["只有换行一", "只有换行二"], LF_ONLY),
    "chapter/entity": _chapter("实体", ["他说&ldquo;你好&rdquo;&amp;再见"]),
    "chapter/single": _chapter("单换行", ["正文段落"], tail="&nbsp;&nbsp;&nbsp;&nbsp;末段不显示<br />\r\n"),
    "chapter/next": _chapter("下一章", ["下一章正文"]),
}
