#include "app/start_modes.h"

#include "platform/text_encoding.h"

namespace relaybird {

TStartModes ParseStartModes(const std::vector<std::string>& Args) {
  TStartModes Modes;
  for (const std::string& Arg : Args) {
    const std::string Word = AnsiUpperCase(Arg);
    if (Word == "/CONFIG" || Word == "-CONFIG") Modes.Include(smConfig);
    if (Word == "/MONITOR" || Word == "-MONITOR") Modes.Include(smMonitor);
  }
  return Modes;
}

}  // namespace relaybird
