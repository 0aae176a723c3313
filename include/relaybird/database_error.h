#pragma once
// The error every data-access operation raises. ErrorCode is the Oracle error
// number (1017, 942, ...): the native number from Oracle's driver, the mapped
// SQLSTATE for any other driver, 0 when the failure has no Oracle counterpart.
#include <stdexcept>
#include <string>

#include "relaybird/export.h"

namespace relaybird {

class RELAYBIRD_API EDatabaseError : public std::runtime_error {
 public:
  explicit EDatabaseError(const std::string& Message, int ErrorCode = 0)
      : std::runtime_error(Message), FErrorCode(ErrorCode) {}
  int ErrorCode() const noexcept { return FErrorCode; }

 private:
  int FErrorCode;
};

}  // namespace relaybird
