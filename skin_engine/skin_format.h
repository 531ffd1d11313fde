/*
 * Layout of a skin block (see SKIN_FORMAT.md). Shared by the engine, which
 * reads blocks, and by the tests, which take blocks apart and damage them.
 * All numbers are little-endian; no field is aligned beyond a byte, so the
 * readers go byte by byte.
 */
#ifndef SKIN_ENGINE_SKIN_FORMAT_H
#define SKIN_ENGINE_SKIN_FORMAT_H

#define SKIN_MAGIC_0 '.'
#define SKIN_MAGIC_1 'S'
#define SKIN_MAGIC_2 'H'
#define SKIN_MAGIC_3 'E'
#define SKIN_FORMAT_VERSION 1u

/* Header fields: byte offsets. */
#define SKIN_HEADER_SIZE 32u
#define SKIN_AT_MAGIC 0u
#define SKIN_AT_VERSION 4u          /* u16 */
#define SKIN_AT_HEADER_SIZE 6u      /* u16 */
#define SKIN_AT_TOTAL_LENGTH 8u     /* u32 */
#define SKIN_AT_TABLE_COUNT 12u     /* u32 */
#define SKIN_AT_DIRECTORY 16u       /* u32 */
#define SKIN_AT_FILL 20u            /* u8, the byte the block is padded with */

/* Directory entry: tag (4 characters), offset, record count, record size. */
#define SKIN_DIRECTORY_ENTRY_SIZE 16u
#define SKIN_MAX_TABLES 32u
#define SKIN_MAX_BLOCK_LENGTH (1u << 20)

/* Table tags as little-endian words of their four characters. */
#define SKIN_TAG(a, b, c, d) \
    ((unsigned)(unsigned char)(a) | ((unsigned)(unsigned char)(b) << 8) | \
     ((unsigned)(unsigned char)(c) << 16) | ((unsigned)(unsigned char)(d) << 24))
#define SKIN_TAG_PALETTE SKIN_TAG('P', 'A', 'L', 'T')
#define SKIN_TAG_FONTS SKIN_TAG('F', 'O', 'N', 'T')
#define SKIN_TAG_METRICS SKIN_TAG('M', 'E', 'T', 'R')
#define SKIN_TAG_TILE SKIN_TAG('T', 'I', 'L', 'E')
#define SKIN_TAG_NAME SKIN_TAG('N', 'A', 'M', 'E')

#define SKIN_PALETTE_RECORD_SIZE 4u /* red, green, blue, 0 */
#define SKIN_FONT_RECORD_SIZE 72u
#define SKIN_METRIC_RECORD_SIZE 2u  /* i16 */
#define SKIN_TILE_RECORD_SIZE 1u    /* u16 width, u16 height, width*height BGR triples */
#define SKIN_NAME_RECORD_SIZE 2u    /* UTF-16LE code units */
#define SKIN_MAX_TILE_SIDE 64u

/* Font record fields. */
#define SKIN_FONT_AT_HEIGHT 0u   /* i16, as a LOGFONT height */
#define SKIN_FONT_AT_WEIGHT 2u   /* u16 */
#define SKIN_FONT_AT_CHARSET 4u  /* u8 */
#define SKIN_FONT_AT_ENCODING 5u /* u8: 0 UTF-16LE face, 1 GBK face */
#define SKIN_FONT_AT_ITALIC 6u   /* u8 */
#define SKIN_FONT_AT_QUALITY 7u  /* u8, a LOGFONT quality */
#define SKIN_FONT_AT_FACE 8u     /* 64 bytes, zero-terminated */
#define SKIN_FONT_FACE_BYTES 64u
#define SKIN_FACE_UTF16 0u
#define SKIN_FACE_GBK 1u

/* Palette slots, in order. */
enum SkinColour {
    SKC_WINDOW_BG,
    SKC_TEXT,
    SKC_CAPTION_TOP,
    SKC_CAPTION_BOTTOM,
    SKC_CAPTION_INACTIVE_TOP,
    SKC_CAPTION_INACTIVE_BOTTOM,
    SKC_CAPTION_TEXT,
    SKC_CAPTION_TEXT_INACTIVE,
    SKC_BORDER_OUTER,
    SKC_BORDER_INNER,
    SKC_BUTTON_FACE,
    SKC_BUTTON_FACE_HOT,
    SKC_BUTTON_FACE_PRESSED,
    SKC_BUTTON_TEXT,
    SKC_BUTTON_BORDER,
    SKC_FOCUS,
    SKC_PAGE_BG,
    SKC_TAB_SELECTED,
    SKC_TAB_UNSELECTED,
    SKC_TAB_TEXT,
    SKC_TAB_TEXT_SELECTED,
    SKC_TAB_BORDER,
    SKC_EDIT_BG,
    SKC_EDIT_TEXT,
    SKC_LIST_BG,
    SKC_LIST_TEXT,
    SKC_SELECTION_BG,
    SKC_SELECTION_TEXT,
    SKC_HEADER_TOP,
    SKC_HEADER_BOTTOM,
    SKC_HEADER_TEXT,
    SKC_HEADER_DIVIDER,
    SKC_LABEL_TEXT,
    SKC_GLYPH,
    SKC_GLYPH_PRESSED_BG,
    SKC_CONTROL_EDGE,
    SKC_COLOUR_COUNT
};

/* Metric slots, in order. */
enum SkinMetric {
    SKM_CORNER_RADIUS,      /* rounding of the frame's top corners, 0 = square */
    SKM_CAPTION_ALIGN,      /* 0 left, 1 centred */
    SKM_CAPTION_INDENT,     /* pixels before the title */
    SKM_GLYPH_INSET,        /* pixels between a caption button's box and its cell */
    SKM_GLYPH_PEN,          /* pen width of the caption glyphs */
    SKM_BUTTON_RADIUS,      /* rounding of push buttons */
    SKM_TAB_RADIUS,         /* rounding of the tabs' top corners */
    SKM_HEADER_GRADIENT,    /* 0 flat header_top, 1 gradient to header_bottom */
    SKM_FOCUS_STYLE,        /* 0 dotted rectangle, 1 bar under the text */
    SKM_USE_TILE,           /* 1: window and pages are painted with the tile */
    SKM_BORDER_STYLE,       /* 0 one line, 1 two lines (outer, inner) */
    SKM_CAPTION_GRADIENT,   /* 0 flat caption_top, 1 gradient */
    SKM_METRIC_COUNT
};

/* Font slots, in order. */
enum SkinFont { SKF_CAPTION, SKF_CONTROL, SKF_FONT_COUNT };

/* Results of SkinH_AttachRes. */
enum SkinAttachResult {
    SKIN_OK = 0,
    SKIN_ERROR_NO_DATA = 1,
    SKIN_ERROR_TOO_SHORT = 2,
    SKIN_ERROR_MAGIC = 3,
    SKIN_ERROR_VERSION = 4,
    SKIN_ERROR_HEADER_SIZE = 5,
    SKIN_ERROR_LENGTH = 6,
    SKIN_ERROR_DIRECTORY = 7,
    SKIN_ERROR_TABLE = 8,
    SKIN_ERROR_MISSING_TABLE = 9,
    SKIN_ERROR_HOOK = 10
};

#endif
