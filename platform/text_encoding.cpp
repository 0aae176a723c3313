#include "platform/text_encoding.h"

#include <array>
#include <cstdint>
#include <limits>

namespace relaybird {

namespace {

// Code points of the bytes 0x80..0xFF. 0x98 has no character in the code
// page; it maps to U+0098 so that such a byte survives a round trip.
constexpr std::array<char16_t, 128> Cp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

constexpr char32_t Replacement = 0xFFFD;

char32_t Cp1251ToCodePoint(unsigned char Byte) {
  return Byte < 0x80 ? Byte : Cp1251High[Byte - 0x80];
}

// The byte of the code point in Windows-1251, '?' when it has none.
char CodePointToCp1251(char32_t Code) {
  if (Code < 0x80) return static_cast<char>(Code);
  for (std::size_t i = 0; i < Cp1251High.size(); ++i) {
    if (Cp1251High[i] == Code) return static_cast<char>(0x80 + i);
  }
  return '?';
}

// Decodes one UTF-8 sequence at Pos. Returns false (Pos unchanged) for an
// invalid, overlong, surrogate or truncated sequence.
bool DecodeUtf8At(std::string_view Text, std::size_t& Pos, char32_t& Code) {
  const auto Lead = static_cast<unsigned char>(Text[Pos]);
  std::size_t Length = 0;
  char32_t Value = 0;
  char32_t Minimum = 0;
  if (Lead < 0x80) {
    Code = Lead;
    ++Pos;
    return true;
  } else if ((Lead & 0xE0) == 0xC0) {
    Length = 2;
    Value = Lead & 0x1F;
    Minimum = 0x80;
  } else if ((Lead & 0xF0) == 0xE0) {
    Length = 3;
    Value = Lead & 0x0F;
    Minimum = 0x800;
  } else if ((Lead & 0xF8) == 0xF0) {
    Length = 4;
    Value = Lead & 0x07;
    Minimum = 0x10000;
  } else {
    return false;
  }
  if (Pos + Length > Text.size()) return false;
  for (std::size_t i = 1; i < Length; ++i) {
    const auto Next = static_cast<unsigned char>(Text[Pos + i]);
    if ((Next & 0xC0) != 0x80) return false;
    Value = (Value << 6) | (Next & 0x3F);
  }
  if (Value < Minimum || Value > 0x10FFFF || (Value >= 0xD800 && Value <= 0xDFFF)) return false;
  Code = Value;
  Pos += Length;
  return true;
}

void AppendUtf8(std::string& Out, char32_t Code) {
  if (Code < 0x80) {
    Out += static_cast<char>(Code);
  } else if (Code < 0x800) {
    Out += static_cast<char>(0xC0 | (Code >> 6));
    Out += static_cast<char>(0x80 | (Code & 0x3F));
  } else if (Code < 0x10000) {
    Out += static_cast<char>(0xE0 | (Code >> 12));
    Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (Code & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | (Code >> 18));
    Out += static_cast<char>(0x80 | ((Code >> 12) & 0x3F));
    Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (Code & 0x3F));
  }
}

void AppendUtf16(std::u16string& Out, char32_t Code) {
  if (Code < 0x10000) {
    Out += static_cast<char16_t>(Code);
  } else {
    Code -= 0x10000;
    Out += static_cast<char16_t>(0xD800 | (Code >> 10));
    Out += static_cast<char16_t>(0xDC00 | (Code & 0x3FF));
  }
}

// A file that claims UTF-8 with its BOM but holds a bad sequence: the bad
// bytes become U+FFFD rather than throwing the whole file away.
std::string RepairUtf8(std::string_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  std::size_t Pos = 0;
  while (Pos < Text.size()) {
    char32_t Code = 0;
    if (!DecodeUtf8At(Text, Pos, Code)) {
      Code = Replacement;
      ++Pos;
    }
    AppendUtf8(Out, Code);
  }
  return Out;
}

std::u16string BytesToUtf16(std::string_view Bytes, bool BigEndian) {
  std::u16string Out;
  Out.reserve(Bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < Bytes.size(); i += 2) {
    const auto First = static_cast<unsigned char>(Bytes[i]);
    const auto Second = static_cast<unsigned char>(Bytes[i + 1]);
    Out += static_cast<char16_t>(BigEndian ? (First << 8) | Second : (Second << 8) | First);
  }
  return Out;
}

std::string Utf16ToBytes(std::u16string_view Text, bool BigEndian) {
  std::string Out;
  Out.reserve(Text.size() * 2);
  for (const char16_t Unit : Text) {
    const char High = static_cast<char>(Unit >> 8);
    const char Low = static_cast<char>(Unit & 0xFF);
    Out += BigEndian ? High : Low;
    Out += BigEndian ? Low : High;
  }
  return Out;
}

bool StartsWith(std::string_view Text, std::string_view Prefix) {
  return Text.substr(0, Prefix.size()) == Prefix;
}

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeBom = "\xFF\xFE";
constexpr std::string_view Utf16BeBom = "\xFE\xFF";

char32_t UpperCodePoint(char32_t Code) {
  if (Code >= U'a' && Code <= U'z') return Code - 0x20;
  if (Code >= 0xE0 && Code <= 0xFE && Code != 0xF7) return Code - 0x20;
  if (Code == 0xFF) return 0x178;
  if (Code >= 0x430 && Code <= 0x44F) return Code - 0x20;
  if (Code >= 0x450 && Code <= 0x45F) return Code - 0x50;
  if (Code == 0x491) return 0x490;
  return Code;
}

}  // namespace

