#include "app/search_key_encoding.h"

Text EncodeSearchKey(const Text& key) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    Text encoded;
    encoded.reserve(key.size() * 3);
    for (char c : key) {
        auto byte = static_cast<unsigned char>(c);
        encoded += '%';
        encoded += kHexDigits[byte >> 4];
        encoded += kHexDigits[byte & 0x0F];
    }
    return encoded;
}
