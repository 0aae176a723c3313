#include "relaybird/text_format.h"

namespace relaybird {

std::string FormatArgs(const std::string& Text, const std::vector<TFormatArg>& Args) {
  std::string Result;
  Result.reserve(Text.size());
  std::size_t Next = 0;
  for (std::size_t i = 0; i < Text.size(); ++i) {
    const char C = Text[i];
    if (C != '%') {
      Result += C;
      continue;
    }
    if (i + 1 >= Text.size()) throw EFormatError("Format '" + Text + "' invalid");
    const char Kind = Text[++i];
    if (Kind == '%') {
      Result += '%';
      continue;
    }
    if (Kind != 's' && Kind != 'd') throw EFormatError("Format '" + Text + "' invalid");
    if (Next >= Args.size()) throw EFormatError("Format '" + Text + "' invalid or incompatible with argument");
    const TFormatArg& Arg = Args[Next++];
    if (Kind == 's') {
      const auto* S = std::get_if<std::string>(&Arg);
      if (!S) throw EFormatError("Format '" + Text + "' invalid or incompatible with argument");
      Result += *S;
    } else {
      const auto* N = std::get_if<std::int64_t>(&Arg);
      if (!N) throw EFormatError("Format '" + Text + "' invalid or incompatible with argument");
      Result += std::to_string(*N);
    }
  }
  return Result;
}

}  // namespace relaybird
