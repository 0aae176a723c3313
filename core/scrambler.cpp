#include "relaybird/scrambler.h"

#include <cstddef>

#include "platform/text_encoding.h"

namespace relaybird {

const char* const ScrambleKey = "wqplmzkxhrgjsuvnoycbkhoyifxqwlmp";

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

int HexValue(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  return -1;
}

}  // namespace

std::string ScrambleText(const std::string& Text, const std::string& Key) noexcept {
  try {
    const std::string Pad = Utf8ToCp1251(Key);
    if (Pad.empty()) return "";
    const std::string Plain = Utf8ToCp1251(Text);
    std::string Result;
    Result.reserve(Plain.size() * 2);
    for (std::size_t i = 0; i < Plain.size(); ++i) {
      const auto B = static_cast<unsigned char>(Plain[i] ^ Pad[i % Pad.size()]);
      Result += HexDigits[B >> 4];
      Result += HexDigits[B & 0x0F];
    }
    return Result;
  } catch (...) {
    return "";
  }
}

std::string UnscrambleText(const std::string& Text, const std::string& Key) noexcept {
  try {
    const std::string Pad = Utf8ToCp1251(Key);
    if (Pad.empty()) return "";
    const std::string Digits = Utf8ToCp1251(Text);
    std::string Plain;
    Plain.reserve(Digits.size() / 2);
    // A pair that is not two hexadecimal digits ends the text: nothing after
    // it can be trusted to line up with the pad.
    for (std::size_t i = 0; i + 1 < Digits.size(); i += 2) {
      const int High = HexValue(Digits[i]);
      const int Low = HexValue(Digits[i + 1]);
      if (High < 0 || Low < 0) break;
      const std::size_t Position = i / 2;
      Plain += static_cast<char>((High << 4 | Low) ^ static_cast<unsigned char>(Pad[Position % Pad.size()]));
    }
    return Cp1251ToUtf8(Plain);
  } catch (...) {
    return "";
  }
}

}  // namespace relaybird
