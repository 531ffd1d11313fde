"""The search key of a search request: the reader sends every byte of the
GBK key as a percent-escape."""

import urllib.parse


def search_key(query):
    """The key of query's "searchkey" value as text ("" when absent)."""
    raw = ""
    for item in query.split("&"):
        name, _, value = item.partition("=")
        if name == "searchkey":
            raw = value
    # Bytes that are no GBK become "?", which every page can carry (the
    # decoder's own replacement character has no GBK form).
    return urllib.parse.unquote_to_bytes(raw).decode("gbk", errors="replace").replace("\ufffd", "?")
