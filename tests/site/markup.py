"""The site's markup, exactly as the reader's patterns expect it.

Every builder returns a str; the server encodes pages as GBK. `base` is the
absolute address of the site root, ending in "/".
"""

HEAD = ('<!DOCTYPE html>\r\n<html>\r\n<head>\r\n'
        '<meta http-equiv="Content-Type" content="text/html; charset=gbk" />\r\n'
        '<title>{title}</title>\r\n</head>\r\n<body>\r\n')
TAIL = '</body>\r\n</html>\r\n'


def page(title, body):
    return HEAD.format(title=title) + body + TAIL


def category_link(href_without_html, name):
    """One category of the root page; the reader appends ".html" itself."""
    return '<li><a href="{0}.html">{1}</a></li>'.format(href_without_html, name)


def root_page(base, categories):
    """categories: list of (number, name)."""
    links = "\r\n".join(category_link("{0}sort/{1}".format(base, number), name)
                        for number, name in categories)
    return page("青禾书库", '<div class="nav"><ul>\r\n' + links + '\r\n</ul></div>\r\n')


def novel_entry(novel_address, cover_address, title, author, author_address, intro="",
                link_text=None):
    """One novel of a category or search result page (one line, leading space)."""
    return (' <li><a target="_blank" href="{novel}" class="l mr10"><img  onerror="this.src=\'/modules/article/images/nocover.jpg\'"'
            ' src="{cover}" alt="{title}" width="120" height="150"></a><img src="/kukuku/images/only2.png"'
            ' class="topss png_bg"><span class="l"><a target="_blank" title="{title}" href="{novel}"'
            ' class="clearfix stitle">{text}</a>作者：<a href="{author_address}">{author}</a>'
            '<em class="c999 clearfix">{intro}</em></span></li>').format(
                novel=novel_address, cover=cover_address, title=title, author=author,
                author_address=author_address, intro=intro,
                text=title if link_text is None else link_text)


def novel_list_page(title, entries):
    return page(title, '<div class="list"><ul>\r\n' + "\r\n".join(entries) + '\r\n</ul></div>\r\n')


def cover_block(toc_address, cover_address, title):
    """The cover link of a novel page; its href is the table of contents."""
    return ('<a href="{toc}"  class="l mr11"><img onerror="this.src=\'/modules/article/images/nocover.jpg\'"'
            ' src="{cover}" width="160" height="200" border="0" alt="{title}" title="{title}" /></a>').format(
                toc=toc_address, cover=cover_address, title=title)


def novel_page(title, author, blocks):
    body = ('<div class="book">\r\n' + "\r\n".join(blocks) +
            '\r\n<h1>{0}</h1>\r\n<p>作者：{1}</p>\r\n</div>\r\n').format(title, author)
    return page(title, body)


def toc_link(chapter_address, title_attribute, text):
    return '<li><a href="{0}" title="{1}">{2}</a></li>'.format(chapter_address, title_attribute, text)


def toc_page(title, links):
    return page(title + " 目录", '<div class="toc"><ul>\r\n' + "\r\n".join(links) + '\r\n</ul></div>\r\n')


def paragraph(text, line_end="\r\n"):
    """One paragraph of a chapter page: four entities, the text, two breaks."""
    return "&nbsp;&nbsp;&nbsp;&nbsp;" + text + "<br />" + line_end + "<br />" + line_end


def chapter_page(title, paragraphs, line_end="\r\n"):
    body = ('<div class="chapter">\r\n<h1>' + title + '</h1>\r\n<div id="content">\r\n' +
            "".join(paragraph(p, line_end) for p in paragraphs) + '</div>\r\n</div>\r\n')
    return page(title, body)
