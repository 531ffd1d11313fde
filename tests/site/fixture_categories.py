"""Root page for the category list: page order, a duplicate, markup in
capitals, an entity with spaces kept, and a link whose "." before "html"
is another character."""

import markup


def _root(base, query):
    b = base.rstrip("/")
    items = [
        markup.category_link(b + "/sort/1", "玄幻魔法"),
        markup.category_link(b + "/sort/2", "武侠修真"),
        markup.category_link(b + "/sort/2", "武侠修真"),
        '<LI><A HREF="{0}/sort/3.html">都市言情</A></LI>'.format(b),
        markup.category_link(b + "/sort/4", "历史&amp;军事 · 架空 "),
        '<li><a href="{0}/sort/5_html">网游竞技</a></li>'.format(b),
    ]
    return markup.page("分类", "<ul>\r\n" + "\r\n".join(items) + "\r\n</ul>\r\n")


PAGES = {
    "": _root,
}
