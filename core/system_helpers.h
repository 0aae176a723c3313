#pragma once
#include <string>

#include "relaybird/export.h"

namespace relaybird {

// Terminates every other process whose image name equals ExeName (ASCII
// letters compared without case). The outcome of the last termination tried;
// false when none was terminated. Never raises.
RELAYBIRD_API bool KillProcessesByName(const std::string& ExeName) noexcept;

// Checks the credentials of "<domain>\<user>": 1 granted, 254 no backslash,
// 253 credentials rejected, 0 the check could not be made. Never raises.
RELAYBIRD_API int GrantServiceLogonRight(const std::string& Account, const std::string& Password) noexcept;

}  // namespace relaybird
