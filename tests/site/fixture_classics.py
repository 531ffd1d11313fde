"""The classics library on a small sample (classics_sample/, in the layout of
the chinese-poetry package), converted by classics_convert.py when the
fixture is first asked for and served by classics_library.py: every path of
the library, below /fixture/classics/.
"""

import atexit
import os
import shutil
import tempfile
import threading

import classics_convert
from classics_library import ClassicsLibrary

SAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "classics_sample")

_lock = threading.Lock()
_library = []


def sample_library():
    with _lock:
        if not _library:
            folder = tempfile.mkdtemp(prefix="qh-classics-")
            atexit.register(shutil.rmtree, folder, True)
            classics_convert.convert(SAMPLE, folder)
            _library.append(ClassicsLibrary(folder))
        return _library[0]


class _AnyPath:
    """PAGES for fixtures.py: each path is the library's to answer (None: 404)."""

    def __contains__(self, rest):
        return True

    def __getitem__(self, rest):
        return lambda base, query: sample_library().page(base, rest, query)


PAGES = _AnyPath()
