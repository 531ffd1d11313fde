/*
 * Checks a skin block against the format and reads it into a Skin. Nothing
 * is read outside the length given, and nothing of the current skin changes
 * unless the whole block is sound.
 */
#include "engine_state.h"

static unsigned ReadU16(const unsigned char* at) { return (unsigned)at[0] | ((unsigned)at[1] << 8); }

static unsigned ReadU32(const unsigned char* at) {
    return (unsigned)at[0] | ((unsigned)at[1] << 8) | ((unsigned)at[2] << 16) | ((unsigned)at[3] << 24);
}

static int ReadI16(const unsigned char* at) {
    unsigned value = ReadU16(at);
    return value >= 0x8000u ? (int)value - 0x10000 : (int)value;
}

typedef struct TableRef {
    unsigned offset;
    unsigned count;
    int present;
} TableRef;

/* Neutral values for slots a block leaves out (older or shorter blocks). */
static void SetDefaults(Skin* skin) {
    for (int i = 0; i < SKC_COLOUR_COUNT; ++i) skin->colours[i] = RGB(212, 208, 200);
    skin->colours[SKC_TEXT] = RGB(0, 0, 0);
    skin->colours[SKC_EDIT_BG] = RGB(255, 255, 255);
    skin->colours[SKC_LIST_BG] = RGB(255, 255, 255);
    skin->colours[SKC_SELECTION_BG] = RGB(10, 36, 106);
    skin->colours[SKC_SELECTION_TEXT] = RGB(255, 255, 255);
    for (int i = 0; i < SKM_METRIC_COUNT; ++i) skin->metrics[i] = 0;
    skin->metrics[SKM_GLYPH_INSET] = 3;
    skin->metrics[SKM_GLYPH_PEN] = 1;
}

static void ReadFont(const unsigned char* record, LOGFONTW* font) {
    SkinMemset(font, 0, sizeof *font);
    font->lfHeight = ReadI16(record + SKIN_FONT_AT_HEIGHT);
    font->lfWeight = (LONG)ReadU16(record + SKIN_FONT_AT_WEIGHT);
    font->lfCharSet = record[SKIN_FONT_AT_CHARSET];
    font->lfItalic = record[SKIN_FONT_AT_ITALIC] ? 1 : 0;
    font->lfQuality = record[SKIN_FONT_AT_QUALITY];
    font->lfOutPrecision = OUT_DEFAULT_PRECIS;
    font->lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font->lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const unsigned char* face = record + SKIN_FONT_AT_FACE;
    if (record[SKIN_FONT_AT_ENCODING] == SKIN_FACE_GBK) {
        /* The face is zero-terminated inside its field; a field without the
           zero is cut at its end. */
        int bytes = 0;
        while (bytes < (int)SKIN_FONT_FACE_BYTES && face[bytes]) ++bytes;
        int made = MultiByteToWideChar(936, 0, (const char*)face, bytes, font->lfFaceName, LF_FACESIZE - 1);
        font->lfFaceName[made > 0 ? made : 0] = 0;
    } else {
        int units = 0;
        while (units < LF_FACESIZE - 1 && units < (int)(SKIN_FONT_FACE_BYTES / 2)) {
            WCHAR unit = (WCHAR)ReadU16(face + units * 2);
            if (!unit) break;
            font->lfFaceName[units++] = unit;
        }
        font->lfFaceName[units] = 0;
    }
}

