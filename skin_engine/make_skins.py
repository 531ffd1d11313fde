"""Writes the ten skin blocks from skins.json (layout: SKIN_FORMAT.md).

    make_skins.py --table skins.json --out DIR

Writes DIR/skinNN.she for every skin and DIR/skin_blocks.cpp, the table of
blocks with their lengths. Each block is padded to the length the table
gives it; a skin whose content does not fit fails the build.
"""
import argparse
import json
import os
import struct
import sys

MAGIC = b".SHE"
VERSION = 1
HEADER_SIZE = 32
DIRECTORY_ENTRY_SIZE = 16
FONT_RECORD_SIZE = 72
FACE_BYTES = 64
MAX_TILE_SIDE = 64

# Palette slots in block order (skin_format.h, enum SkinColour).
COLOUR_SLOTS = [
    "window_bg", "text", "caption_top", "caption_bottom", "caption_inactive_top",
    "caption_inactive_bottom", "caption_text", "caption_text_inactive", "border_outer",
    "border_inner", "button_face", "button_face_hot", "button_face_pressed", "button_text",
    "button_border", "focus", "page_bg", "tab_selected", "tab_unselected", "tab_text",
    "tab_text_selected", "tab_border", "edit_bg", "edit_text", "list_bg", "list_text",
    "selection_bg", "selection_text", "header_top", "header_bottom", "header_text",
    "header_divider", "label_text", "glyph", "glyph_pressed_bg", "control_edge",
]
# Metric slots in block order (enum SkinMetric), with their defaults.
METRIC_SLOTS = [
    ("corner_radius", 0), ("caption_align", 0), ("caption_indent", 2), ("glyph_inset", 3),
    ("glyph_pen", 1), ("button_radius", 0), ("tab_radius", 0), ("header_gradient", 1),
    ("focus_style", 0), ("use_tile", 0), ("border_style", 0), ("caption_gradient", 1),
]
FONT_SLOTS = ["caption", "control"]
ENCODINGS = {"utf16": 0, "gbk": 1}


def fail(message):
    sys.exit(f"make_skins: {message}")


def parse_colour(text, where):
    if not (isinstance(text, str) and len(text) == 7 and text[0] == "#"):
        fail(f"{where}: colour '{text}' is not #rrggbb")
    try:
        value = int(text[1:], 16)
    except ValueError:
        fail(f"{where}: colour '{text}' is not #rrggbb")
    return (value >> 16) & 255, (value >> 8) & 255, value & 255


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def derive_palette(skin, where):
    """The full palette from a skin's key colours; "colours" overrides any slot."""
    keys = {name: parse_colour(value, f"{where}.keys.{name}") for name, value in skin["keys"].items()}
    required = ["window", "page", "ink", "caption", "caption_end", "caption_text", "edge", "field",
                "field_ink", "select", "select_ink", "button", "button_ink", "accent"]
    for name in required:
        if name not in keys:
            fail(f"{where}: key colour '{name}' missing")
    k = keys
    inactive_top = mix(k["caption"], k["window"], 0.6)
    inactive_bottom = mix(k["caption_end"], k["window"], 0.6)
    palette = {
        "window_bg": k["window"],
        "text": k["ink"],
        "caption_top": k["caption"],
        "caption_bottom": k["caption_end"],
        "caption_inactive_top": inactive_top,
        "caption_inactive_bottom": inactive_bottom,
        "caption_text": k["caption_text"],
        "caption_text_inactive": mix(k["caption_text"], inactive_bottom, 0.45),
        "border_outer": k["edge"],
        "border_inner": k["caption_end"],
        "button_face": k["button"],
        "button_face_hot": mix(k["button"], k["accent"], 0.18),
        "button_face_pressed": mix(k["button"], k["ink"], 0.16),
        "button_text": k["button_ink"],
        "button_border": k["edge"],
        "focus": k["accent"],
        "page_bg": k["page"],
        "tab_selected": k["page"],
        "tab_unselected": mix(k["window"], k["edge"], 0.22),
        "tab_text": mix(k["ink"], k["window"], 0.3),
        "tab_text_selected": k["ink"],
        "tab_border": k["edge"],
        "edit_bg": k["field"],
        "edit_text": k["field_ink"],
        "list_bg": k["field"],
        "list_text": k["field_ink"],
        "selection_bg": k["select"],
        "selection_text": k["select_ink"],
        "header_top": mix(k["field"], k["window"], 0.5),
        "header_bottom": mix(k["window"], k["edge"], 0.25),
        "header_text": k["ink"],
        "header_divider": k["edge"],
        "label_text": k["ink"],
        "glyph": k["caption_text"],
        "glyph_pressed_bg": mix(k["caption_end"], k["caption_text"], 0.3),
        "control_edge": k["edge"],
    }
    for name, value in skin.get("colours", {}).items():
        if name not in palette:
            fail(f"{where}: unknown colour slot '{name}'")
        palette[name] = parse_colour(value, f"{where}.colours.{name}")
    return palette


def font_record(font, where):
    encoding = font.get("encoding", "utf16")
    if encoding not in ENCODINGS:
        fail(f"{where}: encoding '{encoding}' is neither utf16 nor gbk")
    face = font["face"].encode("utf-16-le" if encoding == "utf16" else "gbk")
    if len(face) > FACE_BYTES - 2:
        fail(f"{where}: face '{font['face']}' too long")
    record = struct.pack("<hHBBBB", font["height"], font.get("weight", 400), font.get("charset", 134),
                         ENCODINGS[encoding], 1 if font.get("italic") else 0, font.get("quality", 0))
    record += face.ljust(FACE_BYTES, b"\0")
    assert len(record) == FONT_RECORD_SIZE
    return record


