#pragma once
// Text is the program's string: zero-terminated bytes in code page 936 (GBK),
// where a Chinese character takes two bytes. Byte data may hold zero bytes.
// The searches here are double-byte aware: a match may begin only at a
// character boundary, so the trail byte of one character and the lead byte of
// the next never form a false match.
#include <cstddef>
#include <string>
#include <vector>

using Text = std::string;
using ByteData = std::vector<unsigned char>;

constexpr std::size_t kNotFound = std::string::npos;

// True for a byte that starts a two-byte GBK character.
bool IsGbkLeadByte(unsigned char byte);

// Length in bytes of the character that starts at index (1 or 2; a lead byte
// at the very end counts as one).
std::size_t GbkCharLength(const Text& text, std::size_t index);

// Byte index of the first occurrence of what in full at or after from, found
// only at character boundaries; kNotFound when absent. With ignoreCase only
// ASCII letters fold. An empty what is found at from (when from <= size).
std::size_t FindText(const Text& full, const Text& what, std::size_t from = 0, bool ignoreCase = false);

bool ContainsText(const Text& full, const Text& what, bool ignoreCase = false);

// True when text begins with prefix (ASCII letters folded with ignoreCase).
bool StartsWithText(const Text& text, const Text& prefix, bool ignoreCase = false);

// Every occurrence of what, from left to right and without overlap, replaced by with.
Text ReplaceAllText(const Text& full, const Text& what, const Text& with, bool ignoreCase = false);

// Cut at every separator. A leading separator gives an empty first piece;
// a trailing one gives no empty piece after it; an empty text gives no piece.
std::vector<Text> SplitText(const Text& full, const Text& separator);

// A space is the ASCII space or the GBK full-width space (bytes A1 A1).
bool IsSpaceAt(const Text& text, std::size_t index, std::size_t* length = nullptr);
Text TrimSpaces(const Text& text);
Text RemoveSpaces(const Text& text);

// The bytes of a Text, or a Text made of bytes up to the first zero byte.
Text TextFromBytes(const ByteData& bytes);