int ParseSkinBlock(const unsigned char* data, unsigned length, Skin* skin) {
    if (!data || !skin) return SKIN_ERROR_NO_DATA;
    if (length < SKIN_HEADER_SIZE) return SKIN_ERROR_TOO_SHORT;
    if (data[0] != SKIN_MAGIC_0 || data[1] != SKIN_MAGIC_1 || data[2] != SKIN_MAGIC_2 || data[3] != SKIN_MAGIC_3)
        return SKIN_ERROR_MAGIC;
    if (ReadU16(data + SKIN_AT_VERSION) != SKIN_FORMAT_VERSION) return SKIN_ERROR_VERSION;
    unsigned headerSize = ReadU16(data + SKIN_AT_HEADER_SIZE);
    if (headerSize < SKIN_HEADER_SIZE || headerSize > length) return SKIN_ERROR_HEADER_SIZE;
    if (ReadU32(data + SKIN_AT_TOTAL_LENGTH) != length || length > SKIN_MAX_BLOCK_LENGTH) return SKIN_ERROR_LENGTH;

    unsigned tableCount = ReadU32(data + SKIN_AT_TABLE_COUNT);
    unsigned directory = ReadU32(data + SKIN_AT_DIRECTORY);
    if (tableCount == 0 || tableCount > SKIN_MAX_TABLES || directory < headerSize || directory > length ||
        length - directory < tableCount * SKIN_DIRECTORY_ENTRY_SIZE)
        return SKIN_ERROR_DIRECTORY;

    TableRef palette = {0, 0, 0}, fonts = {0, 0, 0}, metrics = {0, 0, 0}, tile = {0, 0, 0};
    for (unsigned i = 0; i < tableCount; ++i) {
        const unsigned char* entry = data + directory + i * SKIN_DIRECTORY_ENTRY_SIZE;
        unsigned tag = ReadU32(entry);
        unsigned offset = ReadU32(entry + 4);
        unsigned count = ReadU32(entry + 8);
        unsigned recordSize = ReadU32(entry + 12);
        /* Each table lies in the block, after the header; the limits keep
           count * recordSize within 32 bits. */
        if (recordSize == 0 || recordSize > 0x10000u || count > SKIN_MAX_BLOCK_LENGTH) return SKIN_ERROR_TABLE;
        if (offset < headerSize || offset > length || length - offset < count * recordSize) return SKIN_ERROR_TABLE;
        TableRef ref = {offset, count, 1};
        unsigned expected = 0;
        if (tag == SKIN_TAG_PALETTE) {
            expected = SKIN_PALETTE_RECORD_SIZE;
            palette = ref;
        } else if (tag == SKIN_TAG_FONTS) {
            expected = SKIN_FONT_RECORD_SIZE;
            fonts = ref;
        } else if (tag == SKIN_TAG_METRICS) {
            expected = SKIN_METRIC_RECORD_SIZE;
            metrics = ref;
        } else if (tag == SKIN_TAG_TILE) {
            expected = SKIN_TILE_RECORD_SIZE;
            tile = ref;
        } else if (tag == SKIN_TAG_NAME) {
            expected = SKIN_NAME_RECORD_SIZE;
        } else {
            continue; /* a table of a later version: checked for its place, else ignored */
        }
        if (recordSize != expected) return SKIN_ERROR_TABLE;
    }
    if (!palette.present || !fonts.present || !metrics.present) return SKIN_ERROR_MISSING_TABLE;

    int tileWidth = 0, tileHeight = 0;
    if (tile.present) {
        if (tile.count < 4) return SKIN_ERROR_TABLE;
        tileWidth = (int)ReadU16(data + tile.offset);
        tileHeight = (int)ReadU16(data + tile.offset + 2);
        if (tileWidth < 1 || tileHeight < 1 || tileWidth > (int)SKIN_MAX_TILE_SIDE ||
            tileHeight > (int)SKIN_MAX_TILE_SIDE || tile.count != 4u + (unsigned)(tileWidth * tileHeight * 3))
            return SKIN_ERROR_TABLE;
    }

    /* Sound: read it. */
    SetDefaults(skin);
    for (unsigned i = 0; i < palette.count && i < SKC_COLOUR_COUNT; ++i) {
        const unsigned char* record = data + palette.offset + i * SKIN_PALETTE_RECORD_SIZE;
        skin->colours[i] = RGB(record[0], record[1], record[2]);
    }
    for (unsigned i = 0; i < metrics.count && i < SKM_METRIC_COUNT; ++i)
        skin->metrics[i] = ReadI16(data + metrics.offset + i * SKIN_METRIC_RECORD_SIZE);
    for (unsigned i = 0; i < SKF_FONT_COUNT; ++i) {
        skin->hasFont[i] = i < fonts.count;
        if (skin->hasFont[i]) ReadFont(data + fonts.offset + i * SKIN_FONT_RECORD_SIZE, &skin->fonts[i]);
    }
    skin->tileWidth = tileWidth;
    skin->tileHeight = tileHeight;
    skin->tilePixels = tile.present ? data + tile.offset + 4 : 0;
    return SKIN_OK;
}