bool IsValidUtf8(std::string_view Text) {
  std::size_t Pos = 0;
  char32_t Code = 0;
  while (Pos < Text.size()) {
    if (!DecodeUtf8At(Text, Pos, Code)) return false;
  }
  return true;
}

std::string Utf8ToCp1251(std::string_view Utf8) {
  std::string Out;
  Out.reserve(Utf8.size());
  std::size_t Pos = 0;
  while (Pos < Utf8.size()) {
    char32_t Code = 0;
    if (DecodeUtf8At(Utf8, Pos, Code)) {
      Out += CodePointToCp1251(Code);
    } else {
      Out += '?';
      ++Pos;
    }
  }
  return Out;
}

std::string Cp1251ToUtf8(std::string_view Bytes) {
  std::string Out;
  Out.reserve(Bytes.size() * 2);
  for (const char Byte : Bytes) AppendUtf8(Out, Cp1251ToCodePoint(static_cast<unsigned char>(Byte)));
  return Out;
}

std::u16string Utf8ToUtf16(std::string_view Utf8) {
  std::u16string Out;
  Out.reserve(Utf8.size());
  if (!IsValidUtf8(Utf8)) {
    for (const char Byte : Utf8) AppendUtf16(Out, Cp1251ToCodePoint(static_cast<unsigned char>(Byte)));
    return Out;
  }
  std::size_t Pos = 0;
  char32_t Code = 0;
  while (Pos < Utf8.size() && DecodeUtf8At(Utf8, Pos, Code)) AppendUtf16(Out, Code);
  return Out;
}

std::string Utf16ToUtf8(std::u16string_view Utf16) {
  std::string Out;
  Out.reserve(Utf16.size() * 2);
  for (std::size_t i = 0; i < Utf16.size(); ++i) {
    const char16_t Unit = Utf16[i];
    char32_t Code = Unit;
    if (Unit >= 0xD800 && Unit <= 0xDBFF && i + 1 < Utf16.size() && Utf16[i + 1] >= 0xDC00 &&
        Utf16[i + 1] <= 0xDFFF) {
      Code = 0x10000 + ((static_cast<char32_t>(Unit - 0xD800) << 10) | (Utf16[i + 1] - 0xDC00));
      ++i;
    } else if (Unit >= 0xD800 && Unit <= 0xDFFF) {
      Code = Replacement;
    }
    AppendUtf8(Out, Code);
  }
  return Out;
}

std::string DecodeTextFile(std::string_view Bytes, TTextFileEncoding* Detected) {
  TTextFileEncoding Encoding = TTextFileEncoding::Utf8;
  std::string Text;
  if (StartsWith(Bytes, Utf8Bom)) {
    Encoding = TTextFileEncoding::Utf8Bom;
    Text = RepairUtf8(Bytes.substr(Utf8Bom.size()));
  } else if (StartsWith(Bytes, Utf16LeBom)) {
    Encoding = TTextFileEncoding::Utf16Le;
    Text = Utf16ToUtf8(BytesToUtf16(Bytes.substr(Utf16LeBom.size()), false));
  } else if (StartsWith(Bytes, Utf16BeBom)) {
    Encoding = TTextFileEncoding::Utf16Be;
    Text = Utf16ToUtf8(BytesToUtf16(Bytes.substr(Utf16BeBom.size()), true));
  } else if (IsValidUtf8(Bytes)) {
    Text = std::string(Bytes);
  } else {
    Encoding = TTextFileEncoding::Cp1251;
    Text = Cp1251ToUtf8(Bytes);
  }
  if (Detected) *Detected = Encoding;
  return Text;
}

