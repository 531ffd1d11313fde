#!/usr/bin/env python3
"""Walks the reader through the classics library on the bench's virtual
display with real mouse input (xdotool double-clicks at the rows' screen
positions) and leaves one screenshot per step:

  1-categories.png   the category list as the window opened
  2-novels.png       the works of category 经部
  3-chapters.png     the table of contents of 论语 (page "在线阅读")
  4-chapter.png      the text of its first chapter, 学而第一

  classics-walk.py --library DIR --bench BENCHDIR --out-dir DIR

The rows to click are looked up in the converted library's index, so the walk
follows the library as converted. Positions are those of the reader's window
centred on Wine's 800x600 virtual desktop.
"""
import argparse
import json
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# Screen position of the first row of each list and the height of a row.
CATEGORY_ROW = (150, 172)
NOVEL_ROW = (300, 172)
CHAPTER_ROW = (170, 127)
ROW_HEIGHT = 15

CATEGORY, WORK, CHAPTER = "经部", "论语", "学而第一"


def rows_to_click(library):
    with open(os.path.join(library, "index.json"), encoding="utf-8") as f:
        index = json.load(f)
    names = [c["name"] for c in index["categories"]]
    category = names.index(CATEGORY)
    works = {w["id"]: w for w in index["works"]}
    titles = [works[i]["title"] for i in index["categories"][category]["works"]]
    work = works[index["categories"][category]["works"][titles.index(WORK)]]
    return category, titles.index(WORK), work["chapters"].index(CHAPTER)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--library", required=True)
    parser.add_argument("--bench", required=True)
    parser.add_argument("--out-dir", required=True)
    args = parser.parse_args()

    try:
        category, novel, chapter = rows_to_click(args.library)
    except (OSError, ValueError, KeyError) as error:
        print("walk: the library has no {0}/{1}/{2}: {3}".format(CATEGORY, WORK, CHAPTER, error), file=sys.stderr)
        return 1
    display = open(os.path.join(args.bench, "xvfb.display")).read().strip()
    env = dict(os.environ, DISPLAY=display)
    os.makedirs(args.out_dir, exist_ok=True)

    shots = []

    def screenshot(name, min_wait):
        path = os.path.join(args.out_dir, name)
        subprocess.run([sys.executable, os.path.join(HERE, "settled-screenshot.py"), "--out", path,
                        "--bench", args.bench, "--timeout", "60", "--min-wait", str(min_wait)], check=True, env=env)
        print("screenshot: " + path)
        # Pixels, not file bytes: a PNG carries its time of writing.
        shots.append(subprocess.run(["convert", path, "rgb:-"], capture_output=True, check=True).stdout)

    def double_click(first_row, row):
        x, y = first_row[0], first_row[1] + row * ROW_HEIGHT
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "--repeat", "2",
                        "--delay", "120", "1"], check=True, env=env)

    screenshot("1-categories.png", 5)
    double_click(CATEGORY_ROW, category)
    screenshot("2-novels.png", 2)
    double_click(NOVEL_ROW, novel)
    screenshot("3-chapters.png", 3)
    double_click(CHAPTER_ROW, chapter)
    screenshot("4-chapter.png", 2)
    # A double-click that missed its row leaves the screen as it was.
    unchanged = [n for n in range(1, len(shots)) if shots[n] == shots[n - 1]]
    for n in unchanged:
        print("walk: step {0} changed nothing on the screen".format(n + 1), file=sys.stderr)
    return 1 if unchanged else 0


if __name__ == "__main__":
    sys.exit(main())
