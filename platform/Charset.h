// Conversions between the game's byte strings (GBK, or Big5 where a text says so)
// and Unicode. Text stays in its byte form inside the game; only the text renderer
// and dev tools convert.
#pragma once
#include <string>
#include <string_view>

enum class TextCharset { Gbk, Big5 };

// Decodes a byte string to UTF-32. Undecodable bytes become U+FFFD; a byte string is
// never cut short by a bad sequence.
std::u32string DecodeText(std::string_view bytes, TextCharset cs = TextCharset::Gbk);
// Byte string to UTF-8 (for printing).
std::string TextToUtf8(std::string_view bytes, TextCharset cs = TextCharset::Gbk);
// UTF-8 to a byte string; characters without a GBK (Big5) form become '?'.
std::string Utf8ToText(std::string_view utf8, TextCharset cs = TextCharset::Gbk);
// True when the byte at index i of s starts a double-byte character (lead byte 0x81..0xFE
// followed by a trail byte), so callers can cut strings without splitting characters.
bool IsDoubleByteLead(std::string_view s, size_t i);
