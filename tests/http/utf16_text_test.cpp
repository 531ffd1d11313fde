#include <gtest/gtest.h>

#include "http/utf16_text.h"

namespace {

ByteData Units(std::initializer_list<unsigned> units) {
    ByteData bytes;
    for (unsigned unit : units) {
        bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    }
    return bytes;
}

TEST(Utf16Text, GbkTextConvertsToExactUnitsAndBack) {
    const struct {
        Text text;
        ByteData utf16;  // with terminator
    } cases[] = {
        {"abc", Units({'a', 'b', 'c', 0})},
        {"青禾", Units({0x9752, 0x79BE, 0})},
        {"第1章　开始", Units({0x7B2C, '1', 0x7AE0, 0x3000, 0x5F00, 0x59CB, 0})},
        {"\xA1\xA1", Units({0x3000, 0})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TextToUtf16(c.text), c.utf16);
        ByteData dropped(c.utf16.begin(), c.utf16.end() - 2);
        EXPECT_EQ(TextToUtf16(c.text, true), dropped);
        EXPECT_EQ(Utf16ToText(c.utf16), c.text);
        EXPECT_EQ(Utf16ToText(dropped), c.text);
    }
}

TEST(Utf16Text, EmptyAndZeroBoundedData) {
    EXPECT_TRUE(TextToUtf16("").empty());
    EXPECT_TRUE(TextToUtf16("", true).empty());
    EXPECT_EQ(Utf16ToText(ByteData()), "");
    // Text ends at its first zero byte; UTF-16 at its first zero unit.
    EXPECT_EQ(TextToUtf16(Text("ab\0cd", 5)), Units({'a', 'b', 0}));
    EXPECT_EQ(Utf16ToText(Units({'a', 0, 'b'})), "a");
    EXPECT_EQ(Utf16ToText(Units({0, 'b'})), "");
    // A trailing odd byte is not a unit.
    ByteData odd = Units({'o', 'k'});
    odd.push_back('z');
    EXPECT_EQ(Utf16ToText(odd), "ok");
}

TEST(Utf16Text, UnmappableCharactersBecomeTheReplacementCharacter) {
    // Thai ko kai has no GBK form.
    EXPECT_EQ(Utf16ToText(Units({'a', 0x0E01, 'b'})), "a?b");
}

}  // namespace
