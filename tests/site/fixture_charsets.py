"""Pages in several character sets for the page-text decoding tests, under
/fixture/charsets/NAME. The builders return bytes, which the site sends
unchanged (a str would go out as GBK), so that a page can be UTF-8 or hold
zero bytes.
"""

# Text a UTF-8 page carries: Chinese, and Hangul that GBK lacks.
UTF8_TEXT = "<p>青禾 한글 end</p>"
UTF8_META = '<meta charset="utf-8">'
# Last byte of the part of a page that is searched for a declaration.
SEARCHED_BYTES = 1024


def gbk_page(charset):
    """A GBK page declaring charset, with a zero byte and more text after it."""
    head = '<meta http-equiv="Content-Type" content="text/html; charset={0}">\r\n<p>青禾小说</p>'.format(charset)
    return head.encode("gbk") + b"\0" + "尾页".encode("gbk")


def padded(meta_start):
    """A UTF-8 page whose declaration begins at byte meta_start."""
    padding = "<!--" + "x" * (meta_start - 7) + "-->"
    return (padding + UTF8_META + UTF8_TEXT).encode("utf-8")


def page(data):
    return lambda base, query: data


PAGES = {
    "gbk": page(gbk_page("gbk")),
    "gb2312": page(gbk_page("gb2312")),
    "GB2312": page(gbk_page("GB2312")),
    "utf8": page((UTF8_META + "\r\n" + UTF8_TEXT).encode("utf-8")),
    "none": page(UTF8_TEXT.encode("utf-8")),
    # The declaration ends with the last searched byte / begins just after it.
    "within-1024": page(padded(SEARCHED_BYTES - len(UTF8_META))),
    "after-1024": page(padded(SEARCHED_BYTES)),
    "split": page(('<meta http-equiv="Content-Type"\r\ncontent="text/html; charset=utf-8">'
                   + UTF8_TEXT).encode("utf-8")),
    "zero-before": page(b"<html>\0" + (UTF8_META + UTF8_TEXT).encode("utf-8")),
    "zero-after": page((UTF8_META + "<p>青禾</p>").encode("utf-8") + b"\0" + "<p>小说</p>".encode("utf-8")),
    "unknown": page(('<meta charset="x-no-such-set">' + UTF8_TEXT).encode("utf-8")),
}
