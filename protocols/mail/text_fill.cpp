#include "text_fill.h"

namespace relaybird::mail {

std::string FillTextArgs(const std::string& Text, const std::vector<std::string>& Args) {
  std::string Filled;
  std::size_t Next = 0;
  for (std::size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] == '%' && I + 1 < Text.size()) {
      const char Kind = Text[I + 1];
      if (Kind == '%') {
        Filled += '%';
        ++I;
        continue;
      }
      if ((Kind == 's' || Kind == 'd') && Next < Args.size()) {
        Filled += Args[Next++];
        ++I;
        continue;
      }
    }
    Filled += Text[I];
  }
  return Filled;
}

}  // namespace relaybird::mail
