#pragma once
// Field and parameter names match without regard to case. Names are nearly
// always ASCII, and they are compared for every field read, so ASCII names
// are compared in place and only others go through the locale-style rules.
#include <string_view>

namespace relaybird {

bool SameFieldName(std::string_view A, std::string_view B);

}  // namespace relaybird
