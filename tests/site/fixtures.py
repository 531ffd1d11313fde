"""Small fixture sites for the reader's tests, each under /fixture/NAME/.

Each fixture site is a module fixture_NAME.py beside this file with a dict
PAGES that maps a path below the fixture's root ("" is the root page) to a
builder called as builder(base, query): base is the fixture's absolute root
address (ending in "/"), query the request's query string. A builder
returns the page text, or None for "no such page".
"""

import glob
import importlib
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def _load():
    sites = {}
    for path in sorted(glob.glob(os.path.join(HERE, "fixture_*.py"))):
        module = os.path.basename(path)[:-3]
        sites[module[len("fixture_"):]] = importlib.import_module(module).PAGES
    return sites


FIXTURES = _load()


def fixture_page(name, rest, base, query=""):
    """The page text of fixture `name` at path `rest`, or None."""
    site = FIXTURES.get(name)
    if site is None or rest not in site:
        return None
    return site[rest](base, query)
