#pragma once
// Pure functions: thread-safe.
#include <string>

#include "relaybird/export.h"

namespace relaybird {

extern RELAYBIRD_API const char* const ScrambleKey;

// Two upper-case hexadecimal digits per character of the Windows-1251 form of
// Text, each byte combined with the key. Never raise: any failure gives "".
RELAYBIRD_API std::string ScrambleText(const std::string& Text, const std::string& Key) noexcept;
RELAYBIRD_API std::string UnscrambleText(const std::string& Text, const std::string& Key) noexcept;

}  // namespace relaybird
