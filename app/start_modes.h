#pragma once
#include <string>
#include <vector>

namespace relaybird {

enum TStartMode : unsigned { smMonitor = 1, smConfig = 2 };

// Empty: the program runs as the service.
class TStartModes {
 public:
  void Include(TStartMode Mode) { FBits |= Mode; }
  bool Contains(TStartMode Mode) const { return (FBits & Mode) != 0; }
  bool Empty() const { return FBits == 0; }
  unsigned Bits() const { return FBits; }

 private:
  unsigned FBits = 0;
};

// "/CONFIG" or "-CONFIG" adds smConfig, "/MONITOR" or "-MONITOR" smMonitor;
// whole arguments, any letter case; everything else is ignored.
TStartModes ParseStartModes(const std::vector<std::string>& Args);

}  // namespace relaybird
