// Double-byte-aware text helpers over GBK bytes.
#include <gtest/gtest.h>

#include "text/gbk_text.h"

namespace {

// "中文" is D6 D0 CE C4: the trail byte of 中 and the lead byte of 文 spell
// "形" (D0 CE). "丄" is 81 41: its trail byte is the code of 'A', and
// "乤" (81 61) differs from it only in the case bit of that byte.
const Text kZhongWen = "中文";
const Text kXing = "形";
const Text kTrailA = "\x81\x41";
const Text kTrailLowerA = "\x81\x61";

TEST(GbkTextTest, LiteralsAreGbk) {
    ASSERT_EQ(kZhongWen, "\xD6\xD0\xCE\xC4");
    ASSERT_EQ(kXing, "\xD0\xCE");
    ASSERT_EQ(Text("　"), "\xA1\xA1");
}

struct FindCase {
    const char* name;
    Text full;
    Text what;
    std::size_t from;
    bool ignoreCase;
    std::size_t expected;
};

TEST(GbkTextTest, FindTextMatchesOnlyAtCharacterBoundaries) {
    const FindCase cases[] = {
        {"trail+lead is no match", kZhongWen, kXing, 0, false, kNotFound},
        {"whole character found", kZhongWen + kXing, kXing, 0, false, 4},
        {"trail byte is no ASCII letter", kTrailA, "A", 0, false, kNotFound},
        {"trail byte is no ASCII letter, folded", kTrailA, "a", 0, true, kNotFound},
        {"ASCII letters fold", "x中Ab", "ab", 0, true, 3},
        {"no fold without ignoreCase", "x中Ab", "ab", 0, false, kNotFound},
        {"trail bytes never fold", kTrailA, kTrailLowerA, 0, true, kNotFound},
        {"double-byte part exact, ASCII part folded", "A" + kTrailA, "a" + kTrailA, 0, true, 0},
        {"from inside a character moves to the next", "中a中a", "a", 3, false, 5},
        {"from on a boundary", "中a中a", "a", 2, false, 2},
        {"empty what found at from", "abc", "", 2, false, 2},
        {"from past the end", "abc", "", 4, false, kNotFound},
        {"what longer than full", "ab", "abc", 0, false, kNotFound},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FindText(c.full, c.what, c.from, c.ignoreCase), c.expected);
    }
}

TEST(GbkTextTest, StartsWithFoldsAsciiOnly) {
    EXPECT_TRUE(StartsWithText("Http://x", "HTTP:", true));
    EXPECT_FALSE(StartsWithText("Http://x", "HTTP:", false));
    EXPECT_FALSE(StartsWithText(kTrailA + "x", kTrailLowerA, true));
    EXPECT_FALSE(StartsWithText("ab", "abc"));
}

struct ReplaceCase {
    const char* name;
    Text full;
    Text what;
    Text with;
    bool ignoreCase;
    Text expected;
};

TEST(GbkTextTest, ReplaceAllText) {
    const ReplaceCase cases[] = {
        {"trail+lead is left alone", kZhongWen + kZhongWen, kXing, "X", false, kZhongWen + kZhongWen},
        {"every occurrence", "#引号a#引号", "#引号", "\"", false, "\"a\""},
        {"no overlap", "aaa", "aa", "X", false, "Xa"},
        {"ASCII folded", "aAa", "a", "b", true, "bbb"},
        {"trail byte untouched when folding", kTrailA + "A", "a", "x", true, kTrailA + "x"},
        {"empty what changes nothing", "abc", "", "x", false, "abc"},
        {"to nothing", "a中b中", "中", "", false, "ab"},
    };
    for (const ReplaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReplaceAllText(c.full, c.what, c.with, c.ignoreCase), c.expected);
    }
}

struct SplitCase {
    const char* name;
    Text full;
    Text separator;
    std::vector<Text> expected;
};

TEST(GbkTextTest, SplitText) {
    const SplitCase cases[] = {
        {"leading gives empty first, trailing gives none", ",a,,b,", ",", {"", "a", "", "b"}},
        {"empty text gives no piece", "", ",", {}},
        {"empty separator gives the whole", "a,b", "", {"a,b"}},
        {"no separator", "abc", ",", {"abc"}},
        {"double-byte separator", "甲、乙、丙", "、", {"甲", "乙", "丙"}},
        {"trail+lead is no separator", kZhongWen, kXing, {kZhongWen}},
        {"separator only", ",", ",", {""}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SplitText(c.full, c.separator), c.expected);
    }
}

struct SpaceCase {
    const char* name;
    Text text;
    Text trimmed;
    Text removed;
};

TEST(GbkTextTest, TrimAndRemoveSpaces) {
    const SpaceCase cases[] = {
        {"ASCII spaces", "  a b  ", "a b", "ab"},
        {"full-width spaces", "　中　文　", "中　文", "中文"},
        {"mixed", " 　x　 ", "x", "x"},
        // 啊 is B0 A1: its trail byte and a following A1 A1 must not be read
        // as a full-width space that starts inside the character.
        {"A1 trail byte before a full-width space", "啊　", "啊", "啊"},
        {"only spaces", " 　 ", "", ""},
        {"tab and line feed are no spaces", "\t a\n", "\t a\n", "\ta\n"},
        {"empty", "", "", ""},
    };
    for (const SpaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TrimSpaces(c.text), c.trimmed);
        EXPECT_EQ(RemoveSpaces(c.text), c.removed);
    }
}

TEST(GbkTextTest, TextFromBytesStopsAtZero) {
    EXPECT_EQ(TextFromBytes({'a', 'b', 0, 'c'}), "ab");
    EXPECT_EQ(TextFromBytes({}), "");
}

}  // namespace
