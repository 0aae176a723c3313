#pragma once
// One row of a worker's message-status table.
#include <cstdint>
#include <string>
#include <vector>

#include "relaybird/export.h"

namespace relaybird {

struct TMessageStatusRec {
  std::int32_t Code = 0;
  std::string Name;
  bool Failed = false;

  bool operator==(const TMessageStatusRec&) const = default;
};

// The eight rows every worker starts a run with.
RELAYBIRD_API std::vector<TMessageStatusRec> DefaultMessageStatuses();

}  // namespace relaybird
