#pragma once
// A module's report of the letters it failed to deliver.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "relaybird/export.h"

namespace relaybird {

struct TFailedMessage {
  std::string ID;
  std::int32_t Count = 0;

  bool operator==(const TFailedMessage&) const = default;
};

using TFailedMessageList = std::vector<TFailedMessage>;

// Lines ended by CR LF, CR or LF, taken in pairs: a message id, then its
// count. An odd last line is ignored, a count that is no whole decimal number
// (blanks included) reads as 0, a text of blanks only gives no pairs.
RELAYBIRD_API TFailedMessageList ParseFailedMessages(std::string_view Text);

}  // namespace relaybird
