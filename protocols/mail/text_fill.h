#pragma once
// Fills the "%s" and "%d" of a catalogue text with the arguments in order;
// "%%" is "%". A placeholder without an argument stays as it is, so a
// translated text with a placeholder too many still yields a line.
#include <string>
#include <type_traits>
#include <vector>

namespace relaybird::mail {

std::string FillTextArgs(const std::string& Text, const std::vector<std::string>& Args);

template <typename... TArgs>
std::string FillText(const std::string& Text, const TArgs&... Args) {
  auto AsText = [](const auto& Value) -> std::string {
    if constexpr (std::is_arithmetic_v<std::decay_t<decltype(Value)>>) {
      return std::to_string(Value);
    } else {
      return std::string(Value);
    }
  };
  return FillTextArgs(Text, {AsText(Args)...});
}

}  // namespace relaybird::mail