def tile_bytes(tile, palette, where):
    """A small texture around a palette colour: grain (noise), fibre (noise
    drawn out along rows) or weave (a faint cross-hatch with noise)."""
    width, height = tile["width"], tile["height"]
    if not (1 <= width <= MAX_TILE_SIDE and 1 <= height <= MAX_TILE_SIDE):
        fail(f"{where}: tile size {width}x{height} out of range")
    base = palette[tile.get("base", "page_bg")]
    amplitude = tile.get("amplitude", 3)
    kind = tile.get("kind", "grain")
    state = tile.get("seed", 1) & 0x7FFFFFFF or 1

    def noise():
        nonlocal state
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        return ((state >> 8) % 2001) / 1000.0 - 1.0

    values = [[noise() for _ in range(width)] for _ in range(height)]
    if kind == "fibre":
        for row in values:
            smoothed = [(row[x - 1] + 2 * row[x] + row[(x + 1) % width]) / 4 for x in range(width)]
            row[:] = smoothed
    elif kind == "weave":
        for y, row in enumerate(values):
            for x in range(width):
                row[x] = 0.35 * row[x] + (0.65 if (x // 2 + y // 2) % 2 else -0.65)
    elif kind != "grain":
        fail(f"{where}: tile kind '{kind}' unknown")
    out = bytearray(struct.pack("<HH", width, height))
    for row in values:
        for value in row:
            shift = round(value * amplitude)
            r, g, b = (max(0, min(255, c + shift)) for c in base)
            out += bytes((b, g, r))
    return bytes(out)


def build_block(skin, where):
    palette = derive_palette(skin, where)
    palette_bytes = b"".join(bytes((*palette[name], 0)) for name in COLOUR_SLOTS)
    metrics = dict(METRIC_SLOTS)
    for name, value in skin.get("metrics", {}).items():
        if name not in metrics:
            fail(f"{where}: unknown metric '{name}'")
        metrics[name] = value
    metric_bytes = b"".join(struct.pack("<h", metrics[name]) for name, _ in METRIC_SLOTS)
    fonts = skin.get("fonts", {})
    for name in FONT_SLOTS:
        if name not in fonts:
            fail(f"{where}: font '{name}' missing")
    font_bytes = b"".join(font_record(fonts[name], f"{where}.fonts.{name}") for name in FONT_SLOTS)
    name_bytes = skin["name"].encode("utf-16-le")

    # (tag, records, record size)
    tables = [
        (b"PALT", palette_bytes, 4),
        (b"FONT", font_bytes, FONT_RECORD_SIZE),
        (b"METR", metric_bytes, 2),
        (b"NAME", name_bytes, 2),
    ]
    if "tile" in skin:
        tables.append((b"TILE", tile_bytes(skin["tile"], palette, f"{where}.tile"), 1))

    length = skin["length"]
    fill = skin.get("fill", 0)
    directory_offset = HEADER_SIZE
    offset = directory_offset + DIRECTORY_ENTRY_SIZE * len(tables)
    directory = b""
    body = b""
    for tag, data, record_size in tables:
        directory += tag + struct.pack("<III", offset, len(data) // record_size, record_size)
        body += data
        offset += len(data)
    header = MAGIC + struct.pack("<HHIIIB", VERSION, HEADER_SIZE, length, len(tables), directory_offset, fill)
    header = header.ljust(HEADER_SIZE, b"\0")
    content = header + directory + body
    if len(content) > length:
        fail(f"{where}: content is {len(content)} bytes, more than its length {length}")
    return content + bytes([fill]) * (length - len(content))


def blocks_source(lengths):
    lines = [
        "// Generated by skin_engine/make_skins.py from skins.json; do not edit.",
        '#include "skin_engine/skin_data.h"',
        "",
    ]
    for number in range(1, len(lengths) + 1):
        lines.append(f"extern const unsigned char SkinBlock{number}[];")
    lines.append("")
    lines.append("extern const SkinBlockView SkinBlocks[kSkinBlockCount];")
    lines.append("const SkinBlockView SkinBlocks[kSkinBlockCount] = {")
    for number, length in enumerate(lengths, start=1):
        lines.append(f"    {{SkinBlock{number}, {length}}},")
    lines.append("};")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--table", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    with open(args.table, encoding="utf-8") as table:
        skins = json.load(table)["skins"]
    if len(skins) != 10:
        fail(f"the table has {len(skins)} skins, not 10")
    os.makedirs(args.out, exist_ok=True)
    lengths = []
    for number, skin in enumerate(skins, start=1):
        if skin.get("number") != number:
            fail(f"skin at position {number} is numbered {skin.get('number')}")
        block = build_block(skin, f"skin {number} ({skin['name']})")
        # The file is written each time so that its date is newer than the table's.
        with open(os.path.join(args.out, f"skin{number:02d}.she"), "wb") as out:
            out.write(block)
        lengths.append(len(block))
    with open(os.path.join(args.out, "skin_blocks.cpp"), "wb") as out:
        out.write(blocks_source(lengths).encode("utf-8"))


if __name__ == "__main__":
    main()
