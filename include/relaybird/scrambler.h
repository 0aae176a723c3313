#pragma once
#include <string>

namespace relaybird {

extern const char* const ScrambleKey;

// Two upper-case hexadecimal digits per character of the Windows-1251 form of
// Text, each byte combined with the key. Never raise: any failure gives "".
std::string ScrambleText(const std::string& Text, const std::string& Key) noexcept;
std::string UnscrambleText(const std::string& Text, const std::string& Key) noexcept;

}  // namespace relaybird
