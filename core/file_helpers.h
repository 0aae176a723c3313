#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "relaybird/export.h"

namespace relaybird {

// Full names of the files under Dir matching Mask ('*' and '?', no regard to
// case), CR LF between names; a subfolder is entered only when its own name
// matches Mask; a link back to a folder being listed is not followed. "" for
// an empty or missing Dir. Never raises.
RELAYBIRD_API std::string FindFiles(const std::string& Dir, const std::string& Mask) noexcept;

// Matches a file name against a mask of '*' and '?' without regard to case.
RELAYBIRD_API bool MatchesMask(const std::string& Name, const std::string& Mask);

using TGuid = std::array<std::uint8_t, 16>;
// 32 upper-case hexadecimal digits, no braces or hyphens.
RELAYBIRD_API std::string GuidToPlainText(const TGuid& Guid);
// A new random (version 4) identifier as GuidToPlainText; "" when the system
// gives no random bytes.
RELAYBIRD_API std::string NewGuidText();

}  // namespace relaybird
