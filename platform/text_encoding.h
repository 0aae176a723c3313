#pragma once
// Conversions between the program's UTF-8 text and the encodings that files
// carried over from a Windows installation use, plus case-insensitive matching.
#include <string>
#include <string_view>

#include "relaybird/export.h"

namespace relaybird {

RELAYBIRD_API bool IsValidUtf8(std::string_view Text);

// Windows-1251, the code page of files carried over from a Windows installation.
// A character the code page cannot hold, or a byte that is not UTF-8, becomes '?'.
RELAYBIRD_API std::string Utf8ToCp1251(std::string_view Utf8);
RELAYBIRD_API std::string Cp1251ToUtf8(std::string_view Bytes);

// Invalid UTF-8 input is converted byte by byte as Windows-1251.
RELAYBIRD_API std::u16string Utf8ToUtf16(std::string_view Utf8);
RELAYBIRD_API std::string Utf16ToUtf8(std::u16string_view Utf16);

// The text of a whole file: UTF-8 (BOM removed), UTF-16 LE/BE with BOM, or,
// when the bytes are not valid UTF-8, Windows-1251. The result is UTF-8.
enum class TTextFileEncoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Cp1251 };
RELAYBIRD_API std::string DecodeTextFile(std::string_view Bytes, TTextFileEncoding* Detected = nullptr);
RELAYBIRD_API std::string EncodeTextFile(std::string_view Utf8, TTextFileEncoding Encoding);

// Locale-style upper-casing of UTF-8 text: ASCII, Latin-1 and Cyrillic letters.
RELAYBIRD_API std::string AnsiUpperCase(std::string_view Utf8);
// ASCII letters only.
RELAYBIRD_API std::string AsciiUpperCase(std::string_view Text);
// Equal without regard to letter case (AnsiUpperCase of both).
RELAYBIRD_API bool SameText(std::string_view A, std::string_view B);

// Blanks and control characters (everything up to ' ') removed at both ends.
RELAYBIRD_API std::string Trim(std::string_view Text);
// Number of characters (code points) of UTF-8 text.
RELAYBIRD_API std::size_t Utf8Length(std::string_view Utf8);
// The first Count characters of UTF-8 text.
RELAYBIRD_API std::string Utf8Left(std::string_view Utf8, std::size_t Count);

// Whole decimal number, optional sign, nothing else (no blanks): false otherwise.
RELAYBIRD_API bool TryStrToInt(std::string_view Text, int& Value);

// Every occurrence of From replaced by To, left to right.
RELAYBIRD_API std::string ReplaceAll(std::string_view Text, std::string_view From, std::string_view To);

}  // namespace relaybird
