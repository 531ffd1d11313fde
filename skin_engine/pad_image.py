"""Pads the linked engine to its fixed size with zero bytes after its last
section; a file already larger fails the build (and is removed, so that the
next build links again)."""
import os
import sys


def main():
    path, size = sys.argv[1], int(sys.argv[2])
    actual = os.path.getsize(path)
    if actual > size:
        os.remove(path)
        sys.exit(f"{path}: {actual} bytes, more than the fixed {size}")
    with open(path, "ab") as image:
        image.write(b"\0" * (size - actual))


if __name__ == "__main__":
    main()
