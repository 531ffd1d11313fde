"""Category and search pages for the novel lists.

Root: five categories. sort/1 mixes matching entries with ones the reader
must skip (an entry split across two lines, a different picture size) and
has an entry whose title link text differs from the cover's alt text and
one in capitals; sort/2 and sort/3 are small; sort/3 is linked with a delay
(so that events can be queued while it loads); sort/4 has no entry of the
right markup; the fifth category links to a port where nothing listens.

Search (modules/article/search.php): every novel whose title contains the
key; the page also shows the raw query and the decoded key, so that a test
can see what was asked.
"""

import html

import markup
from search_key import search_key

# number, title, author, category
NOVELS = [
    (1, "斗破苍穹", "天蚕土豆", 1),
    (2, "完美世界", "辰东", 1),
    (3, "遮天", "辰东", 1),
    (4, "盘龙", "我吃西红柿", 1),
    (5, "星辰变", "我吃西红柿", 1),
    (6, "雪中悍刀行", "烽火戏诸侯", 1),
    (7, "斗破之后", "佚名", 2),
    (8, "abc之旅", "ab作者", 2),
    (9, "慢慢长夜", "迟到者", 3),
    (10, "夜行书生", "迟到者", 3),
]


def _entry(base, number, title, author, link_text=None):
    return markup.novel_entry("{0}book/{1}/".format(base, number), "{0}cover/{1}.jpg".format(base, number),
                              title, author, "{0}author/{1}".format(base, number), "简介" + str(number),
                              link_text)


def _capital_entry(base, number, title, author):
    """The entry with its tags and attributes in capitals, values unchanged."""
    holes = ["\x01", "\x02", "\x03", "\x04", "\x05"]
    text = markup.novel_entry(*holes).upper()
    values = ["{0}book/{1}/".format(base, number), "{0}cover/{1}.jpg".format(base, number), title, author,
              "{0}author/{1}".format(base, number)]
    for hole, value in zip(holes, values):
        text = text.replace(hole, value)
    return text


def _category(number):
    def build(base, query):
        entries = []
        for n, title, author, category in NOVELS:
            if category != number:
                continue
            if n == 2:
                entries.append(_entry(base, n, title, author, link_text=title + "(精校版)"))
            elif n == 3:
                entries.append(_capital_entry(base, n, title, author))
            elif n == 4:
                entries.append(_entry(base, n, title, author).replace('</a><img src', '</a>\r\n<img src', 1))
            elif n == 5:
                entries.append(_entry(base, n, title, author).replace('width="120"', 'width="100"', 1))
            else:
                entries.append(_entry(base, n, title, author))
        return markup.novel_list_page("分类" + str(number), entries)
    return build


def _other_layout(base, query):
    return markup.page("分类4", '<div class="list"><ul>\r\n<li><a href="{0}book/1/">斗破苍穹</a></li>\r\n'
                                '</ul></div>\r\n'.format(base))


# Port 1: nothing listens there (a neighbour of the test port may be another
# run's site).
DEAD_ROOT = "http://127.0.0.1:1/fixture/novels/"


def _root(base, query):
    links = [
        markup.category_link(base + "sort/1", "玄幻魔法"),
        markup.category_link(base + "sort/2", "武侠修真"),
        # The reader appends ".html" to what stands before "html": the query
        # ends in it so that the page is fetched late.
        '<li><a href="{0}sort/3.html?delay=800&end=.html">慢速分类</a></li>'.format(base),
        markup.category_link(base + "sort/4", "其他排版"),
        markup.category_link(DEAD_ROOT + "sort/1", "无法连接"),
    ]
    return markup.page("青禾书库", "<ul>\r\n" + "\r\n".join(links) + "\r\n</ul>\r\n")


def _search(base, query):
    key = search_key(query)
    entries = [_entry(base, n, title, author) for n, title, author, _ in NOVELS if key and key in title]
    body = ('<p class="query">{0}</p>\r\n<p class="key">{1}</p>\r\n').format(
        html.escape(query), html.escape(key))
    return markup.page("搜索结果", body + '<div class="list"><ul>\r\n' + "\r\n".join(entries) +
                       '\r\n</ul></div>\r\n')


PAGES = {
    "": _root,
    "sort/1.html": _category(1),
    "sort/2.html": _category(2),
    "sort/3.html": _category(3),
    "sort/4.html": _other_layout,
    "modules/article/search.php": _search,
}
