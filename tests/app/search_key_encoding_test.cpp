// The search key as the search page takes it: every byte escaped as "%"
// and two capital hexadecimal digits.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "app/search_key_encoding.h"

namespace {

TEST(EncodeSearchKeyTest, EscapesEveryByteWithTwoCapitalHexDigits) {
    struct Case {
        Text key;
        Text encoded;
    };
    const Case cases[] = {
        {"ab", "%61%62"},
        {" ab ", "%20%61%62%20"},         // spaces are escapes, never "+"
        {"斗破", "%B6%B7%C6%C6"},          // both bytes of each GBK character
        {"\t", "%09"},                    // leading zero below 16
        {"", ""},
        {"Z9+/&=?%", "%5A%39%2B%2F%26%3D%3F%25"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(EncodeSearchKey(c.key), c.encoded);
    }
}

TEST(EncodeSearchKeyTest, EveryByteValueRoundTrips) {
    Text key;
    for (int byte = 0; byte <= 0xFF; ++byte) key += static_cast<char>(byte);
    const Text encoded = EncodeSearchKey(key);
    ASSERT_EQ(encoded.size(), 3 * key.size());
    Text decoded;
    for (std::size_t i = 0; i < encoded.size(); i += 3) {
        SCOPED_TRACE(i / 3);
        ASSERT_EQ(encoded[i], '%');
        for (char digit : {encoded[i + 1], encoded[i + 2]}) {
            EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(digit)) || (digit >= 'A' && digit <= 'F')) << digit;
        }
        decoded += static_cast<char>(std::stoi(encoded.substr(i + 1, 2), nullptr, 16));
    }
    EXPECT_EQ(decoded, key);
}

}  // namespace