std::string EncodeTextFile(std::string_view Utf8, TTextFileEncoding Encoding) {
  switch (Encoding) {
    case TTextFileEncoding::Utf8Bom:
      return std::string(Utf8Bom) + std::string(Utf8);
    case TTextFileEncoding::Utf16Le:
      return std::string(Utf16LeBom) + Utf16ToBytes(Utf8ToUtf16(Utf8), false);
    case TTextFileEncoding::Utf16Be:
      return std::string(Utf16BeBom) + Utf16ToBytes(Utf8ToUtf16(Utf8), true);
    case TTextFileEncoding::Cp1251:
      return Utf8ToCp1251(Utf8);
    case TTextFileEncoding::Utf8:
      break;
  }
  return std::string(Utf8);
}

std::string AnsiUpperCase(std::string_view Utf8) {
  std::string Out;
  Out.reserve(Utf8.size());
  std::size_t Pos = 0;
  while (Pos < Utf8.size()) {
    const std::size_t Start = Pos;
    char32_t Code = 0;
    if (!DecodeUtf8At(Utf8, Pos, Code)) {
      Out += Utf8[Pos++];
      continue;
    }
    const char32_t Upper = UpperCodePoint(Code);
    if (Upper == Code) {
      Out.append(Utf8.substr(Start, Pos - Start));
    } else {
      AppendUtf8(Out, Upper);
    }
  }
  return Out;
}

std::string AsciiUpperCase(std::string_view Text) {
  std::string Out(Text);
  for (char& C : Out) {
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 0x20);
  }
  return Out;
}

bool SameText(std::string_view A, std::string_view B) { return AnsiUpperCase(A) == AnsiUpperCase(B); }

std::string Trim(std::string_view Text) {
  std::size_t First = 0;
  std::size_t Last = Text.size();
  while (First < Last && static_cast<unsigned char>(Text[First]) <= ' ') ++First;
  while (Last > First && static_cast<unsigned char>(Text[Last - 1]) <= ' ') --Last;
  return std::string(Text.substr(First, Last - First));
}

std::size_t Utf8Length(std::string_view Utf8) {
  std::size_t Count = 0;
  for (const char C : Utf8) {
    if ((static_cast<unsigned char>(C) & 0xC0) != 0x80) ++Count;
  }
  return Count;
}

std::string Utf8Left(std::string_view Utf8, std::size_t Count) {
  std::size_t Seen = 0;
  for (std::size_t i = 0; i < Utf8.size(); ++i) {
    if ((static_cast<unsigned char>(Utf8[i]) & 0xC0) != 0x80 && Seen++ == Count) {
      return std::string(Utf8.substr(0, i));
    }
  }
  return std::string(Utf8);
}

bool TryStrToInt(std::string_view Text, int& Value) {
  std::size_t Pos = 0;
  bool Negative = false;
  if (!Text.empty() && (Text[0] == '+' || Text[0] == '-')) {
    Negative = Text[0] == '-';
    Pos = 1;
  }
  if (Pos == Text.size()) return false;
  // The magnitude of the minimum of int, which has no positive counterpart.
  constexpr std::int64_t Limit = -static_cast<std::int64_t>(std::numeric_limits<int>::min());
  std::int64_t Magnitude = 0;
  for (; Pos < Text.size(); ++Pos) {
    const char C = Text[Pos];
    if (C < '0' || C > '9') return false;
    Magnitude = Magnitude * 10 + (C - '0');
    if (Magnitude > Limit) return false;
  }
  if (!Negative && Magnitude > std::numeric_limits<int>::max()) return false;
  Value = static_cast<int>(Negative ? -Magnitude : Magnitude);
  return true;
}

std::string ReplaceAll(std::string_view Text, std::string_view From, std::string_view To) {
  if (From.empty()) return std::string(Text);
  std::string Out;
  Out.reserve(Text.size());
  std::size_t Pos = 0;
  while (true) {
    const std::size_t Found = Text.find(From, Pos);
    if (Found == std::string_view::npos) break;
    Out.append(Text.substr(Pos, Found - Pos));
    Out.append(To);
    Pos = Found + From.size();
  }
  Out.append(Text.substr(Pos));
  return Out;
}

}  // namespace relaybird
