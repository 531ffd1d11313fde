#!/usr/bin/env python3
"""Takes a PNG screenshot of the bench's virtual display once what it shows
has stopped changing (the reader's window is up and its lists are filled).

  settled-screenshot.py --out FILE.png --bench BENCHDIR [--timeout S] [--crop WxH+X+Y]
"""
import argparse
import os
import subprocess
import sys
import time


def grab(display):
    return subprocess.run(["xwd", "-root", "-silent", "-display", display],
                          capture_output=True, check=True).stdout


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    parser.add_argument("--bench", required=True)
    parser.add_argument("--timeout", type=float, default=60)
    parser.add_argument("--crop", default="800x600+0+0")
    parser.add_argument("--min-wait", type=float, default=3.0)
    args = parser.parse_args()

    deadline = time.time() + args.timeout
    display_file = os.path.join(args.bench, "xvfb.display")
    while not os.path.exists(display_file) and time.time() < deadline:
        time.sleep(0.2)
    display = os.environ.get("DISPLAY") or open(display_file).read().strip()

    start = time.time()
    last, same = None, 0
    while time.time() < deadline:
        time.sleep(0.5)
        try:
            image = grab(display)
        except subprocess.CalledProcessError:
            continue
        same = same + 1 if image == last else 0
        last = image
        if same >= 3 and time.time() - start >= args.min_wait:
            break
    if last is None:
        print("no screenshot could be taken", file=sys.stderr)
        return 1
    subprocess.run(["convert", "xwd:-", "-crop", args.crop, "+repage", args.out],
                   input=last, check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
