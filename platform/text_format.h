#pragma once
// Formatting of catalogue texts: "%s" and "%d" filled in order, "%%" is "%".
// A placeholder without an argument, or an argument of the wrong kind, is an
// error.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "relaybird/export.h"

namespace relaybird {

class RELAYBIRD_API EFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using TFormatArg = std::variant<std::string, std::int64_t>;

RELAYBIRD_API std::string FormatArgs(const std::string& Text, const std::vector<TFormatArg>& Args);

template <typename T>
RELAYBIRD_API TFormatArg ToFormatArg(const T& Value) {
  if constexpr (std::is_integral_v<T>) {
    return static_cast<std::int64_t>(Value);
  } else {
    return std::string(Value);
  }
}

template <typename... TArgs>
RELAYBIRD_API std::string Format(const std::string& Text, const TArgs&... Args) {
  return FormatArgs(Text, {ToFormatArg(Args)...});
}

}  // namespace relaybird
